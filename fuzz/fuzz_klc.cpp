// fuzz_klc.cpp - libFuzzer over the .klc reader: a source that reads is
// written and read again, and must give the same model.  An input may be
// refused (wendol::Error); the writer may refuse what it reads only where
// the text would pass the reader's caps (its comments make a dense source
// longer), for the writer judges a model by the reader's own rules.
// Anything else that escapes, every sanitizer report and every source that
// reads back otherwise are faults of the toolkit.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>

#include "base/error.h"
#include "klc/klc_text.h"

namespace {

std::optional<wendol::KlcSource> read_input(std::span<const uint8_t> bytes)
{
    try {
        return wendol::read_klc(bytes);
    } catch (const wendol::Error &) {
        return std::nullopt;
    }
}

std::optional<std::vector<uint8_t>> written(const wendol::KlcSource &source)
{
    try {
        return wendol::klc_bytes(source);
    } catch (const wendol::Error &e) {
        if (e.context() == "the written source")
            return std::nullopt;
        std::fprintf(stderr, "fuzz_klc: a source that reads is not written: %s\n", e.what());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto source = read_input({data, size});
    if (!source)
        return 0;
    const auto bytes = written(*source);
    if (!bytes)
        return 0;
    try {
        if (wendol::read_klc(*bytes) == *source && wendol::klc_bytes(wendol::read_klc(*bytes)) == *bytes)
            return 0;
        std::fprintf(stderr, "fuzz_klc: the source written reads back otherwise\n");
    } catch (const wendol::Error &e) {
        std::fprintf(stderr, "fuzz_klc: the source written is refused: %s\n", e.what());
    }
    std::abort();
}
