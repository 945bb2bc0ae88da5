/*
 * char_tables.c - the character-table list, and the small tables of the
 * control keys, the keypad, the space bar and the extra keys.
 *
 * Every table is a run of VK_TO_WCHARSn rows: a virtual key, its attributes
 * and one cell per column, the columns being those of modifiers.c (plain,
 * Shift, Ctrl, AltGr, AltGr+Shift) cut off after n.  A cell is a UTF-16 code
 * unit, WCH_NONE (no character) or WCH_DEAD (a dead key; the row below holds
 * the dead character).  A row with SGCAPS is followed by the key's Caps Lock
 * row, virtual key 0xFF (CONT), which then supplies all its columns.  Each
 * table ends with an all-zero row.
 *
 * Control characters are named in the comments: TAB, ESC, BS, DEL, ETX, CR,
 * LF, NEL (next line), LS and PS (line and paragraph separators), NBSP and
 * NNBSP (no-break and narrow no-break space), IT (invisible times).
 */
#include "layout.h"

#define CONT 0xFF   /* continuation row: never matches a key */

/* Tab and Esc: one column, so Ctrl+Tab and Shift+Esc give nothing. */
static const VK_TO_WCHARS1 aVkToWch1[] = {
    /* key             attr      plain */
    { VK_TAB,          0,      { 0x0009 /* TAB */ } },
    { VK_ESCAPE,       0,      { 0x001B /* ESC */ } },
    { 0,               0,      { 0                } }
};

/* The extra keys of some keyboards, and two keypad keys no scan code sends. */
static const VK_TO_WCHARS2 aVkToWch2[] = {
    /* key              attr      plain             Shift */
    { VK_OEM_AUTO,      0,      { '`',              '~'              } },   /* scan code 0x5F: ` and ~ again */
    { VK_ABNT_C2,       0,      { '.',              ','              } },
    { VK_SEPARATOR,     0,      { ',',              '.'              } },
    { VK_OEM_NEC_EQUAL, 0,      { '=',              0x2260 /* ≠ */   } },
    { VK_OEM_8,         0,      { 0x00A7 /* § */,   '!'              } },
    { 0,                0,      { 0,                0                } }
};

/* Backspace, and Break (Ctrl+Pause). */
static const VK_TO_WCHARS3 aVkToWch3[] = {
    /* key             attr      plain             Shift             Ctrl */
    { VK_BACK,         0,      { 0x0008 /* BS */,  0x0008 /* BS */,  0x007F /* DEL */ } },
    { VK_CANCEL,       0,      { 0x0003 /* ETX */, 0x0003 /* ETX */, 0x0003 /* ETX */ } },
    { 0,               0,      { 0,                0,                0                } }
};

/*
 * The extra key at scan code 0x73.  Sitting before the keypad and the main
 * table, it is the key the platform reports for "/" and "?" in reverse lookup.
 */
static const VK_TO_WCHARS4 aVkToWch4[] = {
    /* key             attr      plain             Shift             Ctrl              AltGr */
    { VK_ABNT_C1,      0,      { '/',              '?',              WCH_NONE,         0x00B0 /* ° */   } },
    { 0,               0,      { 0,                0,                0,                0                } }
};

/* Enter, the keypad operators and the space bar. */
static const VK_TO_WCHARS5 aVkToWch5[] = {
    /* key             attr      plain             Shift             Ctrl              AltGr              AltGr+Shift */
    { VK_RETURN,       0,      { 0x000D /* CR */,  0x0085 /* NEL */, 0x000A /* LF */,  0x2028 /* LS */,   0x2029 /* PS */    } },
    { VK_DIVIDE,       0,      { '/',              0x00F7 /* ÷ */,   WCH_NONE,         0x2215 /* ∕ */,    0x2044 /* ⁄ */     } },   /* division slash, fraction slash */
    { VK_MULTIPLY,     0,      { '*',              0x00D7 /* × */,   WCH_NONE,         0x22C5 /* ⋅ */,    0x2062 /* IT */    } },
    { VK_SUBTRACT,     0,      { '-',              0x2212 /* − */,   WCH_NONE,         0x2013 /* – */,    0x2014 /* — */     } },
    { VK_ADD,          0,      { '+',              '+',              WCH_NONE,         0x00B1 /* ± */,    0x2213 /* ∓ */     } },
    { VK_SPACE,        0,      { ' ',              ' ',              ' ',              0x00A0 /* NBSP */, 0x202F /* NNBSP */ } },
    { 0,               0,      { 0,                0,                0,                0,                 0                  } }
};

