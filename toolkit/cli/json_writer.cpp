// json_writer.cpp - JSON text, written in order.
#include "json_writer.h"

#include <array>

namespace wendol::cli {

namespace {

// The length of the UTF-8 sequence at `at`, or 0 where the bytes there are
// not one (overlong forms, surrogates and values past U+10FFFF included).
size_t utf8_length(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    char32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (byte(at + i) & 0x3F);
    }
    constexpr std::array<char32_t, 5> kLowest = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kLowest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::string json_string(std::string_view text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        const size_t length = utf8_length(text, i);
        if (length == 0) {
            out += "\uFFFD";
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        ++i;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                constexpr const char *kDigits = "0123456789ABCDEF";
                out += "\\u00";
                out += kDigits[(c >> 4) & 0x0F];
                out += kDigits[c & 0x0F];
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::newline()
{
    out_ << '\n' << std::string(2 * first_.size(), ' ');
}

void JsonWriter::before_value()
{
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (first_.empty())
        return;
    if (!first_.back())
        out_ << ',';
    first_.back() = false;
    newline();
}

void JsonWriter::begin_object()
{
    before_value();
    out_ << '{';
    first_.push_back(true);
}

void JsonWriter::close(char bracket)
{
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty)
        newline();
    out_ << bracket;
}

void JsonWriter::end_object()
{
    close('}');
}

void JsonWriter::begin_array()
{
    before_value();
    out_ << '[';
    first_.push_back(true);
}

void JsonWriter::end_array()
{
    close(']');
}

void JsonWriter::key(std::string_view name)
{
    before_value();
    out_ << json_string(name) << ": ";
    after_key_ = true;
}

void JsonWriter::value(std::string_view text)
{
    before_value();
    out_ << json_string(text);
}

void JsonWriter::value(bool flag)
{
    before_value();
    out_ << (flag ? "true" : "false");
}

void JsonWriter::value(uint64_t number)
{
    before_value();
    out_ << number;
}

void JsonWriter::value(int number)
{
    before_value();
    out_ << number;
}

void JsonWriter::null()
{
    before_value();
    out_ << "null";
}

}  // namespace wendol::cli
