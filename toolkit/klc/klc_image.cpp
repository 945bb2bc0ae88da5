// klc_image.cpp - the .klc source of a layout image, asked of its compiled
// model: the columns the modifier keys select, every key a scan code
// reaches with what it types in each column, the compositions, the
// ligatures and the key names; and the names its resources give.
//
// The format knows four modifier bits, each held by the generic key the
// platform's own layouts give it (Shift, Ctrl, Alt, Kana), a scan code only
// where it types something, one column per combination of those bits, and a
// composition only as a character.  Whatever of the image lies outside that
// is listed, never left out in silence.
#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "engine/keymap.h"
#include "klc/klc_defaults.h"
#include "klc/klc_image.h"
#include "resources/resources.h"
#include "tables/vk_names.h"

namespace wendol {

namespace {

constexpr uint32_t kDisplayNameId = 1000;
constexpr uint32_t kLanguageNameId = 1100;
constexpr uint32_t kLocaleNameId = 1200;
constexpr ScanCode kRightAlt{Prefix::E0, 0x38};

std::string scan_text(ScanCode sc)
{
    std::string prefix = sc.prefix == Prefix::E0 ? "E0 " : sc.prefix == Prefix::E1 ? "E1 " : "";
    return prefix + hex(sc.code, 2).substr(2);
}

std::string bits_text(unsigned bits)
{
    static const char *const names[] = {"Shift", "Ctrl", "Alt", "Kana", "bit 0x10", "bit 0x20",
                                        "bit 0x40", "bit 0x80"};
    std::string text;
    for (unsigned bit = 0; bit < 8; ++bit)
        if (bits & (1u << bit))
            text += (text.empty() ? "" : "+") + std::string(names[bit]);
    return text.empty() ? "no modifier" : text;
}

// The key the format gives a bit, by the platform's own layouts.
uint8_t standard_key_of(unsigned bit)
{
    switch (bit) {
    case kKbdShift: return kVkShift;
    case kKbdCtrl: return kVkControl;
    case kKbdAlt: return kVkMenu;
    case kKbdKana: return kVkKana;
    default: return 0;
    }
}

// How the image's modifier bits become the format's: each bit the key the
// format expects holds passes; a bit of a key of the layout's own does not,
// except one the right Alt key alone holds, which becomes AltGr (Ctrl+Alt,
// KLLF_ALTGR) when no column of the image already needs Ctrl+Alt.
struct BitMapping {
    unsigned own_bits = 0;           // bits some key of the layout's own holds
    std::optional<unsigned> altgr;   // the own bit the right Alt key holds, written as Ctrl+Alt

    std::optional<uint8_t> state(unsigned bits) const
    {
        if (altgr && (bits & *altgr))
            bits = (bits & ~*altgr) | kKbdAltGr;
        if (bits & own_bits & ~(altgr ? *altgr : 0u))
            return std::nullopt;
        if (bits & ~unsigned{kKlcStateBits})
            return std::nullopt;
        return static_cast<uint8_t>(bits);
    }
};

class SourceWriter {
public:
    SourceWriter(const Keymap &keymap, KlcFromImage &out) : keymap_(keymap), out_(out) {}

    void write()
    {
        map_bits();
        choose_columns();
        write_keys();
        write_compositions();
        write_key_names();
        write_flags();
    }

private:
    KlcSource &source() { return out_.source; }
    void unwritten(std::string what, std::string detail)
    {
        out_.unwritten.push_back({std::move(what), std::move(detail)});
    }

