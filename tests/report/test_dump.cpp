// test_dump.cpp - what `wendol inspect` shows a maintainer of the built
// module, and how the program answers bad input and bad command lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "base/text.h"
#include "report/layout_report.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"
#include "tables/tables.h"

namespace wendol {
namespace {

using Bytes = std::vector<uint8_t>;

std::string inspect_text(const MappedImage &image)
{
    std::ostringstream out;
    inspect(out, image);
    return out.str();
}

TEST(Inspect, ShowsTheImageShapeDecoded)
{
    const std::string text = inspect_text(test::map_module(0x90000000));
    for (const char *line : {
             "x86 (0x014C)\n",
             "PE32\n",
             "DLL (0x2102)\n",
             "version 6.0\n",
             "DYNAMIC_BASE | NX_COMPAT | NO_SEH (0x0540)\n",
             "none (0)\n",
             "mapped at 0x90000000\n",
             "(they agree)\n",
             "CNT_CODE | MEM_EXECUTE | MEM_READ (0x60000020)\n",
             "  import                none\n",
             "KbdLayerDescriptor      ",
         })
        EXPECT_NE(text.find(line), std::string::npos) << "no \"" << line << "\"";
}

TEST(Inspect, NamesTheFieldOfEveryRelocation)
{
    const std::string text = inspect_text(test::map_module());
    EXPECT_NE(text.find("the address constant in KbdLayerDescriptor"), std::string::npos);
    EXPECT_EQ(text.find("(unexplained)"), std::string::npos);
    EXPECT_NE(text.find("pointer form: 64-bit fields in a 32-bit image (WOW64)"),
              std::string::npos);
}

TEST(Inspect, ShowsScanCodesAndModifiersByName)
{
    const std::string text = inspect_text(test::map_module());
    for (const char *line : {
             "  0x36  0x01A1  VK_RSHIFT | KBDEXT\n",
             "  0x47  0x0C24  VK_HOME | KBDSPECIAL | KBDNUMPAD\n",
             "  0x1E  0x0041  A\n",
             "  E0 0x38  0x01E8  VK_ALTGR | KBDEXT\n",
             "  E1 0x1D  0x0013  VK_PAUSE\n",
             "  VK_ALTGR 0xE8       bit 0x08\n",
         })
        EXPECT_NE(text.find(line), std::string::npos) << "no \"" << line << "\"";
    // Ctrl+Alt is named and reaches no column; AltGr reaches column 3.
    EXPECT_NE(text.find("  bits 6   Alt+Ctrl              invalid (0x0F)\n"), std::string::npos);
    EXPECT_NE(text.find("  bits 8   AltGr                 column 3\n"), std::string::npos);
}

TEST(Inspect, ShowsCellsAsCharactersWithTheirColumns)
{
    const MappedImage image = test::map_module();
    const std::string text = inspect_text(image);
    for (const char *piece : {"U+0009 TAB", "U+00A0 NO-BREAK SPACE", "AltGr+Shift", "dead",
                              "none", "SGCAPS", "U+00E1 á", "    0xFF  "})
        EXPECT_NE(text.find(piece), std::string::npos) << "no \"" << piece << "\"";
}

TEST(Inspect, SpellsOutCharactersThatDoNotPrint)
{
    Bytes bytes = test::module_bytes();
    const LayoutTables tables = read_tables(test::map_bytes(bytes));
    uint32_t name_rva = 0;
    for (const PointerField &p : tables.pointers)
        if (p.id == PointerId{PointerSlot::KeyName, 0})
            name_rva = p.target_rva;
    ASSERT_NE(name_rva, 0u);
    test::put_u16(bytes, test::file_offset(bytes, name_rva), 0xD800);   // a lone surrogate
    const std::string text = inspect_text(test::map_bytes(bytes));
    const std::string rest = utf8(tables.key_names[0].name.substr(1));
    EXPECT_NE(text.find("\"<U+D800>" + rest + "\""), std::string::npos);
}

TEST(Inspect, PrintsTheImageBeforeRefusingItsTables)
{
    Bytes bytes = test::module_bytes();
    const LayoutTables tables = read_tables(test::map_bytes(bytes));
    test::put_u32(bytes, test::file_offset(bytes, tables.root_rva + 4), 7);
    const MappedImage image = test::map_bytes(bytes);
    std::ostringstream out;
    EXPECT_THROW(inspect(out, image), Error);
    EXPECT_NE(out.str().find("x86 (0x014C)"), std::string::npos);
}

TEST(Program, ExitCodesTellInputErrorsFromUsageErrors)
{
    const std::string dll = test::module_path();
    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char *says;
    };
    const Case cases[] = {
        {{"--help"}, 0, "inspect FILE [--base ADDR]"},
        {{"inspect", dll}, 0, "KBDTABLES at"},
        {{"inspect", dll, "--base", "0x90000000"}, 0, "mapped at 0x90000000"},
        {{"inspect", "/nonexistent/Wendol.dll"}, 1, "expected a readable file"},
        {{"inspect", dll, "--base", "0x12345"}, 1, "aligned to 64 KiB"},
        {{"inspect"}, 2, "expected 1 argument"},
        {{"inspect", dll, "--base", "nonsense"}, 2, "expected an address"},
        {{"inspect", dll, "--frobnicate"}, 2, "unknown option --frobnicate"},
        {{"frobnicate"}, 2, "unknown command"},
        {{}, 2, "usage: wendol"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "wendol" : "wendol " + c.arguments.front());
        const test::CliRun run = test::run_cli(c.arguments);
        EXPECT_EQ(run.exit_code, c.status) << run.output.substr(0, 500);
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output.substr(0, 500);
    }
}

TEST(Program, RefusesADamagedModuleOnStandardError)
{
    Bytes bytes = test::module_bytes();
    bytes[0] = 'X';
    const auto path = std::filesystem::temp_directory_path() /
                      ("wendol-damaged-" + std::to_string(::getpid()) + ".dll");
    test::write_bytes(path.string(), bytes);
    const test::CliRun run = test::run_cli({"inspect", path.string()}, test::Streams::ErrorsOnly);
    std::filesystem::remove(path);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.output.find("wendol inspect: DOS header: expected the signature \"MZ\""),
              std::string::npos)
        << run.output;
}

// The ligature list is shown only where a layout has one: the kept dumps
// of our module (golden.*) have no such section.
TEST(Inspect, ShowsALigatureListWhereThereIsOne)
{
    for (const char *variant : {"x86", "wow64", "x64", "arm64"}) {
        const std::string text =
            inspect_text(test::map_bytes(test::read_bytes(test::test_layout("ligature", variant))));
        for (const char *line : {
                 "\nLigatures (3, nLgMax 4, cbLgEntry 12)\n",
                 "  J 0x4A                  column 1   2 characters: U+0049 I, U+004A J\n",
                 "  F 0x46                  column 2   3 characters: U+0066 f, U+0066 f, U+0069 i\n",
                 "column 3   4 characters: U+0065 e, U+002E ., U+0067 g, U+002E .\n",
             })
            EXPECT_NE(text.find(line), std::string::npos) << variant << ": " << line;
    }
    EXPECT_EQ(inspect_text(test::map_module()).find("\nLigatures ("), std::string::npos);
}

}  // namespace
}  // namespace wendol
