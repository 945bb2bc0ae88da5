// klc_syntax.cpp - the spelling of a .klc source's fields, shared by its
// reader and its writer.
#include "klc_syntax.h"

#include <cstdio>

#include "tables/vk_names.h"

namespace wendol::klc {

namespace {

bool is_ascii_letter_or_digit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::optional<uint32_t> hex_value(std::u16string_view text, size_t digits)
{
    if (text.size() != digits)
        return std::nullopt;
    uint32_t value = 0;
    for (char16_t c : text) {
        uint32_t digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | digit;
    }
    return value;
}

std::string hex_text(uint32_t value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*x", digits, static_cast<unsigned>(value));
    return buffer;
}

std::optional<uint8_t> vk_for_name(std::u16string_view name)
{
    const std::optional<std::string> ascii = narrowed(name);
    if (!ascii || ascii->empty())
        return std::nullopt;
    // The toolkit's own syntax also takes "0xBB" and "187"; a source names keys.
    if (ascii->size() > 1 && (*ascii)[0] >= '0' && (*ascii)[0] <= '9')
        return std::nullopt;
    return vk_from_name(*ascii);
}

std::string vk_written_name(uint8_t vk)
{
    std::string name;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        name = std::string(1, static_cast<char>(vk));
    else if (const char *full = vk_name(vk))
        name = std::string_view(full).substr(3);
    // An alias listed before the primary name would read as another key.
    return vk_for_name(widened(name)) == vk ? name : std::string();
}

const char *text_fault(std::u16string_view text, TextField field)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n')
            return "a line break";
        if (is_control(c))
            return "a control character";
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            ++i;
            continue;
        }
        if (is_surrogate(c))
            return "an unpaired surrogate";
        if (field == TextField::Quoted && c == u'"')
            return "a double quote";
        if (field == TextField::RestOfLine && c == u'/' && i + 1 < text.size() && text[i + 1] == u'/')
            return "a comment's //";
    }
    if (field == TextField::RestOfLine && !text.empty() &&
        (is_blank(text.front()) || is_blank(text.back())))
        return "a blank at an end";
    return nullptr;
}

bool is_module_name(std::string_view name)
{
    if (name.empty() || name[0] == ';' || name.find("//") != std::string_view::npos)
        return false;
    for (char c : name)
        if (c <= 0x20 || c >= 0x7F || c == '"')
            return false;
    return true;
}

bool is_locale_name(std::string_view name)
{
    for (char c : name)
        if (!is_ascii_letter_or_digit(c) && c != '-')
            return false;
    return true;
}

std::u16string widened(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::optional<std::string> narrowed(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x80)
            return std::nullopt;
        out += static_cast<char>(c);
    }
    return out;
}

}  // namespace wendol::klc
