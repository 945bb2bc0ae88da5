// fuzz_engine.cpp - libFuzzer over typing, with sound layouts and hostile
// keys.  The layouts are fixed: the module itself and the test layouts
// that use what it does not (AltGr, the Shift lock, ligatures, chained dead
// keys, the Kana lock).  The input's first byte picks one, the second what
// the rest means:
//
//   keys        each pair of bytes is a key event: a scan code with or
//               without a prefix, or a virtual key; pressed and released,
//               pressed and held, or released;
//   characters  each pair of bytes is a character; its way is looked up,
//               typed on a fresh keyboard, and must deliver what the
//               lookup says it does;
//   names       the rest is text: each word is parsed as a chord, which
//               must print back to a text that parses to the same chord,
//               and is typed.
//
// A bad key name is refused (wendol::Error); anything else that escapes,
// a way that types something else, and every sanitizer report, is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "engine/keymap.h"
#include "engine/reverse_lookup.h"
#include "engine/typing.h"
#include "pe/image.h"
#include "tables/tables.h"

namespace {

using wendol::Key;
using wendol::Prefix;
using wendol::ScanCode;
using wendol::VirtualKey;

struct Layout {
    std::unique_ptr<wendol::Keymap> keymap;
    std::unique_ptr<wendol::ReverseLookup> lookup;
};

std::vector<Layout> load_layouts()
{
    std::vector<Layout> layouts;
    for (const char *path : {WENDOL_FUZZ_LAYOUTS}) {
        const wendol::PeFile file = wendol::PeFile::read(path);
        const uint64_t base = file.headers().image_base;
        auto keymap = std::make_unique<wendol::Keymap>(
            wendol::read_tables(wendol::MappedImage(file, base)));
        auto lookup = std::make_unique<wendol::ReverseLookup>(*keymap);
        layouts.push_back({std::move(keymap), std::move(lookup)});
    }
    return layouts;
}

const std::vector<Layout> &layouts()
{
    static const std::vector<Layout> loaded = load_layouts();
    return loaded;
}

[[noreturn]] void fault(const std::string &what)
{
    std::fprintf(stderr, "fuzz_engine: %s\n", what.c_str());
    std::abort();
}

Prefix prefix_of(unsigned bits)
{
    return bits % 3 == 0 ? Prefix::None : bits % 3 == 1 ? Prefix::E0 : Prefix::E1;
}

void type_key_events(const wendol::Keymap &keymap, const uint8_t *data, size_t size)
{
    wendol::Typist typist(keymap);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const unsigned kind = data[i] & 7;
        const uint8_t code = data[i + 1];
        const Key key = kind < 5 ? Key{ScanCode{prefix_of(data[i] >> 3), code}}
                                 : Key{VirtualKey{code}};
        if (kind < 5)
            (void)wendol::key_name(keymap.tables(), std::get<ScanCode>(key));
        switch (kind) {
        case 0: case 1: case 5:
            typist.press(key);
            typist.release(key);
            break;
        case 2: case 6:
            typist.press(key);
            break;
        default:
            typist.release(key);
            break;
        }
    }
}

void type_characters(const Layout &layout, const uint8_t *data, size_t size)
{
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char32_t ch = data[i] | (char32_t{data[i + 1]} << 8);
        const wendol::Found found = layout.lookup->find(ch);
        if (!found.way)
            continue;
        wendol::Typist typist(*layout.keymap);
        std::vector<wendol::Press> presses;
        for (const auto &chord : layout.lookup->key_sequence(*found.way)) {
            const auto pressed = typist.chord(chord);
            presses.insert(presses.end(), pressed.begin(), pressed.end());
        }
        const std::u16string expected = found.way->text(static_cast<char16_t>(ch));
        const std::u16string typed = wendol::delivered(presses);
        if (typed != expected)
            fault(wendol::code_point_text(ch) + ": the way found types " + wendol::quoted(typed) +
                  ", not " + wendol::quoted(expected));
    }
}

void type_names(const wendol::Keymap &keymap, std::string_view text)
{
    wendol::Typist typist(keymap);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(" \n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view word = text.substr(start, end - start);
        start = end + 1;
        wendol::Chord chord;
        try {
            chord = wendol::parse_chord(word);
        } catch (const wendol::Error &) {
            continue;
        }
        const std::string printed = wendol::chord_text(chord);
        if (wendol::parse_chord(printed) != chord)
            fault("\"" + std::string(word) + "\" prints as \"" + printed +
                  "\", which names another chord");
        typist.chord(chord);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const Layout &layout = layouts()[data[0] % layouts().size()];
    switch (data[1] % 3) {
    case 0:
        type_key_events(*layout.keymap, data + 2, size - 2);
        break;
    case 1:
        type_characters(layout, data + 2, size - 2);
        break;
    default:
        type_names(*layout.keymap,
                   std::string_view(reinterpret_cast<const char *>(data + 2), size - 2));
        break;
    }
    return 0;
}
