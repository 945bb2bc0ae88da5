// kmn_text.cpp - the Keyman keyboard source and touch layout, written from
// the Keyman form of a layout.
#include "keyman/kmn_text.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"
#include "engine/key_parse.h"

namespace wendol::keyman {

namespace {

std::string hex(char32_t c, int digits = 4)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, static_cast<unsigned>(c));
    return buffer;
}

std::string code_point(char32_t c) { return "U+" + hex(c); }

std::string dead_name(char16_t dead) { return "dk(dead_" + hex(dead) + ")"; }

// A string of the source: printable ASCII quoted, the rest as U+ codes.
std::string kmn_string(std::string_view text)
{
    std::string out, run;
    const auto flush = [&] {
        if (!run.empty())
            out += (out.empty() ? "'" : " '") + run + "'";
        run.clear();
    };
    for (char32_t c : code_points(text)) {
        if (c >= 0x20 && c < 0x7F && c != '\'' && c != '"') {
            run += static_cast<char>(c);
        } else {
            flush();
            append_item(out, code_point(c));
        }
    }
    flush();
    return out.empty() ? "''" : out;
}

// "U+00E1 dk(dead_00B4)", "nul".
std::string output_text(const Output &o)
{
    if (o.nothing())
        return "nul";
    std::string out;
    for (char32_t c : code_points(std::u16string_view(o.text)))
        append_item(out, code_point(c));
    if (o.dead)
        append_item(out, dead_name(*o.dead));
    return out;
}

// What the output shows a reader: the characters, a dead key's character.
std::string output_comment(const Output &o)
{
    std::string shown = utf8(std::u16string_view(o.text));
    if (o.dead)
        append_item(shown, "dead " + utf8(std::u16string(1, *o.dead)));
    // A line ending in a backslash goes on on the next one.
    if (!shown.empty() && shown.back() == '\\')
        shown += " (backslash)";
    return shown;
}

std::string key_pattern(const KeyRule &r, bool right_ctrl)
{
    std::string words;
    if (r.caps == CapsMatch::On)
        words = "CAPS ";
    else if (r.caps == CapsMatch::Off)
        words = "NCAPS ";
    const std::string mods = modifier_words(r.modifiers, right_ctrl);
    if (!mods.empty())
        words += mods + " ";
    return "[" + words + r.key.id + "]";
}

void rule_lines(std::string &out, const KeyRule &r)
{
    for (bool right_ctrl : {false, true}) {
        if (right_ctrl && !r.modifiers.ctrl)
            break;
        std::string line = (r.after ? dead_name(*r.after) + " " : std::string()) + "+ " +
                           key_pattern(r, right_ctrl);
        line.append(line.size() < 38 ? 38 - line.size() : 1, ' ');
        line += "> ";
        line += output_text(r.output);
        const std::string comment = output_comment(r.output);
        if (!comment.empty())
        {
            line.append(line.size() < 62 ? 62 - line.size() : 1, ' ');
            line += "c ";
            line += comment;
        }
        out += line + "\n";
    }
}

std::string json_string(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (u < 0x20)
            out += "\\u" + hex(u);
        else
            out += c;
    }
    return out + "\"";
}

// The rule for a key state with nothing pending, if the keyboard has one.
const KeyRule *find_rule(const KeymanLayout &layout, const char *id, Modifiers m, bool caps)
{
    const KeyRule *found = nullptr;
    for (const KeyRule &r : layout.keys)
        if (std::string_view(r.key.id) == id && r.modifiers == m &&
            (r.caps == CapsMatch::Either || (r.caps == CapsMatch::On) == caps))
            found = &r;
    return found;
}

bool has_key(const KeymanLayout &layout, const char *id)
{
    return std::any_of(layout.keys.begin(), layout.keys.end(),
                       [&](const KeyRule &r) { return std::string_view(r.key.id) == id; });
}

std::string cap_text(const KeyRule *r)
{
    if (!r || r->output.nothing())
        return "";
    return r->output.dead && r->output.text.empty() ? utf8(std::u16string(1, *r->output.dead))
                                                    : utf8(std::u16string_view(r->output.text));
}

// The rows of the touch layout, in the US keyboard's order.
constexpr const char *kTouchRows[][14] = {
    {"K_1", "K_2", "K_3", "K_4", "K_5", "K_6", "K_7", "K_8", "K_9", "K_0", "K_HYPHEN", "K_EQUAL"},
    {"K_Q", "K_W", "K_E", "K_R", "K_T", "K_Y", "K_U", "K_I", "K_O", "K_P", "K_LBRKT", "K_RBRKT",
     "K_BKSLASH"},
    {"K_A", "K_S", "K_D", "K_F", "K_G", "K_H", "K_J", "K_K", "K_L", "K_COLON", "K_QUOTE"},
    {"K_oE2", "K_Z", "K_X", "K_C", "K_V", "K_B", "K_N", "K_M", "K_COMMA", "K_PERIOD", "K_SLASH"},
    {"K_BKQUOTE"},
};

struct TouchLayer {
    const char *id;
    bool shift, caps;
};

std::string special_key(const char *id, const char *text, int sp, const char *next = nullptr,
                        int width = 0)
{
    std::string key = std::string("{\"id\": \"") + id + "\", \"text\": \"" + text +
                      "\", \"sp\": \"" + std::to_string(sp) + "\"";
    if (next)
        key += std::string(", \"nextlayer\": \"") + next + "\"";
    if (width)
        key += ", \"width\": \"" + std::to_string(width) + "\"";
    return key + "}";
}

