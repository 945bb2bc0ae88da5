// klc_source.h - a layout as its .klc source describes it: the text format
// of the platform's old layout creator, read from or written to UTF-16LE
// with a byte-order mark and CRLF lines.
//
// The model holds what the source says, in the source's own terms: columns
// are the SHIFTSTATE lines (modifier bits of Shift 1, Ctrl 2, Alt 4, Kana 8),
// a key is a LAYOUT line, a dead key a DEADKEY section.  What the format
// leaves to its compiler (the scan codes of keys that type nothing, the
// modifier map, the rows of Tab, Enter and the keypad) is the builder's.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wendol {

// One cell of a LAYOUT line.
struct KlcCell {
    enum class Kind : uint8_t {
        None,        // -1
        Character,   // a character, or four hex digits
        Dead,        // four hex digits and '@': the dead character
        Ligature,    // %%: the LIGATURE section says what it types
    };
    Kind kind = Kind::None;
    char16_t ch = 0;   // Character and Dead

    friend bool operator==(const KlcCell &, const KlcCell &) = default;
};

// The Cap column: 0, 1 (CAPLOK), 4 (CAPLOKALTGR), 5 (both), or SGCap, whose
// next line (scan code and virtual key -1) gives the Caps Lock row.
struct KlcKey {
    uint8_t prefix = 0;              // 0, or 0xE0 / 0xE1 for a scan code written e0xx / e1xx
    uint8_t scan = 0;
    uint8_t vk = 0;
    uint8_t caps = 0;                // CAPLOK | CAPLOKALTGR, as the Cap column gives them
    bool sgcap = false;
    std::vector<KlcCell> cells;      // one per SHIFTSTATE line
    std::vector<KlcCell> caps_cells; // SGCap: the Caps Lock row, from the first column (may be shorter)
    int line = 0;                    // where it was read; 0 when made otherwise

    friend bool operator==(const KlcKey &a, const KlcKey &b)
    {
        return a.prefix == b.prefix && a.scan == b.scan && a.vk == b.vk && a.caps == b.caps &&
               a.sgcap == b.sgcap && a.cells == b.cells && a.caps_cells == b.caps_cells;
    }
};

// A DEADKEY section: the dead character and what each next character makes.
struct KlcDeadKey {
    char16_t dead = 0;
    std::vector<std::pair<char16_t, char16_t>> compositions;   // (next, composed), in order
    friend bool operator==(const KlcDeadKey &, const KlcDeadKey &) = default;
};

// A LIGATURE line: what the %% cell in column `column` of the key types.
struct KlcLigature {
    uint8_t vk = 0;
    uint8_t column = 0;              // the Mod# column: an index into shift_states
    std::u16string chars;
    friend bool operator==(const KlcLigature &, const KlcLigature &) = default;
};

// A KEYNAME or KEYNAME_EXT line.
struct KlcKeyName {
    uint8_t scan = 0;
    std::u16string name;
    friend bool operator==(const KlcKeyName &, const KlcKeyName &) = default;
};

// A KEYNAME_DEAD line.
struct KlcDeadKeyName {
    char16_t dead = 0;
    std::u16string name;
    friend bool operator==(const KlcDeadKeyName &, const KlcDeadKeyName &) = default;
};

// A DESCRIPTIONS or LANGUAGENAMES line: a text under a language (four hex digits).
struct KlcLocalized {
    uint16_t language = 0;
    std::u16string text;
    friend bool operator==(const KlcLocalized &, const KlcLocalized &) = default;
};

// The modifier bits a SHIFTSTATE line may name.
constexpr uint8_t kKlcShift = 0x01;
constexpr uint8_t kKlcCtrl = 0x02;
constexpr uint8_t kKlcAlt = 0x04;
constexpr uint8_t kKlcKana = 0x08;
constexpr uint8_t kKlcStateBits = 0x0F;

struct KlcSource {
    std::string name;                // KBD: the module's name, without ".dll"
    std::u16string description;      // KBD's quoted text
    std::u16string copyright;        // COPYRIGHT
    std::u16string company;          // COMPANY
    std::string locale_name;         // LOCALENAME: "en-US"
    uint32_t locale_id = 0x409;      // LOCALEID: "00000409"
    uint16_t version_major = 1;      // VERSION major.minor
    uint16_t version_minor = 0;
    bool altgr = false;              // ATTRIBUTES: ALTGR (KLLF_ALTGR)
    bool shift_lock = false;         // SHIFTLOCK (KLLF_SHIFTLOCK)
    bool lrm_rlm = false;            // LRM_RLM (KLLF_LRM_RLM)
    std::vector<uint8_t> shift_states;   // SHIFTSTATE, in column order
    std::vector<KlcKey> keys;            // LAYOUT, in order
    std::vector<KlcDeadKey> dead_keys;   // DEADKEY sections, in order
    std::vector<KlcLigature> ligatures;  // LIGATURE, in order
    std::vector<KlcKeyName> key_names;       // KEYNAME
    std::vector<KlcKeyName> key_names_ext;   // KEYNAME_EXT (scan codes sent after E0)
    std::vector<KlcDeadKeyName> dead_key_names;   // KEYNAME_DEAD
    std::vector<KlcLocalized> descriptions;       // DESCRIPTIONS
    std::vector<KlcLocalized> language_names;     // LANGUAGENAMES
    // What the source could not hold of the layout it was written from, one
    // line each: written as comments at the top of the file.
    std::vector<std::string> notes;

    // Keys compare without the lines they were read from; notes compare too,
    // though a source read back has none.
    friend bool operator==(const KlcSource &, const KlcSource &) = default;
};

}  // namespace wendol
