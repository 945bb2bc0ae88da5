// bench_typing.cpp - the engine at work: a long mixed text typed key by
// key, the sweep of the whole keyboard, and the reverse lookup of every
// character the layout types.
#include <benchmark/benchmark.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <map>
#include <memory>
#include <stdexcept>

#include "base/text.h"
#include "bench_module.h"
#include "engine/key_parse.h"
#include "engine/keyboard_sweep.h"
#include "engine/reverse_lookup.h"
#include "engine/typing.h"
#include "keyman/keyman_core.h"
#include "keyman/keyman_keys.h"
#include "keyman/keyman_layout.h"
#include "xkb/xkb_layout.h"
#include "xkb/xkb_text.h"

namespace wendol::bench {
namespace {

// Latin, letters with diacritics (on AltGr and through dead keys), Greek on
// Caps Lock with its tonos and dialytika, signs, fractions, super- and
// subscripts.
const char16_t kMixedText[] =
    u"The quick brown fox jumps over the lazy dog; 1234567890!\r"
    u"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148 \u00FAp\u011Bl "
    u"\u010F\u00E1belsk\u00E9 \u00F3dy. Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105 "
    u"ja\u017A\u0144. \u00C1rv\u00EDzt\u0171r\u0151 t\u00FCk\u00F6rf\u00FAr\u00F3g\u00E9p, "
    u"\u00EA\u00F1\u00E3\u00F5\u00EE\u00E2\r"
    u"\u039E\u03B5\u03C3\u03BA\u03B5\u03C0\u03AC\u03B6\u03C9 \u03C4\u03B7\u03BD "
    u"\u03C8\u03C5\u03C7\u03BF\u03C6\u03B8\u03CC\u03C1\u03B1 \u03B2\u03B4\u03B5\u03BB"
    u"\u03C5\u03B3\u03BC\u03AF\u03B1, \u03CA \u03CB \u0390\r"
    u"x\u00B2 + y\u00B2 \u2260 z\u2083 \u2264 \u00BD \u00B1 \u2154 \u00F7 \u2030 \u20AC "
    u"\u00A7 \u00B0 \u2200 \u2203 \u220F \u2014 \u215B \u00DF \u1E9E \u0130\u0131\r";

constexpr int kRepeats = 20;   // the text typed this many times

struct KeyRun {
    std::vector<Chord> chords;
    size_t keystrokes = 0;
    std::u16string text;
};

// The chords that type `ch` from the locks as `typist` has them: the way
// the reverse lookup finds, with Caps Lock and Num Lock pressed where a
// stroke needs them changed.
std::vector<Chord> chords_for(const ReverseLookup &lookup, const Typist &typist, char16_t ch)
{
    const Found found = lookup.find(ch);
    if (!found.way)
        throw std::runtime_error("no way to type " + character_label(ch));
    static const Key caps = parse_key("CapsLock"), num = parse_key("NumLock");
    std::vector<Chord> chords;
    bool caps_on = typist.state().caps_lock(), num_on = typist.state().num_lock();
    for (const Stroke &stroke : found.way->strokes) {
        if (stroke.caps_lock && *stroke.caps_lock != caps_on) {
            chords.push_back({caps});
            caps_on = !caps_on;
        }
        if (stroke.num_lock && *stroke.num_lock != num_on) {
            chords.push_back({num});
            num_on = !num_on;
        }
        chords.push_back(stroke.keys);
    }
    return chords;
}

// The mixed text as keys, checked once by typing it.
const KeyRun &mixed_run()
{
    static const KeyRun run = [] {
        const Keymap &keymap = module_keymap();
        const ReverseLookup lookup(keymap);
        KeyRun out;
        Typist typist(keymap);
        for (int i = 0; i < kRepeats; ++i) {
            for (const char16_t *c = kMixedText; *c; ++c) {
                for (Chord &chord : chords_for(lookup, typist, *c)) {
                    out.text += delivered(typist.chord(chord));
                    out.keystrokes += chord.size();
                    out.chords.push_back(std::move(chord));
                }
            }
        }
        std::u16string wanted;
        for (int i = 0; i < kRepeats; ++i)
            wanted += kMixedText;
        if (out.text != wanted)
            throw std::runtime_error("the keys typed " + wendol::quoted(out.text));
        return out;
    }();
    return run;
}

void BM_TypeMixedText(benchmark::State &state)
{
    const Keymap &keymap = module_keymap();
    const KeyRun &run = mixed_run();
    size_t characters = 0;
    for (auto _ : state) {
        Typist typist(keymap);
        for (const Chord &chord : run.chords) {
            // Each key down in order, then up in reverse, as a keyboard
            // sends them.
            for (const Key &key : chord)
                characters += typist.press(key).delivery.text.size();
            for (auto key = chord.rbegin(); key != chord.rend(); ++key)
                typist.release(*key);
        }
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * run.keystrokes));
    state.counters["keystrokes"] = static_cast<double>(run.keystrokes);
    state.counters["characters"] = static_cast<double>(run.text.size());
}
BENCHMARK(BM_TypeMixedText)->Unit(benchmark::kMicrosecond);

// The same keystrokes through libxkbcommon, on the keymap and Compose table
// written from the module: each key's keysym fed to the Compose state, its
// text taken from the Compose state or the keyboard state, as a client does.
struct XkbSide {
    xkb_context *context = nullptr;
    xkb_keymap *keymap = nullptr;
    xkb_compose_table *compose = nullptr;
    std::vector<std::vector<xkb_keycode_t>> chords;   // the run's chords as XKB key codes

