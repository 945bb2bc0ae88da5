/*
 * kbd.h - the keyboard-layout structures the Windows input subsystem reads
 * (KBDTABLES, version 1), written for this layout.
 *
 * Every pointer the platform reads from the tables is a "far pointer".  Its
 * width depends on the image being built:
 *
 *   KBD_POINTER_FORM_WOW64   32-bit x86 image whose table pointers are 64-bit
 *                            fields (the form a 32-bit layout takes on 64-bit
 *                            Windows): a 32-bit address, 8-byte aligned,
 *                            followed by a zero high word.  Only the low word
 *                            carries a base relocation, so a null pointer
 *                            stays 64 zero bits wherever the image loads.
 *   KBD_POINTER_FORM_NATIVE  the native pointer of the target: 32 bits on a
 *                            32-bit Windows, 64 bits on x64 and Arm64.
 *
 * The default is the WOW64 form; the build selects the other explicitly.
 * Tables always write a far pointer as KBD_PTR(x), or KBD_NULL.
 */
#ifndef WENDOL_KBD_H
#define WENDOL_KBD_H

#if !defined(KBD_POINTER_FORM_NATIVE) && !defined(KBD_POINTER_FORM_WOW64)
#define KBD_POINTER_FORM_WOW64 1
#endif

typedef unsigned char  BYTE;
typedef unsigned short USHORT;
typedef unsigned short WORD;
typedef unsigned int   DWORD;
typedef unsigned short WCHAR;   /* one UTF-16 code unit */

#if defined(KBD_POINTER_FORM_WOW64)
#if !defined(__i386__)
#error "the 64-bit pointer fields are for 32-bit x86 images only"
#endif
#define KBD_LONG_POINTER(T) struct { _Alignas(8) T *p; DWORD high; }
#define KBD_POINTER_SIZE 8
#define KBD_PTR(x) { (x), 0 }
#define KBD_NULL   { 0, 0 }
#else
#define KBD_LONG_POINTER(T) struct { T *p; }
#define KBD_POINTER_SIZE __SIZEOF_POINTER__
#define KBD_PTR(x) { (x) }
#define KBD_NULL   { 0 }
#endif

#define KBD_VERSION 1
#define KLLF_ALTGR      0x0001
#define KLLF_SHIFTLOCK  0x0002
#define KLLF_LRM_RLM    0x0004
#define MAKELONG(lo, hi) ((DWORD)(((WORD)(lo)) | (((DWORD)((WORD)(hi))) << 16)))

/* Flag bits in the high byte of a scan-code map entry. */
#define KBDEXT      0x0100   /* extended key (sent with the E0 prefix) */
#define KBDMULTIVK  0x0200   /* another virtual key with certain modifiers */
#define KBDSPECIAL  0x0400   /* the platform's special handling */
#define KBDNUMPAD   0x0800   /* keypad key that Num Lock changes */

/* Modifier bits. */
#define KBDSHIFT    0x01
#define KBDCTRL     0x02
#define KBDALT      0x04
#define KBDKANA     0x08     /* this layout uses it for AltGr */
#define SHFT_INVALID 0x0F

/* Row attributes. */
#define CAPLOK      0x01
#define SGCAPS      0x02
#define CAPLOKALTGR 0x04
#define KANALOK     0x08
#define GRPSELTAP   0x80

/* Cell markers. */
#define WCH_NONE    0xF000
#define WCH_DEAD    0xF001
#define WCH_LGTR    0xF002

/* Dead-key record flags. */
#define DKF_DEAD    0x0001

/* Scan-code map entry after the E0 or E1 prefix. */
typedef struct {
    BYTE   Vsc;
    USHORT Vk;
} VSC_VK;

/* A modifier key and the bit it sets. */
typedef struct {
    BYTE Vk;
    BYTE ModBits;
} VK_TO_BIT;

/*
 * The modifier map: ModNumber[bits] is the column, for bits 0..wMaxModBits.
 * MODIFIERS holds this layout's ten; a layout with another wMaxModBits
 * declares MODIFIERSn with n = wMaxModBits + 1 entries and points to it as
 * a MODIFIERS, whose fields sit at the same offsets.
 */
#define KBD_MOD_NUMBERS 10
#define KBD_DEFINE_MODIFIERS(n) \
    typedef struct { \
        KBD_LONG_POINTER(const VK_TO_BIT) pVkToBit; \
        WORD wMaxModBits; \
        BYTE ModNumber[n]; \
    } MODIFIERS##n
typedef struct {
    KBD_LONG_POINTER(const VK_TO_BIT) pVkToBit;
    WORD wMaxModBits;
    BYTE ModNumber[KBD_MOD_NUMBERS];
} MODIFIERS;

/* Character rows with n columns: virtual key, attributes, n cells. */
#define KBD_DEFINE_VK_TO_WCHARS(n) \
    typedef struct { BYTE VirtualKey; BYTE Attributes; WCHAR wch[n]; } VK_TO_WCHARS##n
