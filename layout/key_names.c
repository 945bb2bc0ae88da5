/*
 * key_names.c - the names the platform shows for keys.
 *
 * aKeyNames and aKeyNamesExt name keys by scan code, plain and after the E0
 * prefix.  The platform searches them by scan code; they run in ascending
 * scan-code order and each ends with a record of scan code 0 and a null
 * pointer.  Keys that type characters (letters, digits, punctuation) have no
 * entry.  Most names are English; the right Shift, the right Ctrl and the
 * Windows keys are named in Russian.
 *
 * aKeyNamesDead names the dead keys: each name begins with the dead character
 * it names, which is what the platform matches, followed by the text.  Same
 * order as the groups of dead_keys.c; the list ends with a null pointer.
 *
 * The names are UTF-16 string literals, NUL-terminated.
 */
#include "layout.h"

const VSC_LPWSTR aKeyNames[] = {
    /* scan  name */
    { 0x01, KBD_PTR(u"Esc") },
    { 0x0E, KBD_PTR(u"Backspace") },
    { 0x0F, KBD_PTR(u"Tab") },
    { 0x1C, KBD_PTR(u"Enter") },
    { 0x1D, KBD_PTR(u"Ctrl") },
    { 0x2A, KBD_PTR(u"Shift") },
    { 0x36, KBD_PTR(u"Правый Shift") },     /* right Shift */
    { 0x37, KBD_PTR(u"Num *") },
    { 0x38, KBD_PTR(u"Alt") },
    { 0x39, KBD_PTR(u"Space") },
    { 0x3A, KBD_PTR(u"Caps Lock") },
    { 0x3B, KBD_PTR(u"F1") },
    { 0x3C, KBD_PTR(u"F2") },
    { 0x3D, KBD_PTR(u"F3") },
    { 0x3E, KBD_PTR(u"F4") },
    { 0x3F, KBD_PTR(u"F5") },
    { 0x40, KBD_PTR(u"F6") },
    { 0x41, KBD_PTR(u"F7") },
    { 0x42, KBD_PTR(u"F8") },
    { 0x43, KBD_PTR(u"F9") },
    { 0x44, KBD_PTR(u"F10") },
    { 0x45, KBD_PTR(u"Pause") },
    { 0x46, KBD_PTR(u"Scroll Lock") },
    { 0x47, KBD_PTR(u"Num 7") },
    { 0x48, KBD_PTR(u"Num 8") },
    { 0x49, KBD_PTR(u"Num 9") },
    { 0x4A, KBD_PTR(u"Num −") },            /* U+2212 minus sign */
    { 0x4B, KBD_PTR(u"Num 4") },
    { 0x4C, KBD_PTR(u"Num 5") },
    { 0x4D, KBD_PTR(u"Num 6") },
    { 0x4E, KBD_PTR(u"Num +") },
    { 0x4F, KBD_PTR(u"Num 1") },
    { 0x50, KBD_PTR(u"Num 2") },
    { 0x51, KBD_PTR(u"Num 3") },
    { 0x52, KBD_PTR(u"Num 0") },
    { 0x53, KBD_PTR(u"Num .") },
    { 0x54, KBD_PTR(u"Sys Req") },
    { 0x57, KBD_PTR(u"F11") },
    { 0x58, KBD_PTR(u"F12") },
    /*
     * F13 to F24 are named at 0x7C to 0x87, not at the scan codes that
     * scan_codes.c maps to VK_F13..VK_F24; 0x80 and up lie beyond that map.
     */
    { 0x7C, KBD_PTR(u"F13") },
    { 0x7D, KBD_PTR(u"F14") },
    { 0x7E, KBD_PTR(u"F15") },
    { 0x7F, KBD_PTR(u"F16") },
    { 0x80, KBD_PTR(u"F17") },
    { 0x81, KBD_PTR(u"F18") },
    { 0x82, KBD_PTR(u"F19") },
    { 0x83, KBD_PTR(u"F20") },
    { 0x84, KBD_PTR(u"F21") },
    { 0x85, KBD_PTR(u"F22") },
    { 0x86, KBD_PTR(u"F23") },
    { 0x87, KBD_PTR(u"F24") },
    { 0,    KBD_NULL }
};

/* keys sent with the E0 prefix */
const VSC_LPWSTR aKeyNamesExt[] = {
    /* scan  name */
    { 0x1C, KBD_PTR(u"Num Enter") },
    { 0x1D, KBD_PTR(u"Правый Ctrl") },      /* right Ctrl */
    { 0x35, KBD_PTR(u"Num /") },
    { 0x37, KBD_PTR(u"Prnt Scrn") },
    { 0x38, KBD_PTR(u"AltGr") },            /* the right Alt is VK_ALTGR here */
    { 0x45, KBD_PTR(u"Num Lock") },
    { 0x46, KBD_PTR(u"Break") },
    { 0x47, KBD_PTR(u"Home") },
    { 0x48, KBD_PTR(u"Up") },
    { 0x49, KBD_PTR(u"Page Up") },
    { 0x4B, KBD_PTR(u"Left") },
    { 0x4D, KBD_PTR(u"Right") },
    { 0x4F, KBD_PTR(u"End") },
    { 0x50, KBD_PTR(u"Down") },
    { 0x51, KBD_PTR(u"Page Down") },
    { 0x52, KBD_PTR(u"Insert") },
    { 0x53, KBD_PTR(u"Delete") },
    { 0x54, KBD_PTR(u"<00>") },
    { 0x56, KBD_PTR(u"Help") },
    { 0x5B, KBD_PTR(u"Лѣвый Windows") },    /* left Windows, spelled with yat U+0463 */
    { 0x5C, KBD_PTR(u"Правый Windows") },   /* right Windows */
    { 0x5D, KBD_PTR(u"Application") },
    { 0,    KBD_NULL }
};

/* dead character first, then the name */
const DEADKEY_LPWSTR aKeyNamesDead[] = {
    KBD_PTR(u"´Čárka"),                     /* U+00B4 acute */
    KBD_PTR(u"ˇHáček"),                     /* U+02C7 caron */
    KBD_PTR(u"°Kroužek/Sup"),               /* U+00B0 ring, superscript */
    KBD_PTR(u"¨DIAERESIS"),                 /* U+00A8 */
    KBD_PTR(u"΅DIALYTIKA TONOS"),           /* U+0385 */
    KBD_PTR(u"^CIRCUMFLEX ACCENT"),         /* U+005E */
    KBD_PTR(u"˝DOUBLE ACUTE ACCENT"),       /* U+02DD */
    KBD_PTR(u"˜TILDE"),                     /* U+02DC */
    KBD_PTR(u"ᵢSub"),                       /* U+1D62 subscript */
    KBD_PTR(u"⅟1/"),                        /* U+215F */
    KBD_PTR(u"⅔2/"),                        /* U+2154 */
    KBD_PTR(u"⅕/5"),                        /* U+2155 */
    KBD_PTR(u"⅙/6"),                        /* U+2159 */
    KBD_PTR(u"⅛/8"),                        /* U+215B */
    KBD_NULL
};
