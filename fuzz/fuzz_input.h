// fuzz_input.h - what the image fuzzers share: the input read as a file,
// the two bases each image is mapped at, and a stream that prints nowhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <streambuf>
#include <vector>

#include "base/error.h"
#include "pe/image.h"

namespace wendol::fuzz {

// The input as a PE file, or nothing where the reader refuses it.
inline std::optional<PeFile> read_input(const uint8_t *data, size_t size)
{
    try {
        return PeFile(std::vector<uint8_t>(data, data + size));
    } catch (const Error &) {
        return std::nullopt;
    }
}

// The image's own base, where relocations change nothing, and one where
// each of them moves a pointer.
inline std::array<uint64_t, 2> bases(const PeFile &file)
{
    const uint64_t other = file.headers().pe32_plus ? 0x00007FF612340000u : 0x7FFE0000u;
    return {file.headers().image_base, other};
}

// The image mapped at `base`, or nothing where the mapper refuses it.
inline std::optional<MappedImage> map_input(const PeFile &file, uint64_t base)
{
    try {
        return MappedImage(file, base);
    } catch (const Error &) {
        return std::nullopt;
    }
}

// A stream for the reports: everything is formatted, nothing kept.
class Nowhere : public std::ostream {
public:
    Nowhere() : std::ostream(&buffer_) {}

private:
    struct Discard : std::streambuf {
        int overflow(int ch) override { return ch; }
    };
    Discard buffer_;
};

}  // namespace wendol::fuzz