    XkbSide()
    {
        const Keymap &module = module_keymap();
        const xkb::XkbLayout layout = xkb::xkb_layout(module);
        const xkb::LayoutNames names{"tarvena", "Tarvena", "eng", "Wendol.dll (Tarvena)"};
        context = xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES);
        keymap = xkb_keymap_new_from_string(context, xkb::keymap_text(layout, module, names).c_str(),
                                            XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
        const std::string table = xkb::compose_text(layout, module, names);
        compose = xkb_compose_table_new_from_buffer(context, table.data(), table.size(), "C",
                                                    XKB_COMPOSE_FORMAT_TEXT_V1,
                                                    XKB_COMPOSE_COMPILE_NO_FLAGS);
        if (!keymap || !compose)
            throw std::runtime_error("libxkbcommon refused the written keymap or Compose file");
        for (const Chord &chord : mixed_run().chords) {
            std::vector<xkb_keycode_t> codes;
            for (const Key &key : chord) {
                const auto *scan = std::get_if<ScanCode>(&key);
                const auto linux = scan ? xkb::linux_key(*scan) : std::nullopt;
                if (!linux)
                    throw std::runtime_error("a key of the run has no Linux key code");
                codes.push_back(linux->xkb_code());
            }
            chords.push_back(std::move(codes));
        }
    }
    XkbSide(const XkbSide &) = delete;
    XkbSide &operator=(const XkbSide &) = delete;
    ~XkbSide()
    {
        xkb_compose_table_unref(compose);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }

