// test_xkb_install.cpp - the Linux files as a user gets them: written by
// `wendol xkb`, accepted by xkbcomp, installed by installer/linux/install.sh
// into a home of the test's own, found by libxkbcommon by the layout's name
// through the evdev rules, typing as the engine types; and uninstalled
// again, leaving what the user had.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "base/text.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"
#include "tables/tables.h"
#include "xkb_typing.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const fs::path &path, const std::string &text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A folder of the test's own, removed afterwards.
class Scratch {
public:
    explicit Scratch(const std::string &name)
        : path_(fs::temp_directory_path() / (name + "-" + std::to_string(getpid())))
    {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Scratch() { fs::remove_all(path_); }
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

// `wendol xkb` on the module, into `dir`.
void write_linux_files(const fs::path &dir)
{
    const CliRun run = run_cli({"xkb", module_path(), "--out", dir.string()});
    ASSERT_EQ(run.exit_code, 0) << run.output;
}

std::string installer()
{
    return std::string(WENDOL_SOURCE_DIR) + "/installer/linux/install.sh";
}

Keymap load_module()
{
    const MappedImage image(PeFile::read(module_path()), 0x7FFE0000);
    return Keymap(read_tables(image));
}

TEST(XkbCommand, WritesEveryFileAndNamesWhatLinuxCannotHold)
{
    const Scratch scratch("wendol-xkb-cli");
    const CliRun run = run_cli({"xkb", module_path(), "--out", scratch.path().string()});
    ASSERT_EQ(run.exit_code, 0) << run.output;
    // Named after the module's own name for the layout, from its string
    // resources, and under the language its locale name gives.
    for (const char *file : {"tarvena.xkb", "tarvena.compose", "symbols/tarvena", "types/tarvena",
                             "rules/evdev", "rules/evdev.xml"}) {
        EXPECT_TRUE(fs::is_regular_file(scratch.path() / file)) << file;
        EXPECT_NE(run.output.find((scratch.path() / file).string()), std::string::npos) << file;
    }
    const std::string registry = read_text(scratch.path() / "rules/evdev.xml");
    EXPECT_NE(registry.find("<description>Tarvena</description>"), std::string::npos) << registry;
    EXPECT_NE(registry.find("<iso639Id>eng</iso639Id>"), std::string::npos) << registry;
    // What Linux cannot carry, on stderr and in the files.
    const CliRun errors = run_cli({"xkb", module_path(), "--out", scratch.path().string()},
                                  Streams::ErrorsOnly);
    EXPECT_NE(errors.output.find("not on Linux: sc:E0 46"), std::string::npos) << errors.output;
    EXPECT_NE(read_text(scratch.path() / "symbols/tarvena").find("sc:E0 46"), std::string::npos);

    // Another layout, whose names come from its file, and names given.
    const fs::path other = scratch.path() / "other";
    const CliRun ligature = run_cli({"xkb", test_layout("ligature", "wow64"), "--out", other.string()},
                                    Streams::ErrorsOnly);
    ASSERT_EQ(ligature.exit_code, 0) << ligature.output;
    EXPECT_NE(ligature.output.find("not on Linux: sc:24 (Shift"), std::string::npos) << ligature.output;
    EXPECT_NE(read_text(other / "ligature.compose").find("# Not carried on Linux:"), std::string::npos);
    EXPECT_NE(read_text(other / "types/ligature").find("type \"LIGATURE_"), std::string::npos);
    // Without resources it has no language the toolkit can tell, and says none.
    EXPECT_EQ(read_text(other / "rules/evdev.xml").find("iso639Id"), std::string::npos);
    const CliRun shift_lock = run_cli({"xkb", test_layout("altgr_shiftlock", "wow64"), "--out",
                                       (scratch.path() / "lock").string()}, Streams::ErrorsOnly);
    EXPECT_NE(shift_lock.output.find("KLLF_SHIFTLOCK"), std::string::npos) << shift_lock.output;
    const fs::path named = scratch.path() / "named";
    ASSERT_EQ(run_cli({"xkb", module_path(), "--out", named.string(), "--name", "mine_2",
                       "--description", "Mine & yours", "--language", "de"}).exit_code, 0);
    const std::string symbols = read_text(named / "symbols/mine_2");
    EXPECT_NE(symbols.find("type[Group1] = \"MINE_2_"), std::string::npos);
    EXPECT_EQ(symbols.find("WENDOL"), std::string::npos);
    EXPECT_NE(read_text(named / "rules/evdev").find("mine_2 = +mine_2"), std::string::npos);
    const std::string named_registry = read_text(named / "rules/evdev.xml");
    EXPECT_NE(named_registry.find("<description>Mine &amp; yours</description>"), std::string::npos);
    EXPECT_NE(named_registry.find("<iso639Id>deu</iso639Id>"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(named / "mine_2.xkb"));
}

TEST(XkbCommand, RefusesWhatIsNoModule)
{
    const Scratch scratch("wendol-xkb-bad");
    write_text(scratch.path() / "not.dll", "MZ but nothing more");
    const CliRun bad = run_cli({"xkb", (scratch.path() / "not.dll").string(), "--out",
                                (scratch.path() / "out").string()});
    EXPECT_EQ(bad.exit_code, 1) << bad.output;
    EXPECT_NE(bad.output.find("wendol xkb: "), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("expected"), std::string::npos) << bad.output;
    EXPECT_FALSE(fs::exists(scratch.path() / "out"));

    const CliRun missing = run_cli({"xkb"});
    EXPECT_EQ(missing.exit_code, 2) << missing.output;

    // Names and languages that cannot be, refused before anything is read.
    for (const std::vector<std::string> &options :
         {std::vector<std::string>{"--name", ""}, {"--name", "2nd"}, {"--name", "Mine"},
          {"--name", "my-layout"}, {"--description", ""}, {"--language", "english"},
          {"--language", "xx"}}) {
        std::vector<std::string> args = {"xkb", module_path(), "--out", (scratch.path() / "out").string()};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun run = run_cli(args);
        EXPECT_EQ(run.exit_code, 2) << options[0] << " " << options[1] << ": " << run.output;
        EXPECT_NE(run.output.find(options[0]), std::string::npos) << run.output;
    }
    EXPECT_FALSE(fs::exists(scratch.path() / "out"));
}

TEST(Xkbcomp, AcceptsTheKeymap)
{
    const CliRun found = run_program("sh", {"-c", "command -v xkbcomp"});
    ASSERT_EQ(found.exit_code, 0)
        << "xkbcomp is not installed: it comes in the Debian package x11-xkb-utils";
    const Scratch scratch("wendol-xkbcomp");
    write_linux_files(scratch.path());
    const fs::path compiled = scratch.path() / "tarvena.xkm";
    // At its most talkative xkbcomp has nothing to say of the keymap.
    const CliRun run = run_program("xkbcomp", {"-w", "10", "-xkm",
                                               (scratch.path() / "tarvena.xkb").string(), "-o",
                                               compiled.string()});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(run.output, "");
    EXPECT_GT(fs::file_size(compiled), 1000u);
}

// The home and configuration folders the install goes into, set for this
// process (libxkbcommon reads them) and for the installer.
class UserHome {
public:
    explicit UserHome(const fs::path &root) : home_(root / "home"), config_(root / "config")
    {
        fs::create_directories(home_);
        fs::create_directories(config_);
        save("HOME");
        save("XDG_CONFIG_HOME");
        save("XCOMPOSEFILE");
        setenv("HOME", home_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
        unsetenv("XCOMPOSEFILE");
    }
    ~UserHome()
    {
        for (const auto &[name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    const fs::path &config() const { return config_; }

private:
    void save(const std::string &name)
    {
        const char *value = std::getenv(name.c_str());
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    fs::path home_, config_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The differences of the whole keymap are listed; so, where
// `pairs` allows, are dead-key pairs that the system's table continues.
// Returns how many of those there were.
size_t expect_listed_only(const Comparison &c, bool pairs)
{
    size_t unlisted = 0, continued = 0;
    for (const Difference &d : c.differences) {
        const std::vector<Exception> listed = module_exceptions();
        if (std::any_of(listed.begin(), listed.end(),
                        [&](const Exception &e) { return e.key == d.key && e.matches(d); }))
            continue;
        if (pairs && d.dead_pair && d.xkb.empty() && code_points(d.engine).size() == 2) {
            ++continued;
            continue;
        }
        if (++unlisted <= 20)
            ADD_FAILURE() << describe(d);
    }
    std::cout << "installed: " << c.compared << " compared, " << c.differences.size() << " differ ("
              << continued << " dead-key pairs the system's table continues), " << unlisted
              << " unlisted\n";
    EXPECT_EQ(unlisted, 0u);
    return continued;
}

// The keymap by the layout's name and the user's Compose table, as a
// desktop loads them.
struct Installed {
    XkbContext context{true};
    XkbKeymap keymap;
    ComposeTable table;

    explicit Installed(const char *layout = "tarvena")
    {
        const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
        keymap.reset(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        table.reset(xkb_compose_table_new_from_locale(context.get(), "C.UTF-8",
                                                      XKB_COMPOSE_COMPILE_NO_FLAGS));
    }
};

TEST(XkbInstall, TheLayoutIsFoundByItsNameAndTypesAsTheModule)
{
    const Scratch scratch("wendol-xkb-install");
    const UserHome user(scratch.path());
    const fs::path files = scratch.path() / "linux";
    write_linux_files(files);

    // What the user had before: a symbols file of their own and a Compose
    // file with a sequence of their own.
    const fs::path own_symbols = user.config() / "xkb/symbols/mine";
    const fs::path compose = user.config() / "XCompose";
    const std::string own_compose = "include \"%L\"\n<Multi_key> <x> <x> : \"\\327\"\n";
    write_text(own_symbols, "xkb_symbols \"basic\" { };\n");
    write_text(compose, own_compose);

    const CliRun install = run_program("sh", {installer(), "install", files.string()});
    ASSERT_EQ(install.exit_code, 0) << install.output;
    EXPECT_TRUE(fs::is_regular_file(user.config() / "xkb/symbols/tarvena"));
    EXPECT_TRUE(fs::is_regular_file(user.config() / "xkb/rules/evdev.xml"));

    {
        // As a desktop loads it: the evdev rules and the layout's name.
        XkbContext context(true);
        const xkb_rule_names names{"evdev", "pc105", "tarvena", "", ""};
        XkbKeymap keymap(xkb_keymap_new_from_names(context.get(), &names,
                                                   XKB_KEYMAP_COMPILE_NO_FLAGS));
        ASSERT_TRUE(keymap) << "libxkbcommon did not find the layout \"tarvena\"";
        EXPECT_STREQ(xkb_keymap_layout_get_name(keymap.get(), 0), "Tarvena");
        ComposeTable table(xkb_compose_table_new_from_locale(context.get(), "C.UTF-8",
                                                             XKB_COMPOSE_COMPILE_NO_FLAGS));
        ASSERT_TRUE(table) << "libxkbcommon did not read the user's Compose file";

        const Keymap module = load_module();
        const Comparison every = compare_every_key(module, keymap.get(), table.get());
        const Comparison dead = compare_dead_keys(module, keymap.get(), table.get(), 3);
        // The same keys differ as with the whole keymap; and, the
        // system's table being included, a pair of dead keys it continues
        // waits for a third key instead of typing both accents.
        expect_listed_only(every, false);
        const size_t pairs = expect_listed_only(dead, true);
        EXPECT_GT(pairs, 0u) << "the system's table continues no pair of the layout's dead keys";
        // The user's own sequence still composes.
        std::unique_ptr<xkb_compose_state, void (*)(xkb_compose_state *)> state(
            xkb_compose_state_new(table.get(), XKB_COMPOSE_STATE_NO_FLAGS), xkb_compose_state_unref);
        for (xkb_keysym_t keysym : {XKB_KEY_Multi_key, XKB_KEY_x, XKB_KEY_x})
            xkb_compose_state_feed(state.get(), keysym);
        char text[8];
        xkb_compose_state_get_utf8(state.get(), text, sizeof text);
        EXPECT_STREQ(text, "\u00D7");
    }

    const CliRun uninstall = run_program("sh", {installer(), "uninstall", files.string()});
    ASSERT_EQ(uninstall.exit_code, 0) << uninstall.output;
    for (const char *file : {"symbols/tarvena", "types/tarvena", "rules/evdev", "rules/evdev.xml",
                             "tarvena.compose"})
        EXPECT_FALSE(fs::exists(user.config() / "xkb" / file)) << file;
    EXPECT_EQ(read_text(own_symbols), "xkb_symbols \"basic\" { };\n");
    EXPECT_EQ(read_text(compose), own_compose);
}

TEST(XkbInstall, AFreshHomeGetsAComposeFileThatUninstallTakesAway)
{
    const Scratch scratch("wendol-xkb-fresh");
    const UserHome user(scratch.path());
    const fs::path files = scratch.path() / "linux";
    write_linux_files(files);
    const fs::path own_rules = user.config() / "xkb/rules/evdev";
    const std::string rules = "! include %S/evdev\n";
    write_text(own_rules, rules);

    ASSERT_EQ(run_program("sh", {installer(), "install", files.string()}).exit_code, 0);
    const std::string made = read_text(user.config() / "XCompose");
    {
        // The user's rules, with the layout's types added, find the layout.
        const Installed installed;
        ASSERT_TRUE(installed.keymap && installed.table);
        expect_listed_only(compare_every_key(load_module(), installed.keymap.get(),
                                             installed.table.get()), false);
    }
    EXPECT_NE(made.find("include \"%L\""), std::string::npos) << made;
    EXPECT_NE(made.find("tarvena.compose"), std::string::npos) << made;
    // The user's rules keep their include and gain the layout's types.
    const std::string merged = read_text(own_rules);
    EXPECT_EQ(merged.rfind(rules, 0), 0u) << merged;
    EXPECT_NE(merged.find("tarvena = +tarvena"), std::string::npos) << merged;
    EXPECT_EQ(merged.find("include", rules.size()), std::string::npos) << merged;

    // Installing twice leaves one block.
    ASSERT_EQ(run_program("sh", {installer(), "install", files.string()}).exit_code, 0);
    const std::string again = read_text(own_rules);
    EXPECT_EQ(again, merged);

    ASSERT_EQ(run_program("sh", {installer(), "uninstall", files.string()}).exit_code, 0);
    EXPECT_FALSE(fs::exists(user.config() / "XCompose"));
    EXPECT_EQ(read_text(own_rules), rules);

    // Without the system's table, every pair of dead keys types as on Windows.
    ASSERT_EQ(run_program("sh", {installer(), "install", files.string(), "--no-system-compose"})
                  .exit_code, 0);
    EXPECT_EQ(read_text(user.config() / "XCompose").find("%L"), std::string::npos);
    {
        const Installed installed;
        ASSERT_TRUE(installed.keymap && installed.table);
        EXPECT_EQ(expect_listed_only(compare_dead_keys(load_module(), installed.keymap.get(),
                                                       installed.table.get(), 3), true), 0u);
    }
    ASSERT_EQ(run_program("sh", {installer(), "uninstall", files.string()}).exit_code, 0);
    EXPECT_FALSE(fs::exists(user.config() / "XCompose"));

    // Into a folder of one's choosing: the files there, no Compose file touched.
    const fs::path prefix = scratch.path() / "prefix";
    const CliRun prefixed =
        run_program("sh", {installer(), "install", files.string(), "--prefix", prefix.string()});
    ASSERT_EQ(prefixed.exit_code, 0) << prefixed.output;
    EXPECT_NE(prefixed.output.find("include \"" + (prefix / "tarvena.compose").string()),
              std::string::npos) << prefixed.output;
    for (const char *file : {"symbols/tarvena", "types/tarvena", "rules/evdev", "rules/evdev.xml",
                             "tarvena.compose"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    EXPECT_FALSE(fs::exists(user.config() / "XCompose"));
    // By its name alone, without the files.
    ASSERT_EQ(run_program("sh", {installer(), "uninstall", "--name", "tarvena", "--prefix",
                                 prefix.string()}).exit_code, 0);
    EXPECT_FALSE(fs::exists(prefix / "symbols/tarvena"));
    EXPECT_FALSE(fs::exists(prefix / "rules"));

    // A file of someone else's under the layout's name is not replaced.
    write_text(user.config() / "xkb/symbols/tarvena", "// another layout\n");
    const CliRun refused = run_program("sh", {installer(), "install", files.string()});
    EXPECT_EQ(refused.exit_code, 1) << refused.output;
    EXPECT_NE(refused.output.find("not a layout this script installed"), std::string::npos)
        << refused.output;
    EXPECT_EQ(read_text(user.config() / "xkb/symbols/tarvena"), "// another layout\n");
}

// Two layouts, ours and a test layout with ligatures, installed side by
// side into one home: each is found by its own name and types as its own
// image, the differences being what the writer names; a third under a name
// already taken is refused; and uninstall says when there is nothing left.
TEST(XkbInstall, TwoLayoutsInstallSideBySide)
{
    const Scratch scratch("wendol-xkb-two");
    const UserHome user(scratch.path());
    const fs::path ours = scratch.path() / "ours", theirs = scratch.path() / "theirs";
    const std::string ligature_dll = test_layout("ligature", "wow64");
    write_linux_files(ours);
    ASSERT_EQ(run_cli({"xkb", ligature_dll, "--out", theirs.string()}).exit_code, 0);
    for (const fs::path &files : {ours, theirs}) {
        const CliRun install = run_program("sh", {installer(), "install", files.string()});
        ASSERT_EQ(install.exit_code, 0) << install.output;
    }
    const std::string registry = read_text(user.config() / "xkb/rules/evdev.xml");
    EXPECT_NE(registry.find("<name>tarvena</name>"), std::string::npos) << registry;
    EXPECT_NE(registry.find("<name>ligature</name>"), std::string::npos) << registry;

    const Keymap ligature(read_tables(MappedImage(PeFile::read(ligature_dll), 0x7FFE0000)));
    // The ligature layout's differences: its Escape key, and the states the
    // writer names as typing more than one character.
    std::vector<Exception> listed = module_exceptions();
    std::erase_if(listed, [](const Exception &e) { return e.key != ScanCode{Prefix::None, 0x01}; });
    for (const xkb::Unmapped &u : xkb::xkb_layout(ligature).unmapped) {
        ASSERT_EQ(u.kind, xkb::Unmapped::Kind::Ligature);
        if (!u.ctrl)
            listed.push_back({*u.scan, "a ligature", [states = u.states](const Difference &d) {
                                  return std::find(states.begin(), states.end(), d.state) !=
                                         states.end();
                              }});
    }
    {
        const Installed tarvena("tarvena"), other("ligature");
        ASSERT_TRUE(tarvena.keymap && other.keymap && tarvena.table && other.table);
        EXPECT_STREQ(xkb_keymap_layout_get_name(other.keymap.get(), 0), "ligature");
        expect_listed_only(compare_every_key(load_module(), tarvena.keymap.get(),
                                             tarvena.table.get()), false);
        const Comparison every = compare_every_key(ligature, other.keymap.get(), other.table.get());
        size_t unlisted = 0;
        for (const Difference &d : every.differences)
            if (std::none_of(listed.begin(), listed.end(),
                             [&](const Exception &e) { return e.key == d.key && e.matches(d); })) {
                ++unlisted;
                ADD_FAILURE() << describe(d);
            }
        EXPECT_EQ(unlisted, 0u);
        EXPECT_GT(every.differences.size(), 0u);
        const Comparison dead = compare_dead_keys(ligature, other.keymap.get(), other.table.get());
        EXPECT_GT(dead.compared, 10u);
        for (const Difference &d : dead.differences)
            EXPECT_TRUE(std::any_of(listed.begin(), listed.end(),
                                    [&](const Exception &e) { return e.key == d.key; }))
                << describe(d);
    }

    // The ligature layout under our layout's name: refused, ours left whole.
    const fs::path impostor = scratch.path() / "impostor";
    ASSERT_EQ(run_cli({"xkb", ligature_dll, "--out", impostor.string(), "--name", "tarvena"}).exit_code, 0);
    const std::string symbols = read_text(user.config() / "xkb/symbols/tarvena");
    const CliRun refused = run_program("sh", {installer(), "install", impostor.string()});
    EXPECT_EQ(refused.exit_code, 1) << refused.output;
    EXPECT_NE(refused.output.find("not replacing it"), std::string::npos) << refused.output;
    EXPECT_EQ(read_text(user.config() / "xkb/symbols/tarvena"), symbols);
    const CliRun not_theirs = run_program("sh", {installer(), "uninstall", impostor.string()});
    EXPECT_EQ(not_theirs.exit_code, 1) << not_theirs.output;
    EXPECT_TRUE(fs::exists(user.config() / "xkb/symbols/tarvena"));

    // One goes, the other stays and still types.
    ASSERT_EQ(run_program("sh", {installer(), "uninstall", ours.string()}).exit_code, 0);
    EXPECT_FALSE(fs::exists(user.config() / "xkb/symbols/tarvena"));
    {
        const Installed other("ligature");
        ASSERT_TRUE(other.keymap && other.table);
    }
    ASSERT_EQ(run_program("sh", {installer(), "uninstall", theirs.string()}).exit_code, 0);
    for (const char *file : {"rules", "symbols/ligature", "types", "ligature.compose"})
        EXPECT_FALSE(fs::exists(user.config() / "xkb" / file)) << file;
    EXPECT_FALSE(fs::exists(user.config() / "XCompose"));

    const CliRun nothing = run_program("sh", {installer(), "uninstall", theirs.string()});
    EXPECT_NE(nothing.exit_code, 0) << nothing.output;
    EXPECT_NE(nothing.output.find("not installed"), std::string::npos) << nothing.output;
}

// Releases before the layout's own name installed it as "wendol", with the
// system's include lines inside that layout's blocks.  Installed beside it
// and then removed by name, it goes; the layout that stays keeps the
// system's rules and Compose table and is not told apart from before.
TEST(XkbInstall, AnInstallUnderTheEarlierNameGoesAndLeavesTheSystemsLines)
{
    const Scratch scratch("wendol-xkb-earlier");
    const UserHome user(scratch.path());
    const fs::path files = scratch.path() / "linux", earlier = scratch.path() / "earlier";
    write_linux_files(files);
    ASSERT_EQ(run_cli({"xkb", module_path(), "--out", earlier.string(), "--name", "wendol"})
                  .exit_code, 0);
    // As that release's install.sh left a fresh home: its files copied, the
    // rules and the registry whole, one block in each shared file.
    const fs::path xkb = user.config() / "xkb";
    for (const char *file : {"symbols/wendol", "types/wendol", "wendol.compose", "rules/evdev.xml"})
        write_text(xkb / file, read_text(earlier / file));
    write_text(xkb / "rules/evdev", "// BEGIN wendol (install.sh)\n" +
                                        read_text(earlier / "rules/evdev") +
                                        "// END wendol (install.sh)\n");
    write_text(user.config() / "XCompose",
               "# BEGIN wendol (install.sh)\ninclude \"%L\"\ninclude \"" +
                   (xkb / "wendol.compose").string() + "\"\n# END wendol (install.sh)\n");

    ASSERT_EQ(run_program("sh", {installer(), "install", files.string()}).exit_code, 0);
    const CliRun removed = run_program("sh", {installer(), "uninstall", "--name", "wendol"});
    ASSERT_EQ(removed.exit_code, 0) << removed.output;
    for (const char *file : {"symbols/wendol", "types/wendol", "wendol.compose"})
        EXPECT_FALSE(fs::exists(xkb / file)) << file;
    const std::string registry = read_text(xkb / "rules/evdev.xml");
    EXPECT_EQ(registry.find("<name>wendol</name>"), std::string::npos) << registry;
    EXPECT_NE(registry.find("<name>tarvena</name>"), std::string::npos) << registry;
    EXPECT_NE(read_text(xkb / "rules/evdev").find("! include %S/evdev"), std::string::npos);
    EXPECT_NE(read_text(user.config() / "XCompose").find("include \"%L\""), std::string::npos);
    {
        const Installed tarvena;
        ASSERT_TRUE(tarvena.keymap && tarvena.table);
        expect_listed_only(compare_every_key(load_module(), tarvena.keymap.get(),
                                             tarvena.table.get()), false);
    }
    ASSERT_EQ(run_program("sh", {installer(), "uninstall", files.string()}).exit_code, 0);
    for (const char *file : {"rules", "symbols", "types", "tarvena.compose"})
        EXPECT_FALSE(fs::exists(xkb / file)) << file;
    EXPECT_FALSE(fs::exists(user.config() / "XCompose"));
}

}  // namespace
}  // namespace wendol::test
