// test_numbers.cpp - the one number reader: the forms it takes, what it
// refuses, and its maximum checked against std::from_chars.
#include <gtest/gtest.h>

#include <charconv>
#include <random>

#include "base/numbers.h"

namespace wendol {
namespace {

constexpr uint64_t kMost = UINT64_MAX;

TEST(Numbers, DecimalOrHexAfter0x)
{
    const std::pair<const char *, uint64_t> cases[] = {
        {"0", 0},
        {"161", 161},
        {"0xA1", 0xA1},
        {"0XA1", 0xA1},
        {"0xa1", 0xA1},
        {"0x0090000000", 0x90000000},
        {"0010", 10},   // leading zeros are not octal
        {"18446744073709551615", kMost},
        {"0xFFFFFFFFFFFFFFFF", kMost},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(parse_number(text, NumberForm::DecimalOrHex), value) << text;
}

TEST(Numbers, BareHexWhereThePrefixSaysSo)
{
    EXPECT_EQ(parse_number("1E", NumberForm::Hex, 0xFF), 0x1E);
    EXPECT_EQ(parse_number("b", NumberForm::Hex, 0xFF), 0x0B);
    EXPECT_EQ(parse_number("10FFFF", NumberForm::Hex, 0x10FFFF), 0x10FFFF);
    EXPECT_EQ(parse_number("00E9", NumberForm::Hex), 0xE9);
    // "0x" is no part of a bare hex number: "sc:0x1E" is not a scan code.
    EXPECT_EQ(read_number("0x1E", NumberForm::Hex).fault, NumberFault::Malformed);
    // Without 0x, hex digits are no decimal number; where only decimal is
    // taken, 0x is no prefix.
    for (const char *text : {"A1", "1e3", "0b1"})
        EXPECT_EQ(read_number(text, NumberForm::DecimalOrHex).fault, NumberFault::Malformed) << text;
    EXPECT_EQ(parse_number("233", NumberForm::Decimal), 233u);
    EXPECT_EQ(read_number("0xE9", NumberForm::Decimal).fault, NumberFault::Malformed);
}

TEST(Numbers, RefusesSignsSpacesAndLeftovers)
{
    for (const char *text : {"", "0x", "0X", "x1", "-1", "+1", "-0", " 1", "1 ", "\t1", "1\n",
                             "1.0", "1_000", "0x-1", "0x+1", "0x 1", "0o7",
                             "0xx1", "00x1", "1x", "0x1g", "\xEF\xBC\x91" /* fullwidth 1 */}) {
        for (NumberForm form : {NumberForm::Decimal, NumberForm::DecimalOrHex, NumberForm::Hex}) {
            const ParsedNumber parsed = read_number(text, form);
            EXPECT_EQ(parsed.fault, NumberFault::Malformed) << "\"" << text << "\"";
            EXPECT_EQ(parse_number(text, form), std::nullopt) << "\"" << text << "\"";
        }
    }
}

TEST(Numbers, TheMaximumIsKeptNotWrapped)
{
    struct Case {
        const char *text;
        NumberForm form;
        uint64_t max;
        NumberFault fault;
    };
    const Case cases[] = {
        {"255", NumberForm::DecimalOrHex, 0xFF, NumberFault::None},
        {"256", NumberForm::DecimalOrHex, 0xFF, NumberFault::TooLarge},
        {"0x100", NumberForm::DecimalOrHex, 0xFF, NumberFault::TooLarge},
        {"0x00FF", NumberForm::DecimalOrHex, 0xFF, NumberFault::None},
        {"FF", NumberForm::Hex, 0xFF, NumberFault::None},
        {"100", NumberForm::Hex, 0xFF, NumberFault::TooLarge},
        {"110000", NumberForm::Hex, 0x10FFFF, NumberFault::TooLarge},
        {"0", NumberForm::Hex, 0, NumberFault::None},
        {"000", NumberForm::Hex, 0, NumberFault::None},
        {"1", NumberForm::Hex, 0, NumberFault::TooLarge},
        // Past 64 bits: a wrapped value would be small and pass.
        {"18446744073709551616", NumberForm::DecimalOrHex, kMost, NumberFault::TooLarge},
        {"0x10000000000000000", NumberForm::DecimalOrHex, kMost, NumberFault::TooLarge},
        {"0x10000000000000001", NumberForm::DecimalOrHex, 0xFF, NumberFault::TooLarge},
        {"99999999999999999999999999999", NumberForm::DecimalOrHex, kMost, NumberFault::TooLarge},
        // A bad character anywhere makes the text malformed, however long.
        {"99999999999999999999999999999z", NumberForm::DecimalOrHex, kMost, NumberFault::Malformed},
        {"1FFFFFFFFFFFFFFFFFFF-", NumberForm::Hex, kMost, NumberFault::Malformed},
    };
    for (const Case &c : cases) {
        const ParsedNumber parsed = read_number(c.text, c.form, c.max);
        EXPECT_EQ(parsed.fault, c.fault) << c.text;
        if (c.fault == NumberFault::None) {
            EXPECT_LE(parsed.value, c.max) << c.text;
        }
    }
}

// Random digit strings read as from_chars reads them, with the maximum
// applied after: the overflow test is the part worth checking.
TEST(Numbers, AgreesWithFromChars)
{
    std::mt19937_64 random(20240611);
    const std::string hex_digits = "0123456789abcdefABCDEF";
    for (int i = 0; i < 30000; ++i) {
        const int way = i % 3;   // decimal, bare hex, hex after 0x
        const bool hex = way != 0;
        const size_t length = 1 + random() % 24;
        std::string digits;
        for (size_t k = 0; k < length; ++k)
            digits += hex ? hex_digits[random() % hex_digits.size()]
                          : static_cast<char>('0' + random() % 10);
        const uint64_t max = i % 4 == 0 ? kMost : random() >> (random() % 64);

        uint64_t expected = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), expected, hex ? 16 : 10);
        ASSERT_EQ(end, digits.data() + digits.size());
        const bool fits = error == std::errc() && expected <= max;

        const std::string text = way == 2 ? "0x" + digits : digits;
        const ParsedNumber parsed =
            read_number(text, way == 1   ? NumberForm::Hex
                              : way == 0 && i % 2 ? NumberForm::Decimal
                                                  : NumberForm::DecimalOrHex,
                        max);
        ASSERT_EQ(parsed.fault, fits ? NumberFault::None : NumberFault::TooLarge)
            << text << " max " << max;
        if (fits) {
            ASSERT_EQ(parsed.value, expected) << text;
        }
    }
}

}  // namespace
}  // namespace wendol
