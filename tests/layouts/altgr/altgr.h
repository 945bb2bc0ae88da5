/*
 * altgr.h - a German-style layout of the tests' own: the right Alt key is
 * AltGr (KLLF_ALTGR), reaching the Ctrl+Alt columns as the platform's
 * ordinary layouts do, with letters that Caps Lock capitalises (CAPLOK),
 * capitalises on AltGr too (CAPLOKALTGR) or switches whole (SGCAPS), and
 * letters in a table with no Ctrl column.  Built with ALTGR_SHIFTLOCK=1 it
 * also sets KLLF_SHIFTLOCK: Caps Lock is a Shift lock that Shift releases.
 */
#ifndef ALTGR_H
#define ALTGR_H

#include "kbd.h"
#include "vkeys.h"
#include "test_layout.h"

#define ALTGR_SCAN_CODES 0x3B   /* up to Caps Lock */
#define NO_VK 0xFF              /* a scan code no key of this layout sends */

#if defined(ALTGR_SHIFTLOCK)
#define ALTGR_LOCALE_FLAGS (KLLF_ALTGR | KLLF_SHIFTLOCK)
#else
#define ALTGR_LOCALE_FLAGS KLLF_ALTGR
#endif

#endif /* ALTGR_H */
