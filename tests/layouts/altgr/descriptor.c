/*
 * descriptor.c - the AltGr layout's root record (KLLF_ALTGR, and
 * KLLF_SHIFTLOCK in the Shift-lock build) and its accessor, written in plain
 * C so that the compiler, not the tests, chooses the accessor's instructions.
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

/*
 * With ALTGR_ACCESSOR_LOCAL the address passes through a local variable,
 * which an unoptimised build keeps in the stack frame: the accessor then
 * stores to its frame and loads back from it before returning.
 */
#if defined(ALTGR_ACCESSOR_LOCAL)
#define ROOT_RECORD(tables) const KBDTABLES *tables = &KbdTables
#else
#define ROOT_RECORD(tables) const KBDTABLES *const tables = &KbdTables
#endif

#if defined(__i386__)
/* A 32-bit layout returns the address sign-extended into EDX:EAX. */
unsigned long long __stdcall KbdLayerDescriptor(void)
{
    ROOT_RECORD(tables);
    return (unsigned long long)(long long)(long)tables;
}
#else
const KBDTABLES *KbdLayerDescriptor(void)
{
    ROOT_RECORD(tables);
    return tables;
}
#endif
