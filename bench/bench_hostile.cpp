// bench_hostile.cpp - what the costliest image found makes each command a
// user runs on a downloaded file spend: 65,535 character tables of ten rows
// each, 3.9 MB of tables, just within what the table reader takes from one
// image.  Each command runs in this process, its output kept in memory.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_module.h"
#include "support/image_bytes.h"
#include "support/in_process.h"
#include "support/large_images.h"

namespace wendol::bench {
namespace {

namespace fs = std::filesystem;

// The image written once, in a folder of its own that goes at exit.
class CostliestImage {
public:
    CostliestImage()
    {
        fs::create_directories(dir_);
        test::write_bytes(image().string(), test::longest_character_tables(module_bytes()));
    }
    ~CostliestImage() { fs::remove_all(dir_); }
    CostliestImage(const CostliestImage &) = delete;
    CostliestImage &operator=(const CostliestImage &) = delete;

    fs::path image() const { return dir_ / "costliest.dll"; }
    fs::path out(const std::string &what) const { return dir_ / what; }

private:
    const fs::path dir_ =
        fs::temp_directory_path() / ("wendol-bench-" + std::to_string(::getpid()));
};

const CostliestImage &costliest()
{
    static const CostliestImage image;
    return image;
}

// The command as a user would run it on the image.
std::vector<std::string> command_line(const std::string &command)
{
    const CostliestImage &c = costliest();
    const std::string image = c.image().string();
    if (command == "type")
        return {"type", image, "a", "b", "AltGr+e"};
    if (command == "find")
        return {"find", image, "é"};
    if (command == "chart" || command == "xkb")
        return {command, image, "--out", c.out(command).string()};
    return {command, image};
}

void BM_CommandOnCostliestImage(benchmark::State &state, const char *command)
{
    const std::vector<std::string> args = command_line(command);
    for (auto _ : state) {
        const test::InProcessRun run = test::run_in_process(args);
        if (run.exit_code != 0 && run.exit_code != 1) {
            state.SkipWithError((std::string(command) + " failed: " + run.err).c_str());
            break;
        }
        benchmark::DoNotOptimize(run.out.size());
    }
}

// BM_CommandOnCostliestImage/verify, /inspect, ...: two runs each, as a
// run takes up to a second.
const bool kRegistered = [] {
    for (const char *command : {"verify", "inspect", "type", "find", "chart", "xkb"})
        benchmark::RegisterBenchmark(("BM_CommandOnCostliestImage/" + std::string(command)).c_str(),
                                     BM_CommandOnCostliestImage, command)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    return true;
}();

}  // namespace
}  // namespace wendol::bench
