// cmd_verify.cpp - `wendol verify [--strict] FILE...`: every rule each image
// breaks, with its place and severity.  Exits 1 when any image has an error,
// or with --strict a warning; notes never fail.
#include <exception>
#include <string>

#include "commands.h"
#include "finding_text.h"
#include "verify/verify.h"

namespace wendol::cli {

namespace {

void print_findings(std::ostream &out, const std::string &path,
                    const std::vector<Finding> &findings)
{
    size_t counts[3] = {};
    for (const Finding &f : findings) {
        // A line that counts findings not listed adds them all.
        counts[static_cast<int>(f.severity)] += f.count;
        const std::string place = place_text(f.place);
        out << path << ": " << to_string(f.severity) << " [" << to_string(f.check) << "] "
            << (place.empty() ? "" : place + ": ") << finding_text(f) << '\n';
    }
    out << path << ": ";
    if (findings.empty())
        out << "no findings\n";
    else {
        const auto counted = [](size_t n, const char *what) {
            return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
        };
        out << counted(counts[static_cast<int>(Severity::Error)], "error") << ", "
            << counted(counts[static_cast<int>(Severity::Warning)], "warning");
        if (const size_t notes = counts[static_cast<int>(Severity::Note)])
            out << ", " << counted(notes, "note");
        out << '\n';
    }
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
    for (const std::string &a : args)
        if (a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a + " (usage: " + verify_command.synopsis + ")");
    if (args.empty())
        throw UsageError(std::string("expected at least one file (usage: ") +
                         verify_command.synopsis + ")");
    bool failed = false;
    for (const std::string &path : args) {
        const std::vector<Finding> findings = judge(path);
        print_findings(out, path, findings);
        for (const Finding &f : findings)
            failed |= fails(f, strict);
    }
    return failed ? 1 : 0;
}

}  // namespace

const Command verify_command = {
    "verify",
    "[--strict] FILE...",
    "check each keyboard-layout image against the rules the platform reads it by:\n"
    "      the image, the relocations, the tables, and that every character it types\n"
    "      can be found and typed again; every finding with its place.  An error is\n"
    "      what makes the platform refuse the image or type wrongly, a warning what\n"
    "      departs only from convention, a note what the toolkit does not model.\n"
    "      Exits 1 when any image has an error; with --strict, a warning too (notes\n"
    "      never fail)",
    run_verify,
    "  --strict      fail on a warning as on an error\n",
    "  wendol verify Wendol.dll\n"
    "  wendol verify --strict build/*/Wendol.dll\n",
};

}  // namespace wendol::cli