    // Types the whole run and returns the text, in UTF-8.
    std::string type_run() const
    {
        xkb_state *state = xkb_state_new(keymap);
        xkb_compose_state *composing = xkb_compose_state_new(compose, XKB_COMPOSE_STATE_NO_FLAGS);
        std::string text;
        char buffer[64];
        for (const std::vector<xkb_keycode_t> &chord : chords) {
            for (xkb_keycode_t code : chord) {
                const xkb_keysym_t keysym = xkb_state_key_get_one_sym(state, code);
                xkb_compose_state_feed(composing, keysym);
                switch (xkb_compose_state_get_status(composing)) {
                case XKB_COMPOSE_COMPOSED:
                    xkb_compose_state_get_utf8(composing, buffer, sizeof buffer);
                    text += buffer;
                    xkb_compose_state_reset(composing);
                    break;
                case XKB_COMPOSE_NOTHING:
                    xkb_state_key_get_utf8(state, code, buffer, sizeof buffer);
                    text += buffer;
                    break;
                case XKB_COMPOSE_CANCELLED:
                    xkb_compose_state_reset(composing);
                    break;
                case XKB_COMPOSE_COMPOSING:
                    break;
                }
                xkb_state_update_key(state, code, XKB_KEY_DOWN);
            }
            for (auto code = chord.rbegin(); code != chord.rend(); ++code)
                xkb_state_update_key(state, *code, XKB_KEY_UP);
        }
        xkb_compose_state_unref(composing);
        xkb_state_unref(state);
        return text;
    }
};

const XkbSide &xkb_side()
{
    static const std::unique_ptr<const XkbSide> side = [] {
        auto made = std::make_unique<const XkbSide>();
        if (made->type_run() != utf8(mixed_run().text))
            throw std::runtime_error("libxkbcommon typed the run differently from the engine");
        return made;
    }();
    return *side;
}

void BM_TypeMixedTextThroughXkb(benchmark::State &state)
{
    const XkbSide &side = xkb_side();
    const KeyRun &run = mixed_run();
    size_t bytes = 0;
    for (auto _ : state) {
        bytes += side.type_run().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * run.keystrokes));
    state.counters["keystrokes"] = static_cast<double>(run.keystrokes);
    state.counters["characters"] = static_cast<double>(run.text.size());
}
BENCHMARK(BM_TypeMixedTextThroughXkb)->Unit(benchmark::kMicrosecond);

// The same keystrokes through Keyman Core, on the .kmx Keyman's compiler
// made of the keyboard wendol keyman wrote: each chord one key event with
// Keyman's modifier flags, Caps Lock a flag on every event.  Enter is
// passed back to the application, so the text checked is the engine's
// without its line ends.
// The chord itself where Keyman has a position for its key, else (for the
// Brazilian keys the reverse lookup may choose) a chord of a key Keyman has
// that types the same on a fresh keyboard with the same Caps Lock.
std::optional<Chord> keyman_chord(const Chord &chord, bool caps)
{
    if (keyman::keyman_key(std::get<ScanCode>(chord.back())))
        return chord;
    const auto typed = [&](const Chord &keys) {
        Typist typist(module_keymap());
        if (caps)
            typist.chord({ScanCode{Prefix::None, 0x3A}});
        return delivered(typist.chord(keys));
    };
    const std::u16string wanted = typed(chord);
    for (const keyman::KeymanKey &k : keyman::keyman_keys())
        for (const keyman::Modifiers &m : keyman::kModifierStates) {
            const Chord other = keyman::chord_of(k.scan, m);
            if (!m.ctrl && !wanted.empty() && typed(other) == wanted)
                return other;
        }
    return std::nullopt;
}

struct KeymanSide {
    test::KeymanCore core{WENDOL_BENCH_KMX};
    std::vector<test::Keystroke> keys;

    KeymanSide()
    {
        bool caps = false;
        for (const Chord &original : mixed_run().chords) {
            const ScanCode *scan = std::get_if<ScanCode>(&original.back());
            if (!scan)
                throw std::runtime_error("a chord ending in a virtual key");
            if (*scan == ScanCode{Prefix::None, 0x3A}) {
                caps = !caps;
                continue;
            }
            if (*scan == ScanCode{Prefix::None, 0x45})
                continue;
            const std::optional<Chord> found = keyman_chord(original, caps);
            if (!found)
                throw std::runtime_error("a key Keyman has no position for: " + key_text(*scan));
            const Chord &chord = *found;
            const keyman::KeymanKey key = *keyman::keyman_key(std::get<ScanCode>(chord.back()));
            uint16_t flags = caps ? test::keyman_modifier::caps : 0;
            for (size_t i = 0; i + 1 < chord.size(); ++i) {
                const ScanCode *held = std::get_if<ScanCode>(&chord[i]);
                if (held && (held->code == 0x2A || held->code == 0x36))
                    flags |= test::keyman_modifier::shift;
                else if (held && *held == ScanCode{Prefix::E0, 0x38})
                    flags |= test::keyman_modifier::right_alt;
                else if (held && held->code == 0x1D)
                    flags |= test::keyman_modifier::left_ctrl;
            }
            keys.push_back({key.vk, flags});
        }
    }

