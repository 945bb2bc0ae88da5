// xml_reader.h - a small, strict XML reader for the tests: it refuses what
// an XML parser must refuse (tags that do not nest, attributes without
// quotes or given twice, a bare & or <, unknown entities, characters XML
// cannot carry, a second root) and keeps elements, attributes and text.
// No namespaces, no DTD beyond a bare <!DOCTYPE name>, no external entities.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/numbers.h"
#include "base/text.h"

namespace wendol::test {

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<XmlElement> children;
    std::string text;   // the character data directly inside, run together

    std::string attribute(const std::string &key) const
    {
        auto found = attributes.find(key);
        return found == attributes.end() ? std::string() : found->second;
    }

    bool has_class(std::string_view wanted) const
    {
        const std::string classes = attribute("class");
        size_t at = 0;
        while (at < classes.size()) {
            const size_t end = std::min(classes.find(' ', at), classes.size());
            if (std::string_view(classes).substr(at, end - at) == wanted)
                return true;
            at = end + 1;
        }
        return false;
    }

    // The text inside, children included, with the parts joined by spaces:
    // a label written as lines ("LINE", "SEPARATOR") reads as one.
    std::string words() const
    {
        std::string out = text;
        for (const XmlElement &child : children) {
            const std::string inner = child.words();
            if (!inner.empty())
                out += (out.empty() ? "" : " ") + inner;
        }
        return out;
    }

    // Every element below this one, depth first, that `keep` accepts.
    template <typename Keep>
    void find_all(Keep keep, std::vector<const XmlElement *> &out) const
    {
        for (const XmlElement &child : children) {
            if (keep(child))
                out.push_back(&child);
            child.find_all(keep, out);
        }
    }

    const XmlElement *find_id(const std::string &id) const
    {
        std::vector<const XmlElement *> found;
        find_all([&](const XmlElement &e) { return e.attribute("id") == id; }, found);
        return found.empty() ? nullptr : found.front();
    }
};

class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class XmlReader {
public:
    explicit XmlReader(std::string_view text) : text_(text) {}

    // The document's root element; throws XmlError naming the line.
    XmlElement read()
    {
        check_characters();
        skip_prolog();
        XmlElement root = element();
        skip_misc();
        if (at_ != text_.size())
            fail("content after the root element");
        return root;
    }

private:
    [[noreturn]] void fail(const std::string &what) const
    {
        size_t line = 1;
        for (size_t i = 0; i < at_ && i < text_.size(); ++i)
            line += text_[i] == '\n';
        throw XmlError("line " + std::to_string(line) + ": " + what);
    }

    bool starts(std::string_view s) const { return text_.substr(at_, s.size()) == s; }
    bool done() const { return at_ >= text_.size(); }

    void expect(std::string_view s)
    {
        if (!starts(s))
            fail("expected \"" + std::string(s) + "\"");
        at_ += s.size();
    }

