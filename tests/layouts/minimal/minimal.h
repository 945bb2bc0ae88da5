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

#define MINIMAL_SCAN_CODES 0x3A   /* up to the space bar */
#define NO_VK 0xFF                /* a scan code no key of this layout sends */

extern const USHORT ausVK[MINIMAL_SCAN_CODES];
extern const VSC_VK aE0VscToVk[];
extern const VSC_VK aE1VscToVk[];
extern const MODIFIERS CharModifiers;
extern const VK_TO_WCHAR_TABLE aVkToWcharTable[];
extern const DEADKEY aDeadKey[];
extern const VSC_LPWSTR aKeyNames[];
extern const VSC_LPWSTR aKeyNamesExt[];
extern const DEADKEY_LPWSTR aKeyNamesDead[];
extern const KBDTABLES KbdTables;

#endif /* MINIMAL_H */