KBD_DEFINE_VK_TO_WCHARS(1);
KBD_DEFINE_VK_TO_WCHARS(2);
KBD_DEFINE_VK_TO_WCHARS(3);
KBD_DEFINE_VK_TO_WCHARS(4);
KBD_DEFINE_VK_TO_WCHARS(5);

/* An entry of the character-table list. */
typedef struct {
    KBD_LONG_POINTER(const VK_TO_WCHARS1) pVkToWchars;
    BYTE nModifications;
    BYTE cbSize;
} VK_TO_WCHAR_TABLE;

/* A dead-key composition: dwBoth = MAKELONG(base, dead character). */
typedef struct {
    DWORD  dwBoth;
    WCHAR  wchComposed;
    USHORT uFlags;
} DEADKEY;

/* A key name by scan code. */
typedef struct {
    BYTE vsc;
    KBD_LONG_POINTER(const WCHAR) pwsz;
} VSC_LPWSTR;

/* A far pointer to a dead-key name. */
typedef KBD_LONG_POINTER(const WCHAR) DEADKEY_LPWSTR;

/*
 * Ligature rows of n characters: virtual key, column, the characters padded
 * with WCH_NONE.  This layout has none; LIGATURE1 is the root record's type.
 */
#define KBD_DEFINE_LIGATURE(n) \
    typedef struct { BYTE VirtualKey; WORD ModificationNumber; WCHAR wch[n]; } LIGATURE##n
KBD_DEFINE_LIGATURE(1);

/* The root record, kbd.h version 1 (ending with dwType and dwSubType). */
typedef struct {
    /* modifier keys */
    KBD_LONG_POINTER(const MODIFIERS) pCharModifiers;
    /* characters */
    KBD_LONG_POINTER(const VK_TO_WCHAR_TABLE) pVkToWcharTable;
    /* dead keys */
    KBD_LONG_POINTER(const DEADKEY) pDeadKey;
    /* key names */
    KBD_LONG_POINTER(const VSC_LPWSTR) pKeyNames;
    KBD_LONG_POINTER(const VSC_LPWSTR) pKeyNamesExt;
    KBD_LONG_POINTER(const DEADKEY_LPWSTR) pKeyNamesDead;
    /* scan codes to virtual keys */
    KBD_LONG_POINTER(const USHORT) pusVSCtoVK;
    BYTE bMaxVSCtoVK;
    KBD_LONG_POINTER(const VSC_VK) pVSCtoVK_E0;
    KBD_LONG_POINTER(const VSC_VK) pVSCtoVK_E1;
    /* locale flags */
    DWORD fLocaleFlags;
    /* ligatures */
    BYTE nLgMax;
    BYTE cbLgEntry;
    KBD_LONG_POINTER(const LIGATURE1) pLigature;
    /* type and subtype */
    DWORD dwType;
    DWORD dwSubType;
} KBDTABLES;

/* Sizes and offsets, pinned: the platform reads these bytes, not our names. */
#define KBD_OFFSET(type, field) __builtin_offsetof(type, field)
_Static_assert(sizeof(VSC_VK) == 4, "VSC_VK");
_Static_assert(KBD_OFFSET(VSC_VK, Vk) == 2, "VSC_VK.Vk");
_Static_assert(sizeof(VK_TO_BIT) == 2, "VK_TO_BIT");
_Static_assert(KBD_OFFSET(VK_TO_BIT, ModBits) == 1, "VK_TO_BIT.ModBits");
_Static_assert(sizeof(VK_TO_WCHARS1) == 4, "VK_TO_WCHARS1");
_Static_assert(sizeof(VK_TO_WCHARS2) == 6, "VK_TO_WCHARS2");
_Static_assert(sizeof(VK_TO_WCHARS3) == 8, "VK_TO_WCHARS3");
_Static_assert(sizeof(VK_TO_WCHARS4) == 10, "VK_TO_WCHARS4");
_Static_assert(sizeof(VK_TO_WCHARS5) == 12, "VK_TO_WCHARS5");
_Static_assert(KBD_OFFSET(VK_TO_WCHARS5, Attributes) == 1, "VK_TO_WCHARS.Attributes");
_Static_assert(KBD_OFFSET(VK_TO_WCHARS5, wch) == 2, "VK_TO_WCHARS.wch");
_Static_assert(sizeof(DEADKEY) == 8, "DEADKEY");
_Static_assert(KBD_OFFSET(DEADKEY, wchComposed) == 4, "DEADKEY.wchComposed");
_Static_assert(KBD_OFFSET(DEADKEY, uFlags) == 6, "DEADKEY.uFlags");
_Static_assert(sizeof(LIGATURE1) == 6, "LIGATURE1");

