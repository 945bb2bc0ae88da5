// xkb_text.cpp - the keymap, symbols, types, rules, registry and Compose files.
#include "xkb/xkb_text.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

#include "base/text.h"
#include "engine/compose.h"

namespace wendol::xkb {

namespace {

constexpr size_t kMaxDeadChain = 4;   // dead keys pending one after another, at most

// The modifiers of a state as an XKB type map names them.
std::string state_modifiers(KeyState state)
{
    std::string mods;
    const auto add = [&](const char *name) { mods += (mods.empty() ? "" : " + ") + std::string(name); };
    if (state.shift)
        add("Shift");
    if (state.caps_lock)
        add("Lock");
    if (state.altgr)
        add("LevelThree");
    if (state.num_lock)
        add("NumLock");
    return mods.empty() ? "None" : mods;
}

std::string level_name(size_t level)   // from 0
{
    return level < 8 ? "Level" + std::to_string(level + 1) : std::to_string(level + 1);
}

// A string inside double quotes, for the XKB and Compose files.
std::string quoted_text(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            out += octal;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A level where the key gives nothing: VoidSymbol, not NoSymbol, so that
// the level stays empty when the symbols are merged over the system's.
std::string keysym_or_void(const std::string &keysym)
{
    return keysym.empty() ? "VoidSymbol" : keysym;
}

// One key type per distinct type name, in the order the keys first use it.
std::vector<const XkbKey *> distinct_types(const XkbLayout &layout, const std::string &name)
{
    std::vector<const XkbKey *> types;
    for (const XkbKey &key : layout.keys)
        if (!key.one_level() &&
            std::none_of(types.begin(), types.end(), [&](const XkbKey *k) {
                return k->type_name(name) == key.type_name(name);
            }))
            types.push_back(&key);
    return types;
}

void write_type(std::ostream &out, const XkbKey &key, const std::string &name)
{
    out << "    type \"" << key.type_name(name) << "\" {\n"
        << "        modifiers = Shift + Lock + LevelThree + NumLock;\n";
    for (unsigned s = 1; s < kKeyStates; ++s)
        if (key.level_of[s] != 0)
            out << "        map[" << state_modifiers(KeyState::from_index(s))
                << "] = " << level_name(key.level_of[s]) << ";\n";
    for (size_t level = 0; level < key.levels.size(); ++level)
        out << "        level_name[" << level_name(level) << "] = \"" << level + 1 << "\";\n";
    out << "    };\n";
}

// The key types section's body: the types the keys name.
void write_types_body(std::ostream &out, const XkbLayout &layout, const std::string &name)
{
    out << "    virtual_modifiers NumLock, LevelThree;\n\n"
        << "    // Each type's name lists the level of each state, the states numbered\n"
        << "    // Shift = 1, AltGr = 2, Caps Lock = 4, Num Lock = 8.  Every type holds Lock,\n"
        << "    // so that Caps Lock acts only where the module says, never as Shift.\n";
    for (const XkbKey *key : distinct_types(layout, name))
        write_type(out, *key, name);
}

void write_key(std::ostream &out, const XkbKey &key, const std::string &name)
{
    out << "    key <" << key.linux.name << "> { type[Group1] = \"" << key.type_name(name)
        << "\", symbols[Group1] = [ ";
    for (size_t level = 0; level < key.levels.size(); ++level)
        out << (level ? ", " : "") << keysym_or_void(key.levels[level]);
    out << " ] };   // " << scan_code_text(key.scan) << '\n';
}

bool has_keysym(const XkbLayout &layout, const std::string &keysym)
{
    return std::any_of(layout.keys.begin(), layout.keys.end(), [&](const XkbKey &key) {
        return std::find(key.levels.begin(), key.levels.end(), keysym) != key.levels.end();
    });
}

// The real modifiers the modifier keys set.
void write_modifier_maps(std::ostream &out, const XkbLayout &layout)
{
    const std::pair<const char *, std::vector<const char *>> maps[] = {
        {"Shift", {"Shift_L", "Shift_R"}},      {"Lock", {"Caps_Lock"}},
        {"Control", {"Control_L", "Control_R"}}, {"Mod1", {"Alt_L", "Alt_R"}},
        {"Mod2", {"Num_Lock"}},                  {"Mod4", {"Super_L", "Super_R"}},
        {"Mod5", {"ISO_Level3_Shift"}},
    };
    for (const auto &[modifier, keysyms] : maps) {
        std::string present;
        for (const char *keysym : keysyms)
            if (has_keysym(layout, keysym))
                present += (present.empty() ? "" : ", ") + std::string(keysym);
        if (!present.empty())
            out << "    modifier_map " << modifier << " { " << present << " };\n";
    }
}

void write_symbols_body(std::ostream &out, const XkbLayout &layout, const LayoutNames &names)
{
    out << "    name[Group1] = " << quoted_text(names.description) << ";\n\n";
    for (const XkbKey &key : layout.keys)
        write_key(out, key, names.name);
    out << '\n';
    write_modifier_maps(out, layout);
}

void write_keycodes(std::ostream &out, const XkbLayout &layout, const std::string &name)
{
    out << "    xkb_keycodes \"" << name << "\" {\n"
        << "        minimum = 8;\n"
        << "        maximum = 255;\n";
    for (const XkbKey &key : layout.keys)
        out << "        <" << key.linux.name << "> = " << key.linux.xkb_code() << ";\n";
    out << "    };\n";
}

// The actions of the modifier and lock keys, and the virtual modifiers
// they stand for.
void write_compat(std::ostream &out, const std::string &name)
{
    out << "    xkb_compat \"" << name << "\" {\n"
           "        virtual_modifiers NumLock, LevelThree;\n"
           "        interpret.useModMapMods = AnyLevel;\n"
           "        interpret.repeat = False;\n"
           "        interpret Shift_L { action = SetMods(modifiers = Shift); };\n"
           "        interpret Shift_R { action = SetMods(modifiers = Shift); };\n"
           "        interpret Control_L { action = SetMods(modifiers = Control); };\n"
           "        interpret Control_R { action = SetMods(modifiers = Control); };\n"
           "        interpret Alt_L { action = SetMods(modifiers = Mod1); };\n"
           "        interpret Alt_R { action = SetMods(modifiers = Mod1); };\n"
           "        interpret Super_L { action = SetMods(modifiers = Mod4); };\n"
           "        interpret Super_R { action = SetMods(modifiers = Mod4); };\n"
           "        interpret Caps_Lock { action = LockMods(modifiers = Lock); };\n"
           "        interpret Num_Lock {\n"
           "            virtualModifier = NumLock;\n"
           "            action = LockMods(modifiers = NumLock);\n"
           "        };\n"
           "        interpret ISO_Level3_Shift {\n"
           "            virtualModifier = LevelThree;\n"
           "            action = SetMods(modifiers = LevelThree);\n"
           "        };\n"
           "    };\n";
}

// The lines every file opens with: what it is, the line install.sh knows
// the layout by, and what the layout does that the files cannot carry.
std::string heading(const std::string &comment, const std::string &what, const LayoutNames &names,
                    const XkbLayout *layout, const Keymap *keymap)
{
    // A line break in a name would end the comment.
    const auto one_line = [](std::string text) {
        std::replace_if(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
        return text;
    };
    std::string out = comment + " " + one_line(what) + "\n" + comment + " wendol xkb: layout \"" +
                      names.name + "\" from " + one_line(names.origin) + "\n";
    if (layout && keymap && !layout->unmapped.empty()) {
        out += comment + " Not carried on Linux:\n";
        for (const Unmapped &u : layout->unmapped)
            out += comment + "   " + unmapped_text(u, *keymap) + "\n";
    }
    return out;
}

// Writes the body of a section indented by four more spaces.
std::string indented(const std::string &body)
{
    std::istringstream lines(body);
    std::string out;
    for (std::string line; std::getline(lines, line);)
        out += (line.empty() ? "" : "    ") + line + '\n';
    return out;
}

// The text a dead key and what follows it give, as the platform types it.
struct Follower {
    std::string keysym;
    char16_t character;   // what the key gives: a character, or a dead character
    bool dead;
};

std::vector<Follower> followers(const XkbLayout &layout)
{
    std::vector<Follower> out;
    for (const TypedKeysym &t : layout.typed)
        if (t.text.size() == 1)
            out.push_back({t.keysym, t.text[0], false});
    for (const DeadKeysym &d : layout.dead_keys)
        out.push_back({d.keysym, d.dead, true});
    return out;
}

void write_sequences(std::ostream &out, const Keymap &keymap, const std::vector<Follower> &next,
                     const std::string &prefix, char16_t pending, size_t depth, size_t &count,
                     size_t &cut)
{
    for (const Follower &f : next) {
        const std::string sequence = prefix + " <" + f.keysym + ">";
        // The engine's own rule for what a pending dead character and the
        // next key deliver.
        Compose compose;
        compose.dead(keymap, pending);
        const Delivery d = f.dead ? compose.dead(keymap, f.character)
                                  : compose.character(keymap, f.character);
        if (d.pending) {
            // The composition is itself a dead character: it waits for the next key.
            if (depth < kMaxDeadChain)
                write_sequences(out, keymap, next, sequence, *d.pending, depth + 1, count, cut);
            else
                ++cut;
            continue;
        }
        out << sequence << " : " << quoted_text(utf8(d.text)) << '\n';
        ++count;
    }
}

}  // namespace

std::string keymap_text(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names)
{
    std::ostringstream types, symbols, out;
    write_types_body(types, layout, names.name);
    types << "    type \"ONE_LEVEL\" {\n"
             "        modifiers = None;\n"
             "        level_name[Level1] = \"Any\";\n"
             "    };\n";
    write_symbols_body(symbols, layout, names);
    out << heading("//", names.description + ", written from the module's tables by `wendol xkb`.",
                   names, &layout, &keymap)
        << "xkb_keymap \"" << names.name << "\" {\n";
    write_keycodes(out, layout, names.name);
    out << "\n    xkb_types \"" << names.name << "\" {\n" << indented(types.str()) << "    };\n\n";
    write_compat(out, names.name);
    out << "\n    xkb_symbols \"" << names.name << "\" {\n" << indented(symbols.str()) << "    };\n};\n";
    return out.str();
}

std::string symbols_text(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names)
{
    std::ostringstream out;
    out << heading("//", names.description + ", written from the module's tables by `wendol xkb`.",
                   names, &layout, &keymap)
        << "// Its keys name the key types of types/" << names.name << ", which rules/evdev adds.\n"
        << "default partial alphanumeric_keys modifier_keys keypad_keys\n"
        << "xkb_symbols \"basic\" {\n";
    write_symbols_body(out, layout, names);
    out << "};\n";
    return out.str();
}

std::string types_text(const XkbLayout &layout, const LayoutNames &names)
{
    std::ostringstream out;
    out << heading("//", "The key types of the " + names.name + " layout, written by `wendol xkb`.",
                   names, nullptr, nullptr)
        << "default partial xkb_types \"basic\" {\n";
    write_types_body(out, layout, names.name);
    out << "};\n";
    return out.str();
}

std::string rules_text(const LayoutNames &names)
{
    const std::string entry = "  " + names.name + " = +" + names.name + "\n";
    std::string out =
        heading("//", "The system's rules, and the key types of the " + names.name +
                          " layout wherever it is chosen:", names, nullptr, nullptr) +
        "// its keys name types of their own (types/" + names.name + ").\n"
        "! include %S/evdev\n\n"
        "! layout = types\n" + entry;
    for (int index = 1; index <= 4; ++index)
        out += "\n! layout[" + std::to_string(index) + "] = types\n" + entry;
    return out;
}

std::string registry_text(const LayoutNames &names)
{
    const auto escaped = [](const std::string &text) {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '-': out += "&#45;"; break;   // never "--" inside the comment below
            default: out += c; break;
            }
        }
        return out;
    };
    const std::string language =
        names.language.empty() ? ""
                               : "        <languageList>\n"
                                 "          <iso639Id>" + names.language + "</iso639Id>\n"
                                 "        </languageList>\n";
    // The registry's short description: the first letters of the name.
    const std::string short_name = names.name.substr(0, 3);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">\n"
           "<!-- The " + names.name + " layout in the registry, written by `wendol xkb`.\n"
           "     wendol xkb: layout \"" + names.name + "\" from " + escaped(names.origin) + " -->\n"
           "<xkbConfigRegistry version=\"1.1\">\n"
           "  <modelList/>\n"
           "  <layoutList>\n"
           "    <layout>\n"
           "      <configItem>\n"
           "        <name>" + names.name + "</name>\n"
           "        <shortDescription>" + short_name + "</shortDescription>\n"
           "        <description>" + escaped(names.description) + "</description>\n" +
           language +
           "      </configItem>\n"
           "    </layout>\n"
           "  </layoutList>\n"
           "  <optionList/>\n"
           "</xkbConfigRegistry>\n";
}

ComposeFile compose_file(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names)
{
    ComposeFile file;
    std::ostringstream body;
    const std::vector<Follower> next = followers(layout);
    size_t count = 0;
    for (const DeadKeysym &d : layout.dead_keys) {
        body << "\n# dead " << utf8(std::u16string(1, d.dead)) << " (" << code_point_text(d.dead)
             << ")\n";
        size_t cut = 0;
        write_sequences(body, keymap, next, "<" + d.keysym + ">", d.dead, 1, count, cut);
        if (cut)
            file.left_out.push_back({Unmapped::Kind::DeadChain, std::nullopt, {}, false,
                                     std::u16string(1, d.dead), std::nullopt, cut});
    }
    // What the keymap's files name, and what only the Compose file can.
    XkbLayout named = layout;
    named.unmapped.insert(named.unmapped.end(), file.left_out.begin(), file.left_out.end());
    std::ostringstream out;
    out << heading("#", "The dead keys of the " + names.name + " layout, written from the module's tables.",
                   names, &named, &keymap)
        << "# `wendol xkb` wrote " << count << " sequences.  Each dead key followed by every key\n"
        << "# the layout types gives the module's composition, or where it has none the\n"
        << "# dead character and the character, as the platform delivers them.\n"
        << body.str();
    file.text = out.str();
    return file;
}

std::string compose_text(const XkbLayout &layout, const Keymap &keymap, const LayoutNames &names)
{
    return compose_file(layout, keymap, names).text;
}

}  // namespace wendol::xkb
