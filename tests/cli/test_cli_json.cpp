// test_cli_json.cpp - what --json prints, read back with a JSON parser the
// toolkit does not share: the records, not the text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/image_helpers.h"

namespace wendol::test {
namespace {

using nlohmann::json;

json run_json(const std::vector<std::string> &args, int exit_code)
{
    const CliRun run = run_cli(args, Streams::Both);
    EXPECT_EQ(run.exit_code, exit_code) << run.output;
    try {
        return json::parse(run.output);
    } catch (const json::exception &e) {
        ADD_FAILURE() << e.what() << " in:\n" << run.output;
        return json();
    }
}

// Our module passes with its two warnings; a damaged copy fails with its
// error, each finding a record with its place.
TEST(CliJson, VerifyPrintsEveryFindingAsARecord)
{
    const json good = run_json({"verify", "--json", module_path()}, 0);
    ASSERT_TRUE(good.is_object());
    EXPECT_EQ(good["format"], "wendol verify");
    EXPECT_EQ(good["version"], 1);
    EXPECT_EQ(good["failed"], false);
    ASSERT_EQ(good["files"].size(), 1u);
    const json &file = good["files"][0];
    EXPECT_EQ(file["errors"], 0);
    EXPECT_EQ(file["warnings"], 2);
    ASSERT_EQ(file["findings"].size(), 2u);
    const json &keypad = file["findings"][0];
    EXPECT_EQ(keypad["severity"], "warning");
    EXPECT_EQ(keypad["check"], "reach");
    EXPECT_EQ(keypad["place"]["what"], "the keypad's digit keys");
    EXPECT_EQ(keypad["place"]["tables"][0]["columns"], json::array({1}));
    EXPECT_EQ(keypad["found"], "none");
    EXPECT_EQ(keypad["count"], 1);

    const json strict = run_json({"verify", "--json", "--strict", module_path(), module_path()}, 1);
    EXPECT_EQ(strict["strict"], true);
    EXPECT_EQ(strict["failed"], true);
    EXPECT_EQ(strict["files"].size(), 2u);

    const json missing = run_json({"verify", "--json", "/nonexistent/Wendol.dll"}, 1);
    const json &refusal = missing["files"][0]["findings"][0];
    EXPECT_EQ(refusal["severity"], "error");
    EXPECT_EQ(refusal["check"], "image");
    EXPECT_EQ(refusal["place"]["what"], "reading /nonexistent/Wendol.dll");
}

// type: each chord, each press in it, and what it gave; find and names:
// the same answers the text gives.
TEST(CliJson, TypeFindAndNamesPrintTheirRecords)
{
    const json typed = run_json({"type", "--json", module_path(), "AltGr+=", "e", "CapsLock"}, 0);
    ASSERT_EQ(typed["chords"].size(), 3u);
    const json &dead = typed["chords"][0];
    EXPECT_EQ(dead["key"], "AltGr+=");
    EXPECT_EQ(dead["pending"], "U+00B4");
    EXPECT_EQ(dead["presses"].back()["cell"]["kind"], "dead");
    const json &composed = typed["chords"][1];
    EXPECT_EQ(composed["delivered"], "\u00E9");
    EXPECT_EQ(composed["code_points"], json::array({"U+00E9"}));
    EXPECT_EQ(composed["presses"][0]["composition"]["composed"], "U+00E9");
    EXPECT_EQ(typed["chords"][2]["locks"]["caps_lock"], true);

    const json found = run_json({"find", "--json", module_path(), "\u03AC"}, 0);
    EXPECT_EQ(found["character"], "U+03AC");
    EXPECT_EQ(found["typable"], true);
    EXPECT_EQ(found["way"]["keys"], "AltGr+= CapsLock a");
    EXPECT_EQ(found["way"]["composition"]["base"], "U+03B1");
    const json lost = run_json({"find", "--json", module_path(), "U+2163"}, 1);
    EXPECT_EQ(lost["typable"], false);
    EXPECT_TRUE(lost["way"].is_null());
    EXPECT_EQ(lost["platform"]["vk_name"], "VK_NUMPAD4");

    const json named = run_json({"names", "--json", module_path(), "sc:E0 38"}, 0);
    ASSERT_EQ(named["keys"].size(), 1u);
    EXPECT_EQ(named["keys"][0]["name"], "AltGr");
    EXPECT_EQ(named["keys"][0]["source"], "key name");
    const json all = run_json({"names", "--json", module_path()}, 0);
    EXPECT_FALSE(all["key_names"].empty());
    EXPECT_FALSE(all["dead_key_names"].empty());
}

}  // namespace
}  // namespace wendol::test
