// test_resources_print.cpp - the resources as `wendol resources` prints them.
#include <gtest/gtest.h>

#include <sstream>

#include "report/resources_print.h"
#include "resources/resources.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"

namespace wendol {
namespace {

class ModuleResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        resources_ = new Resources(read_resources(PeFile::read(test::module_path())));
    }
    static void TearDownTestSuite() { delete resources_; }

    static Resources *resources_;
};

Resources *ModuleResources::resources_ = nullptr;

TEST_F(ModuleResources, PrinterShowsStringsAndVersion)
{
    std::ostringstream out;
    print_resources(out, *resources_);
    const std::string text = out.str();
    for (const char *line : {"block 63, language 0x0419", "1000 \"Tarvena\"",
                             "1100 \"Английскій\"", "1200 \"en-US\"", "file version     3.1.0.2",
                             "product version  3.1.0.0", "2 (VFT_DLL)", "2 (VFT2_DRV_KEYBOARD)",
                             "0x00040004 (VOS_NT_WINDOWS32)", "StringFileInfo \"041904B0\"",
                             "\"Wendol.dll\"", "Translation 0x0419 0x04B0",
                             "name 1, language 0x0409"})
        EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\n" << text;
}

TEST_F(ModuleResources, ResourcesCommandPrintsWhatTheReaderRead)
{
    const test::CliRun run = test::run_cli({"resources", test::module_path()});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    std::ostringstream expected;
    print_resources(expected, *resources_);
    EXPECT_EQ(run.output, expected.str());
}

}  // namespace
}  // namespace wendol
