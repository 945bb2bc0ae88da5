// chart_keyboard.cpp - the key rows of the ISO keyboard and the keypad.
#include "chart/chart_keyboard.h"

#include <algorithm>
#include <cstdio>

namespace wendol::chart {

namespace {

constexpr ScanCode plain(uint8_t code) { return {Prefix::None, code}; }
constexpr ScanCode e0(uint8_t code) { return {Prefix::E0, code}; }

// Lays keys left to right along one row of a block.
class Row {
public:
    Row(KeyBlock &block, double y, double x = 0) : block_(block), y_(y), x_(x) {}

    Row &key(ScanCode scan, double w = 1, double h = 1)
    {
        block_.keys.push_back({scan, x_, y_, w, h, 0});
        x_ += w;
        block_.width = std::max(block_.width, x_);
        block_.height = std::max(block_.height, y_ + h);
        return *this;
    }

    // Keys of width 1 whose scan codes run from `first` to `last`.
    Row &keys(uint8_t first, uint8_t last)
    {
        for (unsigned code = first; code <= last; ++code)
            key(plain(static_cast<uint8_t>(code)));
        return *this;
    }

private:
    KeyBlock &block_;
    double y_;
    double x_;
};

}  // namespace

KeyBlock alphanumeric_block(ExtraKeys extra)
{
    KeyBlock block;
    Row digits(block, 0);
    digits.key(plain(0x29)).keys(0x02, 0x0D);
    if (extra.left_of_backspace)
        digits.key(plain(0x7D)).key(plain(0x0E));
    else
        digits.key(plain(0x0E), 2);
    Row(block, 1).key(plain(0x0F), 1.5).keys(0x10, 0x1B);
    Row(block, 2).key(plain(0x3A), 1.75).keys(0x1E, 0x28).key(plain(0x2B));
    Row bottom(block, 3);
    bottom.key(plain(0x2A), 1.25).key(plain(0x56)).keys(0x2C, 0x35);
    if (extra.left_of_right_shift)
        bottom.key(plain(0x73)).key(plain(0x36), 1.75);
    else
        bottom.key(plain(0x36), 2.75);
    Row(block, 4).key(plain(0x1D), 1.25).key(e0(0x5B), 1.25).key(plain(0x38), 1.25)
        .key(plain(0x39), 6.25).key(e0(0x38), 1.25).key(e0(0x5C), 1.25).key(e0(0x5D), 1.25)
        .key(e0(0x1D), 1.25);
    // The ISO Enter: the lower row's width, two rows tall, its upper row
    // reaching a quarter key further left, over the backslash key.
    Row(block, 1, 13.75).key(plain(0x1C), 1.25, 2);
    block.keys.back().reach_left = 0.25;
    return block;
}

KeyBlock keypad_block()
{
    KeyBlock block;
    Row(block, 0).key(plain(0x45)).key(e0(0x35)).key(plain(0x37)).key(plain(0x4A));
    Row(block, 1).keys(0x47, 0x49).key(plain(0x4E), 1, 2);
    Row(block, 2).keys(0x4B, 0x4D);
    Row(block, 3).keys(0x4F, 0x51).key(e0(0x1C), 1, 2);
    Row(block, 4).key(plain(0x52), 2).key(plain(0x53));
    return block;
}

std::vector<Narrowed> narrowed_keys(ExtraKeys extra)
{
    std::vector<Narrowed> narrowed;
    if (extra.left_of_backspace)
        narrowed.push_back({plain(0x0E), plain(0x7D)});
    if (extra.left_of_right_shift)
        narrowed.push_back({plain(0x36), plain(0x73)});
    return narrowed;
}

std::string scan_id(ScanCode scan)
{
    char buffer[16];
    const char *prefix = scan.prefix == Prefix::E0 ? "E0" : scan.prefix == Prefix::E1 ? "E1" : "";
    std::snprintf(buffer, sizeof buffer, "sc%s%02X", prefix, static_cast<unsigned>(scan.code));
    return buffer;
}

}  // namespace wendol::chart
