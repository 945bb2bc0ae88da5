// replay.cpp - a fuzz target without libFuzzer: each file under the folders
// and files named on the command line is given to the target once, in name
// order, so that ctest runs the committed corpus on the checked build.  The
// target aborts on a fault; this says which input it was given last.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

std::vector<std::filesystem::path> inputs(int argc, char **argv)
{
    std::vector<std::filesystem::path> paths;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named = argv[i];
        if (!std::filesystem::is_directory(named)) {
            paths.push_back(named);
            continue;
        }
        for (const auto &entry : std::filesystem::directory_iterator(named))
            if (entry.is_regular_file())
                paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::vector<std::filesystem::path> paths = inputs(argc, argv);
    for (const std::filesystem::path &path : paths) {
        std::fprintf(stderr, "%s\n", path.c_str());
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", paths.size());
    return paths.empty() ? 1 : 0;   // an empty corpus is a mistake in the build
}