#if KBD_POINTER_SIZE == 8
_Static_assert(sizeof(DEADKEY_LPWSTR) == 8, "far pointer");
_Static_assert(_Alignof(DEADKEY_LPWSTR) == 8, "far pointer alignment");
_Static_assert(sizeof(MODIFIERS) == 24, "MODIFIERS");
_Static_assert(KBD_OFFSET(MODIFIERS, wMaxModBits) == 8, "MODIFIERS.wMaxModBits");
_Static_assert(KBD_OFFSET(MODIFIERS, ModNumber) == 10, "MODIFIERS.ModNumber");
_Static_assert(sizeof(VK_TO_WCHAR_TABLE) == 16, "VK_TO_WCHAR_TABLE");
_Static_assert(KBD_OFFSET(VK_TO_WCHAR_TABLE, nModifications) == 8, "VK_TO_WCHAR_TABLE.nModifications");
_Static_assert(KBD_OFFSET(VK_TO_WCHAR_TABLE, cbSize) == 9, "VK_TO_WCHAR_TABLE.cbSize");
_Static_assert(sizeof(VSC_LPWSTR) == 16, "VSC_LPWSTR");
_Static_assert(KBD_OFFSET(VSC_LPWSTR, pwsz) == 8, "VSC_LPWSTR.pwsz");
_Static_assert(sizeof(KBDTABLES) == 104, "KBDTABLES");
_Static_assert(KBD_OFFSET(KBDTABLES, pCharModifiers) == 0x00, "pCharModifiers");
_Static_assert(KBD_OFFSET(KBDTABLES, pVkToWcharTable) == 0x08, "pVkToWcharTable");
_Static_assert(KBD_OFFSET(KBDTABLES, pDeadKey) == 0x10, "pDeadKey");
_Static_assert(KBD_OFFSET(KBDTABLES, pKeyNames) == 0x18, "pKeyNames");
_Static_assert(KBD_OFFSET(KBDTABLES, pKeyNamesExt) == 0x20, "pKeyNamesExt");
_Static_assert(KBD_OFFSET(KBDTABLES, pKeyNamesDead) == 0x28, "pKeyNamesDead");
_Static_assert(KBD_OFFSET(KBDTABLES, pusVSCtoVK) == 0x30, "pusVSCtoVK");
_Static_assert(KBD_OFFSET(KBDTABLES, bMaxVSCtoVK) == 0x38, "bMaxVSCtoVK");
_Static_assert(KBD_OFFSET(KBDTABLES, pVSCtoVK_E0) == 0x40, "pVSCtoVK_E0");
_Static_assert(KBD_OFFSET(KBDTABLES, pVSCtoVK_E1) == 0x48, "pVSCtoVK_E1");
_Static_assert(KBD_OFFSET(KBDTABLES, fLocaleFlags) == 0x50, "fLocaleFlags");
_Static_assert(KBD_OFFSET(KBDTABLES, nLgMax) == 0x54, "nLgMax");
_Static_assert(KBD_OFFSET(KBDTABLES, cbLgEntry) == 0x55, "cbLgEntry");
_Static_assert(KBD_OFFSET(KBDTABLES, pLigature) == 0x58, "pLigature");
_Static_assert(KBD_OFFSET(KBDTABLES, dwType) == 0x60, "dwType");
_Static_assert(KBD_OFFSET(KBDTABLES, dwSubType) == 0x64, "dwSubType");
#else
_Static_assert(sizeof(DEADKEY_LPWSTR) == 4, "far pointer");
_Static_assert(sizeof(MODIFIERS) == 16, "MODIFIERS");
_Static_assert(KBD_OFFSET(MODIFIERS, wMaxModBits) == 4, "MODIFIERS.wMaxModBits");
_Static_assert(KBD_OFFSET(MODIFIERS, ModNumber) == 6, "MODIFIERS.ModNumber");
_Static_assert(sizeof(VK_TO_WCHAR_TABLE) == 8, "VK_TO_WCHAR_TABLE");
_Static_assert(KBD_OFFSET(VK_TO_WCHAR_TABLE, nModifications) == 4, "VK_TO_WCHAR_TABLE.nModifications");
_Static_assert(KBD_OFFSET(VK_TO_WCHAR_TABLE, cbSize) == 5, "VK_TO_WCHAR_TABLE.cbSize");
_Static_assert(sizeof(VSC_LPWSTR) == 8, "VSC_LPWSTR");
_Static_assert(KBD_OFFSET(VSC_LPWSTR, pwsz) == 4, "VSC_LPWSTR.pwsz");
_Static_assert(sizeof(KBDTABLES) == 60, "KBDTABLES");
_Static_assert(KBD_OFFSET(KBDTABLES, pusVSCtoVK) == 0x18, "pusVSCtoVK");
_Static_assert(KBD_OFFSET(KBDTABLES, bMaxVSCtoVK) == 0x1C, "bMaxVSCtoVK");
_Static_assert(KBD_OFFSET(KBDTABLES, pVSCtoVK_E0) == 0x20, "pVSCtoVK_E0");
_Static_assert(KBD_OFFSET(KBDTABLES, fLocaleFlags) == 0x28, "fLocaleFlags");
_Static_assert(KBD_OFFSET(KBDTABLES, pLigature) == 0x30, "pLigature");
_Static_assert(KBD_OFFSET(KBDTABLES, dwSubType) == 0x38, "dwSubType");
#endif

#endif /* WENDOL_KBD_H */
