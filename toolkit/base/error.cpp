// error.cpp - the toolkit's one way of saying what went wrong.
#include "base/error.h"

#include <cstdio>

namespace wendol {

namespace {

std::string message_of(const std::string &context, const std::string &expected,
                       const std::string &found)
{
    const std::string text = expectation_text(expected, found);
    return context.empty() ? text : context + ": " + text;
}

}  // namespace

Error::Error(const std::string &message)
    : std::runtime_error(message), parts_(std::make_shared<const Parts>())
{
}

Error::Error(std::string context, std::string expected, std::string found)
    : std::runtime_error(message_of(context, expected, found)),
      parts_(std::make_shared<const Parts>(
          Parts{std::move(context), std::move(expected), std::move(found), true}))
{
}

std::string expectation_text(const std::string &expected, const std::string &found)
{
    return "expected " + expected + ", found " + found;
}

void fail(const std::string &context, const std::string &expected, const std::string &found)
{
    throw Error(context, expected, found);
}

std::string hex(uint64_t value, int digits)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%0*llX", digits < 0 ? 0 : digits,
                  static_cast<unsigned long long>(value));
    return buffer;
}

}  // namespace wendol
