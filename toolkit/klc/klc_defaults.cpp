// klc_defaults.cpp - the scan codes, modifier keys and control rows of the
// platform's default US layout: what a module built from a .klc source
// holds beneath the LAYOUT lines.
#include "klc/klc_defaults.h"

#include <array>

#include "klc/klc_source.h"
#include "tables/kbd_format.h"

namespace wendol {

namespace {

// The virtual keys by the platform's names, so that the tables below read
// as the layout creator's own do.
enum : uint16_t {
    VK_CANCEL = 0x03, VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D,
    VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
    VK_KANA = 0x15, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F,
    VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D, VK_SLEEP = 0x5F,
    VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11,
    VK_F12, VK_F13, VK_F14, VK_F15, VK_F16, VK_F17, VK_F18, VK_F19, VK_F20, VK_F21, VK_F22,
    VK_F23, VK_F24,
    VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4, VK_RMENU = 0xA5,
    VK_BROWSER_BACK = 0xA6, VK_BROWSER_FORWARD, VK_BROWSER_REFRESH, VK_BROWSER_STOP,
    VK_BROWSER_SEARCH, VK_BROWSER_FAVORITES, VK_BROWSER_HOME,
    VK_VOLUME_MUTE = 0xAD, VK_VOLUME_DOWN, VK_VOLUME_UP,
    VK_MEDIA_NEXT_TRACK = 0xB0, VK_MEDIA_PREV_TRACK, VK_MEDIA_STOP, VK_MEDIA_PLAY_PAUSE,
    VK_LAUNCH_MAIL = 0xB4, VK_LAUNCH_MEDIA_SELECT, VK_LAUNCH_APP1, VK_LAUNCH_APP2,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2,
    VK_OEM_3 = 0xC0, VK_ABNT_C1 = 0xC1, VK_ABNT_C2 = 0xC2,
    VK_OEM_4 = 0xDB, VK_OEM_5, VK_OEM_6, VK_OEM_7,
    VK_OEM_102 = 0xE2,
    VK_OEM_RESET = 0xE9, VK_OEM_JUMP, VK_OEM_PA1, VK_OEM_PA2, VK_OEM_PA3, VK_OEM_WSCTRL,
    VK_OEM_FINISH = 0xF1, VK_OEM_AUTO = 0xF3, VK_OEM_BACKTAB = 0xF5,
    VK_EREOF = 0xF9, VK_ZOOM = 0xFB,
    NONE = 0xFF,   // the scan code sends no key
};

constexpr uint16_t EXT = kKbdExt;
constexpr uint16_t MULTIVK = kKbdMultiVk;
// A key of the keypad's digit block: a navigation key that Num Lock turns
// into a digit or the decimal key.
constexpr uint16_t KP = kKbdSpecial | kKbdNumpad;

// Indexed by the scan code a key sends without a prefix.
constexpr std::array<uint16_t, 128> kBaseScanMap = {
    /* 0x00 */ NONE,
    /* 0x01 */ VK_ESCAPE,
    /* 0x02 */ '1',
    /* 0x03 */ '2',
    /* 0x04 */ '3',
    /* 0x05 */ '4',
    /* 0x06 */ '5',
    /* 0x07 */ '6',
    /* 0x08 */ '7',
    /* 0x09 */ '8',
    /* 0x0A */ '9',
    /* 0x0B */ '0',
    /* 0x0C */ VK_OEM_MINUS,
    /* 0x0D */ VK_OEM_PLUS,
    /* 0x0E */ VK_BACK,
    /* 0x0F */ VK_TAB,
    /* 0x10 */ 'Q',
    /* 0x11 */ 'W',
    /* 0x12 */ 'E',
    /* 0x13 */ 'R',
    /* 0x14 */ 'T',
    /* 0x15 */ 'Y',
    /* 0x16 */ 'U',
    /* 0x17 */ 'I',
    /* 0x18 */ 'O',
    /* 0x19 */ 'P',
    /* 0x1A */ VK_OEM_4,
    /* 0x1B */ VK_OEM_6,
    /* 0x1C */ VK_RETURN,
    /* 0x1D */ VK_LCONTROL,
    /* 0x1E */ 'A',
    /* 0x1F */ 'S',
    /* 0x20 */ 'D',
    /* 0x21 */ 'F',
    /* 0x22 */ 'G',
    /* 0x23 */ 'H',
    /* 0x24 */ 'J',
    /* 0x25 */ 'K',
    /* 0x26 */ 'L',
    /* 0x27 */ VK_OEM_1,
    /* 0x28 */ VK_OEM_7,
    /* 0x29 */ VK_OEM_3,
    /* 0x2A */ VK_LSHIFT,
    /* 0x2B */ VK_OEM_5,
    /* 0x2C */ 'Z',
    /* 0x2D */ 'X',
    /* 0x2E */ 'C',
    /* 0x2F */ 'V',
    /* 0x30 */ 'B',
    /* 0x31 */ 'N',
    /* 0x32 */ 'M',
    /* 0x33 */ VK_OEM_COMMA,
    /* 0x34 */ VK_OEM_PERIOD,
    /* 0x35 */ VK_OEM_2,
    /* 0x36 */ VK_RSHIFT | EXT,
    /* 0x37 */ VK_MULTIPLY | MULTIVK,        // keypad *; Print Screen with Alt
    /* 0x38 */ VK_LMENU,
    /* 0x39 */ VK_SPACE,
    /* 0x3A */ VK_CAPITAL,
    /* 0x3B */ VK_F1,
    /* 0x3C */ VK_F2,
    /* 0x3D */ VK_F3,
    /* 0x3E */ VK_F4,
    /* 0x3F */ VK_F5,
    /* 0x40 */ VK_F6,
    /* 0x41 */ VK_F7,
    /* 0x42 */ VK_F8,
    /* 0x43 */ VK_F9,
    /* 0x44 */ VK_F10,
    /* 0x45 */ VK_NUMLOCK | EXT | MULTIVK,  // Pause with Ctrl
    /* 0x46 */ VK_SCROLL | MULTIVK,         // Break with Ctrl
    /* 0x47 */ VK_HOME | KP,                // keypad 7
    /* 0x48 */ VK_UP | KP,                  // keypad 8
    /* 0x49 */ VK_PRIOR | KP,               // keypad 9
    /* 0x4A */ VK_SUBTRACT,
    /* 0x4B */ VK_LEFT | KP,                // keypad 4
    /* 0x4C */ VK_CLEAR | KP,               // keypad 5
    /* 0x4D */ VK_RIGHT | KP,               // keypad 6
    /* 0x4E */ VK_ADD,
    /* 0x4F */ VK_END | KP,                 // keypad 1
    /* 0x50 */ VK_DOWN | KP,                // keypad 2
    /* 0x51 */ VK_NEXT | KP,                // keypad 3
    /* 0x52 */ VK_INSERT | KP,              // keypad 0
    /* 0x53 */ VK_DELETE | KP,              // keypad decimal
    /* 0x54 */ VK_SNAPSHOT,                 // Sys Req (Alt+Print Screen)
    /* 0x55 */ NONE,
    /* 0x56 */ VK_OEM_102,                  // the 102nd key, between left Shift and Z
    /* 0x57 */ VK_F11,
    /* 0x58 */ VK_F12,
    /* 0x59 */ VK_CLEAR,
    /* 0x5A */ VK_OEM_WSCTRL,
    /* 0x5B */ VK_OEM_FINISH,
    /* 0x5C */ VK_OEM_JUMP,
    /* 0x5D */ VK_EREOF,
    /* 0x5E */ VK_OEM_BACKTAB,
    /* 0x5F */ VK_OEM_AUTO,
    /* 0x60 */ NONE,
    /* 0x61 */ NONE,
    /* 0x62 */ VK_ZOOM,
    /* 0x63 */ VK_HELP,
    /* 0x64 */ VK_F13,
    /* 0x65 */ VK_F14,
    /* 0x66 */ VK_F15,
    /* 0x67 */ VK_F16,
    /* 0x68 */ VK_F17,
    /* 0x69 */ VK_F18,
    /* 0x6A */ VK_F19,
    /* 0x6B */ VK_F20,
    /* 0x6C */ VK_F21,
    /* 0x6D */ VK_F22,
    /* 0x6E */ VK_F23,
    /* 0x6F */ VK_OEM_PA3,
    /* 0x70 */ NONE,
    /* 0x71 */ VK_OEM_RESET,
    /* 0x72 */ NONE,
    /* 0x73 */ VK_ABNT_C1,                  // Brazilian /? left of right Shift
    /* 0x74 */ NONE,
    /* 0x75 */ NONE,
    /* 0x76 */ VK_F24,
    /* 0x77 */ NONE,
    /* 0x78 */ NONE,
    /* 0x79 */ NONE,
    /* 0x7A */ NONE,
    /* 0x7B */ VK_OEM_PA1,
    /* 0x7C */ VK_TAB,                      // a second Tab
    /* 0x7D */ NONE,
    /* 0x7E */ VK_ABNT_C2,                  // Brazilian keypad .
    /* 0x7F */ VK_OEM_PA2,
};

// After the E0 prefix: every key is an extended key.
constexpr ScanCodeEntry kE0ScanMap[] = {
    {0x10, VK_MEDIA_PREV_TRACK    | EXT},
    {0x19, VK_MEDIA_NEXT_TRACK    | EXT},
    {0x1C, VK_RETURN              | EXT},   // keypad Enter
    {0x1D, VK_RCONTROL            | EXT},
    {0x20, VK_VOLUME_MUTE         | EXT},
    {0x21, VK_LAUNCH_APP2         | EXT},
    {0x22, VK_MEDIA_PLAY_PAUSE    | EXT},
    {0x24, VK_MEDIA_STOP          | EXT},
    {0x2E, VK_VOLUME_DOWN         | EXT},
    {0x30, VK_VOLUME_UP           | EXT},
    {0x32, VK_BROWSER_HOME        | EXT},
    {0x35, VK_DIVIDE              | EXT},   // keypad /
    {0x37, VK_SNAPSHOT            | EXT},
    {0x38, VK_RMENU               | EXT},   // right Alt; AltGr only where KLLF_ALTGR says so
    {0x46, VK_CANCEL              | EXT},   // Break (Ctrl+Pause)
    {0x47, VK_HOME                | EXT},
    {0x48, VK_UP                  | EXT},
    {0x49, VK_PRIOR               | EXT},
    {0x4B, VK_LEFT                | EXT},
    {0x4D, VK_RIGHT               | EXT},
    {0x4F, VK_END                 | EXT},
    {0x50, VK_DOWN                | EXT},
    {0x51, VK_NEXT                | EXT},
    {0x52, VK_INSERT              | EXT},
    {0x53, VK_DELETE              | EXT},
    {0x5B, VK_LWIN                | EXT},
    {0x5C, VK_RWIN                | EXT},
    {0x5D, VK_APPS                | EXT},
    {0x5F, VK_SLEEP               | EXT},
    {0x65, VK_BROWSER_SEARCH      | EXT},
    {0x66, VK_BROWSER_FAVORITES   | EXT},
    {0x67, VK_BROWSER_REFRESH     | EXT},
    {0x68, VK_BROWSER_STOP        | EXT},
    {0x69, VK_BROWSER_FORWARD     | EXT},
    {0x6A, VK_BROWSER_BACK        | EXT},
    {0x6B, VK_LAUNCH_APP1         | EXT},
    {0x6C, VK_LAUNCH_MAIL         | EXT},
    {0x6D, VK_LAUNCH_MEDIA_SELECT | EXT},
};

// After the E1 prefix: Pause, which sends E1 1D 45.
constexpr ScanCodeEntry kE1ScanMap[] = {
    {0x1D, VK_PAUSE},
};

// The rows of keys that type control characters and the keypad's, for the
// keys no LAYOUT line gives.  The keypad digits type only unshifted: Shift
// gives the navigation key back.
constexpr KlcImpliedRow kImpliedRows[] = {
    // key           plain   Shift   Ctrl
    {VK_TAB,         u'\t',  u'\t',  0},
    {VK_ADD,         u'+',   u'+',   0},
    {VK_DIVIDE,      u'/',   u'/',   0},
    {VK_MULTIPLY,    u'*',   u'*',   0},
    {VK_SUBTRACT,    u'-',   u'-',   0},
    {VK_BACK,        0x08,   0x08,   0x7F},    // BS, BS, DEL
    {VK_ESCAPE,      0x1B,   0x1B,   0x1B},    // ESC
    {VK_RETURN,      u'\r',  u'\r',  u'\n'},   // CR, CR, LF
    {VK_CANCEL,      0x03,   0x03,   0x03},    // ETX: Ctrl+Break
    {VK_NUMPAD0 + 0, u'0',   0,      0},
    {VK_NUMPAD0 + 1, u'1',   0,      0},
    {VK_NUMPAD0 + 2, u'2',   0,      0},
    {VK_NUMPAD0 + 3, u'3',   0,      0},
    {VK_NUMPAD0 + 4, u'4',   0,      0},
    {VK_NUMPAD0 + 5, u'5',   0,      0},
    {VK_NUMPAD0 + 6, u'6',   0,      0},
    {VK_NUMPAD0 + 7, u'7',   0,      0},
    {VK_NUMPAD0 + 8, u'8',   0,      0},
    {VK_NUMPAD0 + 9, u'9',   0,      0},
};

// The generic keys stand for both their left and right keys.
constexpr KlcModifierKey kModifierKeys[] = {
    {VK_SHIFT,   kKlcShift},
    {VK_CONTROL, kKlcCtrl},
    {VK_MENU,    kKlcAlt},
    {VK_KANA,    kKlcKana},   // only where a SHIFTSTATE line holds the Kana bit
};

}  // namespace

std::span<const uint16_t> klc_base_scan_map() { return kBaseScanMap; }
std::span<const ScanCodeEntry> klc_e0_scan_map() { return kE0ScanMap; }
std::span<const ScanCodeEntry> klc_e1_scan_map() { return kE1ScanMap; }
std::span<const KlcImpliedRow> klc_implied_rows() { return kImpliedRows; }
std::span<const KlcModifierKey> klc_modifier_keys() { return kModifierKeys; }

}  // namespace wendol
