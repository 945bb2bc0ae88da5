/*
 * layout.h - the tables of the Wendol layout, one source file each, and the
 * root record that ties them together.
 */
#ifndef WENDOL_LAYOUT_H
#define WENDOL_LAYOUT_H

#include "kbd.h"
#include "vkeys.h"

/* scan_codes.c */
#define WENDOL_BASE_SCAN_CODES 128
extern const USHORT ausVK[WENDOL_BASE_SCAN_CODES];
extern const VSC_VK aE0VscToVk[];
extern const VSC_VK aE1VscToVk[];

/* modifiers.c */
extern const MODIFIERS CharModifiers;

/* char_tables.c: the character-table list and the small tables */
extern const VK_TO_WCHAR_TABLE aVkToWcharTable[];

/* main_keys.c: the alphanumeric block and the Greek layer */
extern const VK_TO_WCHARS5 aVkToWchMain[];

/* dead_keys.c */
extern const DEADKEY aDeadKey[];

/* key_names.c */
extern const VSC_LPWSTR aKeyNames[];
extern const VSC_LPWSTR aKeyNamesExt[];
extern const DEADKEY_LPWSTR aKeyNamesDead[];

/* descriptor.c */
extern const KBDTABLES KbdTables;

#endif /* WENDOL_LAYOUT_H */
