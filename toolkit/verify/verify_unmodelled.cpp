// verify_unmodelled.cpp - what the engine does not model, one note each
// with where it is first set: row attributes, modifier bits, locale flags.
#include <algorithm>
#include <optional>

#include "base/error.h"
#include "tables/char_rows.h"
#include "tables/vk_names.h"
#include "table_rules.h"

namespace wendol::table_rules {

namespace {

// A bit the engine does not model, told once with where it is first set.
struct Unmodelled {
    uint32_t bit;
    const char *name;   // the platform's name, or null for a bit it defines none for
};

std::string bit_text(uint32_t bit, const char *name, unsigned digits)
{
    return (name ? std::string(name) + " (" + hex(bit, digits) + ")"
                 : "the undefined bit " + hex(bit, digits));
}

}  // namespace

// Row attributes beyond CAPLOK, SGCAPS, CAPLOKALTGR and KANALOK.
void note_row_attributes(const LayoutTables &t, Findings &findings)
{
    for (unsigned bit = 1; bit <= 0x80; bit <<= 1) {
        if (bit & kModelledAttributes)
            continue;
        std::optional<RowRef> first;
        size_t rows = 0;
        for (size_t i = 0; i < t.char_tables.size(); ++i)
            for (size_t r = 0; r < t.char_tables[i].rows.size(); ++r)
                if (t.char_tables[i].rows[r].attributes & bit) {
                    first = first ? first : RowRef{i, r};
                    ++rows;
                }
        if (!first)
            continue;
        findings.note(Check::Attributes, row_place(t, *first),
                      "row attribute " + bit_text(bit, bit == kGrpSelTap ? "GRPSELTAP" : nullptr, 2) +
                          " on " + std::to_string(rows) + (rows == 1 ? " row" : " rows"),
                      "the engine types as if it were clear");
    }
}

// Modifier bits beyond Shift, Ctrl, Alt and Kana: the engine selects columns
// with them as with any bit, but not the platform's own handling of them.
void note_modifier_bits(const LayoutTables &t, Findings &findings)
{
    constexpr Unmodelled kBits[] = {{kKbdRoya, "KBDROYA"}, {kKbdLoya, "KBDLOYA"}, {0x40, nullptr},
                                    {kKbdGrpSelTap, "KBDGRPSELTAP"}};
    for (const Unmodelled &b : kBits) {
        const auto key = std::find_if(t.modifiers.keys.begin(), t.modifiers.keys.end(),
                                      [&](const VkToBit &k) { return k.bits & b.bit; });
        if (key == t.modifiers.keys.end())
            continue;
        Place place = entry_place(t, PointerSlot::VkToBit, "VK_TO_BIT",
                                  static_cast<size_t>(key - t.modifiers.keys.begin()), kVkToBitSize);
        place.what = vk_label(key->vk);
        findings.note(Check::Modifiers, std::move(place),
                      "modifier bit " + bit_text(b.bit, b.name, 2),
                      "the engine selects columns with it while the key is held, and models "
                      "nothing more the platform does with it");
    }
}

// Locale flags beyond KLLF_ALTGR, KLLF_SHIFTLOCK and KLLF_LRM_RLM; the high
// word is the tables' version.
void note_locale_flags(const LayoutTables &t, Findings &findings)
{
    for (uint32_t bit = 0x0001; bit <= 0x8000; bit <<= 1) {
        if (!(t.locale_flags & bit) || (bit & kModelledLocaleFlags))
            continue;
        findings.note(Check::LocaleFlags,
                      rva_place(t.root_rva + KbdTablesLayout(t.form).locale_flags(),
                                "KBDTABLES.fLocaleFlags"),
                      "locale flag " + bit_text(bit, nullptr, 4), "the engine does not model it");
    }
}

}  // namespace wendol::table_rules
