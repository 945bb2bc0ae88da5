// error.h - the one error type of the toolkit: what was being read, what was
// expected and what was found.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace wendol {

class Error : public std::runtime_error {
public:
    // A message that names no expectation ("key \"Hyper\" ...").
    explicit Error(const std::string &message);
    // "<context>: expected <expected>, found <found>".
    Error(std::string context, std::string expected, std::string found);

    // False for a plain message, whose what() is the whole of it and whose
    // context, expected and found are empty.
    bool has_expectation() const { return parts_->has_expectation; }
    // What was being read when it went wrong: "KBDTABLES.pDeadKey at RVA 0x1C10".
    const std::string &context() const { return parts_->context; }
    const std::string &expected() const { return parts_->expected; }
    const std::string &found() const { return parts_->found; }

private:
    struct Parts {
        std::string context, expected, found;
        bool has_expectation = false;
    };
    // Shared, so that copying the exception cannot throw.
    std::shared_ptr<const Parts> parts_;
};

// "expected <expected>, found <found>": an expectation told without its place.
std::string expectation_text(const std::string &expected, const std::string &found);

// Throws Error(context, expected, found).
[[noreturn]] void fail(const std::string &context, const std::string &expected,
                       const std::string &found);

std::string hex(uint64_t value, int digits = 0);   // "0x1A2B"

}  // namespace wendol
