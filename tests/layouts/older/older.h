/*
 * older.h - the minimal layout's tables under the root record of an older
 * kbd.h, which ends after pLigature: no dwType, no dwSubType.  The record
 * and the E1 map are one object, the map right behind the record, so that
 * a reader expecting the newer record takes the map's first eight bytes for
 * dwType and dwSubType.
 *
 * The accessor (common/accessor.c) knows the object as `const KBDTABLES
 * KbdTables` and only takes its address, which is the record's; this header
 * stands in for test_layout.h, whose declaration of KbdTables it would
 * contradict.
 */
#ifndef OLDER_H
#define OLDER_H

#include "kbd.h"
#include "vkeys.h"

#define MINIMAL_SCAN_CODES 0x3A   /* as in minimal.h */

extern const USHORT ausVK[];
extern const VSC_VK aE0VscToVk[];
extern const MODIFIERS CharModifiers;
extern const VK_TO_WCHAR_TABLE aVkToWcharTable[];
extern const DEADKEY aDeadKey[];
extern const VSC_LPWSTR aKeyNames[];
extern const VSC_LPWSTR aKeyNamesExt[];
extern const DEADKEY_LPWSTR aKeyNamesDead[];

/* The root record of the older header: KBDTABLES up to pLigature. */
typedef struct {
    KBD_LONG_POINTER(const MODIFIERS) pCharModifiers;
    KBD_LONG_POINTER(const VK_TO_WCHAR_TABLE) pVkToWcharTable;
    KBD_LONG_POINTER(const DEADKEY) pDeadKey;
    KBD_LONG_POINTER(const VSC_LPWSTR) pKeyNames;
    KBD_LONG_POINTER(const VSC_LPWSTR) pKeyNamesExt;
    KBD_LONG_POINTER(const DEADKEY_LPWSTR) pKeyNamesDead;
    KBD_LONG_POINTER(const USHORT) pusVSCtoVK;
    BYTE bMaxVSCtoVK;
    KBD_LONG_POINTER(const VSC_VK) pVSCtoVK_E0;
    KBD_LONG_POINTER(const VSC_VK) pVSCtoVK_E1;
    DWORD fLocaleFlags;
    BYTE nLgMax;
    BYTE cbLgEntry;
    KBD_LONG_POINTER(const LIGATURE1) pLigature;
} OLDER_KBDTABLES;

_Static_assert(sizeof(OLDER_KBDTABLES) + 8 == sizeof(KBDTABLES),
               "the older record lacks dwType and dwSubType only");

#endif /* OLDER_H */
