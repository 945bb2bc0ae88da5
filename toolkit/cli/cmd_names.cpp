// cmd_names.cpp - `wendol names FILE [KEY] [--base ADDR]`: what a key is
// called.  With KEY, the name the platform would show for that key; without,
// every name in the three lists.
#include "base/error.h"
#include "base/text.h"
#include "commands.h"
#include "engine/key_names.h"
#include "engine/key_parse.h"
#include "engine/keymap.h"
#include "tables/tables.h"

namespace wendol::cli {

namespace {

const char *const kSynopsis = "FILE [KEY] [--base ADDR]";

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

// A key the name lists leave out is named, as the platform names it, by the
// character it types alone; for a dead key that is its dead-key name.
std::optional<std::string> dead_key_text(const LayoutTables &tables, ScanCode sent)
{
    const Keymap keymap(tables);
    const std::optional<uint16_t> vk = keymap.virtual_key(sent);
    if (!vk)
        return std::nullopt;
    // A broken cell is no dead key: verify tells how the tables break there.
    const Cell cell = keymap.cell(static_cast<uint8_t>(*vk & 0xFF), 0, false);
    if (cell.kind != Cell::Kind::Dead)
        return std::nullopt;
    const std::optional<std::u16string> name = dead_key_name(tables, cell.ch);
    if (!name)
        return "no name (dead " + character_label(cell.ch) + ", which aKeyNamesDead does not name)";
    return quoted(*name) + " (the dead-key name of " + character_label(cell.ch) + ")";
}

// NumLock (sc:45), looked up as E0 45: "Num Lock"
void print_key(std::ostream &out, const LayoutTables &tables, ScanCode sent)
{
    const std::string written = key_text(Key{sent});
    out << written;
    if (written != sent_text(sent))
        out << " (" << sent_text(sent) << ")";
    const std::optional<NameLookup> lookup = name_lookup(sent);
    if (!lookup) {
        out << ": no name (of the E1 codes the platform names only Pause's)\n";
        return;
    }
    out << ", looked up as " << lookup_text(*lookup) << ": ";
    const std::optional<std::u16string> name = key_name(tables, lookup->scan, lookup->e0);
    if (name)
        out << quoted(*name) << "\n";
    else
        out << dead_key_text(tables, sent).value_or("no name") << "\n";
}

// A virtual key has no scan code of its own: name every key that sends it.
void print_virtual_key(std::ostream &out, const LayoutTables &tables, VirtualKey vk)
{
    const Keymap keymap(tables);
    bool any = false;
    for (const auto &[scan, value] : keymap.scan_codes()) {
        if ((value & 0xFF) != vk.code)
            continue;
        out << key_text(Key{vk}) << " from ";
        print_key(out, tables, scan);
        any = true;
    }
    if (!any)
        out << key_text(Key{vk}) << ": no scan code sends it, so it has no name\n";
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
    std::optional<std::string> key_argument;
    if (args.size() == 2) {
        key_argument = args.back();
        args.pop_back();
    }
    expect_operands(args, 1, kSynopsis);
    const MappedImage image = load_image(args[0], base);
    const LayoutTables tables = read_tables(image);

    if (!key_argument) {
        print_list(out, "Key names by scan code", tables.key_names, false);
        print_list(out, "Key names after E0", tables.key_names_ext, true);
        print_dead_names(out, tables);
        return 0;
    }
    Key key;
    try {
        key = parse_key(*key_argument);
    } catch (const Error &error) {
        throw UsageError(error.what());
    }
    if (const auto *vk = std::get_if<VirtualKey>(&key))
        print_virtual_key(out, tables, *vk);
    else
        print_key(out, tables, std::get<ScanCode>(key));
    return 0;
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
    "",
    "  wendol names Wendol.dll\n"
    "  wendol names Wendol.dll \"sc:E0 38\"\n",
};

}  // namespace wendol::cli
