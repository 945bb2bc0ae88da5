/*
 * kana.h - a Japanese-style layout of the tests' own: the Kana key
 * (VK_KANA) holds the Kana modifier bit (KBDKANA) while it is down and, as
 * a lock, adds it on the KANALOK rows; a Kana column and a Kana+Shift
 * column; and the second export East Asian layouts have,
 * KbdNlsLayerDescriptor.
 */
#ifndef KANA_H
#define KANA_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define KANA_SCAN_CODES 0x3B   /* up to Caps Lock */
#define NO_VK 0xFF             /* a scan code no key of this layout sends */
#define VK_KANA 0x15

#endif /* KANA_H */
