// error.cpp - the toolkit's one way of saying what went wrong.
#include "base/error.h"

#include <cstdio>

namespace wendol {

void fail(const std::string &context, const std::string &expected, const std::string &found)
{
    throw Error(context + ": expected " + expected + ", found " + found);
}

std::string hex(uint64_t value, int digits)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%0*llX", digits < 0 ? 0 : digits,
                  static_cast<unsigned long long>(value));
    return buffer;
}

}  // namespace wendol