    void map_bits()
    {
        std::vector<uint8_t> own_keys;
        for (const VkToBit &key : keymap_.modifier_keys()) {
            bool standard = false;
            for (unsigned bit = 1; bit <= kKbdKana; bit <<= 1)
                if (key.bits == bit && key.vk == standard_key_of(bit))
                    standard = true;
            if (standard)
                continue;
            mapping_.own_bits |= key.bits;
            own_keys.push_back(key.vk);
        }
        // A bit some standard key also holds is not the own key's alone.
        for (const VkToBit &key : keymap_.modifier_keys())
            for (unsigned bit = 1; bit <= kKbdKana; bit <<= 1)
                if (key.bits == bit && key.vk == standard_key_of(bit))
                    mapping_.own_bits &= ~bit;

        const std::optional<uint16_t> right_alt = keymap_.virtual_key(kRightAlt);
        for (uint8_t vk : own_keys) {
            const unsigned bits = keymap_.modifier_bits_of(vk);
            const bool sent_by_right_alt = right_alt && (*right_alt & 0xFF) == vk;
            const bool single_bit = bits && !(bits & (bits - 1)) && (bits & mapping_.own_bits);
            if (sent_by_right_alt && single_bit && !mapping_.altgr && !keymap_.right_alt_is_altgr() &&
                !needs_ctrl_alt()) {
                mapping_.altgr = bits;
                unwritten("a modifier key of the layout's own",
                          "the right Alt key (scan code E0 38) sends " + vk_label(vk) + ", which holds " +
                              bits_text(bits) + ": written as AltGr, the format's Ctrl+Alt, so that "
                              "Ctrl+Alt also selects its columns");
                continue;
            }
            unwritten("a modifier key of the layout's own",
                      vk_label(vk) + " holds " + bits_text(bits) +
                          ": the format has no such key, and the columns only it selects are left out");
        }
    }

    // Whether some column is selected by bits holding both Ctrl and Alt.
    bool needs_ctrl_alt() const
    {
        const unsigned max_bits = keymap_.tables().modifiers.max_mod_bits;
        for (unsigned bits = 0; bits <= max_bits && bits < 256; ++bits)
            if ((bits & kKbdAltGr) == kKbdAltGr && keymap_.column(bits))
                return true;
        return false;
    }

    void choose_columns()
    {
        unsigned columns = 0;
        for (const CharTable &table : keymap_.tables().char_tables)
            columns = std::max<unsigned>(columns, table.columns);
        const unsigned max_bits = keymap_.tables().modifiers.max_mod_bits;
        for (unsigned column = 0; column < columns && column < 256; ++column) {
            const std::optional<uint8_t> lowest = keymap_.lowest_bits(static_cast<uint8_t>(column));
            std::optional<uint8_t> state;
            std::vector<std::string> others;
            for (unsigned bits = 0; bits <= max_bits && bits < 256; ++bits) {
                if (keymap_.column(bits) != column)
                    continue;
                const std::optional<uint8_t> mapped = mapping_.state(bits);
                if (!mapped || state) {
                    others.push_back(bits_text(bits));
                    continue;
                }
                state = mapped;
            }
            if (!state) {
                if (lowest)
                    unwritten("a column the format's modifier keys cannot select",
                              "column " + std::to_string(column) + " (" + bits_text(*lowest) + ")");
                else
                    unwritten("a column no modifier combination selects",
                              "column " + std::to_string(column) + ": nothing types it, and the source has "
                                                                   "no column for it");
                continue;
            }
            if (!others.empty()) {
                std::string list;
                for (const std::string &o : others)
                    list += (list.empty() ? "" : ", ") + o;
                unwritten("a column several combinations select",
                          "column " + std::to_string(column) + " is written for " + bits_text(*state) +
                              " only; " + list + " also select it");
            }
            source().shift_states.push_back(*state);
            columns_.push_back(static_cast<uint8_t>(column));
        }
    }

    KlcCell cell_of(const Cell &cell, uint8_t vk, size_t klc_column)
    {
        switch (cell.kind) {
        case Cell::Kind::Character: return {KlcCell::Kind::Character, cell.ch};
        case Cell::Kind::Dead: return {KlcCell::Kind::Dead, cell.ch};
        case Cell::Kind::Ligature:
            if (cell.ligature.empty()) {
                unwritten("a ligature cell without an entry",
                          vk_label(vk) + " column " + std::to_string(columns_[klc_column]));
                return {};
            }
            ligatures_[{vk, klc_column}] = std::u16string(cell.ligature);
            return {KlcCell::Kind::Ligature, 0};
        case Cell::Kind::Broken:
            unwritten("a cell the tables cannot answer",
                      vk_label(vk) + " column " + std::to_string(columns_[klc_column]) + ": " +
                          cell.fault->expected + ", found " + cell.fault->found);
            return {};
        default: return {};
        }
    }

