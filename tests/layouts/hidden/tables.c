/*
 * tables.c - the hidden-column layout's keys: Esc, 1, Q, A, S, the dead
 * acute on the [ key, the space bar, both Shifts, Ctrl and Alt.  Three
 * columns: plain, Shift, and Ctrl+Alt, which the modifier map never selects
 * (see hidden.h).  Of the Ctrl+Alt cells, ! is typed by Shift+1 as well;
 * @, æ and ß are typed by nothing else.
 */
#include "hidden.h"

#define CONT 0xFF     /* continuation row: never matches a key */
#define ACUTE 0x00B4  /* ´, the dead character */

const USHORT ausVK[HIDDEN_SCAN_CODES] = {
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

#if defined(HIDDEN_BEYOND)
const MODIFIERS CharModifiers = {
    KBD_PTR(aVkToBits),
    7,   /* wMaxModBits: Shift+Ctrl+Alt */
    {
        0,              /* 0  plain           */
        1,              /* 1  Shift           */
        SHFT_INVALID,   /* 2  Ctrl            */
        SHFT_INVALID,   /* 3  Shift+Ctrl      */
        SHFT_INVALID,   /* 4  Alt             */
        SHFT_INVALID,   /* 5  Shift+Alt       */
        3,              /* 6  Ctrl+Alt: one past the table's last column */
        SHFT_INVALID,   /* 7  Shift+Ctrl+Alt  */
    }
};
#else
const MODIFIERS CharModifiers = {
    KBD_PTR(aVkToBits),
    3,   /* wMaxModBits: Shift+Ctrl, which leaves Ctrl+Alt (6) out */
    { 0, 1, SHFT_INVALID, SHFT_INVALID }
};
#endif

static const VK_TO_WCHARS3 aVkToWch3[] = {
    /* key        attr      plain       Shift     Ctrl+Alt */
    { VK_ESCAPE,  0,      { 0x001B,     0x001B,   WCH_NONE        } },
    { '1',        0,      { '1',        '!',      '!'             } },
    { 'Q',        CAPLOK, { 'q',        'Q',      '@'             } },
    { 'A',        CAPLOK, { 'a',        'A',      0x00E6 /* æ */  } },
    { 'S',        CAPLOK, { 's',        'S',      0x00DF /* ß */  } },
    { VK_OEM_4,   0,      { WCH_DEAD,   '[',      WCH_NONE        } },
    { CONT,       0,      { ACUTE,      WCH_NONE, WCH_NONE        } },
    { VK_SPACE,   0,      { ' ',        ' ',      WCH_NONE        } },
    { 0,          0,      { 0,          0,        0               } }
};

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch3), 3, sizeof(aVkToWch3[0]) },
    { KBD_NULL,                                 0, 0 }
};

#define DEADTRANS(base, dead, composed) { MAKELONG(base, dead), composed, 0 }

const DEADKEY aDeadKey[] = {
    DEADTRANS(' ', ACUTE, ACUTE),
    DEADTRANS('a', ACUTE, 0x00E1),   /* á */
    DEADTRANS('A', ACUTE, 0x00C1),   /* Á */
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