/*
 * The keypad with Num Lock on: Roman numerals on Shift, and on AltGr
 * box-drawing pieces laid out as the keys sit:
 *
 *     7 ┌   8 ─   9 ┐
 *     4 │   5 ┼   6 │
 *     1 └   2 ─   3 ┘
 *
 * The decimal key gives the decimal comma, and with Caps Lock the point.
 * Last in the list, so reverse lookup finds the digits on the main keys.
 */
static const VK_TO_WCHARS4 aVkToWch7[] = {
    /* key             attr      plain             Shift             Ctrl              AltGr */
    { VK_DECIMAL,      SGCAPS, { ',',              0x007F /* DEL */, '.',              0x2026 /* … */   } },
    { CONT,            0,      { '.',              0x007F /* DEL */, ',',              0x2025 /* ‥ */   } },
    { VK_NUMPAD0,      0,      { '0',              0x2169 /* Ⅹ */,   WCH_NONE,         WCH_NONE         } },
    { VK_NUMPAD1,      0,      { '1',              0x2160 /* Ⅰ */,   WCH_NONE,         0x2514 /* └ */   } },
    { VK_NUMPAD2,      0,      { '2',              0x2161 /* Ⅱ */,   WCH_NONE,         0x2500 /* ─ */   } },
    { VK_NUMPAD3,      0,      { '3',              0x2162 /* Ⅲ */,   WCH_NONE,         0x2518 /* ┘ */   } },
    { VK_NUMPAD4,      0,      { '4',              0x2163 /* Ⅳ */,   WCH_NONE,         0x2502 /* │ */   } },
    { VK_NUMPAD5,      0,      { '5',              0x2164 /* Ⅴ */,   WCH_NONE,         0x253C /* ┼ */   } },
    { VK_NUMPAD6,      0,      { '6',              0x2165 /* Ⅵ */,   WCH_NONE,         0x2502 /* │ */   } },
    { VK_NUMPAD7,      0,      { '7',              0x2166 /* Ⅶ */,   WCH_NONE,         0x250C /* ┌ */   } },
    { VK_NUMPAD8,      0,      { '8',              0x2167 /* Ⅷ */,   WCH_NONE,         0x2500 /* ─ */   } },
    { VK_NUMPAD9,      0,      { '9',              0x2168 /* Ⅸ */,   WCH_NONE,         0x2510 /* ┐ */   } },
    { 0,               0,      { 0,                0,                0,                0                } }
};

/*
 * The character-table list.  The platform walks it in this order and takes
 * the first row that matches the key; its reverse lookup, from a character
 * to a key, walks the same order and stops at the first cell holding the
 * character, so the order decides which key is reported.  A column at or
 * beyond a table's count gives no character.  The list ends with a null
 * pointer.
 */
const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    /* rows                                         columns, row size */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch1),    1, sizeof(VK_TO_WCHARS1) },  /* Tab, Esc */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch2),    2, sizeof(VK_TO_WCHARS2) },  /* extra keys */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch3),    3, sizeof(VK_TO_WCHARS3) },  /* Backspace, Break */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch4),    4, sizeof(VK_TO_WCHARS4) },  /* extra key at 0x73 */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch5),    5, sizeof(VK_TO_WCHARS5) },  /* Enter, keypad operators, space */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWchMain), 5, sizeof(VK_TO_WCHARS5) },  /* alphanumeric block, main_keys.c */
    { KBD_PTR((const VK_TO_WCHARS1 *)aVkToWch7),    4, sizeof(VK_TO_WCHARS4) },  /* keypad digits and decimal key */
    { KBD_NULL,                                      0, 0                     }
};
