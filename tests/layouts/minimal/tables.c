/*
 * tables.c - the minimal layout's keys: Esc, 1, Q, A, S, the dead acute on
 * the [ key, the space bar, both Shifts, Ctrl and Alt.  Two columns, plain
 * and Shift; Ctrl and Alt select none.
 */
#include "minimal.h"

#define CONT 0xFF     /* continuation row: never matches a key */
#define ACUTE 0x00B4  /* ´, the dead character */

const USHORT ausVK[MINIMAL_SCAN_CODES] = {
    /* 0x00 */ NO_VK, VK_ESCAPE, '1', NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x08 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x10 */ 'Q', NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x18 */ NO_VK, NO_VK, VK_OEM_4, NO_VK, NO_VK, VK_LCONTROL, 'A', 'S',
    /* 0x20 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x28 */ NO_VK, NO_VK, VK_LSHIFT, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x30 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, VK_RSHIFT | KBDEXT, NO_VK,
    /* 0x38 */ VK_LMENU, VK_SPACE,
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
    3,   /* wMaxModBits: Shift+Ctrl */
    { 0, 1, SHFT_INVALID, SHFT_INVALID }
};

static const VK_TO_WCHARS2 aVkToWch2[] = {
    /* key        attr      plain       Shift */
    { VK_ESCAPE,  0,      { 0x001B,     0x001B   } },
    { '1',        0,      { '1',        '!'      } },
    { 'Q',        CAPLOK, { 'q',        'Q'      } },
    { 'A',        CAPLOK, { 'a',        'A'      } },
    { 'S',        CAPLOK, { 's',        'S'      } },
    { VK_OEM_4,   0,      { WCH_DEAD,   '['      } },
    { CONT,       0,      { ACUTE,      WCH_NONE } },
    { VK_SPACE,   0,      { ' ',        ' '      } },
    { 0,          0,      { 0,          0        } }
};

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch2), 2, sizeof(aVkToWch2[0]) },
    { KBD_NULL,                                 0, 0 }
};

#define DEADTRANS(base, dead, composed) { MAKELONG(base, dead), composed, 0 }

const DEADKEY aDeadKey[] = {
    DEADTRANS(' ', ACUTE, ACUTE),
    DEADTRANS('a', ACUTE, 0x00E1),   /* á */
    DEADTRANS('A', ACUTE, 0x00C1),   /* Á */
    DEADTRANS('s', ACUTE, 0x015B),   /* ś */
    DEADTRANS('S', ACUTE, 0x015A),   /* Ś */
    { 0, 0, 0 }
};

const VSC_LPWSTR aKeyNames[] = {
    { 0x01, KBD_PTR(u"Esc") },
    { 0x1D, KBD_PTR(u"Ctrl") },
    { 0x2A, KBD_PTR(u"Shift") },
    { 0x36, KBD_PTR(u"Right Shift") },
    { 0x38, KBD_PTR(u"Alt") },
    { 0x39, KBD_PTR(u"Space") },
    { 0,    KBD_NULL }
};

const VSC_LPWSTR aKeyNamesExt[] = {
    { 0x1D, KBD_PTR(u"Right Ctrl") },
    { 0x38, KBD_PTR(u"Right Alt") },
    { 0,    KBD_NULL }
};

const DEADKEY_LPWSTR aKeyNamesDead[] = {
    KBD_PTR(u"\u00B4Acute"),
    KBD_NULL
};
