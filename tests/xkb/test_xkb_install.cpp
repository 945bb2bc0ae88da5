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
    for (const char *file : {"wendol.xkb", "wendol.compose", "symbols/wendol", "types/wendol",
                             "rules/evdev", "rules/evdev.xml"}) {
        EXPECT_TRUE(fs::is_regular_file(scratch.path() / file)) << file;
        EXPECT_NE(run.output.find((scratch.path() / file).string()), std::string::npos) << file;
    }
    EXPECT_NE(run.output.find("not on Linux: sc:E0 46"), std::string::npos) << run.output;
    // The module's own name for the layout, from its string resources.
    EXPECT_NE(read_text(scratch.path() / "rules/evdev.xml").find("<description>Tarvena</description>"),
              std::string::npos);
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
    EXPECT_FALSE(fs::exists(scratch.path() / "out" / "wendol.xkb"));

    const CliRun missing = run_cli({"xkb"});
    EXPECT_EQ(missing.exit_code, 2) << missing.output;
}

TEST(Xkbcomp, AcceptsTheKeymap)
{
    const CliRun found = run_program("sh", {"-c", "command -v xkbcomp"});
    ASSERT_EQ(found.exit_code, 0)
        << "xkbcomp is not installed: it comes in the Debian package x11-xkb-utils";
    const Scratch scratch("wendol-xkbcomp");
    write_linux_files(scratch.path());
    const fs::path compiled = scratch.path() / "wendol.xkm";
    // At its most talkative xkbcomp has nothing to say of the keymap.
    const CliRun run = run_program("xkbcomp", {"-w", "10", "-xkm",
                                               (scratch.path() / "wendol.xkb").string(), "-o",
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

    Installed()
    {
        const xkb_rule_names names{"evdev", "pc105", "wendol", "", ""};
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
    EXPECT_TRUE(fs::is_regular_file(user.config() / "xkb/symbols/wendol"));
    EXPECT_TRUE(fs::is_regular_file(user.config() / "xkb/rules/evdev.xml"));

    {
        // As a desktop loads it: the evdev rules and the layout's name.
        XkbContext context(true);
        const xkb_rule_names names{"evdev", "pc105", "wendol", "", ""};
        XkbKeymap keymap(xkb_keymap_new_from_names(context.get(), &names,
                                                   XKB_KEYMAP_COMPILE_NO_FLAGS));
        ASSERT_TRUE(keymap) << "libxkbcommon did not find the layout \"wendol\"";
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
    for (const char *file : {"symbols/wendol", "types/wendol", "rules/evdev", "rules/evdev.xml",
                             "wendol.compose"})
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
    EXPECT_NE(made.find("wendol.compose"), std::string::npos) << made;
    // The user's rules keep their include and gain the layout's types.
    const std::string merged = read_text(own_rules);
    EXPECT_EQ(merged.rfind(rules, 0), 0u) << merged;
    EXPECT_NE(merged.find("wendol = +wendol"), std::string::npos) << merged;
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
    EXPECT_NE(prefixed.output.find("include \"" + (prefix / "wendol.compose").string()),
              std::string::npos) << prefixed.output;
    for (const char *file : {"symbols/wendol", "types/wendol", "rules/evdev", "rules/evdev.xml",
                             "wendol.compose"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    EXPECT_FALSE(fs::exists(user.config() / "XCompose"));
    ASSERT_EQ(run_program("sh", {installer(), "uninstall", "--prefix", prefix.string()}).exit_code, 0);
    EXPECT_FALSE(fs::exists(prefix / "symbols/wendol"));

    // A file of someone else's under the layout's name is not replaced.
    write_text(user.config() / "xkb/symbols/wendol", "// another layout\n");
    const CliRun refused = run_program("sh", {installer(), "install", files.string()});
    EXPECT_EQ(refused.exit_code, 1) << refused.output;
    EXPECT_NE(refused.output.find("not wendol's"), std::string::npos) << refused.output;
    EXPECT_EQ(read_text(user.config() / "xkb/symbols/wendol"), "// another layout\n");
}

}  // namespace
}  // namespace wendol::test
