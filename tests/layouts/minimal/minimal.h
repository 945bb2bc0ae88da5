/*
 * minimal.h - a small layout of the tests' own: a handful of keys with every
 * kind of table the platform reads (scan codes, modifiers, one character
 * table with a dead key, compositions, key names), built like the module so
 * that the toolkit reads what the compiler writes for the accessor.
 */
#ifndef MINIMAL_H
#define MINIMAL_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define MINIMAL_SCAN_CODES 0x3A   /* up to the space bar */
#define NO_VK 0xFF                /* a scan code no key of this layout sends */

#endif /* MINIMAL_H */
