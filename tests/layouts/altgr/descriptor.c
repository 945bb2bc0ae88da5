/*
 * descriptor.c - the AltGr layout's root record (KLLF_ALTGR, and
 * KLLF_SHIFTLOCK in the Shift-lock build); its accessor is the test layouts'
 * common one, common/accessor.c.
 */
#include "altgr.h"

const KBDTABLES KbdTables = {
    KBD_PTR(&CharModifiers),
    KBD_PTR(aVkToWcharTable),
    KBD_PTR(aDeadKey),
    KBD_PTR(aKeyNames),
    KBD_PTR(aKeyNamesExt),
    KBD_PTR(aKeyNamesDead),
    KBD_PTR(ausVK),
    ALTGR_SCAN_CODES,
    KBD_PTR(aE0VscToVk),
    KBD_PTR(aE1VscToVk),
    MAKELONG(ALTGR_LOCALE_FLAGS, KBD_VERSION),
    0, 0, KBD_NULL,
    0, 0,
};
