/*
 * modifiers.c - which keys are modifiers and which column each combination
 * of their bits selects.
 *
 * The right Alt key arrives as VK_ALTGR (scan_codes.c) and sets a bit of its
 * own, so the AltGr columns are reached with AltGr alone or with Shift, never
 * through Ctrl+Alt.  The generic VK_SHIFT, VK_CONTROL and VK_MENU stand for
 * both their left and right keys.
 */
#include "layout.h"

static const VK_TO_BIT aVkToBits[] = {
    { VK_SHIFT,   KBDSHIFT },
    { VK_CONTROL, KBDCTRL  },
    { VK_MENU,    KBDALT   },
    { VK_ALTGR,   KBDKANA  },   /* AltGr takes the bit kbd.h names KANA */
    { 0,          0        }
};

/*
 * Columns of every character table:
 *   0 plain, 1 Shift, 2 Ctrl, 3 AltGr, 4 AltGr+Shift.
 * Bits above 9 (AltGr with Ctrl or Alt) lie beyond wMaxModBits: no column.
 */
const MODIFIERS CharModifiers = {
    KBD_PTR(aVkToBits),
    9,                  /* wMaxModBits */
    {
        0,              /* 0  plain                  */
        1,              /* 1  Shift                  */
        2,              /* 2  Ctrl                   */
        SHFT_INVALID,   /* 3  Shift+Ctrl             */
        SHFT_INVALID,   /* 4  Alt                    */
        SHFT_INVALID,   /* 5  Shift+Alt              */
        SHFT_INVALID,   /* 6  Ctrl+Alt: not AltGr    */
        SHFT_INVALID,   /* 7  Shift+Ctrl+Alt         */
        3,              /* 8  AltGr                  */
        4,              /* 9  AltGr+Shift            */
    }
};
