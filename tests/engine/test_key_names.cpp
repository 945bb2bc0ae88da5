// test_key_names.cpp - the names the platform would show for keys, looked up
// in the name lists of the built Wendol.dll as loaded and relocated.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"
#include "support/typing_helpers.h"
#include "tables/tables.h"

namespace wendol {
namespace {

class KeyNames : public ::testing::Test {
protected:
    // The tables as loaded away from the preferred base, read once.
    const LayoutTables *const tables_ = &test::keymap().tables();
};

struct Named {
    uint8_t scan;
    bool e0;
    std::u16string name;
};

const std::vector<Named> kNamedKeys = {
    {0x01, false, u"Esc"},
    {0x1C, false, u"Enter"},
    {0x1D, false, u"Ctrl"},
    {0x36, false, u"\u041F\u0440\u0430\u0432\u044B\u0439 Shift"},   // Правый Shift
    {0x37, false, u"Num *"},
    {0x38, false, u"Alt"},
    {0x45, false, u"Pause"},
    {0x4A, false, u"Num \u2212"},   // minus sign, not hyphen-minus
    {0x4E, false, u"Num +"},
    {0x53, false, u"Num ."},
    {0x54, false, u"Sys Req"},
    {0x58, false, u"F12"},
    {0x7C, false, u"F13"}, {0x7D, false, u"F14"}, {0x7E, false, u"F15"}, {0x7F, false, u"F16"},
    {0x80, false, u"F17"}, {0x81, false, u"F18"}, {0x82, false, u"F19"}, {0x83, false, u"F20"},
    {0x84, false, u"F21"}, {0x85, false, u"F22"}, {0x86, false, u"F23"}, {0x87, false, u"F24"},
    {0x1C, true, u"Num Enter"},
    {0x1D, true, u"\u041F\u0440\u0430\u0432\u044B\u0439 Ctrl"},      // Правый Ctrl
    {0x35, true, u"Num /"},
    {0x38, true, u"AltGr"},
    {0x45, true, u"Num Lock"},
    {0x46, true, u"Break"},
    {0x54, true, u"<00>"},
    {0x5B, true, u"\u041B\u0463\u0432\u044B\u0439 Windows"},         // Лѣвый, with yat
    {0x5C, true, u"\u041F\u0440\u0430\u0432\u044B\u0439 Windows"},
    {0x5D, true, u"Application"},
};

TEST_F(KeyNames, KeysAreCalledWhatTheLayoutCallsThem)
{
    for (const Named &key : kNamedKeys) {
        SCOPED_TRACE((key.e0 ? "E0 " : "") + hex(key.scan, 2));
        const std::optional<std::u16string> name = key_name(*tables_, key.scan, key.e0);
        ASSERT_TRUE(name.has_value());
        EXPECT_EQ(utf8(*name), utf8(key.name));
    }
}

TEST_F(KeyNames, CharacterKeysAndUnlistedCodesHaveNoName)
{
    const std::vector<std::pair<uint8_t, bool>> unnamed = {
        {0x02, false},   // the 1 key
        {0x10, false},   // Q
        {0x29, false},   // grave accent
        {0x56, false},   // the 102nd key
        {0x64, false},   // VK_F13 in the scan-code map, but F13 is named at 0x7C
        {0x88, false},
        {0x00, false},   // the lists' terminators are not entries
        {0x00, true},
        {0x01, true},    // Esc has no E0 form
        {0x36, true},
        {0x1E, true},
    };
    for (const auto &[scan, e0] : unnamed)
        EXPECT_FALSE(key_name(*tables_, scan, e0).has_value())
            << (e0 ? "E0 " : "") << hex(scan, 2);
}

TEST_F(KeyNames, ListsAscendByScanCodeWithTheirCounts)
{
    const std::vector<std::pair<const std::vector<KeyName> *, size_t>> lists = {
        {&tables_->key_names, 51}, {&tables_->key_names_ext, 22}};
    for (const auto &[list, count] : lists) {
        EXPECT_EQ(list->size(), count);
        for (size_t i = 1; i < list->size(); ++i)
            EXPECT_LT((*list)[i - 1].scan, (*list)[i].scan) << "entry " << i;
        for (const KeyName &entry : *list)
            EXPECT_FALSE(entry.name.empty()) << hex(entry.scan, 2);
    }
    EXPECT_EQ(tables_->dead_key_names.size(), 14u);
}

// Keys as a person names them, looked up as the platform looks them up:
// Num Lock and Pause trade places on the way, and only Pause of the E1
// codes has a name.
struct Pressed {
    const char *key;
    std::optional<std::u16string> name;
};

const std::vector<Pressed> kPressedKeys = {
    {"NumLock", u"Num Lock"},
    {"sc:45", u"Num Lock"},
    {"Pause", u"Pause"},
    {"Break", u"Break"},
    {"AltGr", u"AltGr"},
    {"LAlt", u"Alt"},
    {"RShift", u"\u041F\u0440\u0430\u0432\u044B\u0439 Shift"},
    {"KP_Subtract", u"Num \u2212"},
    {"KP_Enter", u"Num Enter"},
    {"Enter", u"Enter"},
    {"F12", u"F12"},
    {"F13", std::nullopt},   // sent as 0x64; the name F13 sits at 0x7C
    {"sc:7C", u"F13"},
    {"1", std::nullopt},
    {"a", std::nullopt},
    {"sc:E1 22", std::nullopt},
};

TEST_F(KeyNames, PressedKeysAreNamedAsThePlatformLooksThemUp)
{
    for (const Pressed &pressed : kPressedKeys) {
        SCOPED_TRACE(pressed.key);
        const Key key = parse_key(pressed.key);
        ASSERT_TRUE(std::holds_alternative<ScanCode>(key));
        const std::optional<std::u16string> name = key_name(*tables_, std::get<ScanCode>(key));
        ASSERT_EQ(name.has_value(), pressed.name.has_value());
        if (name) {
            EXPECT_EQ(utf8(*name), utf8(*pressed.name));
        }
    }
}

TEST_F(KeyNames, NamesCommandAnswersForOneKeyAndListsThemAll)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> expected;   // parts of the output
    };
    const std::string dll = test::module_path();
    const std::vector<Case> cases = {
        {{"names", dll, "sc:E0 38"}, {"looked up as E0 38: \"AltGr\""}},
        {{"names", dll, "sc:36"}, {"\"Правый Shift\""}},
        {{"names", dll, "NumLock"}, {"(sc:45), looked up as E0 45: \"Num Lock\""}},
        {{"names", dll, "1"}, {"(sc:02), looked up as 02: no name"}},
        {{"names", dll, "vk:E8"}, {"vk:E8 from AltGr (sc:E0 38)"}},
        {{"names", dll},
         {"Key names by scan code (51)", "Key names after E0 (22)", "Dead-key names (14)",
          "E0 5B  \"Лѣвый Windows\"", "U+1D62 ᵢ  \"Sub\"", "87     \"F24\""}},
    };
    for (const Case &c : cases) {
        const test::CliRun run = test::run_cli(c.args);
        EXPECT_EQ(run.exit_code, 0) << run.output;
        for (const std::string &part : c.expected)
            EXPECT_NE(run.output.find(part), std::string::npos) << part << "\n" << run.output;
    }
    const test::CliRun bad = test::run_cli({"names", dll, "NoSuchKey"});
    EXPECT_EQ(bad.exit_code, 2) << bad.output;
}

