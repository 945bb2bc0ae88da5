// verify.h - judges a keyboard-layout image, ours or anyone's, against the
// rules the platform reads it by.  The reader (PeFile, MappedImage,
// read_tables) turns the bytes into structures and refuses what cannot be
// read; the verifier takes what was read and reports every rule it breaks,
// each with its place (an RVA, a table, row and column) and how much it
// matters.  Nothing here throws on a bad image: a refusal by the reader
// becomes one finding carrying the reader's message.
//
// An error is what makes the platform refuse the image or type wrongly; a
// warning departs from convention only, and says why it is only that; a
// note marks where the toolkit's model of the platform ends.
//
// Four concerns, one file each:
//   verify_image.cpp   the file: machine, sections, entry point, imports,
//                      exports, relocations, checksum, the accessor's result
//   verify_tables.cpp  the tables: rows, continuation rows, dead keys,
//                      modifier numbers, entries listed twice, key names
//                      off their alignment, overlaps, an older root record
//                      (one file per job: table_rules.h)
//   verify_reach.cpp   every character the keyboard types can be found by
//                      the reverse lookup, and typing what it reports gives
//                      the character back; run over whatever tables were
//                      read, a key they cannot answer costing only itself
//   verify_cells.cpp   the cells no key state reaches: a column no modifier
//                      bits select, and any other cell with its reason
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "engine/keymap.h"
#include "pe/image.h"
#include "tables/descriptor_call.h"
#include "tables/tables.h"

namespace wendol {

enum class Severity {
    Note,      // something the layout uses that this toolkit does not model
    Warning,   // the platform copes, but the image breaks a convention
    Error,     // the platform would read or type something wrong
};
const char *to_string(Severity severity);

struct Finding {
    Severity severity = Severity::Error;
    std::string check;        // which rule: "checksum", "relocations", "dead keys", ...
    std::string place;        // "RVA 0x1C58 (KBDTABLES.pLigature)", "table 6 row 25 column 3 (...)"
    std::string text;         // "expected ..., found ...", or a message naming no expectation
    std::string expected{};   // what the rule asks for; empty with such a message
    std::string found{};      // what the image holds instead
    // The findings this line stands for: 1, or for the line that counts
    // those of its check and severity past what is listed, that count.
    size_t count = 1;
};

// Collects findings as the checks go.
class Findings {
public:
    void error(std::string check, std::string place, std::string expected, std::string found);
    void warning(std::string check, std::string place, std::string expected, std::string found);
    // Where the toolkit's word ends: a feature the layout uses that the
    // engine does not model, so what it says about typing stops there.
    void note(std::string check, std::string place, std::string text);
    // A reader's refusal: its context is the place, and its expected and
    // found are the finding's.
    void refusal(std::string check, const Error &refused);

    const std::vector<Finding> &all() const { return findings_; }
    // Every finding of the severity, listed or only counted.
    size_t errors() const;
    size_t warnings() const;
    size_t notes() const;

    // Of the findings of one check and severity, the first this many are
    // listed; the rest are counted in one more finding after them.  A
    // hostile image can hold a fault in every one of 65,536 entries.
    static constexpr size_t kListedPerCheck = 100;

private:
    struct Listed {
        size_t count = 0;     // findings of the check and severity, listed or not
        size_t summary = 0;   // where the count of those not listed is
    };
    void add(Finding finding);

    std::vector<Finding> findings_;
    std::map<std::pair<std::string, Severity>, Listed> listed_;
};

// The whole verdict on one image.
std::vector<Finding> verify_bytes(std::vector<uint8_t> bytes);
std::vector<Finding> verify_file(const std::string &path);

// The file as read: machine, sections, entry point, imports, exports,
// relocation types, checksum.
void verify_file_shape(const PeFile &file, Findings &findings);

// What needs the tables to judge the image: the accessor's result (with
// 64-bit pointer fields, EDX:EAX with EDX set), the sections that hold them
// (never writable), the accessor's section (executable), and the
// relocations (one on every non-null pointer, none elsewhere in the tables).
void verify_table_image(const MappedImage &image, const DescriptorCall &call,
                        const LayoutTables &tables, Findings &findings);

// The tables' own rules.
void verify_tables(const LayoutTables &tables, Findings &findings);

// Every character the keyboard types (every scan code under every modifier
// combination and lock state, and every composition of those) is found by
// the reverse lookup, and typing what it reports gives it back; and every
// cell of the keys' rows is typed by some key state (verify_cells.h).
void verify_reach(const Keymap &keymap, Findings &findings);

// "RVA 0x1C58 (KBDTABLES.pLigature)"; a row's place is row_place (char_rows.h).
std::string rva_place(uint32_t rva, const std::string &what = "");

}  // namespace wendol
