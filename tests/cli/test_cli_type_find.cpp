// test_cli_type_find.cpp - `wendol type` and `wendol find` on the built
// Wendol.dll, as a person would run them.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/image_helpers.h"

namespace wendol::test {
namespace {

// Runs the program and expects each of `lines` in its output, in order.
void expect_lines(const std::vector<std::string> &args, int exit_code,
                  const std::vector<std::string> &lines)
{
    expect_lines_for(module_path(), args, exit_code, lines);
}

TEST(CliType, EachKeyTellsWhatItProduced)
{
    expect_lines({"type", "AltGr+=", "e", "CapsLock", "Shift+w", "AltGr+=", "q", "Ctrl+Tab", "AltGr+a"}, 0,
                 {"AltGr+=   dead ´ (U+00B4)",
                  "e         U+00E9 é   (´ + e)",
                  "CapsLock  now on: Caps Lock",
                  "Shift+w   dead ΅ (U+0385)",
                  "AltGr+=   U+0385 ΅, U+00B4 ´   (no composition for ΅ + ´)",
                  "q         U+003B ;",
                  "Ctrl+Tab  nothing: column 2 is beyond the 1 column of table 1, which holds "
                  "virtual key 0x09 (VK_TAB)",
                  "AltGr+a   U+00E1 á",        // AltGr reads the key's own row under Caps Lock
                  });
    expect_lines({"type", "Alt+e", "Ctrl+Shift+a"}, 0,
                 {"Alt+e         U+0065 e   (a system character: Alt held alone)",
                  "Ctrl+Shift+a  nothing: modifier bits 3 select SHFT_INVALID"});
}

TEST(CliType, KeypadUnderNumLockAndPendingAtTheEnd)
{
    expect_lines({"type", "NumLock", "KP_1", "Shift+KP_1", "sc:7D", "AltGr+Shift+0"}, 0,
                 {"now on: Num Lock",
                  "U+0031 1 [Num Lock: VK_NUMPAD1]",
                  "nothing (VK_END is in no character table) [Shift under Num Lock: VK_END]",
                  "U+00A7 §",
                  "dead ᵢ (U+1D62)",
                  "still pending: dead ᵢ (U+1D62)"});
}

TEST(CliType, MistakesAreReported)
{
    expect_lines({"type", "Hyper+a"}, 2,
                 {"key \"Hyper\"", "expected a key name", "found \"Hyper\"", "accepted forms"});
    expect_lines({"type"}, 2, {"expected FILE and at least one KEY"});
}

TEST(CliFind, ReportAndWholeWay)
{
    expect_lines({"find", "ά"}, 0,
                 {"U+03AC ά", "the platform reports: no key",
                  "AltGr+= (dead ´), then with Caps Lock on, a (α): ´ + α composes ά",
                  "keys: AltGr+= CapsLock a"});
    expect_lines({"find", "U+002F"}, 0,
                 {"the platform reports: VK_ABNT_C1, modifier bits 0 (none)", "keys: AbntC1"});
    expect_lines({"find", "´"}, 0,
                 {"VK_OEM_PLUS, modifier bits 8 (VK_ALTGR)", "in its dead-character row",
                  "keys: AltGr+= Space"});
    expect_lines({"find", "ς"}, 0, {"W, modifier bits 0 (none)", "in its Caps Lock row", "keys: CapsLock w"});
    expect_lines({"find", "Ⅳ"}, 1, {"VK_NUMPAD4", "no key or dead-key sequence gives it"});
    expect_lines({"find", "ab"}, 2, {"expected a single character"});
    expect_lines({"find", "U+110000"}, 2, {"expected a code point up to U+10FFFF"});
    expect_lines({"find", "u+e9"}, 0, {"U+00E9 é"});
    for (const char *bad : {"U+", "U+-1", "U+ E9", "U+0x41", "U+0000041", "U+10FFFFF"})
        expect_lines({"find", bad}, 2, {"expected a single character, or U+"});
}

TEST(CliFind, RefusesMalformedUtf8AndNamesItsBytes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"\xC0\xAF", "the bytes C0 AF, which are not UTF-8"},          // '/' overlong
        {"\xED\xA0\x80", "the bytes ED A0 80, which are not UTF-8"},   // a surrogate
        {"\xF4\x90\x80\x80", "the bytes F4 90 80 80, which are not UTF-8"},   // past U+10FFFF
        {"\xC3", "the bytes C3, which are not UTF-8"},                  // cut short
        {"a\xA9", "the bytes 61 A9, which are not UTF-8"},
    };
    for (const auto &[bytes, message] : cases)
        expect_lines({"find", bytes}, 2, {"expected a single character", message});
    expect_lines({"find", "\xC3\xA9"}, 0, {"U+00E9 é"});
}

