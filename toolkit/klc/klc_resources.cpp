// klc_resources.cpp - the resource script and module definition of a module
// built from a .klc source, in the form of resources/wendol.rc.
#include "klc_resources.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "klc_c_text.h"

namespace wendol {

namespace {

using klc_text::rc_string;

uint16_t locale_language(const KlcSource &source)
{
    return static_cast<uint16_t>(source.locale_id & 0xFFFF);
}

// "LANGUAGE 0x09, 0x01": the primary language in the low ten bits, the
// sublanguage above them.
std::string language_statement(uint16_t language)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "LANGUAGE 0x%02X, 0x%02X", language & 0x3FFu,
                  static_cast<unsigned>(language >> 10));
    return buffer;
}

std::string hex4(unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", value);
    return buffer;
}

const KlcLocalized *under(const std::vector<KlcLocalized> &texts, uint16_t language)
{
    for (const KlcLocalized &t : texts)
        if (t.language == language)
            return &t;
    return nullptr;
}

// The text for the locale's language: its own, else the first there is.
std::optional<std::u16string> for_locale(const std::vector<KlcLocalized> &texts,
                                         uint16_t language)
{
    if (const KlcLocalized *t = under(texts, language))
        return t->text;
    if (!texts.empty())
        return texts.front().text;
    return std::nullopt;
}

struct StringEntry {
    unsigned id;
    std::string text;   // rc_string
    const char *what;
};

std::string string_table(uint16_t language, const std::vector<StringEntry> &entries)
{
    std::vector<std::vector<std::string>> rows;
    for (const StringEntry &e : entries)
        rows.push_back({std::to_string(e.id) + ",", e.text, std::string("// ") + e.what});
    std::string out = "STRINGTABLE\n" + language_statement(language) + "\nBEGIN\n";
    for (const std::string &row : klc_text::aligned(rows))
        out += "    " + row + "\n";
    return out + "END\n";
}

// Every language of DESCRIPTIONS and LANGUAGENAMES but the locale's, in the
// order they first appear.
std::vector<uint16_t> other_languages(const KlcSource &source)
{
    std::vector<uint16_t> out;
    for (const auto *list : {&source.descriptions, &source.language_names})
        for (const KlcLocalized &t : *list)
            if (t.language != locale_language(source) &&
                std::find(out.begin(), out.end(), t.language) == out.end())
                out.push_back(t.language);
    return out;
}

std::string version_info(const KlcSource &source)
{
    const std::string major = std::to_string(source.version_major);
    const std::string minor = std::to_string(source.version_minor);
    const std::string dotted = "\"" + major + "." + minor + "\"";
    const std::string block = hex4(locale_language(source)) + "04B0";
    const std::u16string name(source.name.begin(), source.name.end());
    const std::vector<std::vector<std::string>> values = {
        {"VALUE \"CompanyName\",", rc_string(source.company)},
        {"VALUE \"FileDescription\",", rc_string(source.description)},
        {"VALUE \"FileVersion\",", dotted},
        {"VALUE \"InternalName\",", rc_string(name)},
        {"VALUE \"LegalCopyright\",", rc_string(source.copyright)},
        {"VALUE \"OriginalFilename\",", rc_string(name + u".dll")},
        {"VALUE \"ProductName\",", rc_string(source.description)},
        {"VALUE \"ProductVersion\",", dotted},
    };
    std::string out = "// The version information, under the locale's language.\n" +
                      language_statement(locale_language(source)) + "\n\n"
                      "1 VERSIONINFO\n"
                      "FILEVERSION     " + major + ", " + minor + ", 0, 0\n"
                      "PRODUCTVERSION  " + major + ", " + minor + ", 0, 0\n"
                      "FILEFLAGSMASK   0x3F        // VS_FFI_FILEFLAGSMASK\n"
                      "FILEFLAGS       0\n"
                      "FILEOS          0x40004     // VOS_NT_WINDOWS32\n"
                      "FILETYPE        2           // VFT_DLL\n"
                      "FILESUBTYPE     2           // VFT2_DRV_KEYBOARD\n"
                      "BEGIN\n"
                      "    BLOCK \"StringFileInfo\"\n"
                      "    BEGIN\n"
                      "        BLOCK \"" + block + "\"    // the locale's language, UTF-16\n"
                      "        BEGIN\n";
    for (const std::string &row : klc_text::aligned(values))
        out += "            " + row + "\n";
    return out + "        END\n"
                 "    END\n"
                 "    BLOCK \"VarFileInfo\"\n"
                 "    BEGIN\n"
                 "        VALUE \"Translation\", 0x" + hex4(locale_language(source)) + ", 0x04B0\n"
                 "    END\n"
                 "END\n";
}

}  // namespace

std::string layout_rc(const KlcSource &source)
{
    const uint16_t language = locale_language(source);
    std::string out =
        "// layout.rc - the resources of " + source.name + ".dll: the strings that name\n"
        "// the layout and the version information.  UTF-8; compiled with code page\n"
        "// 65001 and without a preprocessor, so every constant is written as a number.\n\n"
        "// The layout's names under the locale's language: 1000 its display name,\n"
        "// 1100 the name of its language, 1200 the locale name.\n";
    std::vector<StringEntry> own = {
        {1000, rc_string(for_locale(source.descriptions, language).value_or(source.description)),
         "the layout's display name"}};
    if (const auto name = for_locale(source.language_names, language))
        own.push_back({1100, rc_string(*name), "the name of its language"});
    if (!source.locale_name.empty())
        own.push_back({1200, rc_string(std::u16string(source.locale_name.begin(),
                                                      source.locale_name.end())),
                       "the locale name of its language"});
    out += string_table(language, own);

    for (const uint16_t other : other_languages(source)) {
        std::vector<StringEntry> entries;
        if (const KlcLocalized *d = under(source.descriptions, other))
            entries.push_back({1000, rc_string(d->text), "the layout's display name"});
        if (const KlcLocalized *n = under(source.language_names, other))
            entries.push_back({1100, rc_string(n->text), "the name of its language"});
        out += "\n" + string_table(other, entries);
    }
    return out + "\n" + version_info(source);
}

std::string layout_def(const KlcSource &source)
{
    return "LIBRARY \"" + source.name + ".dll\"\nEXPORTS\n    KbdLayerDescriptor @1\n";
}

}  // namespace wendol
