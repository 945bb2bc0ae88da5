// numbers.h - unsigned numbers as a person writes them on the command line
// or in a key name: "0x90000000", "161", "1E".  Strict: no sign, no spaces,
// no suffix, nothing left over; a value past the caller's maximum is refused,
// never wrapped.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace wendol {

// How the caller's syntax writes a number.
enum class NumberForm {
    Decimal,        // "161"
    DecimalOrHex,   // "161", or hex after 0x or 0X: "0xA1"
    Hex,            // bare hex digits, where a prefix already says so: sc:1E, vk:BB, U+00E9
};

enum class NumberFault {
    None,
    Malformed,   // empty, or a character that is not a digit of the form
    TooLarge,    // only digits, but a value past the maximum
};

struct ParsedNumber {
    uint64_t value = 0;   // when fault is None
    NumberFault fault = NumberFault::None;
};

// Digits in either case; leading zeros are allowed.  A text that is both
// malformed and too large is malformed.
ParsedNumber read_number(std::string_view text, NumberForm form, uint64_t max = UINT64_MAX);

// The value, or nullopt for any fault.
std::optional<uint64_t> parse_number(std::string_view text, NumberForm form,
                                     uint64_t max = UINT64_MAX);

}  // namespace wendol