    std::vector<KlcCell> cells_of(uint8_t vk, bool caps_row, size_t count)
    {
        const std::span<const Cell> cells = keymap_.cells_of(vk, caps_row);
        std::vector<KlcCell> out;
        for (size_t k = 0; k < count; ++k) {
            const uint8_t column = columns_[k];
            out.push_back(column < cells.size() ? cell_of(cells[column], vk, k) : KlcCell{});
        }
        return out;
    }

    // The Caps Lock row as the platform reads it: only while nothing but
    // Shift is held, so only the plain and Shift columns are the source's.
    std::vector<KlcCell> caps_cells_of(uint8_t vk)
    {
        std::vector<KlcCell> all = cells_of(vk, true, columns_.size());
        size_t used = 0;
        for (size_t k = 0; k < all.size(); ++k)
            if (Keymap::reads_caps_row(source().shift_states[k]))
                used = k + 1;
            else
                all[k] = {};
        all.resize(used);
        while (!all.empty() && all.back().kind == KlcCell::Kind::None)
            all.pop_back();
        return all;
    }

    bool is_implied(uint8_t vk, const std::vector<KlcCell> &cells) const
    {
        for (const KlcImpliedRow &row : klc_implied_rows()) {
            if (row.vk != vk)
                continue;
            for (size_t k = 0; k < cells.size(); ++k) {
                const uint8_t state = out_.source.shift_states[k];
                const char16_t want = state == 0 ? row.plain : state == 1 ? row.shift
                                    : state == 2 ? row.ctrl : 0;
                const KlcCell expected = want ? KlcCell{KlcCell::Kind::Character, want} : KlcCell{};
                if (cells[k] != expected)
                    return false;
            }
            return true;
        }
        return false;
    }

    static bool is_implied_vk(uint8_t vk)
    {
        for (const KlcImpliedRow &row : klc_implied_rows())
            if (row.vk == vk)
                return true;
        return false;
    }

    // Whether a line was written: not for a row the builder adds itself.
    bool write_key(ScanCode sc, uint8_t vk)
    {
        const std::optional<RowRef> ref = keymap_.find_row(vk);
        KlcKey key;
        key.prefix = sc.prefix == Prefix::E0 ? 0xE0 : sc.prefix == Prefix::E1 ? 0xE1 : 0;
        key.scan = sc.code;
        key.vk = vk;
        if (ref) {
            const uint8_t attributes = keymap_.row(*ref).attributes;
            key.caps = attributes & (kCapLok | kCapLokAltGr);
            key.sgcap = attributes & kSgCaps;
            if (attributes & kKanaLok)
                unwritten("the Kana lock", vk_label(vk) + " is KANALOK: the format has no Kana lock, "
                                                          "so the Kana key's lock no longer changes it");
            if (attributes & ~kModelledAttributes)
                unwritten("row attributes the format cannot hold",
                          vk_label(vk) + " has " + hex(attributes & ~kModelledAttributes, 2));
            key.cells = cells_of(vk, false, columns_.size());
            if (key.sgcap)
                key.caps_cells = caps_cells_of(vk);
            if (!key.sgcap && is_implied(vk, key.cells))
                return false;   // the builder adds this row itself
        } else {
            key.cells.resize(columns_.size());   // no row: all -1 keeps the builder's out
        }
        written_vks_.insert(vk);
        source().keys.push_back(std::move(key));
        return true;
    }

    static std::optional<uint16_t> default_entry(ScanCode sc)
    {
        if (sc.prefix == Prefix::None)
            return sc.code < klc_base_scan_map().size() ? std::optional<uint16_t>(klc_base_scan_map()[sc.code])
                                                         : std::nullopt;
        for (const ScanCodeEntry &e : sc.prefix == Prefix::E0 ? klc_e0_scan_map() : klc_e1_scan_map())
            if (e.scan == sc.code)
                return e.vk;
        return std::nullopt;
    }

