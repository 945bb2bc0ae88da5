// The round trips through the .klc source that klc.round_trip.<layout>
// ran with the program (round_trip.cmake): every pointer form of a layout
// gives the same source; the module built from it types as the original
// does, but for exactly what the source names as not held; and every
// module built gives the source back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <iterator>

#include "engine/keymap.h"
#include "klc/klc_image.h"
#include "klc/klc_text.h"
#include "support/typing_compare.h"
#include "tables/tables.h"

namespace wendol::test {
namespace {

namespace fs = std::filesystem;

const fs::path kRoundTripDir = WENDOL_KLC_ROUND_TRIP_DIR;

std::vector<uint8_t> file_bytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The source as text, for a readable difference.
std::string source_text(const KlcSource &source)
{
    const std::vector<uint8_t> bytes = klc_bytes(source);
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    std::string text = utf8(units);
    std::erase(text, '\r');
    return text;
}

struct Loaded {
    PeFile file;
    MappedImage image;
    Keymap keymap;
    explicit Loaded(const fs::path &path)
        : file(PeFile::read(path.string())), image(file, 0x7FFE0000), keymap(read_tables(image))
    {
    }
};

bool holds_ctrl_and_alt(const TypingDifference &d)
{
    return (d.holds(kLeftCtrl) || d.holds(kRightCtrl)) && (d.holds(kLeftAlt) || d.holds(kRightAlt));
}

bool named(const KlcFromImage &written, const std::string &what)
{
    return std::any_of(written.unwritten.begin(), written.unwritten.end(),
                       [&](const KlcUnwritten &u) { return u.what == what; });
}

// What a scan code sends, as far as typing goes: the virtual key, and
// whether Num Lock makes a digit of it.
std::optional<uint16_t> typing_key(const Keymap &keymap, ScanCode sc)
{
    const std::optional<uint16_t> vk = keymap.virtual_key(sc);
    return vk ? std::optional<uint16_t>(*vk & (0xFF | kKbdNumpad | kKbdExt)) : std::nullopt;
}

// What the source names as not held, turned into the differences it may
// make; a difference none of them covers is a fault of the round trip.
struct Explanations {
    std::vector<ScanCode> remapped;   // scan codes the format sends other keys from
    std::vector<Key> own_keys;        // modifier keys of the layout's own, left out
    bool altgr = false;               // the right Alt key's own bit, written as AltGr
    bool kana_lock = false;
    bool chained = false;

    Explanations(const KlcFromImage &written, const Keymap &original, const Keymap &built)
    {
        altgr = std::any_of(written.unwritten.begin(), written.unwritten.end(), [](const KlcUnwritten &u) {
            return u.what == "a modifier key of the layout's own" &&
                   u.detail.find("written as AltGr") != std::string::npos;
        });
        kana_lock = named(written, "the Kana lock");
        chained = named(written, "chained dead keys");
        if (named(written, "scan codes the format gives other virtual keys") ||
            named(written, "keys the format's keyboard has and this one lacks"))
            for (const Keymap *k : {&original, &built})
                for (const auto &[sc, vk] : k->scan_codes())
                    if (typing_key(original, sc) != typing_key(built, sc) && !(altgr && sc == kRightAlt) &&
                        std::find(remapped.begin(), remapped.end(), sc) == remapped.end())
                        remapped.push_back(sc);
        if (named(written, "a modifier key of the layout's own") && !altgr)
            for (const VkToBit &m : original.modifier_keys())
                for (const auto &[sc, vk] : original.scan_codes())
                    if ((vk & 0xFF) == m.vk && m.vk != kVkShift && m.vk != kVkControl && m.vk != kVkMenu)
                        own_keys.push_back(sc);
    }

