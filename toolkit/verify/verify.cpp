// verify.cpp - the verdict on one image: read it as far as it can be read,
// judge each stage that was read, and turn every refusal into a finding.
#include "verify/verify.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "base/error.h"

namespace wendol {

const char *to_string(Severity severity)
{
    switch (severity) {
    case Severity::Note: return "note";
    case Severity::Warning: return "warning";
    case Severity::Error: return "error";
    }
    return "?";
}

const char *to_string(Check check)
{
    switch (check) {
    case Check::Image: return "image";
    case Check::Sections: return "sections";
    case Check::Exports: return "exports";
    case Check::Relocations: return "relocations";
    case Check::Checksum: return "checksum";
    case Check::Accessor: return "accessor";
    case Check::Tables: return "tables";
    case Check::RootRecord: return "root record";
    case Check::Rows: return "rows";
    case Check::DeadKeys: return "dead keys";
    case Check::Compositions: return "compositions";
    case Check::Ligatures: return "ligatures";
    case Check::Modifiers: return "modifiers";
    case Check::Order: return "order";
    case Check::KeyNames: return "key names";
    case Check::Overlaps: return "overlaps";
    case Check::Attributes: return "attributes";
    case Check::LocaleFlags: return "locale flags";
    case Check::Reach: return "reach";
    case Check::Verifier: return "verifier";
    }
    return "?";
}

Place named(std::string field)
{
    Place place;
    place.field = std::move(field);
    return place;
}

Place rva_place(uint32_t rva, std::string field)
{
    Place place;
    place.field = std::move(field);
    place.rva = rva;
    return place;
}

Place row_place(const LayoutTables &tables, RowRef ref, std::optional<size_t> column)
{
    const CharRow &row = tables.char_tables.at(ref.table).rows.at(ref.row);
    TablePlace at{ref.table, ref.row, {}, row.vk, row.rva};
    if (column)
        at.columns.push_back(*column);
    Place place;
    place.tables.push_back(std::move(at));
    return place;
}

void Findings::add(Finding finding)
{
    Listed &listed = listed_[{finding.check, finding.severity}];
    if (++listed.count <= kListedPerCheck) {
        findings_.push_back(std::move(finding));
        return;
    }
    const size_t more = listed.count - kListedPerCheck;
    if (more == 1) {
        listed.summary = findings_.size();
        findings_.push_back({finding.severity, finding.check, {}, "", "", "", more, true});
    }
    findings_[listed.summary].count = more;
}

void Findings::error(Check check, Place place, std::string expected, std::string found,
                     std::string reason)
{
    add({Severity::Error, check, std::move(place), std::move(expected), std::move(found),
         std::move(reason)});
}

void Findings::warning(Check check, Place place, std::string expected, std::string found,
                       std::string reason)
{
    add({Severity::Warning, check, std::move(place), std::move(expected), std::move(found),
         std::move(reason)});
}

void Findings::note(Check check, Place place, std::string found, std::string reason)
{
    add({Severity::Note, check, std::move(place), "", std::move(found), std::move(reason)});
}

void Findings::refusal(Check check, const Error &refused)
{
    Place place;
    place.what = refused.context();
    if (refused.has_expectation())
        add({Severity::Error, check, std::move(place), refused.expected(), refused.found()});
    else
        add({Severity::Error, check, {}, "", refused.what()});
}

namespace {

size_t count(const std::vector<Finding> &findings, Severity severity)
{
    size_t n = 0;
    for (const Finding &f : findings)
        if (f.severity == severity)
            n += f.count;
    return n;
}

}  // namespace

size_t Findings::errors() const
{
    return count(findings_, Severity::Error);
}

size_t Findings::warnings() const
{
    return count(findings_, Severity::Warning);
}

size_t Findings::notes() const
{
    return count(findings_, Severity::Note);
}

namespace {

// Runs one stage; a refusal by the reader ends it with a finding.
bool stage(Findings &findings, Check check, const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const Error &e) {
        findings.refusal(check, e);
        return false;
    }
}

}  // namespace

namespace {

bool exports_descriptor(const PeFile &file)
{
    const auto &exports = file.exports();
    return std::any_of(exports.begin(), exports.end(),
                       [](const Export &e) { return e.name == "KbdLayerDescriptor"; });
}

std::vector<Finding> verify_pe(PeFile file, Findings &findings)
{
    verify_file_shape(file, findings);
    // Without the accessor there are no tables to find; the export check
    // has said so once.
    if (!exports_descriptor(file))
        return findings.all();

    // Mapped at the preferred base, relocations change nothing: the tables
    // are read as stored, and the relocations judged against them (their
    // types, which the loader needs only elsewhere, were judged above).
    std::optional<MappedImage> image;
    std::optional<DescriptorCall> call;
    std::optional<LayoutTables> tables;
    const uint64_t base = file.headers().image_base;
    if (!stage(findings, Check::Image, [&] { image.emplace(std::move(file), base); }) ||
        !stage(findings, Check::Tables, [&] {
            call = call_descriptor(*image);
            tables = read_tables(*image, *call);
        }))
        return findings.all();
    verify_table_image(*image, *call, *tables, findings);

    // Typing runs over whatever was read, faults and all: a key the tables
    // cannot answer is a finding of its own and costs only that key.
    const Keymap keymap(std::move(*tables));
    stage(findings, Check::Tables, [&] { verify_tables(keymap, findings); });
    stage(findings, Check::Reach, [&] { verify_reach(keymap, findings); });
    return findings.all();
}

}  // namespace

std::vector<Finding> verify_bytes(std::vector<uint8_t> bytes)
{
    Findings findings;
    std::optional<PeFile> file;
    if (!stage(findings, Check::Image, [&] { file.emplace(std::move(bytes)); }))
        return findings.all();
    return verify_pe(std::move(*file), findings);
}

std::vector<Finding> verify_file(const std::string &path)
{
    Findings findings;
    std::optional<PeFile> file;
    if (!stage(findings, Check::Image, [&] { file.emplace(PeFile::read(path)); }))
        return findings.all();
    return verify_pe(std::move(*file), findings);
}

}  // namespace wendol