    void write_keys()
    {
        std::vector<std::string> remapped;
        for (const auto &[sc, mapped] : keymap_.scan_codes()) {
            const uint8_t vk = static_cast<uint8_t>(mapped & 0xFF);
            const std::optional<uint16_t> standard = default_entry(sc);
            // A keypad key's line names the digit Num Lock makes of it; the
            // builder then keeps the navigation key the format sends.
            std::optional<uint8_t> line_vk;
            for (const std::optional<uint8_t> candidate : {std::optional<uint8_t>(vk), keypad_digit(mapped)}) {
                if (!candidate || written_vks_.count(*candidate))
                    continue;
                if (!keymap_.find_row(*candidate) && !is_implied_vk(*candidate))
                    continue;
                if (line_vk) {
                    unwritten("a keypad key the format cannot hold",
                              "scan code " + scan_text(sc) + " also gives " + vk_label(*candidate) +
                                  " under Num Lock");
                    continue;
                }
                if (write_key(sc, *candidate))
                    line_vk = candidate;
            }
            uint16_t built = standard.value_or(0x00FF);
            if (line_vk && !(standard && keypad_digit(*standard) == line_vk))
                built = static_cast<uint16_t>(
                    *line_vk | (sc.prefix == Prefix::E0 && standard ? (*standard & kKbdExt) : 0));
            if (built != mapped)
                remapped.push_back(scan_text(sc) + " " + vk_label(vk) +
                                   ((mapped & 0xFF00) ? " (flags " + hex(mapped >> 8, 2) + ")" : "") +
                                   " is " + ((built & 0xFF) == 0xFF ? std::string("none")
                                                                    : vk_label(static_cast<uint8_t>(built & 0xFF))) +
                                   ((built & 0xFF00) ? " (flags " + hex(built >> 8, 2) + ")" : ""));
        }
        // The format's keyboard has keys this one lacks; those that send
        // a virtual key the builder gives a row get a line of -1, so that
        // they type nothing here too.
        const auto each_default = [&](const auto &visit) {
            for (size_t code = 0; code < klc_base_scan_map().size(); ++code)
                visit(ScanCode{Prefix::None, static_cast<uint8_t>(code)}, klc_base_scan_map()[code]);
            for (const ScanCodeEntry &e : klc_e0_scan_map())
                visit(ScanCode{Prefix::E0, e.scan}, e.vk);
            for (const ScanCodeEntry &e : klc_e1_scan_map())
                visit(ScanCode{Prefix::E1, e.scan}, e.vk);
        };
        std::vector<std::string> lacking;
        each_default([&](ScanCode sc, uint16_t standard) {
            if ((standard & 0xFF) != 0xFF && !keymap_.virtual_key(sc))
                lacking.push_back(scan_text(sc));
        });
        // The builder gives the keys of Tab, Enter, Backspace, the keypad
        // and Break rows of their own; where this layout has none, a line
        // of -1 at the first scan code the format sends the key from keeps
        // them typing nothing.
        each_default([&](ScanCode sc, uint16_t standard) {
            const bool taken = std::any_of(source().keys.begin(), source().keys.end(), [&](const KlcKey &k) {
                return k.scan == sc.code && k.prefix == (sc.prefix == Prefix::E0 ? 0xE0 : sc.prefix == Prefix::E1 ? 0xE1 : 0);
            });
            if (taken)
                return;
            for (const std::optional<uint8_t> vk :
                 {std::optional<uint8_t>(static_cast<uint8_t>(standard & 0xFF)), keypad_digit(standard)})
                if (vk && is_implied_vk(*vk) && !written_vks_.count(*vk) && !keymap_.find_row(*vk)) {
                    write_key(sc, *vk);
                    return;
                }
        });
        if (!lacking.empty()) {
            std::string list;
            for (const std::string &l : lacking)
                list += (list.empty() ? "" : " ") + l;
            unwritten("keys the format's keyboard has and this one lacks",
                      "scan codes " + list + " send the format's virtual keys");
        }
        if (!remapped.empty()) {
            std::string list;
            for (const std::string &r : remapped)
                list += (list.empty() ? "" : ", ") + r;
            unwritten("scan codes the format gives other virtual keys",
                      "the format's PC/AT keyboard sends other keys: " + list);
        }
        std::vector<std::string> unreached;
        for (const CharTable &table : keymap_.tables().char_tables)
            for (const CharRow &row : table.rows)
                if (row.vk != kContinuationVk && !written_vks_.count(row.vk) && !is_implied_vk(row.vk) &&
                    std::find(unreached.begin(), unreached.end(), vk_label(row.vk)) == unreached.end())
                    unreached.push_back(vk_label(row.vk));
        if (!unreached.empty()) {
            std::string list;
            for (const std::string &u : unreached)
                list += (list.empty() ? "" : ", ") + u;
            unwritten("rows no scan code reaches", list + ": the format places a key by its scan code");
        }
        // In scan-code order, as a person reads the keyboard: plain codes,
        // then those after E0, then after E1.
        std::stable_sort(source().keys.begin(), source().keys.end(), [](const KlcKey &a, const KlcKey &b) {
            return std::pair(a.prefix, a.scan) < std::pair(b.prefix, b.scan);
        });
        for (const auto &[where, chars] : ligatures_)
            source().ligatures.push_back({where.first, static_cast<uint8_t>(where.second), chars});
        std::stable_sort(source().ligatures.begin(), source().ligatures.end(),
                         [&](const KlcLigature &a, const KlcLigature &b) { return key_index(a.vk) < key_index(b.vk); });
    }