    void skip_space()
    {
        while (!done() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' ||
                           text_[at_] == '\r'))
            ++at_;
    }

    // Every character well-formed UTF-8 and allowed in XML 1.0.  The text is
    // our own output, so the first malformed byte is reported, not replaced.
    void check_characters()
    {
        for (size_t i = 0; i < text_.size();) {
            const Utf8Sequence sequence = decode_utf8(text_.substr(i));
            at_ = i;
            if (!sequence.valid)
                fail("malformed UTF-8");
            if (!allowed(sequence.code_point))
                fail("a character XML cannot carry");
            i += sequence.length;
        }
        at_ = 0;
    }

    static bool allowed(char32_t c)
    {
        if (c < 0x20)
            return c == 0x09 || c == 0x0A || c == 0x0D;
        return !(c >= 0xD800 && c <= 0xDFFF) && c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
    }

    void skip_comment()
    {
        expect("<!--");
        const size_t end = text_.find("--", at_);
        if (end == std::string_view::npos || text_.substr(end, 3) != "-->")
            fail("a comment holding \"--\" or left open");
        at_ = end + 3;
    }

    void skip_instruction()
    {
        expect("<?");
        const size_t end = text_.find("?>", at_);
        if (end == std::string_view::npos)
            fail("a processing instruction left open");
        at_ = end + 2;
    }

    void skip_misc()
    {
        for (;;) {
            skip_space();
            if (starts("<!--"))
                skip_comment();
            else if (starts("<?"))
                skip_instruction();
            else
                return;
        }
    }

    void skip_prolog()
    {
        if (starts("<?xml"))
            skip_instruction();
        skip_misc();
        if (starts("<!DOCTYPE")) {
            const size_t end = text_.find('>', at_);
            if (end == std::string_view::npos || text_.substr(at_, end - at_).find('[') !=
                                                     std::string_view::npos)
                fail("a document type this reader does not take");
            at_ = end + 1;
            skip_misc();
        }
    }

    static bool name_start(char c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
               static_cast<unsigned char>(c) >= 0x80;
    }

    static bool name_char(char c)
    {
        return name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
    }

    std::string name()
    {
        if (done() || !name_start(text_[at_]))
            fail("expected a name");
        const size_t start = at_;
        while (!done() && name_char(text_[at_]))
            ++at_;
        return std::string(text_.substr(start, at_ - start));
    }

    void reference(std::string &out)
    {
        expect("&");
        const size_t end = text_.find(';', at_);
        if (end == std::string_view::npos || end - at_ > 10)
            fail("a bare &");
        const std::string_view ref = text_.substr(at_, end - at_);
        at_ = end + 1;
        static const std::map<std::string_view, char> kNamed = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        if (auto named = kNamed.find(ref); named != kNamed.end()) {
            out += named->second;
            return;
        }
        if (ref.size() < 2 || ref[0] != '#')
            fail("an unknown entity &" + std::string(ref) + ";");
        // &#233; or &#xE9;: digits only, no sign or space.
        const bool hex = ref[1] == 'x';
        const ParsedNumber number = read_number(ref.substr(hex ? 2 : 1),
                                                hex ? NumberForm::Hex : NumberForm::Decimal,
                                                0x10FFFF);
        if (number.fault == NumberFault::Malformed)
            fail("a malformed character reference");
        const auto c = static_cast<char32_t>(number.value);
        if (number.fault == NumberFault::TooLarge || !allowed(c))
            fail("a character reference XML cannot carry");
        out += utf8(c);
    }

    std::string attribute_value()
    {
        if (done() || (text_[at_] != '"' && text_[at_] != '\''))
            fail("an attribute value without quotes");
        const char quote = text_[at_++];
        std::string value;
        while (!done() && text_[at_] != quote) {
            if (text_[at_] == '<')
                fail("< in an attribute value");
            if (text_[at_] == '&')
                reference(value);
            else
                value += text_[at_++];
        }
        expect(std::string_view(&quote, 1));
        return value;
    }

    void character_data(XmlElement &e)
    {
        while (!done() && text_[at_] != '<') {
            if (text_[at_] == '&') {
                reference(e.text);
            } else {
                if (starts("]]>"))
                    fail("]]> in text");
                e.text += text_[at_++];
            }
        }
    }

    XmlElement element()
    {
        expect("<");
        XmlElement e;
        e.name = name();
        for (;;) {
            const size_t before = at_;
            skip_space();
            if (starts("/>")) {
                at_ += 2;
                return e;
            }
            if (starts(">")) {
                ++at_;
                break;
            }
            if (at_ == before)
                fail("attributes not separated by space");
            const std::string key = name();
            skip_space();
            expect("=");
            skip_space();
            if (!e.attributes.emplace(key, attribute_value()).second)
                fail("attribute " + key + " given twice");
        }
        for (;;) {
            character_data(e);
            if (done())
                fail("<" + e.name + "> left open");
            if (starts("</")) {
                at_ += 2;
                if (name() != e.name)
                    fail("</...> does not close <" + e.name + ">");
                skip_space();
                expect(">");
                return e;
            }
            if (starts("<!--"))
                skip_comment();
            else if (starts("<?"))
                skip_instruction();
            else if (starts("<![CDATA[")) {
                at_ += 9;
                const size_t end = text_.find("]]>", at_);
                if (end == std::string_view::npos)
                    fail("a CDATA section left open");
                e.text += text_.substr(at_, end - at_);
                at_ = end + 3;
            } else
                e.children.push_back(element());
        }
    }

    std::string_view text_;
    size_t at_ = 0;
};

inline XmlElement read_xml(std::string_view text)
{
    return XmlReader(text).read();
}

}  // namespace wendol::test
