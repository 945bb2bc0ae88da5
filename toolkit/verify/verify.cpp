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

namespace {

Finding expectation(Severity severity, std::string check, std::string place,
                    std::string expected, std::string found)
{
    std::string text = expectation_text(expected, found);
    return {severity, std::move(check), std::move(place), std::move(text), std::move(expected),
            std::move(found)};
}

}  // namespace

void Findings::add(Finding finding)
{
    Listed &listed = listed_[{finding.check, finding.severity}];
    if (++listed.count <= kListedPerCheck) {
        findings_.push_back(std::move(finding));
        return;
    }
    const size_t more = listed.count - kListedPerCheck;
    const std::string text = "and " + std::to_string(more) + " more like the " +
                             std::to_string(kListedPerCheck) + " above, not listed";
    if (more == 1) {
        listed.summary = findings_.size();
        findings_.push_back({finding.severity, finding.check, "", text});
    } else {
        findings_[listed.summary].text = text;
    }
    findings_[listed.summary].count = more;
}

void Findings::error(std::string check, std::string place, std::string expected,
                     std::string found)
{
    add(expectation(Severity::Error, std::move(check), std::move(place), std::move(expected),
                    std::move(found)));
}

void Findings::warning(std::string check, std::string place, std::string expected,
                       std::string found)
{
    add(expectation(Severity::Warning, std::move(check), std::move(place), std::move(expected),
                    std::move(found)));
}

void Findings::note(std::string check, std::string place, std::string text)
{
    add({Severity::Note, std::move(check), std::move(place), std::move(text)});
}

void Findings::refusal(std::string check, const Error &refused)
{
    if (refused.has_expectation())
        add(expectation(Severity::Error, std::move(check), refused.context(), refused.expected(),
                        refused.found()));
    else
        add({Severity::Error, std::move(check), "", refused.what()});
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

std::string rva_place(uint32_t rva, const std::string &what)
{
    return "RVA " + hex(rva) + (what.empty() ? "" : " (" + what + ")");
}

namespace {

// Runs one stage; a refusal by the reader ends it with a finding.
bool stage(Findings &findings, const char *check, const std::function<void()> &step)
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
    if (!stage(findings, "image", [&] { image.emplace(std::move(file), base); }) ||
        !stage(findings, "tables", [&] {
            call = call_descriptor(*image);
            tables = read_tables(*image, *call);
        }))
        return findings.all();
    verify_table_image(*image, *call, *tables, findings);

    stage(findings, "tables", [&] { verify_tables(*tables, findings); });
    // Typing runs over whatever was read, faults and all: a key the tables
    // cannot answer is a finding of its own and costs only that key.
    stage(findings, "reach", [&] { verify_reach(Keymap(std::move(*tables)), findings); });
    return findings.all();
}

}  // namespace

std::vector<Finding> verify_bytes(std::vector<uint8_t> bytes)
{
    Findings findings;
    std::optional<PeFile> file;
    if (!stage(findings, "image", [&] { file.emplace(std::move(bytes)); }))
        return findings.all();
    return verify_pe(std::move(*file), findings);
}

std::vector<Finding> verify_file(const std::string &path)
{
    Findings findings;
    std::optional<PeFile> file;
    if (!stage(findings, "image", [&] { file.emplace(PeFile::read(path)); }))
        return findings.all();
    return verify_pe(std::move(*file), findings);
}

}  // namespace wendol
