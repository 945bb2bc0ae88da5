/*
 * chained.h - a layout of the tests' own with chained dead keys: the dead
 * acute followed by D is itself dead (DKF_DEAD), leaving the double acute
 * pending, which composes with the next letter; the double acute followed
 * by D leads back to the acute.
 */
#ifndef CHAINED_H
#define CHAINED_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define CHAINED_SCAN_CODES 0x3A   /* up to the space bar */
#define NO_VK 0xFF                /* a scan code no key of this layout sends */

#endif /* CHAINED_H */
