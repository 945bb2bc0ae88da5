/*
 * descriptor.c - the Kana layout's root record, and its NLS accessor: the
 * platform asks East Asian layouts for a second record of NLS key handling
 * through KbdNlsLayerDescriptor.  This one has none to give (a null
 * pointer); the toolkit never calls it.  KbdLayerDescriptor is the test
 * layouts' common one, common/accessor.c.
 */
#include "kana.h"

const KBDTABLES KbdTables = {
    KBD_PTR(KANA_MODIFIERS),
    KBD_PTR(aVkToWcharTable),
    KBD_PTR(aDeadKey),
    KBD_PTR(aKeyNames),
    KBD_PTR(aKeyNamesExt),
    KBD_PTR(aKeyNamesDead),
    KBD_PTR(ausVK),
    KANA_SCAN_CODES,
    KBD_PTR(aE0VscToVk),
    KBD_PTR(aE1VscToVk),
    MAKELONG(0, KBD_VERSION),
    0, 0, KBD_NULL,
    0, 0,
};

#if defined(__i386__)
unsigned long long __stdcall KbdNlsLayerDescriptor(void)
{
    return 0;
}
#else
const void *KbdNlsLayerDescriptor(void)
{
    return 0;
}
#endif
