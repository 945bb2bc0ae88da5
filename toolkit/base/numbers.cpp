// numbers.cpp - reading unsigned numbers without wrapping.
#include "base/numbers.h"

namespace wendol {

namespace {

// The digit's value in `radix` (10 or 16), or nullopt.
std::optional<unsigned> digit_value(char c, unsigned radix)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (radix == 16 && c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    if (radix == 16 && c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

bool has_hex_prefix(std::string_view text)
{
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

ParsedNumber read_number(std::string_view text, NumberForm form, uint64_t max)
{
    unsigned radix = form == NumberForm::Hex ? 16 : 10;
    if (form == NumberForm::DecimalOrHex && has_hex_prefix(text)) {
        radix = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return {0, NumberFault::Malformed};
    uint64_t value = 0;
    bool too_large = false;
    // Every character is looked at, so that "99999999999999999999z" reads as
    // malformed rather than too large.
    for (char c : text) {
        const std::optional<unsigned> digit = digit_value(c, radix);
        if (!digit)
            return {0, NumberFault::Malformed};
        // value * radix + digit <= max, asked without overflowing.
        if (*digit > max || value > (max - *digit) / radix)
            too_large = true;
        else if (!too_large)
            value = value * radix + *digit;
    }
    if (too_large)
        return {0, NumberFault::TooLarge};
    return {value, NumberFault::None};
}

std::optional<uint64_t> parse_number(std::string_view text, NumberForm form, uint64_t max)
{
    const ParsedNumber parsed = read_number(text, form, max);
    if (parsed.fault != NumberFault::None)
        return std::nullopt;
    return parsed.value;
}

}  // namespace wendol
