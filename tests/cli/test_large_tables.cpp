// test_large_tables.cpp - what an image with the longest tables the reader
// takes makes the commands spend.  Each image is a copy of the module with
// a section added and one far pointer moved into it: a dead-key list, an
// E0 scan-code map, a character table and a list of character tables of
// 65,535 entries each are read by every command a user runs on a
// downloaded image, in bounded time and with bounded findings; lists that
// thousands of pointers share, which would make the reader copy one list
// thousands of times, are refused.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/image_helpers.h"
#include "support/in_process.h"
#include "support/large_images.h"
#include "tables/tables.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;

// The module the build made, with the pointer in `slot` moved to the list
// `make` writes.
Bytes in_module(PointerSlot slot, const std::function<Bytes(const Place &)> &make)
{
    return with_list_moved(module_bytes(), slot, make);
}

struct LargeImage {
    const char *what;
    std::function<Bytes()> make;
    bool repeats = false;   // entries repeat: a warning each, past what is listed
};

// Lists as long as the reader takes, 65,535 entries each, in a file of a
// few hundred kilobytes; and the costliest image found.
const LargeImage kLongLists[] = {
    {"dead-key list",
     [] { return in_module(PointerSlot::DeadKey, [](const Place &) { return dead_key_list(0xFFFF); }); }},
    {"E0 scan-code map",
     [] { return in_module(PointerSlot::VscToVkE0, [](const Place &) { return e0_map(0xFFFF); }); },
     true},
    {"character table",
     [] {
         return in_module(PointerSlot::CharTableRows, [](const Place &p) {
             return character_rows(0xFFFF, p.tables.char_tables.at(0));
         });
     },
     true},
    {"character tables", [] { return longest_character_tables(module_bytes()); }, true},
};

// Lists the file holds once and pointers lead to many times: 4,096
// character tables over one list of 65,535 rows (268 million rows to copy),
// and 65,535 key names over one string of 1,023 units (128 MiB of text).
const LargeImage kSharedLists[] = {
    {"tables sharing rows",
     [] {
         return in_module(PointerSlot::VkToWcharTable,
                          [](const Place &p) { return shared_rows(4096, 0xFFFF, p); });
     }},
    {"names sharing a string",
     [] { return in_module(PointerSlot::KeyNames, [](const Place &p) { return shared_name(0xFFFF, p); }); }},
};

// What a user runs on a downloaded image.
std::vector<std::vector<std::string>> commands_on(const fs::path &image, const fs::path &dir)
{
    return {
        {"verify", image.string()},
        {"inspect", image.string()},
        {"type", image.string(), "a", "b", "AltGr+e"},
        {"find", image.string(), "é"},
        {"chart", image.string(), "--out", (dir / "chart").string()},
        {"xkb", image.string(), "--out", (dir / "xkb").string()},
    };
}

// The warnings the summary line, the last of verify's output, counts.
size_t summary_warnings(const std::string &out)
{
    const size_t line = out.rfind('\n', out.size() - 2);
    const std::string last = out.substr(line == std::string::npos ? 0 : line + 1);
    unsigned long errors = 0, warnings = 0;
    const size_t counts = last.rfind(": ");
    if (counts == std::string::npos ||
        std::sscanf(last.c_str() + counts + 2, "%lu errors, %lu warning", &errors, &warnings) != 2)
        return 0;
    return warnings;
}

size_t listed_warnings(const std::string &out)
{
    size_t n = 0;
    for (size_t at = out.find(": warning ["); at != std::string::npos;
         at = out.find(": warning [", at + 1))
        ++n;
    return n;
}

// A watchdog, not a figure (the benchmarks measure the commands on the
// costliest image): under the sanitizers the slowest command here takes
// about 8 s on an idle machine, and a list read again through thousands of
// pointers took minutes before the reader charged what it reads.
constexpr double kSecondsPerCommand = 60;

class LargeTables : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const LargeImage &large)
    {
        const fs::path path = dir_ / "large.dll";
        write_bytes(path.string(), large.make());
        return path;
    }

    const fs::path dir_ =
        fs::temp_directory_path() / ("wendol-large-" + std::to_string(::getpid()));
};

TEST_F(LargeTables, TheLongestListsAreReadByEveryCommandInBoundedTime)
{
    for (const LargeImage &large : kLongLists) {
        const fs::path image = write(large);
        for (const auto &command : commands_on(image, dir_)) {
            SCOPED_TRACE(std::string(large.what) + ", " + command[0]);
            const InProcessRun o = run_in_process(command);
            EXPECT_LT(o.seconds, kSecondsPerCommand);
            if (command[0] == "verify") {
                // A fault in each of 65,535 entries is 100 findings and a count.
                EXPECT_LT(o.out.size(), 200'000u);
                EXPECT_TRUE(o.exit_code == 0 || o.exit_code == 1) << o.err;
                if (large.repeats) {
                    EXPECT_NE(o.out.find("more like the 100 above, not listed"), std::string::npos)
                        << o.out.substr(0, 2000);
                    // The summary counts the findings, not the lines listing them.
                    EXPECT_GT(summary_warnings(o.out), listed_warnings(o.out))
                        << o.out.substr(o.out.size() - std::min<size_t>(o.out.size(), 500));
                }
            } else {
                // find exits 1 where nothing types the character.
                EXPECT_TRUE(o.exit_code == 0 || (command[0] == "find" && o.exit_code == 1))
                    << o.exit_code << ": " << o.err;
            }
        }
    }
}

TEST_F(LargeTables, ListsReadAgainThroughManyPointersAreRefused)
{
    for (const LargeImage &large : kSharedLists) {
        const fs::path image = write(large);
        EXPECT_LT(fs::file_size(image), 1'200'000u);
        for (const auto &command : commands_on(image, dir_)) {
            SCOPED_TRACE(std::string(large.what) + ", " + command[0]);
            const InProcessRun o = run_in_process(command);
            EXPECT_EQ(o.exit_code, 1);
            EXPECT_LT(o.seconds, kSecondsPerCommand);
            const std::string said = command[0] == "verify" ? o.out : o.err;
            EXPECT_NE(said.find("bytes in all (twice the image's size plus 0x10000, at most 0x400000)"),
                      std::string::npos)
                << said;
        }
    }
}

TEST_F(LargeTables, TablesPastFourMiBInAllAreRefused)
{
    const LargeImage large = {"character tables past 4 MiB", [] {
        return in_module(PointerSlot::VkToWcharTable,
                         [](const Place &p) { return many_tables(0xFFFF, 12, p); });
    }};
    const fs::path image = write(large);
    for (const auto &command : commands_on(image, dir_)) {
        SCOPED_TRACE(command[0]);
        const InProcessRun o = run_in_process(command);
        EXPECT_EQ(o.exit_code, 1);
        EXPECT_LT(o.seconds, kSecondsPerCommand);
        const std::string said = command[0] == "verify" ? o.out : o.err;
        EXPECT_NE(said.find("expected tables of at most 0x400000 bytes in all"), std::string::npos)
            << said;
    }
}

}  // namespace
}  // namespace wendol::test
