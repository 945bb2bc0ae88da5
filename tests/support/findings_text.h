// findings_text.h - a verdict written out for a failing expectation.
#pragma once

#include <string>
#include <vector>

#include "verify/verify.h"

namespace wendol::test {

// One line a finding, as `wendol verify` prints them; " none" for none.
inline std::string describe(const std::vector<Finding> &findings)
{
    std::string out;
    for (const Finding &f : findings)
        out += std::string("\n  ") + to_string(f.severity) + " [" + f.check + "] " + f.place +
               ": " + f.text;
    return out.empty() ? " none" : out;
}

}  // namespace wendol::test
