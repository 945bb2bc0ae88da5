// test_hostile_files.cpp - `wendol verify`, `inspect` and `resources` on
// files nobody here wrote: every PE file Wine ships, and copies of our own
// modules cut short at each section boundary.  Each is read or refused with
// one clear message (exit 1); nothing crashes, hangs, escapes as another
// exception, or trips a sanitizer.  The commands run in-process through
// run_program, a few milliseconds a file instead of a process each.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "pe/image.h"
#include "support/image_helpers.h"
#include "support/in_process.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

size_t line_count(const std::string &text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// What a clean run looks like: read (0), or refused (1) with one line on
// stderr naming the command (inspect, resources) or with at least one error
// among the findings (verify), and never the verifier failing on its own.
// Returns what is wrong, or nothing.
std::string fault_of(const std::string &command, const InProcessRun &o)
{
    if (!o.escaped.empty())
        return "escaped run_program: " + o.escaped;
    if (o.exit_code != 0 && o.exit_code != 1)
        return "exit code " + std::to_string(o.exit_code) + ", stderr: " + o.err;
    if (command == "verify") {
        if (o.out.find("[verifier]") != std::string::npos)
            return "the verifier failed on its own:\n" + o.out;
        if (o.exit_code == 1 && o.out.find(": error [") == std::string::npos)
            return "exit 1 with no error among the findings:\n" + o.out;
        return o.err.empty() ? "" : "verify wrote to stderr: " + o.err;
    }
    if (o.exit_code == 0)
        return o.err.empty() ? "" : "read, but wrote to stderr: " + o.err;
    if (line_count(o.err) != 1 || o.err.rfind("wendol " + command + ": ", 0) != 0)
        return "refused without one line naming the command: " + o.err;
    return "";
}

constexpr const char *kCommands[] = {"verify", "inspect", "resources"};
constexpr size_t kCommandCount = std::size(kCommands);

struct Tally {
    size_t files = 0;
    size_t read[kCommandCount] = {};      // exit 0, by command
    size_t refused[kCommandCount] = {};   // exit 1
    std::string slowest;
    Clock::duration slowest_time{};
};

// All three commands on one file; a fault fails the test and names the file.
void judge_file(const std::string &path, Tally &tally)
{
    const auto start = Clock::now();
    for (size_t c = 0; c < kCommandCount; ++c) {
        const InProcessRun o = run_in_process({kCommands[c], path});
        const std::string fault = fault_of(kCommands[c], o);
        EXPECT_TRUE(fault.empty()) << "wendol " << kCommands[c] << " " << path << ": " << fault;
        tally.read[c] += o.exit_code == 0;
        tally.refused[c] += o.exit_code == 1;
    }
    const auto took = Clock::now() - start;
    ++tally.files;
    if (took > tally.slowest_time) {
        tally.slowest_time = took;
        tally.slowest = path;
    }
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void report(const char *what, const Tally &t, Clock::duration total)
{
    std::cout << what << ": " << t.files << " files;";
    for (size_t c = 0; c < kCommandCount; ++c)
        std::cout << " " << kCommands[c] << " read " << t.read[c] << ", refused " << t.refused[c]
                  << ";";
    std::cout << " " << seconds(total) << " s in all, slowest " << seconds(t.slowest_time)
              << " s (" << t.slowest << ")\n";
}

// Wine's PE files, for x86 and x64, where its packages are installed.
std::vector<std::string> wine_pe_files()
{
    std::set<std::string> files;   // sorted, for a run in the same order each time
    for (const char *root : {"/usr/lib/x86_64-linux-gnu/wine", "/usr/lib/i386-linux-gnu/wine",
                             "/usr/lib/wine", "/usr/lib64/wine"}) {
        std::error_code ec;
        if (!fs::is_directory(root, ec))
            continue;
        for (const fs::directory_entry &folder : fs::directory_iterator(root, ec)) {
            const std::string name = folder.path().filename();
            if (!folder.is_directory() || !name.ends_with("-windows"))
                continue;
            for (const fs::directory_entry &f : fs::directory_iterator(folder.path(), ec))
                if (f.is_regular_file() && !f.is_symlink())
                    files.insert(f.path());
        }
    }
    return {files.begin(), files.end()};
}

// Every file runs under ASan and UBSan in the checked build; the whole sweep
// takes 15 to 30 seconds there.  The limit leaves room for a busy machine;
// past it something has become slow on some input.
constexpr auto kWineLimit = std::chrono::seconds(120);
constexpr auto kFileLimit = std::chrono::seconds(10);

TEST(HostileFiles, EveryWinePeFileIsReadOrRefusedCleanly)
{
    const std::vector<std::string> files = wine_pe_files();
    if (files.size() < 100)
        GTEST_SKIP() << "Wine's PE files are not installed (no */wine/*-windows folders under "
                        "/usr/lib with them): found "
                     << files.size();
    Tally tally;
    const auto start = Clock::now();
    for (const std::string &path : files)
        judge_file(path, tally);
    const auto total = Clock::now() - start;
    report("Wine's PE files", tally, total);
    EXPECT_LT(total, kWineLimit);
    EXPECT_LT(tally.slowest_time, kFileLimit) << tally.slowest;
    // None of them is a keyboard layout: inspect reads the tables.
    EXPECT_EQ(tally.read[1], 0u) << "a Wine file inspected as a keyboard layout";
}

// Where a cut is most likely to fall between what a reader expects and what
// is there: the end of the headers, and each section's start and end in the
// file, each also a byte short.
std::vector<size_t> cut_points(const std::vector<uint8_t> &bytes)
{
    const PeFile file(bytes);
    std::set<size_t> cuts = {file.headers().size_of_headers};
    for (const Section &s : file.sections())
        for (const size_t at : {size_t{s.raw_offset}, size_t{s.raw_offset} + s.raw_size})
            cuts.insert(at);
    std::set<size_t> with_short;
    for (const size_t at : cuts) {
        with_short.insert(at);
        if (at > 0)
            with_short.insert(at - 1);
    }
    std::vector<size_t> out;
    for (const size_t at : with_short)
        if (at < bytes.size())
            out.push_back(at);
    return out;
}

TEST(HostileFiles, EveryBuiltModuleCutShortIsRefusedCleanly)
{
    const fs::path folder = fs::temp_directory_path() /
                            ("wendol-truncated-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    Tally tally;
    const auto start = Clock::now();
    for (const std::string variant : {"wow64", "x86", "x64", "arm64"}) {
        const std::string module = variant == "wow64" ? module_path() : sibling_module(variant);
        const std::vector<uint8_t> bytes = read_bytes(module);
        for (const size_t at : cut_points(bytes)) {
            const std::string path = (folder / (variant + "." + std::to_string(at))).string();
            write_bytes(path, {bytes.begin(), bytes.begin() + static_cast<long>(at)});
            judge_file(path, tally);
            fs::remove(path);
        }
    }
    fs::remove_all(folder);
    report("Built modules cut short", tally, Clock::now() - start);
    EXPECT_GE(tally.files, 4u * 6) << "a cut at the headers' end and each section's edges";
    for (size_t c = 0; c < kCommandCount; ++c)
        EXPECT_EQ(tally.read[c], 0u) << kCommands[c] << " read a module cut short";
}

// The module's .klc source, cut short after every line and inside a few: each
// cut is refused by the reader with one line naming the line it stopped
// at, before anything is built.
TEST(HostileFiles, EveryKlcSourceCutShortIsRefusedCleanly)
{
    const fs::path folder = fs::temp_directory_path() / ("wendol-klc-cut-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string source = (folder / "wendol.klc").string();
    ASSERT_EQ(run_in_process({"klc", module_path(), "--out", source}).exit_code, 0);
    const std::vector<uint8_t> bytes = read_bytes(source);
    size_t cuts = 0;
    for (size_t at = 0; at + 2 < bytes.size(); at += 2) {
        // after each line's LF, and now and then half-way into a character
        const bool line_end = bytes[at] == '\n' && bytes[at + 1] == 0;
        if (!line_end && at % 1000 != 0)
            continue;
        const size_t length = line_end ? at + 2 : at + 1;
        const std::string path = (folder / "cut.klc").string();
        write_bytes(path, {bytes.begin(), bytes.begin() + static_cast<long>(length)});
        const InProcessRun o = run_in_process({"build", path, "--out", (folder / "built").string()});
        EXPECT_EQ(o.exit_code, 1) << "cut at " << at << ": " << o.err;
        EXPECT_TRUE(o.escaped.empty()) << o.escaped;
        EXPECT_EQ(line_count(o.err), 1u) << "cut at " << at << ": " << o.err;
        EXPECT_NE(o.err.find(": line "), std::string::npos) << "cut at " << at << ": " << o.err;
        ++cuts;
    }
    EXPECT_FALSE(fs::exists(folder / "built" / "x86")) << "nothing was built";
    fs::remove_all(folder);
    EXPECT_GE(cuts, 100u);
}

}  // namespace
}  // namespace wendol::test
