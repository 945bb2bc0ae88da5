// test_keyman_typing.cpp - the Keyman keyboards wendol keyman wrote and
// Keyman's compiler compiled, typed through Keyman Core and through KMFL
// key by key and dead key by dead key, each compared with the engine on the
// module they were written from.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "keyman/keyman_core.h"
#include "keyman/kmfl_typing.h"
#include "keyman_typing.h"
#include "support/image_helpers.h"
#include "tables/tables.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;

struct Keyboard {
    const char *layout;   // "" for the module
    const char *id;
};
constexpr Keyboard kKeyboards[] = {
    {"", "tarvena"}, {"altgr", "altgr"}, {"chained", "chained"}, {"ligature", "ligature"}};

fs::path keyboard_dir(const Keyboard &k)
{
    const fs::path dir = WENDOL_KEYMAN_DIR;
    return *k.layout ? dir / "test_layouts" / k.layout : dir;
}

std::string dll_of(const Keyboard &k)
{
    return *k.layout ? test_layout(k.layout, "wow64") : module_path();
}

std::vector<Keystroke> keystrokes(const Strokes &strokes)
{
    std::vector<Keystroke> keys;
    for (const Stroke &s : strokes) {
        uint16_t m = 0;
        if (s.modifiers.shift)
            m |= keyman_modifier::shift;
        if (s.modifiers.altgr)
            m |= keyman_modifier::right_alt;
        if (s.modifiers.ctrl)
            m |= keyman_modifier::left_ctrl;
        if (s.caps_lock)
            m |= keyman_modifier::caps;
        keys.push_back({s.key.vk, m});
    }
    return keys;
}

// Every difference, each printed; the count of those `listed` does not excuse.
size_t unlisted(const Comparison &c, const char *what,
                const std::function<bool(const Difference &)> &listed = {})
{
    size_t count = 0;
    for (const Difference &d : c.differences)
        if (!listed || !listed(d))
            if (++count <= 20)
                ADD_FAILURE() << what << ": " << describe(d);
    std::cout << what << ": " << c.compared << " compared, " << c.differences.size() << " differ, "
              << count << " unlisted\n";
    return count;
}

// The source as KMFL takes it: kmflcomp knows no key K_?C1 (the Brazilian
// key right of /), so the rules for it are left out, and KMFL passes the
// key on untyped.
fs::path kmfl_source(const fs::path &dir, const std::string &id, const fs::path &work)
{
    fs::create_directories(work);
    std::ifstream in(dir / (id + ".kmn"));
    const fs::path source = work / ("kmfl_" + id + ".kmn");
    std::ofstream out(source);
    for (std::string line; std::getline(in, line);)
        if (line.find("K_?C1") == std::string::npos)
            out << line << '\n';
    return source;
}

TEST(KeymanCore, TypesEveryKeyAndDeadKeyAsTheEngine)
{
    for (const Keyboard &k : kKeyboards) {
        SCOPED_TRACE(k.id);
        const Keymap keymap(read_tables(MappedImage(PeFile::read(dll_of(k)), 0x7FFE0000)));
        KeymanCore core(keyboard_dir(k) / (std::string(k.id) + ".kmx"));
        const Engine typed = [&](const Strokes &s) { return to_utf16(core.type(keystrokes(s)).text); };
        const Comparison keys = compare_every_key(keymap, typed);
        const Comparison dead = compare_dead_keys(keymap, typed);
        EXPECT_EQ(unlisted(keys, (std::string(k.id) + " keys, Keyman Core").c_str()), 0u);
        EXPECT_EQ(unlisted(dead, (std::string(k.id) + " dead keys, Keyman Core").c_str()), 0u);
        EXPECT_GT(keys.compared, 20u);
        EXPECT_GT(dead.compared, 20u);
    }
}

// What KMFL types otherwise, each told by what it does.
bool kmfl_listed(const Difference &d)
{
    const Stroke &last = d.strokes.back();
    const std::string_view id = last.key.id;
    const bool after_dead = d.strokes.size() > 1;
    // kmflcomp has no key K_?C1: its rules are left out of KMFL's source.
    if (std::any_of(d.strokes.begin(), d.strokes.end(),
                    [](const Stroke &s) { return std::string_view(s.key.id) == "K_?C1"; }))
        return true;
    // After a dead key, a key whose X keysym is no character (the keypad's,
    // Enter): KMFL types the key's own character without the dead one first.
    if (after_dead && (id.starts_with("K_NP") || id == "K_ENTER"))
        return !d.engine.empty() && d.other == d.engine.substr(1);
    // After a dead key, the ; key: KMFL types the dead character, then the
    // dead character the key has under Caps Lock, not its own.
    if (after_dead && id == "K_COLON")
        return d.other.size() == 2 && d.engine.size() == 2 && d.other[0] == d.engine[0] &&
               (d.other[1] == u'\u00B4' || d.other[1] == u'\u00A8');
    return false;
}

TEST(Kmfl, TypesEveryKeyAndDeadKeyAsTheEngine)
{
    for (const Keyboard &k : kKeyboards) {
        SCOPED_TRACE(k.id);
        const Keymap keymap(read_tables(MappedImage(PeFile::read(dll_of(k)), 0x7FFE0000)));
        const fs::path work = fs::temp_directory_path() / ("wendol-kmfl-" + std::string(k.id));
        const KmflCompile compiled = compile_with_kmflcomp(kmfl_source(keyboard_dir(k), k.id, work), work);
        ASSERT_TRUE(compiled.ok()) << compiled.messages;
        KmflTyping kmfl(compiled.kmfl);
        const Engine typed = [&](const Strokes &s) { return to_utf16(kmfl.type(keystrokes(s)).text); };
        const Comparison keys = compare_every_key(keymap, typed);
        const Comparison dead = compare_dead_keys(keymap, typed);
        EXPECT_EQ(unlisted(keys, (std::string(k.id) + " keys, KMFL").c_str(), kmfl_listed), 0u);
        EXPECT_EQ(unlisted(dead, (std::string(k.id) + " dead keys, KMFL").c_str(), kmfl_listed), 0u);
        fs::remove_all(work);
    }
}

}  // namespace
}  // namespace wendol::test
