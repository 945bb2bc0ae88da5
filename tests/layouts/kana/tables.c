/*
 * tables.c - the Kana layout's keys: Esc, 1, Q, A, Z, the Kana key (on the
 * scan code of the ` key), the space bar, both Shifts, Ctrl, Alt and Caps
 * Lock.
 *
 * Modifier bits Shift=1, Ctrl=2, Alt=4, Kana=8; the columns are plain,
 * Shift, Kana and Kana+Shift.  1, A and Z are KANALOK: the Kana lock gives
 * them their Kana columns.  Q is not: only the Kana key held does.
 *
 * The Oya variant (KANA_OYA) adds the Oya key on Tab's scan code, holding
 * KBDROYA=16, and W and S in a table of seven columns: plain, Shift, Kana,
 * Kana+Shift, Oya, Oya+Shift and Kana+Oya.
 */
#include "kana.h"

#define CONT 0xFF     /* continuation row: never matches a key */

const USHORT ausVK[KANA_SCAN_CODES] = {
    /* 0x00 */ NO_VK, VK_ESCAPE, '1', NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x08 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, OYA(VK_OEM_8),
    /* 0x10 */ 'Q', OYA('W'), NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x18 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, VK_LCONTROL, 'A', OYA('S'),
    /* 0x20 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x28 */ NO_VK, VK_KANA, VK_LSHIFT, NO_VK, 'Z', NO_VK, NO_VK, NO_VK,
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
    { VK_KANA,    KBDKANA  },
#if KANA_OYA
    { VK_OEM_8,   KBDROYA  },   /* the Oya key: a second level key */
#endif
    { 0,          0        }
};

#if KANA_OYA
const KANA_OYA_MODIFIERS OyaModifiers = {
    KBD_PTR(aVkToBits),
    24,   /* wMaxModBits: Kana+Oya */
    {
        0,              /* 0  plain       */
        1,              /* 1  Shift       */
        SHFT_INVALID,   /* 2  Ctrl        */
        SHFT_INVALID,   /* 3  Shift+Ctrl  */
        SHFT_INVALID,   /* 4  Alt         */
        SHFT_INVALID,   /* 5  Shift+Alt   */
        SHFT_INVALID,   /* 6  Ctrl+Alt    */
        SHFT_INVALID,   /* 7  Shift+Ctrl+Alt */
        2,              /* 8  Kana        */
        3,              /* 9  Kana+Shift  */
        SHFT_INVALID,   /* 10 .. 15: Kana with Ctrl or Alt */
        SHFT_INVALID,
        SHFT_INVALID,
        SHFT_INVALID,
        SHFT_INVALID,
        SHFT_INVALID,
        4,              /* 16 Oya         */
        5,              /* 17 Oya+Shift   */
        SHFT_INVALID,   /* 18 .. 23: Oya with Ctrl or Alt */
        SHFT_INVALID,
        SHFT_INVALID,
        SHFT_INVALID,
        SHFT_INVALID,
        SHFT_INVALID,
        6,              /* 24 Kana+Oya    */
    }
};
#else
const MODIFIERS CharModifiers = {
    KBD_PTR(aVkToBits),
    9,   /* wMaxModBits: Kana+Shift */
    {
        0,              /* 0  plain       */
        1,              /* 1  Shift       */
        SHFT_INVALID,   /* 2  Ctrl        */
        SHFT_INVALID,   /* 3  Shift+Ctrl  */
        SHFT_INVALID,   /* 4  Alt         */
        SHFT_INVALID,   /* 5  Shift+Alt   */
        SHFT_INVALID,   /* 6  Ctrl+Alt    */
        SHFT_INVALID,   /* 7  Shift+Ctrl+Alt */
        2,              /* 8  Kana        */
        3,              /* 9  Kana+Shift  */
    }
};
#endif

static const VK_TO_WCHARS4 aVkToWch4[] = {
    /* key        attr               plain     Shift     Kana              Kana+Shift */
    { VK_ESCAPE,  0,               { 0x001B,   0x001B,   0x001B,           0x001B          } },
    { '1',        KANALOK,         { '1',      '!',      0x306C /* ぬ */,  WCH_NONE        } },
    { 'Q',        CAPLOK,          { 'q',      'Q',      0x305F /* た */,  WCH_NONE        } },
    { 'A',        CAPLOK | KANALOK,{ 'a',      'A',      0x3061 /* ち */,  WCH_NONE        } },
    { 'Z',        CAPLOK | KANALOK,{ 'z',      'Z',      0x3064 /* つ */,  0x3063 /* っ */ } },
    { VK_SPACE,   0,               { ' ',      ' ',      ' ',              ' '             } },
    { 0,          0,               { 0,        0,        0,                0               } }
};

#if KANA_OYA
static const VK_TO_WCHARS7 aVkToWch7[] = {
    /* key  attr      plain  Shift  Kana              Kana+Shift  Oya               Oya+Shift         Kana+Oya */
    { 'W',  CAPLOK, { 'w',   'W',   0x3066 /* て */,  WCH_NONE,   0x03C9 /* ω */,   0x03A9 /* Ω */,   0x30C6 /* テ */ } },
    { 'S',  CAPLOK, { 's',   'S',   0x3068 /* と */,  WCH_NONE,   0x03C3 /* σ */,   0x03A3 /* Σ */,   0x30C8 /* ト */ } },
    { 0,    0,      { 0,     0,     0,                0,          0,                0,                0               } }
};
#endif

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch4), 4, sizeof(aVkToWch4[0]) },
#if KANA_OYA
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch7), 7, sizeof(aVkToWch7[0]) },
#endif
    { KBD_NULL,                                 0, 0 }
};

const DEADKEY aDeadKey[] = {
    { 0, 0, 0 }
};

const VSC_LPWSTR aKeyNames[] = {
    { 0x01, KBD_PTR(u"Esc") },
#if KANA_OYA
    { 0x0F, KBD_PTR(u"Oya") },
#endif
    { 0x1D, KBD_PTR(u"Ctrl") },
    { 0x29, KBD_PTR(u"Kana") },
    { 0x2A, KBD_PTR(u"Shift") },
    { 0x36, KBD_PTR(u"Right Shift") },
    { 0x38, KBD_PTR(u"Alt") },
    { 0x39, KBD_PTR(u"Space") },
    { 0x3A, KBD_PTR(u"Caps Lock") },
    { 0,    KBD_NULL }
};

const VSC_LPWSTR aKeyNamesExt[] = {
    { 0x1D, KBD_PTR(u"Right Ctrl") },
    { 0x38, KBD_PTR(u"Right Alt") },
    { 0,    KBD_NULL }
};

const DEADKEY_LPWSTR aKeyNamesDead[] = {
    KBD_NULL
};
