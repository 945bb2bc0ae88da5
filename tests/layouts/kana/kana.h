/*
 * kana.h - a Japanese-style layout of the tests' own: the Kana key
 * (VK_KANA) holds the Kana modifier bit (KBDKANA) while it is down and, as
 * a lock, adds it on the KANALOK rows; a Kana column and a Kana+Shift
 * column; and the second export East Asian layouts have,
 * KbdNlsLayerDescriptor.
 *
 * Built with KANA_OYA=1 it has a second level key of its own: the Oya key
 * (VK_OEM_8 on the scan code of Tab) holds KBDROYA, and W and S have
 * columns for it, alone, with Shift and with the Kana key.
 */
#ifndef KANA_H
#define KANA_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define KANA_SCAN_CODES 0x3B   /* up to Caps Lock */
#define NO_VK 0xFF             /* a scan code no key of this layout sends */
#define VK_KANA 0x15

#if KANA_OYA
#define OYA(vk) (vk)            /* a key of the Oya variant only */
#define KANA_OYA_MOD_NUMBERS 25 /* bits 0 .. Kana+Oya */
#define KBDROYA 0x10            /* the right Oya key's bit, which kbd.h leaves out */
KBD_DEFINE_VK_TO_WCHARS(7);

/* The modifier map with room for KBDROYA's combinations. */
typedef struct {
    KBD_LONG_POINTER(const VK_TO_BIT) pVkToBit;
    WORD wMaxModBits;
    BYTE ModNumber[KANA_OYA_MOD_NUMBERS];
} KANA_OYA_MODIFIERS;
extern const KANA_OYA_MODIFIERS OyaModifiers;
#define KANA_MODIFIERS ((const MODIFIERS *)&OyaModifiers)
#else
#define OYA(vk) NO_VK
#define KANA_MODIFIERS (&CharModifiers)
#endif

#endif /* KANA_H */
