// The round trips through the .klc source that klc.round_trip.<layout>
// ran with the program (round_trip.cmake): every pointer form of a layout
// gives the same source; the module built from it types as the original
// does, but for exactly what the source names as not held; and every
// module built gives the source back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
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

// What each layout's source cannot hold, as the differences it makes.
struct RoundTrip {
    const char *layout;
    const char *original;   // the original module, below the build folder
    const char *unwritten;  // what klc names, in its first note's words ("" for nothing)
    std::function<bool(const TypingDifference &)> explained;
};

const std::vector<RoundTrip> &round_trips()
{
    static const std::vector<RoundTrip> trips = {
        // The right Alt key is a modifier of Wendol's own: written as AltGr,
        // so Ctrl+Alt selects the AltGr columns too.
        {"Wendol", "module/x86/Wendol.dll", "a modifier key of the layout's own", holds_ctrl_and_alt},
    };
    return trips;
}

std::string built_module(const std::string &layout, const std::string &variant)
{
    const KlcSource source = read_klc(file_bytes(kRoundTripDir / layout / "source.klc"));
    return (kRoundTripDir / layout / "built" / variant / (source.name + ".dll")).string();
}

TEST(KlcRoundTrip, EveryFormOfALayoutGivesOneSource)
{
    // The module's name comes from the file's: the sources differ in it only.
    for (const fs::directory_entry &dir : fs::directory_iterator(kRoundTripDir)) {
        const std::vector<uint8_t> first = file_bytes(dir.path() / "source.klc");
        ASSERT_FALSE(first.empty()) << dir.path();
        const std::string name = read_klc(first).name;
        size_t forms = 0;
        for (const fs::directory_entry &form : fs::directory_iterator(dir.path() / "forms")) {
            if (form.path().extension() != ".klc")
                continue;
            KlcSource source = read_klc(file_bytes(form.path()));
            source.name = name;
            EXPECT_EQ(klc_bytes(source), klc_bytes(read_klc(first))) << form.path();
            ++forms;
        }
        EXPECT_GE(forms, 4u) << dir.path();
    }
}

TEST(KlcRoundTrip, TheBuiltModuleTypesAsTheOriginalButForWhatTheSourceCannotHold)
{
    for (const fs::directory_entry &dir : fs::directory_iterator(kRoundTripDir)) {
        const std::string layout = dir.path().filename().string();
        const RoundTrip *trip = nullptr;
        for (const RoundTrip &t : round_trips())
            if (layout == t.layout)
                trip = &t;
        const fs::path original_path = trip ? fs::path(WENDOL_BUILD_DIR) / trip->original
                                            : fs::path(WENDOL_TEST_LAYOUT_DIR) / layout / "x86" / (layout + ".dll");
        const Loaded original(original_path), built(built_module(layout, "x86"));
        const std::vector<TypingDifference> differences = compare_typing(original.keymap, built.keymap);
        size_t unexplained = 0;
        for (const TypingDifference &d : differences)
            if (!trip || !trip->explained(d)) {
                if (++unexplained <= 20)
                    ADD_FAILURE() << layout << ": " << difference_text(d);
            }
        EXPECT_EQ(unexplained, 0u) << layout << ": " << differences.size() << " differences";
        const KlcFromImage written = klc_from_image(original.keymap, original.file, layout);
        if (trip && *trip->unwritten) {
            ASSERT_FALSE(written.unwritten.empty()) << layout;
            EXPECT_EQ(written.unwritten.front().what, trip->unwritten) << layout;
            EXPECT_FALSE(differences.empty()) << layout << ": the named difference shows";
        }
    }
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
            EXPECT_EQ(klc_bytes(again), klc_bytes(source)) << layout << " " << variant;
        }
    }
}

}  // namespace
}  // namespace wendol::test
