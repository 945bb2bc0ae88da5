/*
 * scan_codes.c - scan codes (PC/AT set 1) to virtual keys.
 *
 * ausVK is indexed by the plain scan code; every one of the 128 codes has a
 * virtual key.  The E0 and E1 lists hold the codes sent after those prefixes,
 * sorted by scan code, each ending with an all-zero record.  The high byte of
 * each value carries the KBDEXT / KBDMULTIVK / KBDSPECIAL / KBDNUMPAD flags.
 */
#include "layout.h"

/* the keypad keys that double as navigation keys */
#define KP(vk) ((vk) | KBDSPECIAL | KBDNUMPAD)

const USHORT ausVK[WENDOL_BASE_SCAN_CODES] = {
    /* 0x00 */ VK_ICO_00,
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
    /* 0x36 */ VK_RSHIFT | KBDEXT,
    /* 0x37 */ VK_MULTIPLY | KBDMULTIVK,        /* keypad *; Print Screen with Alt */
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
    /* 0x45 */ VK_NUMLOCK | KBDEXT | KBDMULTIVK, /* Pause with Ctrl */
    /* 0x46 */ VK_SCROLL | KBDMULTIVK,          /* Break with Ctrl */
    /* 0x47 */ KP(VK_HOME),                     /* keypad 7 */
    /* 0x48 */ KP(VK_UP),                       /* keypad 8 */
    /* 0x49 */ KP(VK_PRIOR),                    /* keypad 9 */
    /* 0x4A */ VK_SUBTRACT,
    /* 0x4B */ KP(VK_LEFT),                     /* keypad 4 */
    /* 0x4C */ KP(VK_CLEAR),                    /* keypad 5 */
    /* 0x4D */ KP(VK_RIGHT),                    /* keypad 6 */
    /* 0x4E */ VK_ADD,
    /* 0x4F */ KP(VK_END),                      /* keypad 1 */
    /* 0x50 */ KP(VK_DOWN),                     /* keypad 2 */
    /* 0x51 */ KP(VK_NEXT),                     /* keypad 3 */
    /* 0x52 */ KP(VK_INSERT),                   /* keypad 0 */
    /* 0x53 */ KP(VK_DELETE),                   /* keypad decimal */
    /* 0x54 */ VK_SNAPSHOT,                     /* Sys Req (Alt+Print Screen) */
    /* 0x55 */ VK_PRINT,
    /* 0x56 */ VK_OEM_102,                      /* the 102nd key */
    /* 0x57 */ VK_F11,
    /* 0x58 */ VK_F12,
    /* 0x59 */ VK_CLEAR,
    /* 0x5A */ VK_OEM_WSCTRL,
    /* 0x5B */ VK_OEM_FINISH,
    /* 0x5C */ VK_OEM_JUMP,
    /* 0x5D */ VK_EREOF,
    /* 0x5E */ VK_OEM_BACKTAB,
    /* 0x5F */ VK_OEM_AUTO,                     /* types ` and ~ (char_tables.c) */
    /* 0x60 */ VK_OEM_AX,
    /* 0x61 */ VK_ICO_HELP,
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
    /* 0x70 */ VK_EXECUTE,
    /* 0x71 */ VK_OEM_RESET,
    /* 0x72 */ VK_ICO_CLEAR,
    /* 0x73 */ VK_ABNT_C1,                      /* extra key left of right Shift */
    /* 0x74 */ VK_OEM_CUSEL,
    /* 0x75 */ VK_OEM_ATTN,
    /* 0x76 */ VK_F24,
    /* 0x77 */ VK_OEM_COPY,
    /* 0x78 */ VK_OEM_ENLW,
    /* 0x79 */ VK_SELECT,
    /* 0x7A */ VK_ATTN,
    /* 0x7B */ VK_OEM_PA1,
    /* 0x7C */ VK_TAB,                          /* a second Tab */
    /* 0x7D */ VK_OEM_8,                        /* types § and ! (char_tables.c) */
    /* 0x7E */ VK_ABNT_C2,                      /* keypad-side extra key */
    /* 0x7F */ VK_OEM_PA2,
};

/* After the E0 prefix: every key here is an extended key. */
const VSC_VK aE0VscToVk[] = {
    { 0x10, VK_MEDIA_PREV_TRACK    | KBDEXT },
    { 0x19, VK_MEDIA_NEXT_TRACK    | KBDEXT },
    { 0x1C, VK_RETURN              | KBDEXT },  /* keypad Enter */
    { 0x1D, VK_RCONTROL            | KBDEXT },
    { 0x20, VK_VOLUME_MUTE         | KBDEXT },
    { 0x21, VK_LAUNCH_APP2         | KBDEXT },
    { 0x22, VK_MEDIA_PLAY_PAUSE    | KBDEXT },
    { 0x24, VK_MEDIA_STOP          | KBDEXT },
    { 0x2E, VK_VOLUME_DOWN         | KBDEXT },
    { 0x30, VK_VOLUME_UP           | KBDEXT },
    { 0x32, VK_BROWSER_HOME        | KBDEXT },
    { 0x35, VK_DIVIDE              | KBDEXT },  /* keypad / */
    { 0x37, VK_SNAPSHOT            | KBDEXT },
    { 0x38, VK_ALTGR               | KBDEXT },  /* right Alt: AltGr, not VK_RMENU */
    { 0x46, VK_CANCEL              | KBDEXT },  /* Ctrl+Break */
    { 0x47, VK_HOME                | KBDEXT },
    { 0x48, VK_UP                  | KBDEXT },
    { 0x49, VK_PRIOR               | KBDEXT },
    { 0x4B, VK_LEFT                | KBDEXT },
    { 0x4D, VK_RIGHT               | KBDEXT },
    { 0x4F, VK_END                 | KBDEXT },
    { 0x50, VK_DOWN                | KBDEXT },
    { 0x51, VK_NEXT                | KBDEXT },
    { 0x52, VK_INSERT              | KBDEXT },
    { 0x53, VK_DELETE              | KBDEXT },
    { 0x5B, VK_LWIN                | KBDEXT },
    { 0x5C, VK_RWIN                | KBDEXT },
    { 0x5D, VK_APPS                | KBDEXT },
    { 0x5F, VK_SLEEP               | KBDEXT },
    { 0x65, VK_BROWSER_SEARCH      | KBDEXT },
    { 0x66, VK_BROWSER_FAVORITES   | KBDEXT },
    { 0x67, VK_BROWSER_REFRESH     | KBDEXT },
    { 0x68, VK_BROWSER_STOP        | KBDEXT },
    { 0x69, VK_BROWSER_FORWARD     | KBDEXT },
    { 0x6A, VK_BROWSER_BACK        | KBDEXT },
    { 0x6B, VK_LAUNCH_APP1         | KBDEXT },
    { 0x6C, VK_LAUNCH_MAIL         | KBDEXT },
    { 0x6D, VK_LAUNCH_MEDIA_SELECT | KBDEXT },
    { 0,    0 }
};

/* After the E1 prefix: only Pause (E1 1D 45). */
const VSC_VK aE1VscToVk[] = {
    { 0x1D, VK_PAUSE },
    { 0,    0 }
};