    size_t key_index(uint8_t vk) const
    {
        for (size_t i = 0; i < out_.source.keys.size(); ++i)
            if (out_.source.keys[i].vk == vk)
                return i;
        return out_.source.keys.size();
    }

    void write_compositions()
    {
        std::vector<std::string> chained;
        for (const DeadKeyEntry *entry : keymap_.compositions()) {
            auto group = std::find_if(source().dead_keys.begin(), source().dead_keys.end(),
                                      [&](const KlcDeadKey &d) { return d.dead == entry->dead; });
            if (group == source().dead_keys.end()) {
                source().dead_keys.push_back({entry->dead, {}});
                group = source().dead_keys.end() - 1;
            }
            group->compositions.emplace_back(entry->base, entry->composed);
            if (entry->flags & kDkfDead)
                chained.push_back(utf8(std::u16string(1, entry->dead)) + " " +
                                  utf8(std::u16string(1, entry->base)) + " \u2192 " +
                                  utf8(std::u16string(1, entry->composed)));
            if (entry->flags & ~kDkfDead)
                unwritten("composition flags the format cannot hold",
                          character_label(entry->dead) + " + " + character_label(entry->base) + ": " +
                              hex(entry->flags, 4));
        }
        if (!chained.empty()) {
            std::string list;
            for (const std::string &c : chained)
                list += (list.empty() ? "" : ", ") + c;
            unwritten("chained dead keys", "compositions whose result is itself a dead key are written as "
                                           "the character: " + list);
        }
    }

    void write_key_names()
    {
        const LayoutTables &tables = keymap_.tables();
        for (const KeyName &n : tables.key_names)
            source().key_names.push_back({n.scan, n.name});
        for (const KeyName &n : tables.key_names_ext)
            source().key_names_ext.push_back({n.scan, n.name});
        for (const std::u16string &n : tables.dead_key_names) {
            if (n.empty()) {
                unwritten("an empty dead-key name", "the format names a dead key by its character");
                continue;
            }
            source().dead_key_names.push_back({n[0], n.substr(1)});
        }
    }

    void write_flags()
    {
        const uint32_t flags = keymap_.tables().locale_flags;
        source().altgr = (flags & kKllfAltGr) || mapping_.altgr;
        source().shift_lock = flags & kKllfShiftLock;
        source().lrm_rlm = flags & kKllfLrmRlm;
        if (flags & 0xFFFF & ~kModelledLocaleFlags)
            unwritten("locale flags the format cannot hold", hex(flags & 0xFFFF & ~kModelledLocaleFlags, 4));
        const LayoutTables &tables = keymap_.tables();
        if (tables.has_type_fields && (tables.type != 4 || tables.subtype != 0))
            unwritten("the keyboard type", "dwType " + std::to_string(tables.type) + ", dwSubType " +
                                               std::to_string(tables.subtype) +
                                               ": a module built from the format says 4 and 0");
    }

