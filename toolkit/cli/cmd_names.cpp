// cmd_names.cpp - `wendol names FILE [KEY] [--base ADDR]`: what a key is
// called.  With KEY, the name the platform would show for that key; without,
// every name in the three lists.
#include "base/error.h"
#include "base/text.h"
#include "commands.h"
#include "json_writer.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "engine/keymap.h"
#include "tables/tables.h"

namespace wendol::cli {

namespace {

const char *const kSynopsis = "FILE [KEY] [--base ADDR] [--json]";

std::string two_hex(uint8_t value)
{
    return hex(value, 2).substr(2);
}

std::string lookup_text(const NameLookup &lookup)
{
    return (lookup.e0 ? "E0 " : "") + two_hex(lookup.scan);
}

std::string sent_text(ScanCode sent)
{
    const char *prefix = sent.prefix == Prefix::E0 ? "E0 " : sent.prefix == Prefix::E1 ? "E1 " : "";
    return "sc:" + std::string(prefix) + two_hex(sent.code);
}

// What the platform calls one key that sends a scan code.
struct KeyAnswer {
    std::string written;                 // the key as the command line writes it
    std::string sent;                    // "sc:E0 38"
    std::optional<NameLookup> lookup;    // none: an E1 code other than Pause's
    std::optional<std::u16string> name;  // from the key-name lists or the dead-key names
    bool dead_key_name = false;          // the name is the dead-key name of `dead`
    std::optional<char16_t> dead;        // the dead character the key types alone
};

// A key the name lists leave out is named, as the platform names it, by the
// character it types alone; for a dead key that is its dead-key name.
KeyAnswer answer(const Keymap &keymap, ScanCode sent)
{
    KeyAnswer a;
    a.written = key_text(Key{sent});
    a.sent = sent_text(sent);
    a.lookup = name_lookup(sent);
    if (!a.lookup)
        return a;
    a.name = key_name(keymap.tables(), a.lookup->scan, a.lookup->e0);
    if (a.name)
        return a;
    const std::optional<uint16_t> vk = keymap.virtual_key(sent);
    if (!vk)
        return a;
    // A broken cell is no dead key: verify tells how the tables break there.
    const Cell cell = keymap.cell(static_cast<uint8_t>(*vk & 0xFF), 0, false);
    if (cell.kind != Cell::Kind::Dead)
        return a;
    a.dead = cell.ch;
    a.name = dead_key_name(keymap.tables(), cell.ch);
    a.dead_key_name = a.name.has_value();
    return a;
}

// NumLock (sc:45), looked up as E0 45: "Num Lock"
std::string answer_text(const KeyAnswer &a)
{
    std::string line = a.written + (a.written != a.sent ? " (" + a.sent + ")" : "");
    if (!a.lookup)
        return line + ": no name (of the E1 codes the platform names only Pause's)";
    line += ", looked up as " + lookup_text(*a.lookup) + ": ";
    if (a.name && !a.dead_key_name)
        return line + quoted(*a.name);
    if (a.name)
        return line + quoted(*a.name) + " (the dead-key name of " + character_label(*a.dead) + ")";
    if (a.dead)
        return line + "no name (dead " + character_label(*a.dead) +
               ", which aKeyNamesDead does not name)";
    return line + "no name";
}

// A virtual key has no scan code of its own: every key that sends it.
std::vector<KeyAnswer> answers(const Keymap &keymap, const Key &key)
{
    std::vector<KeyAnswer> out;
    const auto *vk = std::get_if<VirtualKey>(&key);
    if (!vk) {
        out.push_back(answer(keymap, std::get<ScanCode>(key)));
        return out;
    }
    for (const auto &[scan, value] : keymap.scan_codes())
        if ((value & 0xFF) == vk->code)
            out.push_back(answer(keymap, scan));
    return out;
}

void print_answers(std::ostream &out, const Key &key, const std::vector<KeyAnswer> &found)
{
    const bool virtual_key = std::holds_alternative<VirtualKey>(key);
    if (virtual_key && found.empty())
        out << key_text(key) << ": no scan code sends it, so it has no name\n";
    for (const KeyAnswer &a : found)
        out << (virtual_key ? key_text(key) + " from " : "") << answer_text(a) << '\n';
}

void write_answers(JsonWriter &json, const std::vector<KeyAnswer> &found)
{
    json.key("keys");
    json.begin_array();
    for (const KeyAnswer &a : found) {
        json.begin_object();
        json.member("key", a.written);
        json.member("sent", a.sent);
        json.member("looked_up_as",
                    a.lookup ? std::optional<std::string>(lookup_text(*a.lookup)) : std::nullopt);
        json.member("name", a.name ? std::optional<std::string>(utf8(*a.name)) : std::nullopt);
        json.member("source", a.dead_key_name ? "dead-key name" : a.name ? "key name" : "none");
        json.member("dead", a.dead ? std::optional<std::string>(code_point_text(*a.dead))
                                   : std::nullopt);
        json.member("text", answer_text(a));
        json.end_object();
    }
    json.end_array();
}

void write_list(JsonWriter &json, const char *name, const std::vector<KeyName> &list, bool e0)
{
    json.key(name);
    json.begin_array();
    for (const KeyName &entry : list) {
        json.begin_object();
        json.member("scan", lookup_text({entry.scan, e0}));
        json.member("name", utf8(entry.name));
        json.end_object();
    }
    json.end_array();
}

void write_all_names(JsonWriter &json, const LayoutTables &tables)
{
    write_list(json, "key_names", tables.key_names, false);
    write_list(json, "key_names_ext", tables.key_names_ext, true);
    json.key("dead_key_names");
    json.begin_array();
    for (const std::u16string &stored : tables.dead_key_names) {
        const std::optional<DeadKeyName> name = split_dead_key_name(stored);
        json.begin_object();
        json.member("dead", name ? std::optional<std::string>(code_point_text(name->dead))
                                 : std::nullopt);
        json.member("name", name ? utf8(name->name) : std::string());
        json.end_object();
    }
    json.end_array();
}

// The list entry that a key reaches only through the Num Lock / Pause swap.
std::string swap_note(uint8_t scan, bool e0)
{
    if (scan == 0x45 && e0)
        return "  (the Num Lock key, sent as 45)";
    if (scan == 0x45 && !e0)
        return "  (the Pause key, sent as E1 1D)";
    return "";
}

void print_list(std::ostream &out, const char *title, const std::vector<KeyName> &list, bool e0)
{
    out << title << " (" << list.size() << ")\n";
    for (const KeyName &entry : list) {
        const std::string code = lookup_text({entry.scan, e0});
        out << "  " << code << std::string(7 - code.size(), ' ') << quoted(entry.name)
            << swap_note(entry.scan, e0) << "\n";
    }
}

void print_dead_names(std::ostream &out, const LayoutTables &tables)
{
    out << "Dead-key names (" << tables.dead_key_names.size() << ")\n";
    for (const std::u16string &stored : tables.dead_key_names) {
        const std::optional<DeadKeyName> name = split_dead_key_name(stored);
        if (!name) {
            out << "  (an empty name, which names no dead key)\n";
            continue;
        }
        out << "  " << character_label(name->dead) << "  " << quoted(name->name) << "\n";
    }
}

int run_names(std::vector<std::string> args, std::ostream &out)
{
    const std::optional<std::string> base = take_option(args, "--base");
    const bool as_json = take_flag(args, "--json");
    std::optional<std::string> key_argument;
    if (args.size() == 2) {
        key_argument = args.back();
        args.pop_back();
    }
    expect_operands(args, 1, kSynopsis);
    std::optional<Key> key;
    if (key_argument) {
        try {
            key = parse_key(*key_argument);
        } catch (const Error &error) {
            throw UsageError(error.what());
        }
    }
    const MappedImage image = load_image(args[0], base);
    const Keymap keymap(read_tables(image));
    const LayoutTables &tables = keymap.tables();

    if (!as_json) {
        if (key) {
            print_answers(out, *key, answers(keymap, *key));
            return kExitDone;
        }
        print_list(out, "Key names by scan code", tables.key_names, false);
        print_list(out, "Key names after E0", tables.key_names_ext, true);
        print_dead_names(out, tables);
        return kExitDone;
    }
    JsonWriter json(out);
    json.begin_object();
    json.member("format", "wendol names");
    json.member("version", 1);
    json.member("file", args[0]);
    if (key) {
        json.member("key", *key_argument);
        write_answers(json, answers(keymap, *key));
    } else {
        write_all_names(json, tables);
    }
    json.end_object();
    json.finish();
    return kExitDone;
}

}  // namespace

extern const Command names_command;
const Command names_command = {
    "names",
    kSynopsis,
    "what a key is called: the name the layout gives KEY (a key name, sc:36, sc:E0 38; a dead "
    "key by its dead-key name), or "
    "every key and dead-key name",
    run_names,
    "  --json        print one JSON document: the key's names, or every name in the\n"
    "                layout's three lists (docs/json.md)\n",
    "  wendol names Wendol.dll\n"
    "  wendol names Wendol.dll \"sc:E0 38\"\n",
};

}  // namespace wendol::cli
