// xml_text.h - text made safe to write into XML, SVG and XHTML, as element
// content or as a quoted attribute value.
#pragma once

#include <string>
#include <string_view>

namespace wendol {

// `text` (UTF-8) with & < > " ' written as references, and every code point
// XML 1.0 cannot carry at all (C0 controls other than tab, newline and
// carriage return; U+FFFE, U+FFFF; a malformed sequence) as U+FFFD.
std::string xml_escaped(std::string_view text);

}  // namespace wendol
