// layout_names.cpp - XKB names from display names, and languages by code.
#include "xkb/layout_names.h"

#include <algorithm>
#include <iterator>

namespace wendol::xkb {

namespace {

// The primary languages the toolkit can name: the Windows primary language
// ID, ISO 639-1 and ISO 639-2 (the terminology code, as xkeyboard-config's
// registry writes it).
struct Language {
    uint16_t primary;
    const char *two;
    const char *three;
};
constexpr Language kLanguages[] = {
    {0x01, "ar", "ara"}, {0x02, "bg", "bul"}, {0x03, "ca", "cat"}, {0x04, "zh", "zho"},
    {0x05, "cs", "ces"}, {0x06, "da", "dan"}, {0x07, "de", "deu"}, {0x08, "el", "ell"},
    {0x09, "en", "eng"}, {0x0A, "es", "spa"}, {0x0B, "fi", "fin"}, {0x0C, "fr", "fra"},
    {0x0D, "he", "heb"}, {0x0E, "hu", "hun"}, {0x0F, "is", "isl"}, {0x10, "it", "ita"},
    {0x11, "ja", "jpn"}, {0x12, "ko", "kor"}, {0x13, "nl", "nld"}, {0x14, "no", "nor"},
    {0x15, "pl", "pol"}, {0x16, "pt", "por"}, {0x18, "ro", "ron"}, {0x19, "ru", "rus"},
    {0x1A, "hr", "hrv"}, {0x1B, "sk", "slk"}, {0x1C, "sq", "sqi"}, {0x1D, "sv", "swe"},
    {0x1E, "th", "tha"}, {0x1F, "tr", "tur"}, {0x20, "ur", "urd"}, {0x21, "id", "ind"},
    {0x22, "uk", "ukr"}, {0x23, "be", "bel"}, {0x24, "sl", "slv"}, {0x25, "et", "est"},
    {0x26, "lv", "lav"}, {0x27, "lt", "lit"}, {0x29, "fa", "fas"}, {0x2A, "vi", "vie"},
    {0x2B, "hy", "hye"}, {0x2C, "az", "aze"}, {0x2D, "eu", "eus"}, {0x2F, "mk", "mkd"},
    {0x36, "af", "afr"}, {0x37, "ka", "kat"}, {0x38, "fo", "fao"}, {0x39, "hi", "hin"},
    {0x3A, "mt", "mlt"}, {0x3C, "ga", "gle"}, {0x3E, "ms", "msa"}, {0x3F, "kk", "kaz"},
    {0x40, "ky", "kir"}, {0x41, "sw", "swa"}, {0x43, "uz", "uzb"}, {0x44, "tt", "tat"},
    {0x45, "bn", "ben"}, {0x46, "pa", "pan"}, {0x47, "gu", "guj"}, {0x49, "ta", "tam"},
    {0x4A, "te", "tel"}, {0x4B, "kn", "kan"}, {0x4C, "ml", "mal"}, {0x4E, "mr", "mar"},
    {0x50, "mn", "mon"}, {0x52, "cy", "cym"}, {0x56, "gl", "glg"},
    {0x62, "fy", "fry"}, {0x6E, "lb", "ltz"}, {0x83, "co", "cos"},
};

bool lower_letters(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

std::optional<std::string> name_problem(std::string_view name)
{
    if (name.empty())
        return "it is empty";
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return "it holds \"" + std::string(1, c) +
                   "\", where only a-z, 0-9 and _ can name a layout";
    if (name[0] >= '0' && name[0] <= '9')
        return "it starts with a digit";
    return std::nullopt;
}

std::optional<std::string> name_from(std::string_view text)
{
    std::string name;
    bool gap = false;
    for (char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter || (c >= '0' && c <= '9')) {
            if (gap && !name.empty())
                name += '_';
            name += letter ? static_cast<char>(c | 0x20) : c;
            gap = false;
        } else {
            gap = true;
        }
    }
    if (name_problem(name))
        return std::nullopt;
    return name;
}

std::optional<std::string> language_of_langid(uint16_t langid)
{
    const uint16_t primary = langid & 0x3FF;
    const auto found = std::find_if(std::begin(kLanguages), std::end(kLanguages),
                                    [&](const Language &l) { return l.primary == primary; });
    if (found == std::end(kLanguages))
        return std::nullopt;
    return found->three;
}

std::optional<std::string> language_of_locale_name(std::string_view locale)
{
    std::string code(locale.substr(0, locale.find_first_of("-_")));
    std::transform(code.begin(), code.end(), code.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; });
    if (code.size() == 3 && lower_letters(code))
        return code;
    for (const Language &l : kLanguages)
        if (code == l.two)
            return l.three;
    return std::nullopt;
}

}  // namespace wendol::xkb