std::string touch_key(const KeymanLayout &layout, const char *id, const TouchLayer &layer)
{
    const KeyRule *face = find_rule(layout, id, {layer.shift, false, false}, layer.caps);
    std::string key = std::string("{\"id\": \"") + id + "\", \"text\": " + json_string(cap_text(face));
    std::string sk;
    for (bool shift : {layer.shift, !layer.shift}) {
        const KeyRule *r = find_rule(layout, id, {shift, true, false}, layer.caps);
        const std::string text = cap_text(r);
        if (text.empty())
            continue;
        append_item(sk, std::string("{\"id\": \"") + id + "\", \"text\": " + json_string(text) +
                            ", \"layer\": \"" + (shift ? "rightalt-shift" : "rightalt") + "\"}",
                    ", ");
    }
    if (!sk.empty())
        key += ", \"sk\": [" + sk + "]";
    return key + "}";
}

}  // namespace

bool valid_id(const std::string &id)
{
    return !id.empty() && !(id[0] >= '0' && id[0] <= '9') &&
           std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
           });
}

std::string kmn_text(const KeymanLayout &layout, const KeyboardNames &names)
{
    std::string out;
    out += "c " + names.id + ".kmn - the Keyman keyboard of " + names.origin + ",\n";
    out += "c written by wendol keyman from the module's tables: every key typed through them.\n";
    out += "c Keyman's keys are positions on the US keyboard; the AltGr levels are the right\n";
    out += "c Alt key (RALT).\n";
    out += "c Not carried by Keyman:\n";
    for (const Unwritten &u : layout.unwritten)
        out += "c   " + unwritten_text(u) + "\n";
    out += "\n";
    out += "store(&NAME) " + kmn_string(names.name) + "\n";
    if (!names.copyright.empty())
        out += "store(&COPYRIGHT) " + kmn_string(names.copyright) + "\n";
    out += "store(&KEYBOARDVERSION) " + kmn_string(names.version) + "\n";
    out += "store(&TARGETS) 'any'\n";
    out += "store(&LAYOUTFILE) '" + names.id + ".keyman-touch-layout'\n";
    if (layout.shift_frees_caps)
        out += "store(&ShiftFreesCaps) '1'      c KLLF_SHIFTLOCK: Shift releases the lock\n";
    if (!layout.dead_keys.empty()) {
        out += "\nc The single characters the keys type, for the fallback after a dead key.\n";
        out += "store(typed)";
        for (size_t i = 0; i < layout.fallback.size(); ++i)
            out += (i % 12 == 0 && i ? " \\\n            " : " ") + code_point(layout.fallback[i]);
        out += "\n";
    }
    out += "\nbegin Unicode > use(main)\n\ngroup(main) using keys\n\n";
    out += "c What each key types with nothing pending.\n";
    const char *last = nullptr;
    for (const KeyRule &r : layout.keys) {
        if (last && std::string_view(last) != r.key.id)
            out += "\n";
        last = r.key.id;
        rule_lines(out, r);
    }
    if (!layout.dead_keys.empty()) {
        for (char16_t dead : layout.dead_keys) {
            out += "\nc After the dead key " + utf8(std::u16string(1, dead)) + " (" + code_point(dead) +
                   "): its compositions and what differs from the fallback.\n";
            for (const KeyRule &r : layout.after_dead)
                if (r.after == dead)
                    rule_lines(out, r);
        }
        out += "\nmatch > use(fallback)\n\n";
        out += "c A dead key followed by a key it does not compose with: the dead character,\n";
        out += "c then the key's own, as Windows types them.\n";
        out += "group(fallback)\n";
        for (char16_t dead : layout.dead_keys)
            out += dead_name(dead) + " any(typed) > " + code_point(dead) + " index(typed, 2)\n";
    }
    return out;
}

std::string touch_layout_text(const KeymanLayout &layout)
{
    std::vector<TouchLayer> layers = {{"default", false, false}, {"shift", true, false}};
    const bool caps_differs = std::any_of(layout.keys.begin(), layout.keys.end(),
                                          [](const KeyRule &r) { return r.caps != CapsMatch::Either; });
    if (caps_differs)
        layers.push_back({"caps", false, true});
    std::string out = "{\n  \"tablet\": {\n    \"displayUnderlying\": false,\n    \"layer\": [\n";
    for (size_t l = 0; l < layers.size(); ++l) {
        const TouchLayer &layer = layers[l];
        out += std::string("      {\"id\": \"") + layer.id + "\", \"row\": [\n";
        int row_id = 1;
        for (const auto &row : kTouchRows) {
            std::vector<std::string> keys;
            if (row_id == 4)
                keys.push_back(special_key("K_SHIFT", "*Shift*", layer.shift || layer.caps ? 2 : 1,
                                           layer.shift || layer.caps ? "default" : "shift", 150));
            if (row_id == 5)
                keys.push_back(special_key("K_LOPT", "*Menu*", 1, nullptr, 120));
            for (const char *id : row)
                if (id && has_key(layout, id))
                    keys.push_back(touch_key(layout, id, layer));
            if (row_id == 1)
                keys.push_back(special_key("K_BKSP", "*BkSp*", 1, nullptr, 150));
            if (row_id == 3)
                keys.push_back(special_key("K_ENTER", "*Enter*", 1, nullptr, 150));
            if (row_id == 5 && has_key(layout, "K_SPACE"))
                keys.push_back(touch_key(layout, "K_SPACE", layer).insert(1, "\"width\": \"600\", "));
            std::string joined;
            for (const std::string &key : keys)
                append_item(joined, key, ",\n          ");
            out += "        {\"id\": " + std::to_string(row_id) + ", \"key\": [\n          " + joined +
                   "\n        ]}" + (row_id < 5 ? "," : "") + "\n";
            ++row_id;
        }
        out += std::string("      ]}") + (l + 1 < layers.size() ? "," : "") + "\n";
    }
    out += "    ]\n  }\n}\n";
    return out;
}

}  // namespace wendol::keyman
