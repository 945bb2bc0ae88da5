// test_variants.cpp - the modules for 32-bit Windows, x64 and Arm64 are the
// same tables with another pointer form: typed through the engine, each
// must give exactly what the 32-bit module with 64-bit pointer fields gives,
// key by key under every modifier and lock, and dead key by dead key.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/compose.h"
#include "engine/keyboard_sweep.h"
#include "engine/keymap.h"
#include "support/image_helpers.h"
#include "tables/tables.h"

namespace wendol {
namespace {

// One line per press: the state, the key, what it sent and what it gave.
std::vector<std::string> sweep_lines(const Keymap &keymap)
{
    std::vector<std::string> lines;
    sweep_keyboard(keymap, [&](const SweepState &state, const Press &press) {
        const auto &scan = std::get<ScanCode>(press.key);
        std::string line = std::to_string(state.caps_lock) + std::to_string(state.num_lock) + " ";
        for (uint8_t vk : state.modifiers)
            line += std::to_string(vk) + ",";
        line += " " + std::to_string(static_cast<int>(scan.prefix)) + ":" + std::to_string(scan.code);
        line += " vk " + std::to_string(press.translation.vk);
        line += " cell " + std::to_string(static_cast<int>(press.cell.kind)) + ":" +
                std::to_string(press.cell.ch) + " gives";
        for (char16_t c : press.delivery.text)
            line += " " + std::to_string(c);
        if (press.delivery.pending)
            line += " pending " + std::to_string(*press.delivery.pending);
        lines.push_back(line);
    });
    return lines;
}

// What every dead character does with every character the keyboard types
// and every base the composition table names.
std::vector<std::u16string> dead_key_pairs(const Keymap &keymap, const std::set<char16_t> &dead,
                                           const std::set<char16_t> &bases)
{
    std::vector<std::u16string> out;
    for (char16_t d : dead)
        for (char16_t c : bases) {
            Compose compose;
            compose.dead(keymap, d);
            out.push_back(compose.character(keymap, c).text);
        }
    return out;
}

Keymap load(const std::string &path)
{
    return Keymap(read_tables(test::map_bytes(test::read_bytes(path))));
}

class Variant : public ::testing::TestWithParam<const char *> {};

TEST_P(Variant, TypesWhatTheModuleTypes)
{
    const Keymap ours = load(test::module_path());
    const Keymap theirs = load(test::sibling_module(GetParam()));

    const std::vector<std::string> expected = sweep_lines(ours);
    const std::vector<std::string> found = sweep_lines(theirs);
    ASSERT_GT(expected.size(), 10000u);   // every key, 16 modifier sets, 4 lock states
    ASSERT_EQ(found.size(), expected.size());
    size_t differences = 0;
    for (size_t i = 0; i < expected.size() && differences < 10; ++i)
        if (found[i] != expected[i]) {
            ADD_FAILURE() << "expected " << expected[i] << "\nfound    " << found[i];
            ++differences;
        }

    std::set<char16_t> dead, bases;
    for (const Keymap *keymap : {&ours, &theirs})
        for (const DeadKeyEntry &e : keymap->tables().dead_keys) {
            dead.insert(e.dead);
            bases.insert(e.base);
        }
    sweep_keyboard(ours, [&](const SweepState &, const Press &press) {
        for (char16_t c : press.delivery.text)
            bases.insert(c);
    });
    ASSERT_EQ(dead.size(), 14u);
    EXPECT_EQ(dead_key_pairs(theirs, dead, bases), dead_key_pairs(ours, dead, bases));
}

INSTANTIATE_TEST_SUITE_P(Builds, Variant, ::testing::Values("x86", "x64", "arm64"),
                         [](const auto &test_info) { return std::string(test_info.param); });

}  // namespace
}  // namespace wendol