    std::u32string type_run() { return core.type(keys).text; }
};

KeymanSide &keyman_side()
{
    static const std::unique_ptr<KeymanSide> side = [] {
        auto made = std::make_unique<KeymanSide>();
        std::u16string wanted = mixed_run().text;
        std::erase(wanted, u'\r');
        if (test::to_utf16(made->type_run()) != wanted)
            throw std::runtime_error("Keyman Core typed the run differently from the engine");
        return made;
    }();
    return *side;
}

void BM_TypeMixedTextThroughKeymanCore(benchmark::State &state)
{
    KeymanSide &side = keyman_side();
    const KeyRun &run = mixed_run();
    size_t characters = 0;
    for (auto _ : state) {
        characters += side.type_run().size();
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * run.keystrokes));
    state.counters["keystrokes"] = static_cast<double>(run.keystrokes);
    state.counters["key_events"] = static_cast<double>(side.keys.size());
}
BENCHMARK(BM_TypeMixedTextThroughKeymanCore)->Unit(benchmark::kMillisecond);

void BM_SweepEveryKeyModifierAndLock(benchmark::State &state)
{
    const Keymap &keymap = module_keymap();
    size_t presses = 0;
    for (auto _ : state) {
        sweep_keyboard(keymap, [&](const SweepState &, const Press &press) {
            presses += press.cell.kind == Cell::Kind::Character;
        });
        benchmark::DoNotOptimize(presses);
    }
    size_t per_sweep = 0;
    sweep_keyboard(keymap, [&](const SweepState &, const Press &) { ++per_sweep; });
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * per_sweep));
    state.counters["presses"] = static_cast<double>(per_sweep);
}
BENCHMARK(BM_SweepEveryKeyModifierAndLock)->Unit(benchmark::kMicrosecond);

// Every character the sweep types and every composition of those.
std::vector<char16_t> typed_characters(const Keymap &keymap)
{
    std::map<char16_t, bool> typed;
    std::map<char16_t, bool> dead;
    sweep_keyboard(keymap, [&](const SweepState &, const Press &press) {
        if (press.cell.kind == Cell::Kind::Character)
            typed[press.cell.ch] = true;
        else if (press.cell.kind == Cell::Kind::Dead)
            dead[press.cell.ch] = true;
    });
    for (const DeadKeyEntry &e : keymap.tables().dead_keys)
        if (dead.count(static_cast<char16_t>(e.dead)) && typed.count(static_cast<char16_t>(e.base)))
            typed[static_cast<char16_t>(e.composed)] = true;
    std::vector<char16_t> out;
    for (const auto &[ch, yes] : typed)
        out.push_back(ch);
    return out;
}

void BM_ReverseLookupOfEveryCharacter(benchmark::State &state)
{
    const Keymap &keymap = module_keymap();
    const std::vector<char16_t> characters = typed_characters(keymap);
    for (auto _ : state) {
        const ReverseLookup lookup(keymap);
        for (const char16_t ch : characters) {
            Found found = lookup.find(ch);
            benchmark::DoNotOptimize(found.way);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * characters.size()));
    state.counters["characters"] = static_cast<double>(characters.size());
}
BENCHMARK(BM_ReverseLookupOfEveryCharacter)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendol::bench
