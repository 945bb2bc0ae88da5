// cmd_checksum.cpp - `wendol checksum FILE [--write]`: the optional header's
// CheckSum as stored and as the platform computes it, and with --write the
// computed one stored, for a linker that leaves it zero.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/error.h"
#include "commands.h"
#include "pe/image.h"

namespace wendol::cli {

namespace {

// The bytes with the checksum in place, written beside the file and moved
// over it, so that a failed write leaves the file as it was.
void write_checksum(const std::string &path, const PeFile &file, uint32_t checksum)
{
    std::vector<uint8_t> bytes = file.bytes();
    const uint32_t at = file.headers().checksum_offset;
    for (unsigned i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<uint8_t>(checksum >> (8 * i));
    const std::string temporary = path + ".wendol-checksum";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            fail("writing " + path, "a file that can be written", temporary + " refused");
        }
    }
    std::error_code moved;
    std::filesystem::rename(temporary, path, moved);
    if (moved) {
        std::remove(temporary.c_str());
        fail("writing " + path, "a file that can be replaced", moved.message());
    }
}

int run_checksum(std::vector<std::string> args, std::ostream &out)
{
    const bool write = take_flag(args, "--write");
    expect_operands(args, 1, checksum_command.synopsis);
    const std::string &path = args[0];
    const PeFile file = PeFile::read(path);
    const uint32_t stored = file.headers().checksum;
    const uint32_t computed = file.computed_checksum();
    out << path << ": CheckSum " << hex(stored, 8) << ", computed " << hex(computed, 8);
    if (stored == computed) {
        out << ": right\n";
        return kExitDone;
    }
    if (!write) {
        out << ": wrong (--write stores the computed one)\n";
        return kExitFailed;
    }
    write_checksum(path, file, computed);
    out << ": written\n";
    return kExitDone;
}

}  // namespace

const Command checksum_command = {
    "checksum",
    "FILE [--write]",
    "the optional header's CheckSum as stored and as the platform computes it;\n"
    "      exits 1 when they differ.  With --write, stores the computed one (linkers\n"
    "      such as lld-link leave it zero, which verify --strict fails)",
    run_checksum,
    "  --write       store the computed checksum in FILE\n",
    "  wendol checksum --write Wendol.dll\n",
};

}  // namespace wendol::cli