    // The note that explains the difference, or null.
    const char *explain(const TypingDifference &d, const Keymap &original) const
    {
        switch (d.kind) {
        case TypingDifference::Kind::Composition: {
            const DeadKeyEntry *entry = original.composition(d.dead, d.next);
            return chained && entry && (entry->flags & kDkfDead) ? "chained dead keys" : nullptr;
        }
        case TypingDifference::Kind::KeyName: return nullptr;
        default: break;
        }
        const auto remapped_key = [&](const Key &k) {
            const ScanCode *sc = std::get_if<ScanCode>(&k);
            return sc && std::find(remapped.begin(), remapped.end(), *sc) != remapped.end();
        };
        if (altgr && holds_ctrl_and_alt(d))
            return "Ctrl+Alt is AltGr";
        if (std::any_of(own_keys.begin(), own_keys.end(), [&](const Key &k) { return d.holds(k); }))
            return "a modifier key of the layout's own";
        if (kana_lock && d.press.kana_lock)
            return "the Kana lock";
        if (remapped_key(d.press.key) || std::any_of(d.press.held.begin(), d.press.held.end(), remapped_key) ||
            (d.press.caps_lock && remapped_key(kCapsLockKey)))
            return "scan codes";
        return nullptr;
    }
};

std::string built_module(const std::string &layout, const std::string &variant)
{
    const KlcSource source = read_klc(file_bytes(kRoundTripDir / layout / "source.klc"));
    return (kRoundTripDir / layout / "built" / variant / (source.name + ".dll")).string();
}

fs::path original_module(const std::string &layout)
{
    return layout == "Wendol" ? fs::path(WENDOL_BUILD_DIR) / "module" / "x86" / "Wendol.dll"
                              : fs::path(WENDOL_TEST_LAYOUT_DIR) / layout / "x86" / (layout + ".dll");
}

TEST(KlcRoundTrip, EveryFormOfALayoutGivesOneSource)
{
    // The module's name comes from the file's, and so does the description
    // of a module without a version resource: the sources differ in those only.
    for (const fs::directory_entry &dir : fs::directory_iterator(kRoundTripDir)) {
        const std::vector<uint8_t> first = file_bytes(dir.path() / "source.klc");
        ASSERT_FALSE(first.empty()) << dir.path();
        const KlcSource reference = read_klc(first);
        size_t forms = 0;
        for (const fs::directory_entry &form : fs::directory_iterator(dir.path() / "forms")) {
            if (form.path().extension() != ".klc")
                continue;
            KlcSource source = read_klc(file_bytes(form.path()));
            const std::u16string own(source.name.begin(), source.name.end());
            if (source.description == own)
                source.description = reference.description;
            for (KlcLocalized &d : source.descriptions)
                if (d.text == own)
                    d.text = reference.description;
            source.name = reference.name;
            EXPECT_EQ(source_text(source), source_text(reference)) << form.path();
            ++forms;
        }
        EXPECT_GE(forms, 4u) << dir.path();
    }
}

TEST(KlcRoundTrip, TheBuiltModuleTypesAsTheOriginalButForWhatTheSourceCannotHold)
{
    size_t layouts = 0;
    for (const fs::directory_entry &dir : fs::directory_iterator(kRoundTripDir)) {
        const std::string layout = dir.path().filename().string();
        const Loaded original(original_module(layout)), built(built_module(layout, "x86"));
        const KlcFromImage written = klc_from_image(original.keymap, original.file, layout);
        const Explanations explanations(written, original.keymap, built.keymap);
        const std::vector<TypingDifference> differences = compare_typing(original.keymap, built.keymap);
        size_t unexplained = 0;
        std::map<std::string, size_t> by_reason;
        for (const TypingDifference &d : differences) {
            const char *reason = explanations.explain(d, original.keymap);
            if (reason)
                ++by_reason[reason];
            else if (++unexplained <= 20)
                ADD_FAILURE() << layout << ": " << difference_text(d);
        }
        EXPECT_EQ(unexplained, 0u) << layout << ": " << differences.size() << " differences";
        std::cout << layout << ": " << differences.size() << " differences";
        for (const auto &[reason, count] : by_reason)
            std::cout << ", " << count << " " << reason;
        std::cout << '\n';
        ++layouts;
    }
    EXPECT_GE(layouts, 10u);
}

TEST(KlcRoundTrip, EveryBuiltModuleGivesTheSourceBack)
{
    for (const fs::directory_entry &dir : fs::directory_iterator(kRoundTripDir)) {
        const std::string layout = dir.path().filename().string();
        const KlcSource source = read_klc(file_bytes(dir.path() / "source.klc"));
        for (const char *variant : {"x86", "wow64", "x64", "arm64"}) {
            const Loaded built(built_module(layout, variant));
            KlcSource again = klc_from_image(built.keymap, built.file, source.name).source;
            again.notes.clear();   // what the first source could not hold, it does not say again
            EXPECT_EQ(source_text(again), source_text(source)) << layout << " " << variant;
        }
    }
}

// A source written by hand comes back from every module built of it as
// the toolkit writes it: the same model, its LAYOUT lines in scan-code
// order, every comment and spacing of the author's gone.
TEST(KlcRoundTrip, AHandwrittenSourceComesBackFromItsModules)
{
    const fs::path dir = WENDOL_KLC_HANDWRITTEN_DIR;
    KlcSource source = read_klc(file_bytes(dir / "source.klc"));
    std::stable_sort(source.keys.begin(), source.keys.end(), [](const KlcKey &a, const KlcKey &b) {
        return std::pair(a.prefix, a.scan) < std::pair(b.prefix, b.scan);
    });
    for (const char *variant : {"x86", "wow64", "x64", "arm64"}) {
        const Loaded built(dir / "built" / variant / (source.name + ".dll"));
        const KlcFromImage again = klc_from_image(built.keymap, built.file, source.name);
        EXPECT_TRUE(again.unwritten.empty()) << variant << ": " << again.unwritten.front().what;
        EXPECT_EQ(source_text(again.source), source_text(source)) << variant;
    }
}

}  // namespace
}  // namespace wendol::test
