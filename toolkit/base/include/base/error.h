// error.h - the one error type of the toolkit: what was being read, what was
// expected and what was found.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace wendol {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "<context>: expected <expected>, found <found>"
[[noreturn]] void fail(const std::string &context, const std::string &expected,
                       const std::string &found);

std::string hex(uint64_t value, int digits = 0);   // "0x1A2B"

}  // namespace wendol
