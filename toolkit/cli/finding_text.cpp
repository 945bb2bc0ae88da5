// finding_text.cpp - findings told as the verifier's lines.
#include "finding_text.h"

#include <vector>

#include "base/error.h"
#include "base/text.h"

namespace wendol::cli {

namespace {

// "table 6 row 25 column 3 (VK 0xBB, RVA 0x2700)", "table 7 columns 2, 3
// (RVA 0x2A00)": tables counted from 1 as a maintainer counts them, rows
// from 0 as they are stored.
std::string table_text(const TablePlace &at)
{
    std::string out = "table " + std::to_string(at.table + 1);
    if (at.row)
        out += " row " + std::to_string(*at.row);
    if (!at.columns.empty()) {
        std::vector<std::string> columns;
        for (size_t c : at.columns)
            columns.push_back(std::to_string(c));
        out += (columns.size() == 1 ? " column " : " columns ") + joined(columns);
    }
    return out + " (" + (at.vk ? "VK " + hex(*at.vk, 2) + ", " : "") + "RVA " + hex(at.rva) + ")";
}

}  // namespace

std::string place_text(const Place &place)
{
    std::vector<std::string> parts;
    if (place.character)
        parts.push_back(character_label(*place.character));
    if (!place.field.empty())
        parts.push_back(place.field);
    if (!place.what.empty())
        parts.push_back(place.what);
    for (const TablePlace &at : place.tables)
        parts.push_back(table_text(at));
    std::vector<std::string> address;
    if (place.rva)
        address.push_back("RVA " + hex(*place.rva));
    if (place.file_offset)
        address.push_back("file offset " + hex(*place.file_offset));
    if (parts.empty())
        return joined(address);
    return joined(parts) + (address.empty() ? "" : " (" + joined(address) + ")");
}

std::string finding_text(const Finding &f)
{
    if (f.unlisted)
        return "and " + std::to_string(f.count) + " more like the " +
               std::to_string(Findings::kListedPerCheck) + " above, not listed";
    std::string text = f.expected.empty() ? f.found : expectation_text(f.expected, f.found);
    if (!f.reason.empty())
        text += (f.expected.empty() ? ": " : "; ") + f.reason;
    return text;
}

}  // namespace wendol::cli