TEST(CliFind, BaseAddressIsANumber)
{
    expect_lines({"find", "--base", "2415919104", "e"}, 0, {"U+0065 e"});   // 0x90000000
    for (const char *bad : {"0x", "-0x90000000", " 0x90000000", "0x90000000 ", "0x1_0000",
                            "18446744073709551616", "0x10000000000000000"})
        expect_lines({"find", "--base", bad, "e"}, 2, {"expected an address such as 0x90000000"});
}

// A dead key is named by its dead-key name, as the platform names it; a key
// of the name lists keeps its own.
TEST(CliNames, ADeadKeyHasItsDeadKeyName)
{
    const std::string minimal = test_layout("minimal", "wow64");
    expect_lines_for(minimal, {"names", "sc:1A"}, 0,
                    {"\"Acute\" (the dead-key name of U+00B4 \u00B4)"});
    expect_lines_for(minimal, {"names", "sc:39"}, 0, {"\"Space\""});
}

// Under KLLF_SHIFTLOCK the lock Caps Lock turns on is a Shift lock.
TEST(CliType, TheShiftLockIsCalledSo)
{
    expect_lines_for(test_layout("altgr_shiftlock", "x64"), {"type", "CapsLock"}, 0,
                    {"CapsLock  now on: Shift Lock"});
    expect_lines_for(test_layout("altgr", "x64"), {"type", "CapsLock"}, 0,
                    {"CapsLock  now on: Caps Lock"});
    // S sits on an SGCAPS key, whose Caps Lock row swaps the cases, so the
    // way to it names the lock's state.
    expect_lines_for(test_layout("altgr_shiftlock", "wow64"), {"find", "S"}, 0,
                    {"to type it: with Shift Lock off, Shift+s"});
}

// Every command's help, the version, and one meaning per exit code: a
// directory given as a file, a misspelt option and a bad key name alike.
TEST(CliConventions, HelpVersionAndExitCodes)
{
    const struct {
        std::vector<std::string> args;
        int exit_code;
        std::vector<std::string> lines;
    } cases[] = {
        {{"--version"}, 0, {"wendol " WENDOL_VERSION "\n"}},
        {{"-V"}, 0, {"wendol " WENDOL_VERSION "\n"}},
        {{"help", "verify"}, 0, {"usage: wendol verify [--strict] [--json] FILE...", "--strict", "examples:",
                                 "exit status: 0 done"}},
        {{"verify", "-h"}, 0, {"usage: wendol verify", "-h, --help"}},
        {{"type", "--help"}, 0, {"usage: wendol type", "--base ADDR", "wendol type Wendol.dll"}},
        {{"help", "nothing"}, 2, {"unknown command \"nothing\""}},
        {{"verify", "--lenient", "x.dll"}, 2, {"unknown option --lenient"}},
        {{"names", module_path(), "Hyper"}, 2, {"key \"Hyper\""}},
        {{"type", module_path(), "Hyper"}, 2, {"key \"Hyper\""}},
        {{"find", module_path(), "U+2163"}, 1, {"no key or dead-key sequence gives it"}},
        {{"type", "/tmp", "a"}, 1, {"reading /tmp", "found a directory"}},
    };
    for (const auto &c : cases) {
        const CliRun run = run_cli(c.args);
        EXPECT_EQ(run.exit_code, c.exit_code) << c.args[0] << ": " << run.output;
        expect_lines_in_order(run, c.lines);
    }
}

}  // namespace
}  // namespace wendol::test
