// klc_image.h - the .klc source of a layout image the toolkit can read:
// its compiled model's keys, columns, dead keys, ligatures and key names,
// and its resources' names.  What the format cannot hold is listed.
#pragma once

#include <string>
#include <vector>

#include "engine/keymap.h"
#include "klc/klc_source.h"
#include "pe/image.h"

namespace wendol {

// One thing of the layout the source does not hold, as a person would say
// it; `what` names the feature, `detail` the keys or cells it costs.
struct KlcUnwritten {
    std::string what;
    std::string detail;
};

struct KlcFromImage {
    KlcSource source;                     // notes filled from `unwritten`
    std::vector<KlcUnwritten> unwritten;
};

// `file` gives the names (version resource and string table), `name` the
// module's name when the image's own is not usable.
KlcFromImage klc_from_image(const Keymap &keymap, const PeFile &file, const std::string &name);

}  // namespace wendol
