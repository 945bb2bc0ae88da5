// findings_text.h - a verdict written out for a failing expectation: every
// part of each record, so that a mismatch shows which part differs.
#pragma once

#include <string>
#include <vector>

#include "base/error.h"
#include "verify/verify.h"

namespace wendol::test {

inline std::string describe(const wendol::Place &p)
{
    std::string out;
    if (p.character)
        out += " character " + hex(*p.character);
    if (!p.field.empty())
        out += " field \"" + p.field + "\"";
    if (!p.what.empty())
        out += " what \"" + p.what + "\"";
    if (p.rva)
        out += " rva " + hex(*p.rva);
    if (p.file_offset)
        out += " file offset " + hex(*p.file_offset);
    for (const TablePlace &t : p.tables) {
        out += " table " + std::to_string(t.table);
        if (t.row)
            out += " row " + std::to_string(*t.row);
        for (size_t c : t.columns)
            out += " column " + std::to_string(c);
        out += " rva " + hex(t.rva);
    }
    return out;
}

// One line a finding; " none" for none.
inline std::string describe(const std::vector<Finding> &findings)
{
    std::string out;
    for (const Finding &f : findings)
        out += std::string("\n  ") + to_string(f.severity) + " [" + to_string(f.check) + "]" +
               describe(f.place) + "\n    expected \"" + f.expected + "\"\n    found \"" +
               f.found + "\"\n    reason \"" + f.reason + "\"";
    return out.empty() ? " none" : out;
}

}  // namespace wendol::test
