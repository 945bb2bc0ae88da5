// test_klc_text.cpp - .klc sources read from their bytes and written back:
// a small source of the tests' own that uses every section, the writer's
// output read again, and sources that are wrong in one place each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "klc/klc_text.h"

namespace wendol::test {
namespace {

enum class Frame { Bom, NoBom, OddByte };

// The UTF-16LE bytes of a source written with LF lines here, CRLF there.
std::vector<uint8_t> klc_file(std::u16string_view text, Frame frame = Frame::Bom, bool crlf = true)
{
    std::vector<uint8_t> bytes;
    if (frame != Frame::NoBom)
        bytes = {0xFF, 0xFE};
    for (char16_t unit : text) {
        if (unit == u'\n' && crlf)
            bytes.insert(bytes.end(), {'\r', 0});
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    if (frame == Frame::OddByte)
        bytes.push_back('x');
    return bytes;
}

constexpr std::u16string_view kSmall =
    u"// A layout of the tests' own: three columns, a dead key, a ligature.\n"
    u"KBD\tsmall\t\"Small \u00e9 layout\"\n"
    u"\n"
    u"COPYRIGHT\t\"(c) the tests // not a comment\"\n"
    u"COMPANY   Wendol\n"
    u"LOCALENAME\t\"en-US\"\n"
    u"LOCALEID\t\"0000040c\"\n"
    u"VERSION\t1.2\n"
    u"ATTRIBUTES\n"
    u"ALTGR\n"
    u"SHIFTLOCK ; Shift releases Caps Lock\n"
    u"SHIFTSTATE\n"
    u"0\t//Column 0\n"
    u"1\t//Column 1 : Shft\n"
    u"6\t;Column 2 : Ctrl Alt\n"
    u"LAYOUT\n"
    u"  ; a comment line in the layout\n"
    u"02\t1\t\t0\t1\t0021\t-1\t// the digit, and ! as a code\n"
    u"10\tQ\t\t1\tq\tQ\t%%\n"
    u"1e\tA\t\tSGCap\ta\tA\t00e1\n"
    u"-1\t-1\t\t0\tA\n"
    u"28\tOEM_7\t\t0\t0027@\t\"\t;@\n"
    u"e035\tDIVIDE\t0\t/\t/\t-1\n"
    u"39 SPACE 0 0020 0020 00a0\n"
    u"DEADKEY\t0027\n"
    u"a\t00e1\t// a -> \u00e1\n"
    u"0020\t0027\n"
    u"DEADKEY\t~\n"
    u"LIGATURE\n"
    u"Q\t2\t0066\ti\n"
    u"KEYNAME\n"
    u"01\tEsc\n"
    u"39\t\"Space bar\"\n"
    u"KEYNAME_EXT\n"
    u"1c\t\"Num Enter\"\n"
    u"KEYNAME_DEAD\n"
    u"0027\t\"ACUTE ACCENT\"\n"
    u"~\tTILDE\n"
    u"DESCRIPTIONS\n"
    u"0409\t Small layout ; with a semicolon  // and a comment\n"
    u"LANGUAGENAMES\n"
    u"040c\tFran\u00e7ais\n"
    u"ENDKBD\n"
    u"anything after the end is not read\n";

KlcCell ch(char16_t c) { return {KlcCell::Kind::Character, c}; }
KlcCell dead(char16_t c) { return {KlcCell::Kind::Dead, c}; }
constexpr KlcCell kNone{KlcCell::Kind::None, 0};
constexpr KlcCell kLigature{KlcCell::Kind::Ligature, 0};

KlcSource small_source()
{
    KlcSource s;
    s.name = "small";
    s.description = u"Small \u00e9 layout";
    s.copyright = u"(c) the tests // not a comment";
    s.company = u"Wendol";
    s.locale_name = "en-US";
    s.locale_id = 0x40C;
    s.version_major = 1;
    s.version_minor = 2;
    s.altgr = s.shift_lock = true;
    s.shift_states = {0, kKlcShift, kKlcCtrl | kKlcAlt};
    s.keys = {
        {0, 0x02, '1', 0, false, {ch('1'), ch('!'), kNone}, {}},
        {0, 0x10, 'Q', 1, false, {ch('q'), ch('Q'), kLigature}, {}},
        {0, 0x1E, 'A', 0, true, {ch('a'), ch('A'), ch(0xE1)}, {ch('A')}},
        {0, 0x28, 0xDE, 0, false, {dead('\''), ch('"'), dead(';')}, {}},
        {0xE0, 0x35, 0x6F, 0, false, {ch('/'), ch('/'), kNone}, {}},
        {0, 0x39, 0x20, 0, false, {ch(' '), ch(' '), ch(0xA0)}, {}},
    };
    s.dead_keys = {{'\'', {{'a', 0xE1}, {' ', '\''}}}, {'~', {}}};
    s.ligatures = {{'Q', 2, u"fi"}};
    s.key_names = {{0x01, u"Esc"}, {0x39, u"Space bar"}};
    s.key_names_ext = {{0x1C, u"Num Enter"}};
    s.dead_key_names = {{'\'', u"ACUTE ACCENT"}, {'~', u"TILDE"}};
    s.descriptions = {{0x409, u"Small layout ; with a semicolon"}};
    s.language_names = {{0x40C, u"Fran\u00e7ais"}};
    return s;
}

TEST(KlcText, ASourceOfEverySectionReads)
{
    EXPECT_EQ(read_klc(klc_file(kSmall)), small_source());
    EXPECT_EQ(read_klc(klc_file(kSmall, Frame::Bom, false)), small_source());   // LF lines
    const KlcSource read = read_klc(klc_file(kSmall));
    EXPECT_EQ(read.keys[2].line, 20);
    EXPECT_EQ(read.keys[5].line, 24);
}

TEST(KlcText, WhatIsWrittenReadsBackAndWritesTheSame)
{
    KlcSource made = small_source();
    made.notes = {"made by the tests: U+1D11E \xF0\x9D\x84\x9E", "two\nlines\r\n"};
    made.description = u"clef \U0001D11E";
    made.keys.push_back({0xE1, 0x1D, 0x13, 5, false, {ch(0x9), ch('%'), dead('@')}, {}});   // PAUSE
    made.keys.push_back({0, 0x29, 0xC0, 4, false, {ch(0xD83D), ch(';'), ch('-')}, {}});   // OEM_3
    made.language_names.push_back({0x419, u""});
    made.key_names.insert(made.key_names.end(), {{0x1D, u";Ctrl"}, {0x2A, u""}});

    for (const KlcSource &source : {small_source(), made}) {
        const std::vector<uint8_t> bytes = klc_bytes(source);
        KlcSource expected = source;
        expected.notes.clear();
        const KlcSource read = read_klc(bytes);
        EXPECT_EQ(read, expected);
        EXPECT_EQ(klc_bytes(read), klc_bytes(expected));
    }
    // Letters, digits and punctuation as themselves, the rest as codes.
    const std::vector<uint8_t> bytes = klc_bytes(made);
    std::u16string units;
    for (size_t at = 2; at + 1 < bytes.size(); at += 2)
        units += static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8);
    const std::string text = utf8(units);
    for (const char *line : {
             "// made by the tests: U+1D11E \xF0\x9D\x84\x9E\r\n// two\r\n// lines\r\n\r\nKBD",
             "KBD\tsmall\t\"clef \xF0\x9D\x84\x9E\"\r\n",
             "6\t//Column 2 : Ctrl Alt\r\n",
             "//SC\tVK_\t\tCap\t0\t1\t2\r\n",
             "02\t1\t\t0\t1\t!\t-1\t// 1, !, <none>\r\n",
             "10\tQ\t\t1\tq\tQ\t%%\t// q, Q, fi\r\n",
             "1e\tA\t\tSGCap\ta\tA\t00e1\t// a, A, \xC3\xA1\r\n-1\t-1\t\t0\tA\t// A\r\n",
             "28\tOEM_7\t\t0\t0027@\t0022\t003b@\t// ' (dead), \", ; (dead)\r\n",
             "e11d\tPAUSE\t\t5\t0009\t0025\t0040@\t// <TAB>, %, @ (dead)\r\n",
             "29\tOEM_3\t\t4\td83d\t003b\t-\t// <U+D83D>, ;, -\r\n",
             "DEADKEY\t0027\r\n\r\n0061\t00e1\t// a -> \xC3\xA1\r\n",
             "Q\t\t2\t0066\t0069\t// fi\r\n",
             "1d\t\";Ctrl\"\r\n2a\t\"\"\r\n",
             "0027\t\"ACUTE ACCENT\"\r\n007e\t\"TILDE\"\r\n",
             "0419\t\r\n",
         })
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    EXPECT_TRUE(text.ends_with("ENDKBD\r\n"));

    // What the format cannot say is refused, not written to read back otherwise.
    void (*const unwritable[])(KlcSource &) = {
        [](KlcSource &s) { s.name = "two words"; },
        [](KlcSource &s) { s.description = u"a \"quoted\" word"; },
        [](KlcSource &s) { s.shift_states.push_back(0); },
        [](KlcSource &s) { s.keys[0].cells.pop_back(); },
        [](KlcSource &s) { s.keys[0].caps = 2; },
        [](KlcSource &s) { s.keys[0].vk = 0x0A; },   // no name
        [](KlcSource &s) { s.keys[2].caps_cells.clear(); },
        [](KlcSource &s) { s.keys[2].caps_cells[0] = kLigature; },
        [](KlcSource &s) { s.ligatures.clear(); },
        [](KlcSource &s) { s.dead_keys.push_back(s.dead_keys[0]); },
        [](KlcSource &s) { s.descriptions[0].text = u"a // b"; },
        [](KlcSource &s) { s.key_names[0].name = u"\xD800"; },
    };
    for (size_t i = 0; i < std::size(unwritable); ++i) {
        KlcSource s = small_source();
        unwritable[i](s);
        EXPECT_THROW((void)klc_bytes(s), Error) << "model " << i;
    }
}

// The start of a source that reads: lines 1 to 5.
const std::u16string kHead = u"KBD\tt\t\"t\"\nSHIFTSTATE\n0\n1\nLAYOUT\n";

struct Malformed {
    std::u16string text;
    int line;
    const char *fragment;   // of the message
    Frame frame = Frame::Bom;
};

TEST(KlcText, EveryMistakeIsRefusedAtItsLine)
{
    const Malformed sources[] = {
        {kHead + u"ENDKBD\n", 1, "expected a UTF-16LE byte-order mark, found the bytes 4B 00", Frame::NoBom},
        {kHead + u"ENDKBD\n", 7, "even number of bytes", Frame::OddByte},
        {u"", 1, "expected KBD, found the end of the file"},
        {u"// a comment\nSHIFTSTATE\n0\n", 2, "expected KBD"},
        {u"KBD t\nKBD u\n", 2, "one KBD line (the first is line 1)"},
        {u"KBD t \"open\n", 1, "closing double quote"},
        {u"KBD t\nLOCALEID \"409\"\n", 2, "eight hex digits"},
        {u"KBD t\nSHIFTSTATE\n0\n16\n", 4, "expected a shift state from 0 to 15, found \"16\""},
        {u"KBD t\nSHIFTSTATE\n0\n0\n", 4, "each shift state once"},
        {u"KBD t\nSHIFTSTATE\nLAYOUT\n", 3, "a shift state (0 to 15)"},
        {u"KBD t\nLAYOUT\n", 2, "a SHIFTSTATE section before LAYOUT"},
        {u"KBD t\nATTRIBUTES\nCAPSLOCK\n", 3, "an attribute"},
        {kHead + u"02\t1\t0\t1\n", 6,
         "expected a cell for column 1 (shift state 1), found the end of the line"},
        {kHead + u"02\t1\t0\t1\t!\t@\n", 6, "the end of the line after 2 cells"},
        {kHead + u"02\tNOSUCH\t0\t1\t!\n", 6, "virtual key"},
        {kHead + u"02\t123\t0\t1\t!\n", 6, "virtual key"},
        {kHead + u"02\t1\t2\t1\t!\n", 6, "a Cap value: 0, 1, 4, 5 or SGCap"},
        {kHead + u"02\t1\t0\t031\t!\n", 6, "a cell for column 0"},
        {kHead + u"02\t1\t0\t\U0001D11E\t!\n", 6, "a cell for column 0"},
        {kHead + u"2\t1\t0\t1\t!\n", 6, "a scan code"},
        {kHead + u"e21c\t1\t0\t1\t!\n", 6, "a scan code"},
        {kHead + u"80\t1\t0\t1\t!\n", 6, "below 80"},
        {kHead + u"02\t1\tSGCap\t1\t!\n03\t2\t0\t2\t@\nENDKBD\n", 7, "Caps Lock row of the SGCap key on line 6"},
        {kHead + u"02\t1\tSGCap\t1\t!\nENDKBD\n", 7, "Caps Lock row"},
        {kHead + u"-1\t-1\t0\t1\nENDKBD\n", 6, "-1 only under an SGCap key"},
        {kHead + u"02\t1\t0\t%%\t!\nENDKBD\n", 6, "a LIGATURE line for the %% cell in column 0"},
        {kHead + u"02\t1\t0\t1\t!\nLIGATURE\n1\t1\tf\ti\nENDKBD\n", 8, "a %% cell in column 1"},
        {kHead + u"02\t1\t0\t%%\t!\nLIGATURE\n1\t5\tf\ti\nENDKBD\n", 8, "a column below 2"},
        {kHead + u"02\t1\t0\t%%\t!\nLIGATURE\n1\t0\t0 1 2 3 4 5 6 7 8 9 a b c d e f g\nENDKBD\n", 8, "at most 16"},
        {kHead + u"02\t1\t0\t1\t!\n02\t2\t0\t2\t@\n", 7, "already on line 6"},
        {kHead + u"02\t1\t0\t1\t!\n03\t1\t0\t2\t@\n", 7, "each virtual key once"},
        {kHead + u"ENDKBD\n" + u"DEADKEY 0027\nDEADKEY '\n", 0, nullptr},   // after ENDKBD: not read
        {u"KBD t\nDEADKEY 0027\nDEADKEY '\n", 3, "one DEADKEY section for U+0027"},
        {u"KBD t\nDEADKEY 0027\na\n", 3, "the composed character"},
        {u"KBD t\nlayout\n", 2, "a keyword such as LAYOUT"},
        {kHead + u"02\t1\t0\t1\t!\n", 6, "expected ENDKBD, found the end of the file"},
        {kHead + u"02\t1\t0\t\xD800\t!\n", 6, "the unpaired surrogate U+D800"},
        {kHead + u"02\t1\t0\t\x0001\t!\n", 6, "a printable character, found U+0001 SOH"},
        {kHead + u"02\t1\t0\t1\t!\r\r\n", 6, "U+000D CR"},
        {kHead + std::u16string(5000, u'x') + u"\n", 6, "a line of at most 4096 characters"},
    };
    for (const Malformed &m : sources) {
        const std::vector<uint8_t> bytes = klc_file(m.text, m.frame);
        if (!m.fragment) {
            EXPECT_NO_THROW((void)read_klc(bytes)) << utf8(m.text);
            continue;
        }
        try {
            (void)read_klc(bytes);
            ADD_FAILURE() << "read: " << utf8(m.text);
        } catch (const Error &e) {
            EXPECT_EQ(e.context(), "line " + std::to_string(m.line)) << e.what();
            EXPECT_NE(std::string(e.what()).find(m.fragment), std::string::npos) << e.what();
        }
    }
    // The reader refuses a source larger than any layout's before reading it.
    EXPECT_THROW((void)read_klc(std::vector<uint8_t>(size_t{2} << 20, 0x20)), Error);
}

}  // namespace
}  // namespace wendol::test
