/*
 * descriptor.c - the hidden-column layout's root record (its accessor is the
 * test layouts' common one, common/accessor.c).
 */
#include "hidden.h"

const KBDTABLES KbdTables = {
    KBD_PTR(&CharModifiers),
    KBD_PTR(aVkToWcharTable),
    KBD_PTR(aDeadKey),
    KBD_PTR(aKeyNames),
    KBD_PTR(aKeyNamesExt),
    KBD_PTR(aKeyNamesDead),
    KBD_PTR(ausVK),
    HIDDEN_SCAN_CODES,
    KBD_PTR(aE0VscToVk),
    KBD_PTR(aE1VscToVk),
    MAKELONG(0, KBD_VERSION),
    0, 0, KBD_NULL,
    0, 0,
};
