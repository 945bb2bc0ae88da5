/*
 * tables.c - the ligature layout's keys: Esc, E, F, J, the dead acute on the
 * [ key, the space bar, both Shifts, both Ctrls, both Alts and Caps Lock.
 *
 * Modifier bits Shift=1, Ctrl=2, Alt=4; the columns are plain, Shift, AltGr
 * (Ctrl+Alt) and AltGr+Shift.  Shift+J types IJ, AltGr+F ffi and
 * AltGr+Shift+E e.g.: I, "." and g come from nowhere else.
 */
#include "ligature.h"

#define CONT 0xFF     /* continuation row: never matches a key */
#define ACUTE 0x00B4  /* ´, the dead character */

const USHORT ausVK[LIGATURE_SCAN_CODES] = {
    /* 0x00 */ NO_VK, VK_ESCAPE, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x08 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x10 */ NO_VK, NO_VK, 'E', NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x18 */ NO_VK, NO_VK, VK_OEM_4, NO_VK, NO_VK, VK_LCONTROL, NO_VK, NO_VK,
    /* 0x20 */ NO_VK, 'F', NO_VK, NO_VK, 'J', NO_VK, NO_VK, NO_VK,
    /* 0x28 */ NO_VK, NO_VK, VK_LSHIFT, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x30 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, VK_RSHIFT | KBDEXT, NO_VK,
    /* 0x38 */ VK_LMENU, VK_SPACE, VK_CAPITAL,
};

const VSC_VK aE0VscToVk[] = {
    { 0x1D, VK_RCONTROL | KBDEXT },
    { 0x38, VK_RMENU    | KBDEXT },
    { 0,    0 }
};

const VSC_VK aE1VscToVk[] = {
    { 0, 0 }
};

static const VK_TO_BIT aVkToBits[] = {
    { VK_SHIFT,   KBDSHIFT },
    { VK_CONTROL, KBDCTRL  },
    { VK_MENU,    KBDALT   },
    { 0,          0        }
};

const MODIFIERS CharModifiers = {
    KBD_PTR(aVkToBits),
    7,   /* wMaxModBits: Shift+Ctrl+Alt */
    { 0, 1, SHFT_INVALID, SHFT_INVALID, SHFT_INVALID, SHFT_INVALID, 2, 3 }
};

static const VK_TO_WCHARS4 aVkToWch4[] = {
    /* key        attr      plain       Shift       AltGr       AltGr+Shift */
    { VK_ESCAPE,  0,      { 0x001B,     0x001B,     WCH_NONE,   WCH_NONE } },
    { 'E',        CAPLOK, { 'e',        'E',        WCH_NONE,   WCH_LGTR } },
    { 'F',        CAPLOK, { 'f',        'F',        WCH_LGTR,   WCH_NONE } },
    { 'J',        CAPLOK, { 'j',        WCH_LGTR,   WCH_NONE,   WCH_NONE } },
    { VK_OEM_4,   0,      { WCH_DEAD,   '[',        WCH_NONE,   WCH_NONE } },
    { CONT,       0,      { ACUTE,      WCH_NONE,   WCH_NONE,   WCH_NONE } },
    { VK_SPACE,   0,      { ' ',        ' ',        WCH_NONE,   WCH_NONE } },
    { 0,          0,      { 0,          0,          0,          0        } }
};

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch4), 4, sizeof(aVkToWch4[0]) },
    { KBD_NULL,                                 0, 0 }
};

/* Searched from the start by key and column; unused characters WCH_NONE. */
const LIGATURE4 aLigature[] = {
    { 'J', 1, { 'I', 'J', WCH_NONE, WCH_NONE } },
    { 'F', 2, { 'f', 'f', 'i',      WCH_NONE } },
    { 'E', 3, { 'e', '.', 'g',      '.'      } },
    { 0,   0, { 0,   0,   0,        0        } }
};

#define DEADTRANS(base, dead, composed) { MAKELONG(base, dead), composed, 0 }

const DEADKEY aDeadKey[] = {
    DEADTRANS(' ', ACUTE, ACUTE),
    DEADTRANS('e', ACUTE, 0x00E9),   /* é */
    DEADTRANS('E', ACUTE, 0x00C9),   /* É */
    { 0, 0, 0 }
};

const VSC_LPWSTR aKeyNames[] = {
    { 0x01, KBD_PTR(u"Esc") },
    { 0x1D, KBD_PTR(u"Ctrl") },
    { 0x2A, KBD_PTR(u"Shift") },
    { 0x36, KBD_PTR(u"Right Shift") },
    { 0x38, KBD_PTR(u"Alt") },
    { 0x39, KBD_PTR(u"Space") },
    { 0x3A, KBD_PTR(u"Caps Lock") },
    { 0,    KBD_NULL }
};

const VSC_LPWSTR aKeyNamesExt[] = {
    { 0x1D, KBD_PTR(u"Right Ctrl") },
    { 0x38, KBD_PTR(u"AltGr") },
    { 0,    KBD_NULL }
};

const DEADKEY_LPWSTR aKeyNamesDead[] = {
    KBD_PTR(u"\u00B4Acute"),
    KBD_NULL
};
