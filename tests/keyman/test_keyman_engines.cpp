// The toy keyboard typed through Keyman Core (its .kmx) and through KMFL
// (its .kmn compiled by kmflcomp): each row is keys and what each engine
// leaves in the document.  Where the two differ the row says why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "keyman/keyman_core.h"
#include "keyman/kmfl_typing.h"

namespace wendol::test {
namespace {

namespace m = keyman_modifier;

constexpr uint16_t K_A = 'A', K_B = 'B', K_D = 'D', K_E = 'E', K_O = 'O', K_S = 'S', K_Z = 'Z', K_1 = '1';
constexpr uint16_t K_SPACE = 0x20, K_QUOTE = 0xDE, K_ENTER = 0x0D, K_BKSP = 0x08;

std::filesystem::path source_dir() { return std::filesystem::path(__FILE__).parent_path(); }

// The .kmx Keyman's compiler made of toy_rules.kmn; the build names it.
std::filesystem::path toy_kmx() {
    if (const char *path = std::getenv("WENDOL_KEYMAN_TOY_KMX")) return path;
#ifdef WENDOL_KEYMAN_TOY_KMX_PATH
    return WENDOL_KEYMAN_TOY_KMX_PATH;
#else
    return {};
#endif
}

struct Row {
    const char *what;
    std::vector<Keystroke> keys;
    std::u32string core;
    std::u32string kmfl;
    size_t core_markers = 0;  // markers Core still holds before the caret
    size_t passed_on = 0;     // keys both engines hand back to the application
};

const std::vector<Row> &rows() {
    static const std::vector<Row> table = {
        {"plain key", {{K_A, 0}}, U"q", U"q"},
        {"Shift", {{K_A, m::shift}}, U"Q", U"Q"},
        {"right Alt alone is [RALT]", {{K_A, m::right_alt}}, U"æ", U"æ"},
        {"Windows' AltGr pair is Ctrl+Alt, no rule", {{K_A, m::left_ctrl | m::right_alt}}, U"", U"", 0, 1},
        {"[CTRL ALT] takes either side", {{K_S, m::left_ctrl | m::left_alt}, {K_S, m::right_ctrl | m::right_alt}},
         U"ßß", U"ßß"},
        {"[RALT] and [LCTRL LALT] apart", {{K_D, m::right_alt}, {K_D, m::left_ctrl | m::left_alt}}, U"rl", U"rl"},
        {"Caps Lock on, then off", {{K_B, m::caps}, {K_B, 0}, {K_B, m::no_caps}}, U"Www", U"Www"},
        {"Shift with Caps Lock, no rule: the US letter, lower case", {{K_B, m::shift | m::caps}}, U"b", U"b"},
        // A letter rule that names no lock: Core ignores Caps Lock, KMFL sees
        // the keysym Caps Lock turned (A, a) and matches by it.  A written
        // form that both must type alike names CAPS or NCAPS on every letter.
        {"Caps Lock on [K_A]", {{K_A, m::caps}}, U"q", U"A"},
        {"Caps Lock with Shift on [SHIFT K_A]", {{K_A, m::shift | m::caps}}, U"Q", U"q"},
        // kmflcomp compiled [SHIFT K_1] as the keysym 1 with Shift; x_key_for sends that.
        {"Shift on a digit", {{K_1, m::shift}}, U"1", U"1"},
        {"no rule, Shift on a digit: Core types !, KMFL its keysym 1", {{'2', m::shift}}, U"@", U"2"},
        {"dead key, then a key it composes with", {{K_QUOTE, 0}, {K_E, 0}}, U"é", U"é"},
        {"dead key, then Shift", {{K_QUOTE, 0}, {K_E, m::shift}}, U"É", U"É"},
        {"dead key, then a key it does not compose with", {{K_QUOTE, 0}, {K_A, 0}}, U"q", U"q", 1},
        {"dead key, then a key with no rule", {{K_QUOTE, 0}, {K_Z, 0}}, U"z", U"z", 1},
        {"dead key, then Space", {{K_QUOTE, 0}, {K_SPACE, 0}}, U"'", U"'"},
        {"two dead keys: one is taken, one stays", {{K_QUOTE, 0}, {K_QUOTE, 0}, {K_O, 0}}, U"ó", U"ó", 1},
        {"no rule", {{K_Z, 0}, {K_Z, m::shift}, {K_Z, m::caps}}, U"zZZ", U"zZZ"},
        {"no rule, not a character: passed on", {{K_A, 0}, {K_ENTER, 0}}, U"q", U"q", 0, 1},
        {"Backspace takes a marker with the character before it", {{K_A, 0}, {K_QUOTE, 0}, {K_BKSP, 0}}, U"", U""},
    };
    return table;
}

TEST(KeymanCoreTyping, ToyKeyboard) {
    const std::filesystem::path kmx = toy_kmx();
    if (kmx.empty() || !std::filesystem::exists(kmx)) GTEST_SKIP() << "no .kmx of toy_rules.kmn";
    KeymanCore core(kmx);
    for (const Row &row : rows()) {
        const TypedText typed = core.type(row.keys);
        EXPECT_EQ(to_utf8(typed.text), to_utf8(row.core)) << row.what;
        EXPECT_EQ(typed.markers_left, row.core_markers) << row.what;
        EXPECT_EQ(core.context_markers(), row.core_markers) << row.what;
        EXPECT_EQ(typed.passed_on.size(), row.passed_on) << row.what;
    }
}

TEST(KeymanCoreTyping, ActionItems) {
    const std::filesystem::path kmx = toy_kmx();
    if (kmx.empty() || !std::filesystem::exists(kmx)) GTEST_SKIP() << "no .kmx of toy_rules.kmn";
    using K = EngineStep::Kind;
    KeymanCore core(kmx);
    EXPECT_EQ(core.press({K_QUOTE, 0}).steps, (std::vector<EngineStep>{{K::set_marker, 1}}));
    EXPECT_EQ(core.press({K_E, 0}).steps, (std::vector<EngineStep>{{K::delete_marker, 1}, {K::insert, U'é'}}));
    EXPECT_EQ(core.press({K_ENTER, 0}).steps, (std::vector<EngineStep>{{K::context_reset}, {K::passed_on}}));
    EXPECT_EQ(core.press({0x14, m::caps}).steps, (std::vector<EngineStep>{{K::passed_on}}));  // the Caps Lock key
    EXPECT_EQ(core.context_text(), U"é");
}

TEST(KmflTyping, ToyKeyboard) {
    const auto dir = std::filesystem::temp_directory_path() / "wendol-kmfl-toy";
    const KmflCompile compiled = compile_with_kmflcomp(source_dir() / "toy_rules.kmn", dir);
    ASSERT_TRUE(compiled.ok()) << compiled.messages;
    KmflTyping kmfl(compiled.kmfl);
    for (const Row &row : rows()) {
        const TypedText typed = kmfl.type(row.keys);
        EXPECT_EQ(to_utf8(typed.text), to_utf8(row.kmfl)) << row.what;
        EXPECT_EQ(typed.markers_left, row.core_markers != 0 ? 1u : 0u) << row.what;
        EXPECT_EQ(typed.passed_on.size(), row.passed_on) << row.what;
    }
}

}  // namespace
}  // namespace wendol::test
