// image_helpers.h - the modules and test layouts the build made, for the
// tests: their paths, their bytes and their images.
#pragma once

#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/image_bytes.h"

namespace wendol::test {

// The module the build made, unless WENDOL_DLL names another.
inline std::string module_path()
{
    const char *path = std::getenv("WENDOL_DLL");
    return path && *path ? path : WENDOL_DLL_PATH;
}

// The module built next to it for another target ("x64", "arm64", "x86");
// the build makes one for each.
inline std::string sibling_module(const std::string &target)
{
    const std::string main = module_path();
    const std::string path = main.substr(0, main.find_last_of('/') + 1) + target + "/Wendol.dll";
    if (!std::ifstream(path))
        throw std::runtime_error("the build makes a " + target + " module next to " + main +
                                 ", but " + path + " is not there");
    return path;
}

// A layout of the tests' own (tests/layouts/), as the build made it in one
// pointer form ("x86", "wow64", "x64", "arm64").
inline std::string test_layout(const std::string &name, const std::string &variant)
{
    const std::string path =
        std::string(WENDOL_TEST_LAYOUT_DIR) + "/" + name + "/" + variant + "/" + name + ".dll";
    if (!std::ifstream(path))
        throw std::runtime_error("the build makes the test layout " + path +
                                 ", but it is not there");
    return path;
}

inline std::vector<uint8_t> module_bytes()
{
    return read_bytes(module_path());
}

inline MappedImage map_module(std::optional<uint64_t> base = {})
{
    return map_bytes(module_bytes(), base);
}

}  // namespace wendol::test