struct DeadName {
    char16_t dead;
    std::u16string name;
};

const std::vector<DeadName> kDeadNames = {
    {u'\u00B4', u"\u010C\u00E1rka"},        // Čárka
    {u'\u02C7', u"H\u00E1\u010Dek"},        // Háček
    {u'\u00B0', u"Krou\u017Eek/Sup"},       // Kroužek/Sup
    {u'\u1D62', u"Sub"},
    {u'\u2155', u"/5"},
    {u'\u215F', u"1/"},
};

TEST_F(KeyNames, DeadKeysAreNamedByTheirDeadCharacter)
{
    for (const DeadName &dead : kDeadNames) {
        SCOPED_TRACE(character_label(dead.dead));
        const std::optional<std::u16string> name = dead_key_name(*tables_, dead.dead);
        ASSERT_TRUE(name.has_value());
        EXPECT_EQ(utf8(*name), utf8(dead.name));
    }
    EXPECT_FALSE(dead_key_name(*tables_, u'a').has_value());
    EXPECT_FALSE(dead_key_name(*tables_, u'\u2153').has_value());   // ⅓ is typed, not dead
}

// The dead characters of the composition table, in the order their groups
// first appear.
std::vector<char16_t> composition_groups(const LayoutTables &tables)
{
    std::vector<char16_t> groups;
    for (const DeadKeyEntry &entry : tables.dead_keys)
        if (std::find(groups.begin(), groups.end(), entry.dead) == groups.end())
            groups.push_back(static_cast<char16_t>(entry.dead));
    return groups;
}

TEST_F(KeyNames, EveryDeadCharacterHasExactlyOneNameInGroupOrder)
{
    const std::vector<char16_t> groups = composition_groups(*tables_);
    const std::vector<DeadKeyName> names = dead_key_names(*tables_);
    ASSERT_EQ(names.size(), tables_->dead_key_names.size()) << "an empty dead-key name";

    std::vector<char16_t> named;
    for (const DeadKeyName &name : names) {
        EXPECT_FALSE(name.name.empty()) << character_label(name.dead);
        named.push_back(name.dead);
    }
    for (char16_t dead : groups)
        EXPECT_EQ(std::count(named.begin(), named.end(), dead), 1) << character_label(dead);
    for (char16_t dead : named)
        EXPECT_NE(std::find(groups.begin(), groups.end(), dead), groups.end())
            << character_label(dead) << " names no dead character of the table";
    EXPECT_EQ(named, groups);
}

TEST(DeadKeyNameSplit, FirstCharacterIsTheDeadCharacter)
{
    const std::optional<DeadKeyName> sub = split_dead_key_name(u"\u1D62Sub");
    ASSERT_TRUE(sub.has_value());
    EXPECT_EQ(sub->dead, u'\u1D62');
    EXPECT_EQ(utf8(sub->name), "Sub");

    const std::optional<DeadKeyName> bare = split_dead_key_name(u"^");
    ASSERT_TRUE(bare.has_value());
    EXPECT_TRUE(bare->name.empty());

    EXPECT_FALSE(split_dead_key_name(u"").has_value());
}

}  // namespace
}  // namespace wendol
