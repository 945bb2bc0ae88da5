// test_klc_module.cpp - a small .klc source built into its four modules by
// the program's own build step, each loaded as the platform loads it and
// typed through: the key rows, an SGCap key's Caps Lock row and its dead
// cell, a dead key composing, a ligature, the keypad's decimal key, the
// rows no LAYOUT line gives, and the key names; the verifier finds no
// error, and a second build in another folder gives the same bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "engine/key_names.h"
#include "klc/klc_module.h"
#include "module_build.h"
#include "resources/resources.h"
#include "base/text.h"
#include "engine/key_parse.h"
#include "engine/typing.h"
#include "support/image_bytes.h"
#include "verify/verify.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kAcute = 0x00B4;        // ´
constexpr char16_t kCircumflex = u'^';

KlcCell ch(char16_t c) { return {KlcCell::Kind::Character, c}; }
KlcCell dead(char16_t c) { return {KlcCell::Kind::Dead, c}; }
const KlcCell none{};
const KlcCell ligature{KlcCell::Kind::Ligature, 0};

// Columns plain, Shift, Ctrl, AltGr, AltGr+Shift (SHIFTSTATE 0 1 2 6 7).
KlcSource small_source()
{
    KlcSource s;
    s.name = "kbdklc";
    s.description = u"Klc \"test\" layout";
    s.company = u"The Wendol developers";
    s.copyright = u"\u00A9 2026 The Wendol developers";
    s.locale_name = "en-US";
    s.locale_id = 0x409;
    s.version_major = 1;
    s.version_minor = 2;
    s.altgr = true;
    s.shift_states = {0, 1, 2, 6, 7};
    s.keys = {
        {0, 0x10, 'Q', 1, false, {ch('q'), ch('Q'), none, ch(u'å'), ch(u'Å')}, {}, 10},
        // SGCap: Greek under Caps Lock; AltGr is the dead acute, whose dead
        // character shares the Caps Lock row.
        {0, 0x1E, 'A', 0, true, {ch('a'), ch('A'), none, dead(kAcute), ch(u'á')},
         {ch(u'α'), ch(u'Α')}, 11},
        {0, 0x12, 'E', 1, false, {ch('e'), ch('E'), none, ch(u'€'), ligature}, {}, 13},
        {0, 0x1A, 0xDB /* VK_OEM_4 */, 0, false, {dead(kCircumflex), ch('{'), ch(0x1B)}, {}, 14},
        {0, 0x39, 0x20 /* VK_SPACE */, 0, false, {ch(' '), ch(' '), ch(' ')}, {}, 15},
        {0, 0x53, 0x6E /* VK_DECIMAL */, 0, false, {ch('.'), ch('.')}, {}, 16},
    };
    s.dead_keys = {
        {kAcute, {{'a', u'á'}, {'e', u'é'}, {' ', kAcute}}},
        {kCircumflex, {{'e', u'ê'}, {' ', kCircumflex}}},
    };
    s.ligatures = {{'E', 4, u"e.g."}};
    s.key_names = {{0x39, u"Space"}, {0x01, u"Esc"}};
    s.key_names_ext = {{0x38, u"Right \"Alt\""}};
    s.dead_key_names = {{kAcute, u"ACUTE"}, {kCircumflex, u"CIRCUMFLEX"}};
    s.descriptions = {{0x407, u"Klc-Test"}, {0x409, u"Klc test"}};
    s.language_names = {{0x409, u"English"}};
    return s;
}

// The modules built into a folder of the test's own, removed afterwards.
// Each test program runs one test (ctest), so only the test that compares
// two builds makes a second.
class KlcModule : public ::testing::Test {
protected:
    static constexpr const char *kVariants[] = {"x86", "wow64", "x64", "arm64"};

    KlcModule()
        : root_(fs::temp_directory_path() /
                ("wendol_klc_module_" + std::to_string(::getpid())))
    {
        fs::remove_all(root_);
    }
    ~KlcModule() override { fs::remove_all(root_); }

    // The modules in the order of kVariants.
    std::vector<fs::path> build(const std::string &folder)
    {
        std::ostringstream log;
        try {
            std::vector<fs::path> modules = cli::build_modules(small_source(), root_ / folder, log);
            if (modules.size() == std::size(kVariants))
                return modules;
            ADD_FAILURE() << modules.size() << " modules built";
        } catch (const Error &e) {
            ADD_FAILURE() << e.what() << "\n" << log.str();
        }
        return {};
    }

    // Each module's tables, mapped away from its preferred base so that
    // every relocation is applied.
    std::vector<Keymap> keymaps()
    {
        std::vector<Keymap> out;
        for (const fs::path &module : build("first")) {
            const MappedImage image(PeFile::read(module.string()), 0x7FFE0000);
            out.emplace_back(read_tables(image));
        }
        return out;
    }

private:
    fs::path root_;
};

// What the keys type on a fresh keyboard, and the dead character left
// pending ("´" after a dead key alone).
std::pair<std::u16string, std::u16string> typed(const Keymap &keymap, std::string_view keys)
{
    Typist typist(keymap);
    std::u16string text;
    for (size_t at = 0; at < keys.size();) {
        const size_t end = std::min(keys.find(' ', at), keys.size());
        text += delivered(typist.chord(parse_chord(keys.substr(at, end - at))));
        at = end + 1;
    }
    const std::optional<char16_t> dead = typist.pending();
    return {text, dead ? std::u16string(1, *dead) : u""};
}

