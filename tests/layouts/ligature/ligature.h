/*
 * ligature.h - a layout of the tests' own whose keys type ligatures: two
 * characters on a Shift column, three on an AltGr column, four on the
 * AltGr+Shift column (nLgMax 4).  The right Alt key is AltGr (KLLF_ALTGR).
 */
#ifndef LIGATURE_H
#define LIGATURE_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define LIGATURE_SCAN_CODES 0x3B   /* up to Caps Lock */
#define LIGATURE_MAX 4             /* nLgMax */
#define NO_VK 0xFF                 /* a scan code no key of this layout sends */

/* A ligature entry of LIGATURE_MAX characters, as kbd.h's LIGATURE1 with a
 * longer wch[]. */
typedef struct {
    BYTE  VirtualKey;
    WORD  ModificationNumber;
    WCHAR wch[LIGATURE_MAX];
} LIGATURE4;
_Static_assert(sizeof(LIGATURE4) == 4 + 2 * LIGATURE_MAX, "LIGATURE4");

extern const LIGATURE4 aLigature[];

#endif /* LIGATURE_H */
