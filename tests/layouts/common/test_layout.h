/*
 * test_layout.h - the tables every test layout defines, by the names the
 * root record and the accessor use.  Each layout's own header includes this
 * one after kbd.h.
 */
#ifndef TEST_LAYOUT_H
#define TEST_LAYOUT_H

#include "kbd.h"

extern const USHORT ausVK[];
extern const VSC_VK aE0VscToVk[];
extern const VSC_VK aE1VscToVk[];
extern const MODIFIERS CharModifiers;
extern const VK_TO_WCHAR_TABLE aVkToWcharTable[];
extern const DEADKEY aDeadKey[];
extern const VSC_LPWSTR aKeyNames[];
extern const VSC_LPWSTR aKeyNamesExt[];
extern const DEADKEY_LPWSTR aKeyNamesDead[];
extern const KBDTABLES KbdTables;

#endif /* TEST_LAYOUT_H */
