// test_cli_layouts.cpp - `wendol type` and `wendol find` on the test
// layouts with ligatures, chained dead keys and the Kana lock, as a person
// would run them.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/image_helpers.h"

namespace wendol::test {
namespace {

// Runs the program on a test layout (x64) and expects each of `lines` in
// its output, in order.
void expect_lines_on(const std::string &layout, const std::vector<std::string> &args,
                     const std::vector<std::string> &lines)
{
    expect_lines_for(test_layout(layout, "x64"), args, 0, lines);
}

TEST(CliLayouts, LigaturesAreTypedAndFound)
{
    expect_lines_on("ligature", {"type", "Shift+j", "[", "AltGr+Shift+e"},
                    {"Shift+j        U+0049 I, U+004A J   (ligature of 2 characters)",
                     "[              dead ´ (U+00B4)",
                     "AltGr+Shift+e  U+00E9 é, U+002E ., U+0067 g, U+002E .   "
                     "(ligature of 4 characters)   (´ + e)"});
    expect_lines_on("ligature", {"find", "g"},
                    {"U+0067 g", "the platform reports: no key",
                     // The right Alt key is AltGr there: said so, with Ctrl+Alt beside it.
                     "to type it: AltGr+Shift+e (types 4 characters: e.g.)",
                     "keys: AltGr+Shift+e", "or, AltGr being Ctrl+Alt: Shift+Ctrl+Alt+e"});
}

TEST(CliLayouts, ChainsShowTheirPendingDeadCharacterAndAreFound)
{
    expect_lines_on("chained", {"type", "[", "d", "o"},
                    {"[  dead ´ (U+00B4)", "d  dead ˝ (U+02DD)   (´ + d, DKF_DEAD)",
                     "o  U+0151 ő   (˝ + o)"});
    expect_lines_on("chained", {"find", "ő"},
                    {"(dead ´), then", "d (d), then", "o (o): ´ + d leaves dead ˝: ˝ + o composes ő",
                     "keys: [ d o"});
}

TEST(CliLayouts, TheKanaLayoutIsTypedWithANoteOnWhatIsNotModelled)
{
    const std::string notice = "note: the layout exports KbdNlsLayerDescriptor";
    expect_lines_on("kana", {"type", "sc:29", "a", "sc:29"},
                    {notice, "sc:29  now on: Kana lock", "a      U+3061 ち", "sc:29  no lock on"});
    expect_lines_on("kana", {"find", "ぬ"},
                    {notice, "U+306C ぬ", "keys: "});
    // Our own module exports no NLS tables: no such line.
    const CliRun run = run_cli({"type", module_path(), "a"});
    EXPECT_EQ(run.output.find("KbdNlsLayerDescriptor"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace wendol::test
