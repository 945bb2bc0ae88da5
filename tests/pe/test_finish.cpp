// test_finish.cpp - the module build's finishing step, run as the build runs
// it: from the linker's image it makes the module the build made, it leaves
// a finished module as it is, and it refuses an image that would keep
// something writable or uninitialised, with a message and a non-zero exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "pe/pe_format.h"
#include "support/cli_run.h"
#include "support/image_helpers.h"

namespace wendol {
namespace {

using Bytes = std::vector<uint8_t>;

struct Variant {
    std::string name;
    std::string linked;     // what the linker wrote
    std::string finished;   // the module the build made of it
};

// Where module.cmake leaves the linker's image of each module.
std::string linked_image(const std::string &target)
{
    return std::string(WENDOL_BUILD_DIR) + "/" + target + ".dir/linked/Wendol.dll";
}

std::vector<Variant> variants()
{
    std::vector<Variant> out = {{"wow64", linked_image("module_wow64"), test::module_path()}};
    for (const char *target : {"x86", "x64", "arm64"})
        out.push_back({target, linked_image(std::string("module_") + target),
                       test::sibling_module(target)});
    return out;
}

std::string temporary(const std::string &name)
{
    return testing::TempDir() + "finish_" + name;
}

test::CliRun finish(const std::string &input, const std::string &output)
{
    return test::run_program(WENDOL_FINISH_PATH, {input, output});
}

// Finishes `input` into a temporary file and returns its bytes.
Bytes finished_bytes(const std::string &input, const std::string &name)
{
    const std::string output = temporary(name);
    const test::CliRun run = finish(input, output);
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(run.output, "");
    Bytes bytes = test::read_bytes(output);
    std::remove(output.c_str());
    return bytes;
}

const Section &section(const PeFile &file, const std::string &name)
{
    for (const Section &s : file.sections())
        if (s.name == name)
            return s;
    throw std::runtime_error("no section " + name);
}

TEST(Finish, SealsTheTablesRebasesTheExportsAndSetsTheChecksum)
{
    for (const Variant &v : variants()) {
        SCOPED_TRACE(v.name);
        const PeFile linked = PeFile::read(v.linked);
        // What the linker leaves: the merged section writable, not code,
        // and the export numbered from 0.
        ASSERT_TRUE(section(linked, ".data").characteristics & pe::kScnMemWrite);
        ASSERT_EQ(linked.export_ordinal_base(), 0u);

        const PeFile done(finished_bytes(v.linked, v.name + ".sealed.dll"));
        EXPECT_EQ(section(done, ".data").characteristics,
                  pe::kScnCntCode | pe::kScnMemExecute | pe::kScnMemRead);
        for (const Section &s : done.sections())
            EXPECT_FALSE(s.characteristics & pe::kScnMemWrite) << s.name;
        EXPECT_EQ(done.export_ordinal_base(), 1u);
        ASSERT_EQ(done.exports().size(), 1u);
        EXPECT_EQ(done.exports()[0].name, "KbdLayerDescriptor");
        EXPECT_EQ(done.exports()[0].ordinal, 1u);
        EXPECT_EQ(done.exports()[0].rva, linked.exports().at(0).rva);
        EXPECT_EQ(done.headers().checksum, done.computed_checksum());
    }
}

// The step run again here makes the very bytes the build made (which the
// golden dumps and module.deterministic pin), and a finished module goes
// through it unchanged.
TEST(Finish, MakesTheBuiltModuleAndLeavesAFinishedOneAsItIs)
{
    for (const Variant &v : variants()) {
        SCOPED_TRACE(v.name);
        const Bytes built = test::read_bytes(v.finished);
        EXPECT_EQ(finished_bytes(v.linked, v.name + ".built.dll"), built);
        EXPECT_EQ(finished_bytes(v.finished, v.name + ".again.dll"), built);
    }
}

struct Damage {
    const char *fault;
    const char *input;   // "linked" or "finished"
    std::function<void(Bytes &, const PeFile &)> damage;
    std::vector<std::string> says;
};

void set_flags(Bytes &bytes, const Section &s, uint32_t flags)
{
    test::put_u32(bytes, s.header_offset + pe::kSectionCharacteristics, flags);
}

TEST(Finish, RefusesAnythingWritableOrUninitialised)
{
    const Variant v = variants().front();
    const Damage cases[] = {
        {"resources made writable", "linked",
         [](Bytes &b, const PeFile &f) {
             const Section &s = section(f, ".rsrc");
             set_flags(b, s, s.characteristics | pe::kScnMemWrite);
         },
         {"section .rsrc: expected a section the platform cannot write", "MEM_WRITE"}},
        {"relocations made writable", "finished",
         [](Bytes &b, const PeFile &f) {
             const Section &s = section(f, ".reloc");
             set_flags(b, s, s.characteristics | pe::kScnMemWrite);
         },
         {"section .reloc: expected a section the platform cannot write", "MEM_WRITE"}},
        {"uninitialised data among the tables", "linked",
         [](Bytes &b, const PeFile &f) {
             const Section &s = section(f, ".data");
             set_flags(b, s, s.characteristics | pe::kScnCntUninitializedData);
         },
         {"section .data: expected constant tables and code", "CNT_UNINITIALIZED_DATA"}},
        {"the tables' section reaching past its file data", "finished",
         [](Bytes &b, const PeFile &f) {
             const Section &s = section(f, ".data");
             test::put_u32(b, s.header_offset + pe::kSectionVirtualSize, s.raw_size + 0x100);
         },
         {"section .data: expected constant tables and code", "beyond its"}},
        {"not a PE image", "linked", [](Bytes &b, const PeFile &) { b.at(0) = 'X'; },
         {"DOS header: expected"}},
    };
    for (const Damage &c : cases) {
        SCOPED_TRACE(c.fault);
        const std::string source = std::string(c.input) == "linked" ? v.linked : v.finished;
        Bytes bytes = test::read_bytes(source);
        c.damage(bytes, PeFile(test::read_bytes(source)));
        const std::string input = temporary("damaged.dll");
        const std::string output = temporary("damaged.out.dll");
        test::write_bytes(input, bytes);
        std::remove(output.c_str());

        const test::CliRun run = finish(input, output);
        std::remove(input.c_str());
        EXPECT_EQ(run.exit_code, 1) << run.output;
        EXPECT_EQ(run.output.rfind("finish_image: " + input + ": ", 0), 0u) << run.output;
        for (const std::string &part : c.says)
            EXPECT_NE(run.output.find(part), std::string::npos)
                << "no \"" << part << "\" in " << run.output;
        EXPECT_FALSE(std::ifstream(output)) << "an output was written";
    }
}

TEST(Finish, RefusesAMissingSectionAndAWrongCall)
{
    const Variant v = variants().front();
    const std::string output = temporary("unused.dll");
    const test::CliRun no_text =
        test::run_program(WENDOL_FINISH_PATH, {v.linked, output, ".text"});
    EXPECT_EQ(no_text.exit_code, 1) << no_text.output;
    EXPECT_NE(no_text.output.find("expected one section named .text, found 0"),
              std::string::npos)
        << no_text.output;
    EXPECT_FALSE(std::ifstream(output));

    const test::CliRun usage = test::run_program(WENDOL_FINISH_PATH, {v.linked});
    EXPECT_EQ(usage.exit_code, 2) << usage.output;
    EXPECT_NE(usage.output.find("usage: finish_image"), std::string::npos) << usage.output;
}

}  // namespace
}  // namespace wendol
