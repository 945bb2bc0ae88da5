// cmd_type.cpp - `wendol type FILE KEY...`: types the keys with the module's
// tables as the platform would and tells, for each, what it produced.
#include <string>

#include "base/text.h"
#include "commands.h"
#include "json_writer.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/typing.h"
#include "tables/char_rows.h"
#include "tables/tables.h"
#include "tables/vk_names.h"

namespace wendol::cli {

namespace {

// A surrogate pair is the one character it encodes.
std::string characters(const std::u16string &text)
{
    std::string out;
    for (char32_t c : code_points(std::u16string_view(text)))
        out += (out.empty() ? "" : ", ") + character_label(c);
    return out;
}

std::string where(const Keymap &keymap, const Cell &cell)
{
    return row_text(keymap.tables(), cell.read_row, cell.column.value_or(0)) +
           (cell.read_row == cell.key_row ? "" : ", Caps Lock row");
}

// Why a key typed nothing.
std::string nothing(const Keymap &keymap, const Press &p)
{
    if (p.translation.vk == 0)
        return "nothing: the scan-code maps give " + key_text(p.key) + " no virtual key";
    const std::string vk = vk_label(p.translation.vk);
    switch (p.cell.kind) {
    case Cell::Kind::NoRow:
        return "nothing (" + vk + " is in no character table)";
    case Cell::Kind::NoColumn: {
        if (!p.cell.column) {
            const auto &m = keymap.tables().modifiers;
            return "nothing: modifier bits " + std::to_string(p.cell.bits) +
                   (p.cell.bits > m.max_mod_bits || p.cell.bits >= m.mod_number.size()
                        ? " lie past wMaxModBits (" + std::to_string(m.max_mod_bits) + ")"
                        : " select SHFT_INVALID");
        }
        const unsigned columns = keymap.table(p.cell.key_row).columns;
        return "nothing: column " + std::to_string(*p.cell.column) + " is beyond the " +
               std::to_string(columns) + (columns == 1 ? " column" : " columns") + " of table " +
               std::to_string(p.cell.key_row.table + 1) + ", which holds virtual key " +
               hex(p.translation.vk, 2) +
               (vk == hex(p.translation.vk, 2) ? "" : " (" + vk + ")");
    }
    case Cell::Kind::None:
        return "nothing (WCH_NONE at " + where(keymap, p.cell) + ")";
    case Cell::Kind::Ligature:
        return "nothing (a ligature cell at " + where(keymap, p.cell) +
               (keymap.tables().ligature ? "; the ligature list has no entry for it)"
                                         : "; the layout has no ligature list)");
    case Cell::Kind::Broken:
        return "nothing: the tables cannot answer this key (" +
               std::string(p.cell.fault->error(keymap.tables()).what()) +
               "); `wendol verify` tells more";
    default:
        return "nothing";
    }
}

std::string translation_note(const Press &p)
{
    const std::string vk = vk_label(p.translation.vk);
    switch (p.translation.rule) {
    case Translation::Rule::NumLock: return " [Num Lock: " + vk + "]";
    case Translation::Rule::ShiftNavigation: return " [Shift under Num Lock: " + vk + "]";
    case Translation::Rule::CtrlPause: return " [Ctrl: " + vk + "]";
    case Translation::Rule::CtrlBreak: return " [Ctrl: " + vk + "]";
    default: return "";
    }
}

// One line for a chord: what its keys delivered, or the dead key it left
// pending, or why it gave nothing.
std::string outcome(const Keymap &keymap, const std::vector<Press> &presses,
                    std::optional<char16_t> pending_before)
{
    const Press &last = presses.back();
    const std::u16string text = delivered(presses);
    std::string line;
    if (!text.empty()) {
        line = characters(text);
        const Delivery &d = last.delivery;
        if (last.cell.kind == Cell::Kind::Ligature)
            line += "   (ligature of " + std::to_string(last.cell.ligature.size()) +
                    (last.cell.ligature.size() == 1 ? " character)" : " characters)");
        if (d.entry)
            line += "   (" + utf8(d.entry->dead) + " + " + utf8(d.entry->base) + ")";
        else if (d.unmatched && pending_before)
            line += "   (no composition for " + utf8(*pending_before) + " + " +
                    utf8(text.back()) + ")";
        if (d.pending)
            line += ", dead " + utf8(*d.pending) + " pending";
        if (last.cell.system)
            line += "   (a system character: Alt held alone)";
        if (last.cell.kind == Cell::Kind::Mark)
            line += "   (KLLF_LRM_RLM: Shift+Backspace)";
    } else if (last.cell.kind == Cell::Kind::Dead && last.delivery.pending) {
        line = "dead " + utf8(*last.delivery.pending) + " (" + code_point_text(*last.delivery.pending) + ")";
    } else if (last.delivery.pending && last.delivery.entry) {
        // A composition marked DKF_DEAD: its result waits for the next key.
        const DeadKeyEntry &e = *last.delivery.entry;
        line = "dead " + utf8(*last.delivery.pending) + " (" +
               code_point_text(*last.delivery.pending) + ")   (" + utf8(e.dead) + " + " +
               utf8(e.base) + ", DKF_DEAD)";
    } else {
        line = nothing(keymap, last);
    }
    return line + translation_note(last);
}

std::string locks(const Keymap &keymap, const KeyboardState &state)
{
    std::string on;
    if (state.caps_lock())
        on += std::string(" ") + caps_lock_name(keymap);
    if (state.num_lock())
        on += " Num Lock";
    if (state.scroll_lock())
        on += " Scroll Lock";
    if (state.kana_lock())
        on += " Kana lock";
    return on.empty() ? "no lock on" : "now on:" + on;
}

const char *kind_name(Cell::Kind kind)
{
    switch (kind) {
    case Cell::Kind::NoRow: return "no row";
    case Cell::Kind::NoColumn: return "no column";
    case Cell::Kind::None: return "none";
    case Cell::Kind::Character: return "character";
    case Cell::Kind::Dead: return "dead";
    case Cell::Kind::Ligature: return "ligature";
    case Cell::Kind::Control: return "control";
    case Cell::Kind::Mark: return "mark";
    case Cell::Kind::Broken: return "broken";
    }
    return "?";
}

const char *rule_name(Translation::Rule rule)
{
    switch (rule) {
    case Translation::Rule::AsMapped: return "as mapped";
    case Translation::Rule::NumLock: return "num lock";
    case Translation::Rule::ShiftNavigation: return "shift navigation";
    case Translation::Rule::CtrlPause: return "ctrl pause";
    case Translation::Rule::CtrlBreak: return "ctrl break";
    }
    return "?";
}

void write_code_points(JsonWriter &json, std::string_view name, const std::u16string &text)
{
    json.key(name);
    json.begin_array();
    for (char32_t c : code_points(std::u16string_view(text)))
        json.value(code_point_text(c));
    json.end_array();
}

std::optional<std::string> pending_text(std::optional<char16_t> pending)
{
    return pending ? std::optional<std::string>(code_point_text(*pending)) : std::nullopt;
}

void write_press(JsonWriter &json, const Press &p)
{
    json.begin_object();
    json.member("key", key_text(p.key));
    json.member("vk", p.translation.vk ? std::optional<unsigned>(p.translation.vk) : std::nullopt);
    json.member("rule", rule_name(p.translation.rule));
    json.member("repeat", p.repeat);
    json.key("cell");
    json.begin_object();
    json.member("kind", kind_name(p.cell.kind));
    const bool has_character = p.cell.kind == Cell::Kind::Character ||
                               p.cell.kind == Cell::Kind::Dead ||
                               p.cell.kind == Cell::Kind::Control ||
                               p.cell.kind == Cell::Kind::Mark;
    json.member("character", has_character ? std::optional<std::string>(code_point_text(p.cell.ch))
                                           : std::nullopt);
    json.member("bits", p.cell.bits);
    json.member("column", p.cell.column ? std::optional<unsigned>(*p.cell.column) : std::nullopt);
    const bool has_row = p.cell.kind != Cell::Kind::NoRow;
    json.member("table", has_row ? std::optional<uint64_t>(p.cell.read_row.table + 1) : std::nullopt);
    json.member("row", has_row ? std::optional<uint64_t>(p.cell.read_row.row) : std::nullopt);
    json.member("caps_lock_row", has_row && !(p.cell.read_row == p.cell.key_row));
    json.member("system", p.cell.system);
    json.end_object();
    json.member("delivered", utf8(p.delivery.text));
    write_code_points(json, "code_points", p.delivery.text);
    json.member("pending", pending_text(p.delivery.pending));
    json.key("composition");
    if (const DeadKeyEntry *e = p.delivery.entry) {
        json.begin_object();
        json.member("dead", code_point_text(e->dead));
        json.member("base", code_point_text(e->base));
        json.member("composed", code_point_text(e->composed));
        json.member("leaves_dead", (e->flags & kDkfDead) != 0);
        json.end_object();
    } else {
        json.null();
    }
    json.member("unmatched", p.delivery.unmatched);
    json.end_object();
}

void write_locks(JsonWriter &json, const KeyboardState &state)
{
    json.key("locks");
    json.begin_object();
    json.member("caps_lock", state.caps_lock());
    json.member("num_lock", state.num_lock());
    json.member("scroll_lock", state.scroll_lock());
    json.member("kana_lock", state.kana_lock());
    json.end_object();
}

int run_type(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> base = take_option(args, "--base");
    const bool as_json = take_flag(args, "--json");
    for (const std::string &a : args)
        if (a.size() > 2 && a.rfind("--", 0) == 0)
            throw UsageError("unknown option " + a + " (usage: " + type_command.synopsis + ")");
    if (args.size() < 2)
        throw UsageError(std::string("expected FILE and at least one KEY (usage: ") +
                         type_command.synopsis + ")\nKEY is a chord of keys:\n" +
                         accepted_key_forms());

    // Every key is read before anything is typed, so a misspelt one stops
    // the run before it prints half a sequence.
    std::vector<Chord> chords;
    for (size_t i = 1; i < args.size(); ++i) {
        try {
            chords.push_back(parse_chord(args[i]));
        } catch (const Error &bad_key) {
            throw UsageError(bad_key.what());
        }
    }

    const MappedImage image = load_image(args[0], base);
    const Keymap keymap(read_tables(image));
    Typist typist(keymap);
    const std::optional<std::string> notice = nls_notice(image);
    JsonWriter json(out);
    if (as_json) {
        json.begin_object();
        json.member("format", "wendol type");
        json.member("version", 1);
        json.member("file", args[0]);
        json.member("notice", notice);
        json.key("chords");
        json.begin_array();
    } else if (notice) {
        out << *notice << '\n';
    }

    size_t width = 0;
    for (size_t i = 1; i < args.size(); ++i)
        width = std::max(width, display_width(args[i]));
    for (size_t i = 0; i < chords.size(); ++i) {
        const KeyboardState before = typist.state();
        const std::optional<char16_t> pending = typist.pending();
        const std::vector<Press> presses = typist.chord(chords[i]);
        const KeyboardState &after = typist.state();
        const bool lock_changed = before.caps_lock() != after.caps_lock() ||
                                  before.num_lock() != after.num_lock() ||
                                  before.scroll_lock() != after.scroll_lock() ||
                                  before.kana_lock() != after.kana_lock();
        std::string line;
        if (lock_changed && delivered(presses).empty() && typist.pending() == pending)
            line = locks(keymap, after);
        else
            line = outcome(keymap, presses, pending) +
                   (lock_changed ? "; " + locks(keymap, after) : "");
        if (!as_json) {
            out << pad(args[i + 1], width) << "  " << line << '\n';
            continue;
        }
        json.begin_object();
        json.member("key", args[i + 1]);
        json.key("presses");
        json.begin_array();
        for (const Press &p : presses)
            write_press(json, p);
        json.end_array();
        json.member("delivered", utf8(delivered(presses)));
        write_code_points(json, "code_points", delivered(presses));
        json.member("pending", pending_text(typist.pending()));
        write_locks(json, after);
        json.member("text", line);
        json.end_object();
    }
    if (as_json) {
        json.end_array();
        json.member("pending", pending_text(typist.pending()));
        json.end_object();
        json.finish();
    } else if (auto pending = typist.pending()) {
        out << "still pending: dead " << utf8(*pending) << " (" << code_point_text(*pending)
            << ")\n";
    }
    return kExitDone;
}

}  // namespace

const Command type_command = {
    "type",
    "FILE [--base ADDR] [--json] KEY...",
    "type the keys with the module's tables, from no key held and no lock on, and print\n"
    "      what each produced: characters (\"U+00E9 é\"), a dead key (\"dead ´\") or nothing.\n"
    "      KEY is a chord such as a, Shift+a, AltGr+Shift+=, CapsLock, KP_Decimal,\n"
    "      \"sc:E0 38\" or vk:BB.  After a dead key the next character is looked up with\n"
    "      it in the composition table; where the table has no entry the dead character\n"
    "      is delivered followed by the character and nothing stays pending.  A second\n"
    "      dead key is looked up the same way, and without an entry both dead characters\n"
    "      are delivered.  The space bar is no special case: the table's space entries\n"
    "      give the spacing accents",
    run_type,
    "  --json        print one JSON document: each chord, each press in it and what\n"
    "                it gave (docs/json.md)\n",
    "  wendol type Wendol.dll AltGr+Shift+6 e\n"
    "  wendol type Wendol.dll CapsLock a \"sc:E0 38\"\n",
};

}  // namespace wendol::cli
