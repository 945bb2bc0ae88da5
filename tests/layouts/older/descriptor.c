/*
 * descriptor.c - the older layout's root record and, right behind it, its
 * E1 map: Pause (E1 1D) and the end record, the eight bytes that stand
 * where the newer record has dwType and dwSubType.
 */
#include "older.h"

const struct {
    OLDER_KBDTABLES tables;
    VSC_VK e1[2];
} KbdTables = {
    {
        KBD_PTR(&CharModifiers),
        KBD_PTR(aVkToWcharTable),
        KBD_PTR(aDeadKey),
        KBD_PTR(aKeyNames),
        KBD_PTR(aKeyNamesExt),
        KBD_PTR(aKeyNamesDead),
        KBD_PTR(ausVK),
        MINIMAL_SCAN_CODES,
        KBD_PTR(aE0VscToVk),
        KBD_PTR(KbdTables.e1),
        MAKELONG(0, KBD_VERSION),
        0, 0, KBD_NULL,
    },
    {
        { 0x1D, VK_PAUSE },
        { 0,    0 },
    },
};

_Static_assert(__builtin_offsetof(__typeof__(KbdTables), e1) == sizeof(OLDER_KBDTABLES),
               "the E1 map follows the record with no gap");
