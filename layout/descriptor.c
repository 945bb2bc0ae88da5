/*
 * descriptor.c - the root record and KbdLayerDescriptor, the module's one
 * export.  The platform calls it after mapping the image and from then on
 * only reads the tables it leads to.
 */
#include "layout.h"

const KBDTABLES KbdTables = {
    /* modifier keys */
    KBD_PTR(&CharModifiers),

    /* characters, searched in list order */
    KBD_PTR(aVkToWcharTable),

    /* dead-key compositions */
    KBD_PTR(aDeadKey),

    /* key names: by scan code, by scan code after E0, dead keys */
    KBD_PTR(aKeyNames),
    KBD_PTR(aKeyNamesExt),
    KBD_PTR(aKeyNamesDead),

    /* scan codes to virtual keys */
    KBD_PTR(ausVK),
    WENDOL_BASE_SCAN_CODES,
    KBD_PTR(aE0VscToVk),
    KBD_PTR(aE1VscToVk),

    /* locale flags: no KLLF_ALTGR (the right Alt key is VK_ALTGR, not Ctrl+Alt) */
    MAKELONG(0, KBD_VERSION),

    /* no ligatures */
    0, 0, KBD_NULL,

    /* type and subtype */
    0, 0,
};

#if defined(__i386__)
/*
 * Returns the root record's address widened to 64 bits by sign extension, as
 * the platform expects of a 32-bit layout (the 64-bit return value is
 * EDX:EAX).  Written out so that the body holds the address exactly once and
 * so carries a single base relocation; compiled C materialises it twice.
 */
__attribute__((naked)) unsigned long long __stdcall KbdLayerDescriptor(void)
{
    __asm__ volatile(
        "movl %0, %%eax\n\t"   /* the root record, relocated by the loader */
        "cdq\n\t"              /* EDX = sign of EAX */
        "ret"
        :
        : "i"(&KbdTables));
}
#else
/* 64-bit targets address the record relative to the instruction: no fixup. */
const KBDTABLES *KbdLayerDescriptor(void)
{
    return &KbdTables;
}
#endif
