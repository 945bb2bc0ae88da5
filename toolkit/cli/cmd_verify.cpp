// cmd_verify.cpp - `wendol verify [--strict] FILE...`: every rule each image
// breaks, with its place and severity.  Exits 1 when any image has an error,
// or with --strict a warning; notes never fail.
#include <algorithm>
#include <exception>
#include <string>

#include "commands.h"
#include "finding_text.h"
#include "json_writer.h"
#include "base/text.h"
#include "verify/verify.h"

namespace wendol::cli {

namespace {

// Errors, warnings and notes: a record that counts findings not listed
// adds them all.
struct Counts {
    size_t of[3] = {};
    size_t operator[](Severity s) const { return of[static_cast<int>(s)]; }
};

Counts count(const std::vector<Finding> &findings)
{
    Counts counts;
    for (const Finding &f : findings)
        counts.of[static_cast<int>(f.severity)] += f.count;
    return counts;
}

void print_findings(std::ostream &out, const std::string &path,
                    const std::vector<Finding> &findings)
{
    for (const Finding &f : findings) {
        const std::string place = place_text(f.place);
        out << path << ": " << to_string(f.severity) << " [" << to_string(f.check) << "] "
            << (place.empty() ? "" : place + ": ") << finding_text(f) << '\n';
    }
    out << path << ": ";
    if (findings.empty()) {
        out << "no findings\n";
        return;
    }
    const auto counted = [](size_t n, const char *what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    const Counts counts = count(findings);
    out << counted(counts[Severity::Error], "error") << ", "
        << counted(counts[Severity::Warning], "warning");
    if (const size_t notes = counts[Severity::Note])
        out << ", " << counted(notes, "note");
    out << '\n';
}

void write_place(JsonWriter &json, const Place &p)
{
    json.begin_object();
    json.member("text", place_text(p));
    json.key("character");
    if (p.character)
        json.value(code_point_text(*p.character));
    else
        json.null();
    json.member("field", p.field);
    json.member("what", p.what);
    json.member("rva", p.rva);
    json.member("file_offset", p.file_offset);
    json.key("tables");
    json.begin_array();
    for (const TablePlace &t : p.tables) {
        json.begin_object();
        json.member("table", uint64_t{t.table + 1});
        json.member("row", t.row ? std::optional<uint64_t>(*t.row) : std::nullopt);
        json.key("columns");
        json.begin_array();
        for (size_t c : t.columns)
            json.value(uint64_t{c});
        json.end_array();
        json.member("vk", t.vk ? std::optional<unsigned>(*t.vk) : std::nullopt);
        json.member("rva", t.rva);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void write_finding(JsonWriter &json, const Finding &f)
{
    json.begin_object();
    json.member("severity", to_string(f.severity));
    json.member("check", to_string(f.check));
    json.key("place");
    write_place(json, f.place);
    json.member("expected", f.expected);
    json.member("found", f.found);
    json.member("reason", f.reason);
    json.member("count", uint64_t{f.count});
    json.member("unlisted", f.unlisted);
    json.member("text", finding_text(f));
    json.end_object();
}

void write_file(JsonWriter &json, const std::string &path, const std::vector<Finding> &findings,
                bool failed)
{
    json.begin_object();
    json.member("path", path);
    json.key("findings");
    json.begin_array();
    for (const Finding &f : findings)
        write_finding(json, f);
    json.end_array();
    const Counts counts = count(findings);
    json.member("errors", uint64_t{counts[Severity::Error]});
    json.member("warnings", uint64_t{counts[Severity::Warning]});
    json.member("notes", uint64_t{counts[Severity::Note]});
    json.member("failed", failed);
    json.end_object();
}

// The verifier reports what it can read; anything else it throws is its own
// fault, reported like a finding so that the other files are still judged.
std::vector<Finding> judge(const std::string &path)
{
    try {
        return verify_file(path);
    } catch (const std::exception &e) {
        return {{Severity::Error, Check::Verifier, {}, "",
                 std::string("the verifier failed: ") + e.what()}};
    }
}

// Whether the finding fails the run: errors always, warnings when strict.
bool fails(const Finding &f, bool strict)
{
    return f.severity == Severity::Error || (strict && f.severity == Severity::Warning);
}

int run_verify(std::vector<std::string> args, std::ostream &out)
{
    const bool strict = take_flag(args, "--strict");
    const bool as_json = take_flag(args, "--json");
    for (const std::string &a : args)
        if (a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a + " (usage: " + verify_command.synopsis + ")");
    if (args.empty())
        throw UsageError(std::string("expected at least one file (usage: ") +
                         verify_command.synopsis + ")");
    JsonWriter json(out);
    if (as_json) {
        json.begin_object();
        json.member("format", "wendol verify");
        json.member("version", 1);
        json.member("strict", strict);
        json.key("files");
        json.begin_array();
    }
    bool failed = false;
    for (const std::string &path : args) {
        const std::vector<Finding> findings = judge(path);
        const bool this_failed = std::any_of(findings.begin(), findings.end(),
                                             [&](const Finding &f) { return fails(f, strict); });
        if (as_json)
            write_file(json, path, findings, this_failed);
        else
            print_findings(out, path, findings);
        failed |= this_failed;
    }
    if (as_json) {
        json.end_array();
        json.member("failed", failed);
        json.end_object();
        json.finish();
    }
    return failed ? kExitFailed : kExitDone;
}

}  // namespace

const Command verify_command = {
    "verify",
    "[--strict] [--json] FILE...",
    "check each keyboard-layout image against the rules the platform reads it by:\n"
    "      the image, the relocations, the tables, and that every character it types\n"
    "      can be found and typed again; every finding with its place.  An error is\n"
    "      what makes the platform refuse the image or type wrongly, a warning what\n"
    "      departs only from convention, a note what the toolkit does not model.\n"
    "      Exits 1 when any image has an error; with --strict, a warning too (notes\n"
    "      never fail)",
    run_verify,
    "  --strict      fail on a warning as on an error\n"
    "  --json        print one JSON document of every file's findings and counts\n"
    "                (docs/json.md)\n",
    "  wendol verify Wendol.dll\n"
    "  wendol verify --strict build/*/Wendol.dll\n",
};

}  // namespace wendol::cli