TEST_F(KlcModule, TypesWhatTheSourceSays)
{
    const struct {
        const char *keys;
        const char16_t *text;
        const char16_t *dead = u"";
    } cases[] = {
        {"q", u"q"},
        {"Shift+q", u"Q"},
        {"AltGr+q", u"å"},
        {"CapsLock q", u"Q"},                  // CAPLOK
        {"a", u"a"},
        {"CapsLock a", u"α"},                  // SGCap: the Caps Lock row
        {"CapsLock Shift+a", u"Α"},
        {"AltGr+a", u"", u"´"},
        {"AltGr+a a", u"á"},
        {"AltGr+a e", u"é"},
        {"AltGr+a Space", u"´"},
        {"AltGr+Shift+a", u"á"},
        {"AltGr+Shift+e", u"e.g."},            // the ligature
        {"[ e", u"ê"},
        {"[ Space", u"^"},
        {"Shift+[", u"{"},
        {"Ctrl+[", u"\x1B"},
        {"NumLock KP_Decimal", u"."},          // 53 DECIMAL keeps the keypad's Delete
        {"KP_Decimal", u""},
        {"NumLock KP_7", u"7"},                // rows no LAYOUT line gives
        {"Tab", u"\t"},
        {"Enter", u"\r"},
        {"Ctrl+Enter", u"\n"},
        {"Backspace", u"\b"},
        {"KP_Multiply", u"*"},
    };
    const std::vector<Keymap> built = keymaps();
    for (size_t v = 0; v < built.size(); ++v)
        for (const auto &c : cases) {
            const auto [text, dead] = typed(built[v], c.keys);
            EXPECT_EQ(utf8(text), utf8(c.text)) << kVariants[v] << ": " << c.keys;
            EXPECT_EQ(utf8(dead), utf8(c.dead)) << kVariants[v] << ": " << c.keys;
        }
}

TEST_F(KlcModule, NamesItsKeys)
{
    for (const Keymap &keymap : keymaps()) {
        const LayoutTables &t = keymap.tables();
        EXPECT_EQ(key_name(t, ScanCode{Prefix::None, 0x01}), u"Esc");
        EXPECT_EQ(key_name(t, ScanCode{Prefix::None, 0x39}), u"Space");
        EXPECT_EQ(key_name(t, ScanCode{Prefix::E0, 0x38}), u"Right \"Alt\"");
        EXPECT_EQ(dead_key_name(t, kAcute), u"ACUTE");
        EXPECT_EQ(dead_key_name(t, kCircumflex), u"CIRCUMFLEX");
        EXPECT_EQ(t.modifiers.max_mod_bits, 7);
        EXPECT_EQ(t.locale_flags, 0x00010001u);   // KLLF_ALTGR, version 1
    }
}

// The string with the ID under the language; nothing where none is.
std::optional<std::u16string> string_under(const Resources &r, uint16_t language, uint32_t id)
{
    for (const StringBlock &b : r.string_blocks)
        if (b.language == language && id >= b.first_id() && id < b.first_id() + 16)
            return b.strings.at(id - b.first_id());
    return std::nullopt;
}

// The resource script is the same for every variant: the x86 module's.
TEST_F(KlcModule, NamesTheLayoutInEachLanguage)
{
    const std::vector<fs::path> modules = build("first");
    ASSERT_FALSE(modules.empty());
    const Resources r = read_resources(PeFile::read(modules[0].string()));
    const struct {
        uint16_t language;
        uint32_t id;
        const char16_t *text;
    } strings[] = {
        {0x409, 1000, u"Klc test"},   // the locale's own description, not the first
        {0x409, 1100, u"English"},
        {0x409, 1200, u"en-US"},
        {0x407, 1000, u"Klc-Test"},
    };
    for (const auto &s : strings)
        EXPECT_EQ(string_under(r, s.language, s.id), s.text) << hex(s.language) << " " << s.id;
    ASSERT_EQ(r.versions.size(), 1u);
    ASSERT_EQ(r.versions[0].info.string_tables.size(), 1u);
    const VersionStringTable &table = r.versions[0].info.string_tables[0];
    EXPECT_EQ(table.key, u"040904B0");
    std::map<std::u16string, std::u16string> values;
    for (const VersionString &v : table.strings)
        values[v.key] = v.value;
    EXPECT_EQ(values[u"FileDescription"], u"Klc \"test\" layout");   // quotes through the script
    EXPECT_EQ(values[u"FileVersion"], u"1.2");
    EXPECT_EQ(values[u"OriginalFilename"], u"kbdklc.dll");
}

TEST_F(KlcModule, VerifiesWithoutError)
{
    for (const fs::path &module : build("first"))
        for (const Finding &f : verify_file(module.string()))
            EXPECT_NE(f.severity, Severity::Error)
                << module << ": " << f.place.field << " " << f.place.what << ": expected "
                << f.expected << ", found " << f.found;
}

// Nothing of the folder a module is built in reaches its bytes.
TEST_F(KlcModule, BuildsTheSameBytesInAnotherFolder)
{
    const std::vector<fs::path> first = build("first");
    const std::vector<fs::path> second = build("second, with a space");
    ASSERT_EQ(first.size(), second.size());
    for (size_t v = 0; v < first.size(); ++v)
        EXPECT_EQ(read_bytes(first[v].string()), read_bytes(second[v].string())) << kVariants[v];
}

// Where the Caps Lock row must hold the dead character of the key row's
// dead cell and already holds another, no row can say both.
TEST(KlcModuleSources, RefusesADeadCellItsCapsLockRowCannotHold)
{
    KlcSource s = small_source();
    s.keys[1].caps_cells = {ch(u'α'), ch(u'Α'), none, ch(u'ά')};
    const auto error = error_of([&] { module_sources(s); });
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("line 11"), std::string::npos) << *error;
}

}  // namespace
}  // namespace wendol::test
