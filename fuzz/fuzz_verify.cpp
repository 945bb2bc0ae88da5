// fuzz_verify.cpp - libFuzzer over everything the toolkit does with an
// image it is handed: the whole verifier, from the file's shape to the
// reach of every cell; the inspect report; and typing a fixed run of keys
// with whatever tables could be read, at the image's own base and at
// another.  An image may be refused (wendol::Error); anything else that
// escapes, and every sanitizer report, is a fault of the toolkit.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/error.h"
#include "engine/keymap.h"
#include "engine/typing.h"
#include "fuzz_input.h"
#include "report/layout_report.h"
#include "tables/tables.h"
#include "verify/verify.h"

namespace {

using wendol::Key;
using wendol::Prefix;
using wendol::ScanCode;
using wendol::VirtualKey;

// Letters, AltGr with a dead key and its base, Caps Lock on the Greek layer,
// the keypad under Num Lock, and keys sent as virtual keys.
const std::vector<std::vector<Key>> kTyping = {
    {ScanCode{Prefix::None, 0x1E}},                                   // a
    {ScanCode{Prefix::None, 0x2A}, ScanCode{Prefix::None, 0x1E}},     // Shift+a
    {ScanCode{Prefix::E0, 0x38}, ScanCode{Prefix::None, 0x0D}},       // AltGr+=
    {ScanCode{Prefix::None, 0x12}},                                   // e
    {ScanCode{Prefix::E0, 0x38}, ScanCode{Prefix::None, 0x2A}, ScanCode{Prefix::None, 0x29}},
    {ScanCode{Prefix::None, 0x39}},                                   // space
    {ScanCode{Prefix::None, 0x3A}},                                   // Caps Lock
    {ScanCode{Prefix::None, 0x27}},                                   // ; (a dead key on Caps Lock)
    {ScanCode{Prefix::None, 0x2A}, ScanCode{Prefix::None, 0x11}},     // Shift+w
    {ScanCode{Prefix::None, 0x17}},                                   // i
    {ScanCode{Prefix::None, 0x45}},                                   // Num Lock
    {ScanCode{Prefix::None, 0x47}},                                   // keypad 7
    {ScanCode{Prefix::None, 0x1D}, ScanCode{Prefix::None, 0x45}},     // Ctrl+Num Lock
    {ScanCode{Prefix::None, 0x53}},                                   // keypad decimal
    {ScanCode{Prefix::E1, 0x1D}},                                     // Pause
    {VirtualKey{0xE8}, VirtualKey{0xBB}},                             // AltGr+= as virtual keys
    {VirtualKey{0x45}},
    {VirtualKey{0x00}}, {VirtualKey{0xFF}},
};

void type_with(const wendol::MappedImage &image)
{
    const wendol::Keymap keymap(wendol::read_tables(image));
    wendol::Typist typist(keymap);
    for (const auto &chord : kTyping)
        typist.chord(chord);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (const auto file = wendol::fuzz::read_input(data, size)) {
        for (const uint64_t base : wendol::fuzz::bases(*file)) {
            const auto image = wendol::fuzz::map_input(*file, base);
            if (!image)
                continue;
            try {
                type_with(*image);
            } catch (const wendol::Error &) {
            }
            if (base == file->headers().image_base) {
                wendol::fuzz::Nowhere out;
                try {
                    wendol::inspect(out, *image);
                } catch (const wendol::Error &) {
                }
            }
        }
    }
    // The verifier turns every refusal into a finding: it never throws.
    wendol::verify_bytes(std::vector<uint8_t>(data, data + size));
    return 0;
}
