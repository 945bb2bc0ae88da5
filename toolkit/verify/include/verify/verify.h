// verify.h - judges a keyboard-layout image, ours or anyone's, against the
// rules the platform reads it by.  The reader (PeFile, MappedImage,
// read_tables) turns the bytes into structures and refuses what cannot be
// read; the verifier takes what was read and reports every rule it breaks,
// each a typed record of its rule, place (an RVA, a table, row and column),
// how much it matters, what was expected and what found; the command line
// turns the records into text.  Nothing here throws on a bad image: a refusal by the reader
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
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "engine/keymap.h"
#include "pe/image.h"
#include "tables/char_rows.h"
#include "tables/descriptor_call.h"
#include "tables/tables.h"

namespace wendol {

enum class Severity {
    Note,      // something the layout uses that this toolkit does not model
    Warning,   // the platform copes, but the image breaks a convention
    Error,     // the platform would read or type something wrong
};
const char *to_string(Severity severity);

// Which rule a finding is about.
enum class Check {
    // the file
    Image,          // what the loader needs, or a file it cannot read
    Sections,
    Exports,
    Relocations,
    Checksum,
    Accessor,       // what KbdLayerDescriptor returns
    // the tables
    Tables,         // tables the reader cannot read
    RootRecord,
    Rows,
    DeadKeys,
    Compositions,
    Ligatures,
    Modifiers,
    Order,          // lists searched by scan code
    KeyNames,
    Overlaps,
    Attributes,
    LocaleFlags,
    // typing
    Reach,
    // the verifier's own failure, reported so that other files are judged
    Verifier,
};
// "image", "dead keys", "locale flags", ...: the name a user filters on.
const char *to_string(Check check);

// A place in the character tables: a table, and the row and columns the
// finding names.  Tables count from 0 here; a maintainer counts them from 1.
struct TablePlace {
    size_t table = 0;
    std::optional<size_t> row;
    std::vector<size_t> columns;
    std::optional<uint8_t> vk;   // the row's virtual key
    uint32_t rva = 0;            // the row's, or the table's where no row is named
    friend bool operator==(const TablePlace &, const TablePlace &) = default;
};

// Where a finding is, as far as it is anywhere: each part that applies.
struct Place {
    // The character the finding is about (what reach could not find).
    std::optional<char32_t> character;
    // A structure's field, a list's entry, a header field, a directory or a
    // section: "KBDTABLES.pLigature", "DEADKEY[3]", "optional header
    // CheckSum", "import directory", "section .data".
    std::string field;
    // What the place is where no field names it, or more of it: "typed by
    // Shift+a", "the keypad's digit keys", what a reader was reading.
    std::string what;
    std::optional<uint32_t> rva;
    std::optional<uint32_t> file_offset;
    std::vector<TablePlace> tables;

    bool empty() const
    {
        return !character && field.empty() && what.empty() && !rva && !file_offset &&
               tables.empty();
    }
    friend bool operator==(const Place &, const Place &) = default;
};

// A field, entry, directory or section by its name alone.
Place named(std::string field);
// The field at an RVA: "KBDTABLES.pLigature" there.
Place rva_place(uint32_t rva, std::string field = "");
// A row of a character table, or one cell of it.
Place row_place(const LayoutTables &tables, RowRef ref,
                std::optional<size_t> column = std::nullopt);

struct Finding {
    Severity severity = Severity::Error;
    Check check = Check::Image;
    Place place;
    std::string expected;   // what the rule asks for; empty for a note
    std::string found;      // what the image holds instead (a note: what it uses)
    // Why it matters only as much as its severity says ("only a warning, as
    // the loader still copies it"), or for a note where the model ends.
    std::string reason{};
    // The findings this record stands for: 1, or for the record that counts
    // those of its check and severity past what is listed, that count.
    size_t count = 1;
    bool unlisted = false;   // that record: no place, expected or found of its own
};

// Collects findings as the checks go.
class Findings {
public:
    void error(Check check, Place place, std::string expected, std::string found,
               std::string reason = "");
    void warning(Check check, Place place, std::string expected, std::string found,
                 std::string reason);
    // Where the toolkit's word ends: a feature the layout uses that the
    // engine does not model, so what it says about typing stops there.
    void note(Check check, Place place, std::string found, std::string reason);
    // A reader's refusal: what it was reading is the place, and its expected
    // and found are the finding's.
    void refusal(Check check, const Error &refused);

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
    std::map<std::pair<Check, Severity>, Listed> listed_;
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

// The tables' own rules, the keymap answering where the platform reads
// what.
void verify_tables(const Keymap &keymap, Findings &findings);

// Every character the keyboard types (every scan code under every modifier
// combination and lock state, and every composition of those) is found by
// the reverse lookup, and typing what it reports gives it back; and every
// cell of the keys' rows is typed by some key state (verify_cells.h).
void verify_reach(const Keymap &keymap, Findings &findings);

}  // namespace wendol
