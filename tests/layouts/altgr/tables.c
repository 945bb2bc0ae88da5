/*
 * tables.c - the AltGr layout's keys: Esc, 2, Q, E, A, S, M, the dead acute
 * on the ] key, C, Y, Z, the space bar, both Shifts, both Ctrls, both Alts
 * and Caps Lock, on the US places.
 *
 * Modifier bits Shift=1, Ctrl=2, Alt=4; the columns are plain, Shift, Ctrl,
 * Ctrl+Alt (AltGr, which the platform holds as Ctrl+Alt under KLLF_ALTGR)
 * and Shift+Ctrl+Alt.  Alt alone, Shift+Ctrl and Shift+Alt select none.
 */
#include "altgr.h"

#define CONT 0xFF     /* continuation row: never matches a key */
#define ACUTE 0x00B4  /* ´, the dead character */

const USHORT ausVK[ALTGR_SCAN_CODES] = {
    /* 0x00 */ NO_VK, VK_ESCAPE, NO_VK, '2', NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x08 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x10 */ 'Q', NO_VK, 'E', NO_VK, NO_VK, 'Y', NO_VK, NO_VK,
    /* 0x18 */ NO_VK, NO_VK, NO_VK, VK_OEM_6, NO_VK, VK_LCONTROL, 'A', 'S',
    /* 0x20 */ NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK, NO_VK,
    /* 0x28 */ NO_VK, NO_VK, VK_LSHIFT, NO_VK, 'Z', NO_VK, 'C', NO_VK,
    /* 0x30 */ NO_VK, NO_VK, 'M', NO_VK, NO_VK, NO_VK, VK_RSHIFT | KBDEXT, NO_VK,
    /* 0x38 */ VK_LMENU, VK_SPACE, VK_CAPITAL,
};

/* The right Alt key sends VK_RMENU, as on every ordinary layout; the
 * platform adds the left Ctrl because of KLLF_ALTGR. */
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
    {
        0,              /* 0  plain           */
        1,              /* 1  Shift           */
        2,              /* 2  Ctrl            */
        SHFT_INVALID,   /* 3  Shift+Ctrl      */
        SHFT_INVALID,   /* 4  Alt             */
        SHFT_INVALID,   /* 5  Shift+Alt       */
        3,              /* 6  Ctrl+Alt: AltGr */
        4,              /* 7  Shift+Ctrl+Alt  */
    }
};

/* Letters with AltGr cells.  Q and E capitalise with Caps Lock only off
 * AltGr; A capitalises on AltGr too; S has a Caps Lock row of its own that
 * swaps its cases everywhere; M keeps a Ctrl cell of its own (LF, where the
 * platform would give CR) so that the table can be told from the platform. */
static const VK_TO_WCHARS5 aVkToWch5[] = {
    /* key  attr                  plain     Shift     Ctrl      AltGr               AltGr+Shift */
    { '2',  0,                    { '2',    '"',      WCH_NONE, 0x00B2 /* ² */,     WCH_NONE         } },
    { 'Q',  CAPLOK,               { 'q',    'Q',      WCH_NONE, '@',                WCH_NONE         } },
    { 'E',  CAPLOK,               { 'e',    'E',      WCH_NONE, 0x20AC /* € */,     WCH_NONE         } },
    { 'A',  CAPLOK | CAPLOKALTGR, { 'a',    'A',      WCH_NONE, 0x00E6 /* æ */,     0x00C6 /* Æ */   } },
    { 'S',  SGCAPS,               { 's',    'S',      WCH_NONE, 0x00DF /* ß */,     0x1E9E /* ẞ */   } },
    { CONT, 0,                    { 'S',    's',      WCH_NONE, 0x1E9E /* ẞ */,     0x00DF /* ß */   } },
    { 'M',  CAPLOK,               { 'm',    'M',      0x000A,   0x00B5 /* µ */,     WCH_NONE         } },
    { 0,    0,                    { 0,      0,        0,        0,                  0                } }
};

/* Keys with no Ctrl column at all, as a plain US layout keeps its letters. */
static const VK_TO_WCHARS2 aVkToWch2[] = {
    /* key        attr      plain       Shift */
    { VK_ESCAPE,  0,      { 0x001B,     0x001B   } },
    { 'C',        CAPLOK, { 'c',        'C'      } },
    { 'Y',        CAPLOK, { 'y',        'Y'      } },
    { 'Z',        CAPLOK, { 'z',        'Z'      } },
    { VK_OEM_6,   0,      { WCH_DEAD,   '`'      } },
    { CONT,       0,      { ACUTE,      WCH_NONE } },
    { VK_SPACE,   0,      { ' ',        ' '      } },
    { 0,          0,      { 0,          0        } }
};

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch5), 5, sizeof(aVkToWch5[0]) },
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch2), 2, sizeof(aVkToWch2[0]) },
    { KBD_NULL,                                 0, 0 }
};

#define DEADTRANS(base, dead, composed) { MAKELONG(base, dead), composed, 0 }

const DEADKEY aDeadKey[] = {
    DEADTRANS(' ', ACUTE, ACUTE),
    DEADTRANS('a', ACUTE, 0x00E1),   /* á */
    DEADTRANS('A', ACUTE, 0x00C1),   /* Á */
    DEADTRANS('e', ACUTE, 0x00E9),   /* é */
    DEADTRANS('E', ACUTE, 0x00C9),   /* É */
    { 0, 0, 0 }
};

const VSC_LPWSTR aKeyNames[] = {
    { 0x01, KBD_PTR(u"Esc") },
    { 0x1D, KBD_PTR(u"Strg") },
    { 0x2A, KBD_PTR(u"Umschalt") },
    { 0x36, KBD_PTR(u"Umschalt rechts") },
    { 0x38, KBD_PTR(u"Alt") },
    { 0x39, KBD_PTR(u"Leertaste") },
    { 0x3A, KBD_PTR(u"Feststell") },
    { 0,    KBD_NULL }
};

const VSC_LPWSTR aKeyNamesExt[] = {
    { 0x1D, KBD_PTR(u"Strg rechts") },
    { 0x38, KBD_PTR(u"Alt Gr") },
    { 0,    KBD_NULL }
};

const DEADKEY_LPWSTR aKeyNamesDead[] = {
    KBD_PTR(u"\u00B4Akut"),
    KBD_NULL
};
