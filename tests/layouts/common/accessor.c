/*
 * accessor.c - KbdLayerDescriptor of every test layout, written in plain C
 * so that the compiler, not the tests, chooses its instructions at each
 * optimisation level.
 *
 * With TEST_LAYOUT_ACCESSOR_LOCAL the address passes through a local
 * variable, which an unoptimised build keeps in the stack frame: the
 * accessor then stores to its frame and loads back from it before returning.
 */
#include "test_layout.h"

#if defined(TEST_LAYOUT_ACCESSOR_LOCAL)
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
