// json_writer.h - one JSON document written as it is built: objects,
// arrays, strings (UTF-8, escaped as the format asks), integers, booleans
// and null, indented two spaces a level.  The caller opens and closes what
// it writes in order; the writer puts the commas and the colons.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace wendol::cli {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream &out) : out_(out) {}

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // The name of the next member of the open object.
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const char *text) { value(std::string_view(text)); }
    void value(const std::string &text) { value(std::string_view(text)); }
    void value(bool flag);
    void value(uint64_t number);
    void value(int number);
    void value(unsigned number) { value(uint64_t{number}); }
    void null();

    // key(name) and its value; an empty optional is null.
    template <class T> void member(std::string_view name, const T &v)
    {
        key(name);
        value(v);
    }
    template <class T> void member(std::string_view name, const std::optional<T> &v)
    {
        key(name);
        if (v)
            value(*v);
        else
            null();
    }

    // The document's last line ends.
    void finish() { out_ << '\n'; }

private:
    void before_value();
    void newline();
    void close(char bracket);

    std::ostream &out_;
    std::vector<bool> first_;   // per open object or array: nothing written in it yet
    bool after_key_ = false;
};

// The text with every character the format asks to escape escaped, and
// any byte that is not UTF-8 replaced by U+FFFD.
std::string json_string(std::string_view text);

}  // namespace wendol::cli
