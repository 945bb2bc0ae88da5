/*
 * tables.c - the chained layout's keys: Esc, O, U, A, D, the dead acute on
 * the [ key, the space bar, both Shifts, Ctrl and Alt.  Two columns, plain
 * and Shift.
 *
 * ´ then D leaves the double acute ˝ pending (DKF_DEAD); ˝ then O, U or the
 * space bar gives ő, ű or ˝, which no key types otherwise: three strokes.
 * ˝ then D leaves the acute pending again, a chain that loops.
 */
#include "chained.h"

#define CONT 0xFF            /* continuation row: never matches a key */
#define ACUTE 0x00B4         /* ´, the dead character of the [ key */
#define DOUBLE_ACUTE 0x02DD  /* ˝, the dead character ´ then D leaves */

const USHORT ausVK[CHAINED_SCAN_CODES] = {
    /* 0x00 */ NO_VK, VK_ESCAPE, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x08 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x10 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, 'U', NO_VK,
    /* 0x18 */ 'O', NO_VK, VK_OEM_4, NO_VK, NO_VK, VK_LCONTROL, 'A', NO_VK,
    /* 0x20 */ 'D', NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
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
    { 'O',        CAPLOK, { 'o',        'O'      } },
    { 'U',        CAPLOK, { 'u',        'U'      } },
    { 'A',        CAPLOK, { 'a',        'A'      } },
    { 'D',        CAPLOK, { 'd',        'D'      } },
    { VK_OEM_4,   0,      { WCH_DEAD,   '['      } },
    { CONT,       0,      { ACUTE,      WCH_NONE } },
    { VK_SPACE,   0,      { ' ',        ' '      } },
    { 0,          0,      { 0,          0        } }
};

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch2), 2, sizeof(aVkToWch2[0]) },
    { KBD_NULL,                                 0, 0 }
};

#define DEADTRANS(base, dead, composed, flags) { MAKELONG(base, dead), composed, flags }

const DEADKEY aDeadKey[] = {
    DEADTRANS(' ', ACUTE, ACUTE, 0),
    DEADTRANS('a', ACUTE, 0x00E1, 0),                   /* á */
    DEADTRANS('o', ACUTE, 0x00F3, 0),                   /* ó */
    DEADTRANS('d', ACUTE, DOUBLE_ACUTE, DKF_DEAD),      /* ´ d: dead ˝ */
    DEADTRANS(' ', DOUBLE_ACUTE, DOUBLE_ACUTE, 0),
    DEADTRANS('o', DOUBLE_ACUTE, 0x0151, 0),            /* ő */
    DEADTRANS('O', DOUBLE_ACUTE, 0x0150, 0),            /* Ő */
    DEADTRANS('u', DOUBLE_ACUTE, 0x0171, 0),            /* ű */
    DEADTRANS('d', DOUBLE_ACUTE, ACUTE, DKF_DEAD),      /* ˝ d: dead ´ again */
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
