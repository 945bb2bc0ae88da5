// test_xkb_typing.cpp - the keymap and Compose file written from each built
// module, compiled by libxkbcommon without a warning, type what the engine
// types on the module: every key under every state of Shift, AltGr, Caps
// Lock and Num Lock, and every dead key followed by every key that types.
// What differs is exactly what the README lists as having no XKB form.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>

#include "support/image_helpers.h"
#include "tables/tables.h"
#include "xkb/xkb_text.h"
#include "xkb_typing.h"

namespace wendol::test {
namespace {

using xkb::KeyState;

Keymap load_keymap(const std::string &dll)
{
    const MappedImage image(PeFile::read(dll), 0x7FFE0000);
    return Keymap(read_tables(image));
}

std::string joined(const std::vector<std::string> &messages)
{
    std::string out;
    for (const std::string &m : messages)
        out += m;
    return out;
}

// Every difference is one of the listed, and each listed one happens.
void expect_only(const Comparison &comparison, const std::vector<Exception> &listed,
                 const std::string &what)
{
    std::vector<size_t> seen(listed.size());
    size_t unlisted = 0;
    for (const Difference &d : comparison.differences) {
        bool explained = false;
        for (size_t i = 0; i < listed.size(); ++i)
            if (listed[i].key == d.key && listed[i].matches(d)) {
                ++seen[i];
                explained = true;
            }
        if (!explained && ++unlisted <= 20)
            ADD_FAILURE() << what << ": " << describe(d);
    }
    EXPECT_EQ(unlisted, 0u) << what << ": differences the README does not list";
    std::cout << what << ": " << comparison.compared << " compared, "
              << comparison.differences.size() << " differ, " << unlisted << " of them unlisted\n";
}

void expect_listed_happen(const Comparison &comparison, const std::vector<Exception> &listed)
{
    for (const Exception &e : listed) {
        const bool happens = std::any_of(
            comparison.differences.begin(), comparison.differences.end(),
            [&](const Difference &d) { return d.key == e.key && e.matches(d); });
        EXPECT_TRUE(happens) << xkb::scan_code_text(e.key) << " (" << e.why
                             << ") is listed as differing but types the same";
    }
}

// The files written for one module, compiled by libxkbcommon.
struct Compiled {
    std::unique_ptr<Keymap> keymap;
    xkb::XkbLayout layout;
    std::unique_ptr<XkbContext> context;
    XkbKeymap xkb;
    ComposeTable compose;
};

Compiled compile(const std::string &dll)
{
    Compiled c;
    c.keymap = std::make_unique<Keymap>(load_keymap(dll));
    c.layout = xkb::xkb_layout(*c.keymap);
    c.context = std::make_unique<XkbContext>();
    const xkb::LayoutNames names{"tarvena", "Tarvena", "eng", "Wendol.dll (Tarvena)"};
    c.xkb = keymap_from_text(*c.context, xkb::keymap_text(c.layout, *c.keymap, names));
    c.compose = compose_from_text(*c.context, xkb::compose_text(c.layout, *c.keymap, names));
    return c;
}

class ModuleVariant : public testing::TestWithParam<const char *> {
protected:
    std::string dll() const
    {
        const std::string variant = GetParam();
        return variant == "wow64" ? module_path() : sibling_module(variant);
    }
};

TEST_P(ModuleVariant, CompilesWithoutAWarning)
{
    const Compiled c = compile(dll());
    EXPECT_TRUE(c.context->messages().empty()) << joined(c.context->messages());
    // The keys are all there, named as libxkbcommon knows them.
    for (const xkb::XkbKey &key : c.layout.keys)
        EXPECT_EQ(xkb_keymap_key_by_name(c.xkb.get(), key.linux.name), key.linux.xkb_code())
            << key.linux.name;
}

TEST_P(ModuleVariant, EveryKeyUnderEveryStateTypesTheSame)
{
    const Compiled c = compile(dll());
    const Comparison every = compare_every_key(*c.keymap, c.xkb.get(), c.compose.get());
    EXPECT_EQ(every.compared, c.keymap->scan_codes().size() * xkb::kKeyStates);
    expect_only(every, module_exceptions(), std::string(GetParam()) + " keys");
    expect_listed_happen(every, module_exceptions());
}

TEST_P(ModuleVariant, EveryDeadKeyThenEveryKeyTypesTheSame)
{
    const Compiled c = compile(dll());
    // The other variants hold the same tables: every seventh follower there.
    const size_t stride = std::string(GetParam()) == "wow64" ? 1 : 7;
    const Comparison dead = compare_dead_keys(*c.keymap, c.xkb.get(), c.compose.get(), stride);
    EXPECT_GT(dead.compared, 1000u);
    expect_only(dead, module_exceptions(), std::string(GetParam()) + " dead keys");
}

INSTANTIATE_TEST_SUITE_P(Built, ModuleVariant, testing::Values("wow64", "x86", "x64", "arm64"));

// What each layout does that XKB cannot carry, as the writer records it:
// the kind, the key (none for a lock) and the states.
TEST(XkbLayout, WhatTheWriterCannotCarryIsRecorded)
{
    using Kind = xkb::Unmapped::Kind;
    struct Expected {
        Kind kind;
        std::string key;
        size_t states;
    };
    const std::pair<std::string, std::vector<Expected>> cases[] = {
        {module_path(),
         {{Kind::NoLinuxKey, "sc:5F", 0}, {Kind::NoLinuxKey, "sc:7C", 0},
          {Kind::NoLinuxKey, "sc:E0 46", 0}}},
        // E types a ligature with Shift+AltGr, F with AltGr (with and
        // without either lock), J with Shift and, CAPLOK, with Caps Lock
        // (with and without Num Lock).  With Ctrl they type the same, named once.
        {test_layout("ligature", "wow64"),
         {{Kind::Ligature, "sc:12", 4}, {Kind::Ligature, "sc:21", 4}, {Kind::Ligature, "sc:24", 4}}},
        {test_layout("altgr_shiftlock", "wow64"), {{Kind::ShiftLock, "", 0}}},
    };
    for (const auto &[dll, expected] : cases) {
        SCOPED_TRACE(dll);
        const Keymap keymap = load_keymap(dll);
        const xkb::XkbLayout layout = xkb::xkb_layout(keymap);
        ASSERT_EQ(layout.unmapped.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const xkb::Unmapped &u = layout.unmapped[i];
            EXPECT_EQ(u.kind, expected[i].kind) << i;
            EXPECT_EQ(u.scan ? xkb::scan_code_text(*u.scan) : "", expected[i].key) << i;
            EXPECT_EQ(u.states.size(), expected[i].states) << i;
        }
    }
    // The Kana layout's lock is among its records.
    const Keymap kana = load_keymap(test_layout("kana", "wow64"));
    const xkb::XkbLayout kana_layout = xkb::xkb_layout(kana);
    EXPECT_TRUE(std::any_of(kana_layout.unmapped.begin(), kana_layout.unmapped.end(),
                            [](const xkb::Unmapped &u) { return u.kind == Kind::KanaLock; }));

    // The chained layout's ´ d ˝ d ´ ... never ends: where the Compose file
    // stops following it, the dead key is named.
    const Keymap chained = load_keymap(test_layout("chained", "wow64"));
    const xkb::ComposeFile compose =
        xkb::compose_file(xkb::xkb_layout(chained), chained, {"chained", "chained", "", "chained.dll"});
    ASSERT_EQ(compose.left_out.size(), 1u);
    EXPECT_EQ(compose.left_out[0].kind, Kind::DeadChain);
    EXPECT_EQ(compose.left_out[0].text, u"\u00B4");
    EXPECT_GT(compose.left_out[0].count, 0u);
    EXPECT_NE(compose.text.find("# Not carried on Linux:"), std::string::npos);

    // Tables that break their own rules: A's SGCAPS row is last in its
    // table, so no state with Caps Lock on has an answer; those are left
    // out and named with the engine's reason, the others written.
    LayoutTables broken;
    broken.modifiers.keys = {{0x10, 0x01}};
    broken.modifiers.max_mod_bits = 1;
    broken.modifiers.mod_number = {0, 1};
    broken.scan_map.assign(0x40, 0xFF);
    broken.scan_map[0x1E] = 'A';
    broken.scan_map[0x2A] = 0xA0;
    broken.scan_map[0x3A] = 0x14;
    broken.char_tables.push_back(CharTable{2, 6, 0, {CharRow{'A', kSgCaps, {'a', 'A'}, 0}}});
    const Keymap sgcaps(std::move(broken));
    const xkb::XkbLayout written = xkb::xkb_layout(sgcaps);
    ASSERT_EQ(written.unmapped.size(), 1u);
    const xkb::Unmapped &u = written.unmapped[0];
    EXPECT_EQ(u.kind, Kind::Broken);
    EXPECT_EQ(u.scan, (ScanCode{Prefix::None, 0x1E}));
    EXPECT_FALSE(u.states.empty());
    for (const KeyState &state : u.states)
        EXPECT_TRUE(state.caps_lock) << xkb::state_words(state);
    EXPECT_NE(xkb::unmapped_text(u, sgcaps).find("SGCAPS"), std::string::npos)
        << xkb::unmapped_text(u, sgcaps);
    ASSERT_EQ(written.keys.size(), 3u);
    EXPECT_EQ(written.keys[0].states[0].keysym, "a");
}

TEST(XkbLayout, DeadKeysGetDeadKeysymsOfTheirOwn)
{
    const Keymap keymap = load_keymap(module_path());
    const xkb::XkbLayout layout = xkb::xkb_layout(keymap);
    EXPECT_EQ(layout.dead_keys.size(), 14u);
    std::vector<std::string> keysyms;
    for (const xkb::DeadKeysym &d : layout.dead_keys) {
        EXPECT_EQ(d.keysym.rfind("dead_", 0), 0u) << d.keysym;
        EXPECT_EQ(std::count(keysyms.begin(), keysyms.end(), d.keysym), 0) << d.keysym;
        keysyms.push_back(d.keysym);
        const std::string meant = d.dead == u'\u00B4'   ? "dead_acute"
                                  : d.dead == u'\u02C7' ? "dead_caron"
                                  : d.dead == u'\u00A8' ? "dead_diaeresis"
                                                         : d.keysym;
        EXPECT_EQ(d.keysym, meant);
    }
    // No key types a dead keysym's character as a keysym of its own.
    for (const xkb::TypedKeysym &t : layout.typed)
        EXPECT_EQ(t.keysym.rfind("dead_", 0), std::string::npos) << t.keysym;
}

// Another layout the engine models in full: the right Alt key as Ctrl+Alt,
// CAPLOK, CAPLOKALTGR and SGCAPS letters and a dead acute.  Only its Escape
// key differs, where it has no character (AltGr+Shift).
TEST(XkbTestLayout, TheAltGrLayoutTypesTheSameEverywhere)
{
    const Compiled c = compile(test_layout("altgr", "wow64"));
    EXPECT_TRUE(c.context->messages().empty()) << joined(c.context->messages());
    const Comparison every = compare_every_key(*c.keymap, c.xkb.get(), c.compose.get());
    std::vector<Exception> escape = module_exceptions();
    std::erase_if(escape, [](const Exception &e) { return e.key != ScanCode{Prefix::None, 0x01}; });
    expect_only(every, escape, "altgr keys");
    expect_listed_happen(every, escape);
    const Comparison dead = compare_dead_keys(*c.keymap, c.xkb.get(), c.compose.get());
    EXPECT_GT(dead.compared, 10u);
    expect_only(dead, {}, "altgr dead keys");
}

}  // namespace
}  // namespace wendol::test
