/*
 * hidden.h - a layout of the tests' own whose modifier map leaves a column
 * of its character table unselected, so that no key state types what only
 * that column holds.  Two builds from one source:
 *
 *   default            wMaxModBits stops at Shift+Ctrl (3), below Ctrl+Alt,
 *                      the bits that would select the AltGr column;
 *   HIDDEN_BEYOND=1    wMaxModBits reaches Shift+Ctrl+Alt, but Ctrl+Alt's
 *                      modification number is 3, a column the table lacks.
 */
#ifndef HIDDEN_H
#define HIDDEN_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define HIDDEN_SCAN_CODES 0x3A   /* up to the space bar */
#define NO_VK 0xFF               /* a scan code no key of this layout sends */

#endif /* HIDDEN_H */
