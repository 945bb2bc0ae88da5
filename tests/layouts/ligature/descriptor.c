/*
 * descriptor.c - the ligature layout's root record: KLLF_ALTGR and the
 * ligature list; its accessor is the test layouts' common one.
 */
#include "ligature.h"

const KBDTABLES KbdTables = {
    KBD_PTR(&CharModifiers),
    KBD_PTR(aVkToWcharTable),
    KBD_PTR(aDeadKey),
    KBD_PTR(aKeyNames),
    KBD_PTR(aKeyNamesExt),
    KBD_PTR(aKeyNamesDead),
    KBD_PTR(ausVK),
    LIGATURE_SCAN_CODES,
    KBD_PTR(aE0VscToVk),
    KBD_PTR(aE1VscToVk),
    MAKELONG(KLLF_ALTGR, KBD_VERSION),
    LIGATURE_MAX, sizeof(LIGATURE4), KBD_PTR((const LIGATURE1 *)aLigature),
    0, 0,
};