    const Keymap &keymap_;
    KlcFromImage &out_;
    BitMapping mapping_;
    std::vector<uint8_t> columns_;                 // source column -> image column
    std::set<uint8_t> written_vks_;
    std::map<std::pair<uint8_t, size_t>, std::u16string> ligatures_;
};

std::string source_name(const std::string &name)
{
    std::string out;
    for (char c : name)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-')
            out += c;
    if (out.empty())
        out = "layout";
    return out.substr(0, 64);
}

const VersionStringTable *first_string_table(const Resources &resources)
{
    for (const VersionResource &v : resources.versions)
        if (!v.info.string_tables.empty())
            return &v.info.string_tables.front();
    return nullptr;
}

std::u16string version_string(const VersionStringTable *table, std::u16string_view key)
{
    if (table)
        for (const VersionString &s : table->strings)
            if (s.key == key)
                return s.value;
    return {};
}

void write_names(KlcFromImage &out, const PeFile &file, const std::string &name)
{
    KlcSource &source = out.source;
    source.name = source_name(name);
    Resources resources;
    try {
        resources = read_resources(file);
    } catch (const Error &e) {
        out.unwritten.push_back({"the image's names", std::string("its resources cannot be read: ") + e.what()});
    }
    const VersionStringTable *strings = first_string_table(resources);
    source.company = version_string(strings, u"CompanyName");
    source.copyright = version_string(strings, u"LegalCopyright");
    source.description = version_string(strings, u"FileDescription");
    for (const VersionResource &v : resources.versions)
        if (v.info.fixed) {
            source.version_major = static_cast<uint16_t>(v.info.fixed->file_version_ms >> 16);
            source.version_minor = static_cast<uint16_t>(v.info.fixed->file_version_ms & 0xFFFF);
            if (v.info.fixed->file_version_ls != 0)
                out.unwritten.push_back(
                    {"the file version's last parts",
                     version_quad(v.info.fixed->file_version_ms, v.info.fixed->file_version_ls) +
                         ": the format's VERSION holds major.minor"});
            break;
        }
    const std::u16string product = version_string(strings, u"ProductName");
    if (!product.empty() && product != source.description)
        out.unwritten.push_back({"the product name", "\"" + utf8(product) +
                                                         "\": a module built from the format is named "
                                                         "by its description"});
    for (const StringBlock &block : resources.string_blocks) {
        for (uint32_t i = 0; i < 16; ++i) {
            const uint32_t id = block.first_id() + i;
            const std::u16string &text = block.strings[i];
            if (id == kDisplayNameId && !text.empty())
                source.descriptions.push_back({block.language, text});
            else if (id == kLanguageNameId && !text.empty())
                source.language_names.push_back({block.language, text});
            else if (id == kLocaleNameId && !text.empty() && source.locale_name.empty())
                source.locale_name = utf8(text);
        }
    }
    // The version resource's language is the layout's own; the string
    // tables may add others.
    bool has_language = false;
    for (const VersionResource &v : resources.versions)
        if (!v.info.translations.empty() && !has_language) {
            source.locale_id = v.info.translations.front().language;
            has_language = true;
        }
    if (!has_language && !source.descriptions.empty())
        source.locale_id = source.descriptions.front().language;
    if (source.description.empty())
        source.description = source.descriptions.empty() ? std::u16string(source.name.begin(), source.name.end())
                                                         : source.descriptions.front().text;
    // A module built from the source names itself by its description.
    if (source.descriptions.empty())
        source.descriptions.push_back({static_cast<uint16_t>(source.locale_id), source.description});
    if (source.locale_name.empty()) {
        source.locale_name = "en-US";
        out.unwritten.push_back({"the layout's locale", "the image names none: en-US (0409) is written"});
    }
}

}  // namespace

KlcFromImage klc_from_image(const Keymap &keymap, const PeFile &file, const std::string &name)
{
    KlcFromImage out;
    write_names(out, file, name);
    SourceWriter(keymap, out).write();
    for (const KlcUnwritten &u : out.unwritten)
        out.source.notes.push_back("Not held: " + u.what + ": " + u.detail);
    return out;
}

}  // namespace wendol
