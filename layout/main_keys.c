/*
 * main_keys.c - the alphanumeric block: the US arrangement on the plain and
 * Shift columns, accented letters and signs on the AltGr columns, and the
 * Greek layer that Caps Lock selects.
 *
 * This table sits sixth in the character-table list (char_tables.c), with
 * five columns: plain, Shift, Ctrl, AltGr, AltGr+Shift.  The platform takes
 * the first row whose virtual key matches, so the order only has to keep each
 * key's continuation rows (virtual key 0xFF, CONT below) right under it:
 *
 *   - a key with SGCAPS is followed by its Caps Lock row, from which all five
 *     columns come while Caps Lock is on.  No key has CAPLOK: Caps Lock never
 *     capitalises a Latin letter, it switches the letters to Greek;
 *   - a key with WCH_DEAD cells is followed by a row that holds, in the same
 *     columns, the dead characters that dead_keys.c composes with (WCH_NONE
 *     elsewhere);
 *   - a key with both has its Caps Lock row first, and that row is also the
 *     dead-character row of the key row; where the Caps Lock row itself has
 *     dead cells, a third row holds their dead characters.
 *
 * Dead keys: AltGr+Shift ` ring/superscript, AltGr = acute, AltGr+Shift =
 * caron, AltGr \ diaeresis, AltGr+Shift \ circumflex, AltGr+Shift on the 102nd
 * key double acute; with Caps Lock off AltGr 1 ⅟, AltGr 2 ⅔, AltGr 5 ⅕, AltGr 6
 * ⅙, AltGr+Shift 6 tilde, AltGr 7 ⅛, AltGr+Shift 0 subscript; with Caps Lock
 * on Shift W dialytika-tonos, and ; gives the tonos, Shift ; the dialytika,
 * AltGr ; the dialytika-tonos.
 *
 * The Greek layer (Caps Lock on, Shift gives the capitals):
 *
 *     ;  ς  ε  ρ  τ  υ  θ  ι  ο  π
 *      α  σ  δ  φ  γ  η  ξ  κ  λ  ´
 *       ζ  χ  ψ  ω  β  ν  μ
 *
 * The table ends with an all-zero row.
 */
#include "layout.h"

#define CONT 0xFF   /* continuation row: never matches a key */

const VK_TO_WCHARS5 aVkToWchMain[] = {
    /* key           attr      plain             Shift             Ctrl              AltGr             AltGr+Shift */

    /* Number row.  With Caps Lock the digits keep their characters; the AltGr
     * cells that are dead keys without it type their dead characters
     * directly, and the other AltGr cells give nothing.  So each Caps Lock
     * row below also serves as the dead-character row of the key row. */
    /* `~: AltGr+Shift is the ring / superscript dead key */
    { VK_OEM_3,      0,      { '`',              '~',              WCH_NONE,         0x2200 /* ∀ */,   WCH_DEAD         } },
    { CONT,          0,      { WCH_NONE,         WCH_NONE,         WCH_NONE,         WCH_NONE,         0x00B0 /* ° */   } },
    { '1',           SGCAPS, { '1',              '!',              WCH_NONE,         WCH_DEAD,         0x2260 /* ≠ */   } },
    { CONT,          0,      { '1',              '!',              WCH_NONE,         0x215F /* ⅟ */,   WCH_NONE         } },
    { '2',           SGCAPS, { '2',              '@',              0x0000 /* NUL */, WCH_DEAD,         0x00BD /* ½ */   } },
    { CONT,          0,      { '2',              '@',              0x0000 /* NUL */, 0x2154 /* ⅔ */,   WCH_NONE         } },
    { '3',           SGCAPS, { '3',              '#',              WCH_NONE,         0x00A7 /* § */,   0x2153 /* ⅓ */   } },
    { CONT,          0,      { '3',              '#',              WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { '4',           SGCAPS, { '4',              '$',              WCH_NONE,         0x20BD /* ₽ */,   0x20AC /* € */   } },
    { CONT,          0,      { '4',              '$',              WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { '5',           SGCAPS, { '5',              '%',              WCH_NONE,         WCH_DEAD,         0x2030 /* ‰ */   } },
    { CONT,          0,      { '5',              '%',              WCH_NONE,         0x2155 /* ⅕ */,   WCH_NONE         } },
    { '6',           SGCAPS, { '6',              '^',              0x001E /* RS */,  WCH_DEAD,         WCH_DEAD         } },
    { CONT,          0,      { '6',              '^',              0x001E /* RS */,  0x2159 /* ⅙ */,   0x02DC /* ˜ */   } },
    { '7',           SGCAPS, { '7',              '&',              WCH_NONE,         WCH_DEAD,         0x220F /* ∏ */   } },
    { CONT,          0,      { '7',              '&',              WCH_NONE,         0x215B /* ⅛ */,   WCH_NONE         } },
    { '8',           SGCAPS, { '8',              '*',              WCH_NONE,         0x0131 /* ı */,   0x0130 /* İ */   } },
    { CONT,          0,      { '8',              '*',              WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { '9',           SGCAPS, { '9',              '(',              WCH_NONE,         0x2264 /* ≤ */,   0x2203 /* ∃ */   } },
    { CONT,          0,      { '9',              '(',              WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { '0',           SGCAPS, { '0',              ')',              WCH_NONE,         0x2265 /* ≥ */,   WCH_DEAD         } },
    { CONT,          0,      { '0',              ')',              WCH_NONE,         WCH_NONE,         0x1D62 /* ᵢ */   } },
    { VK_OEM_MINUS,  SGCAPS, { '-',              '_',              0x001F /* US */,  0x00B1 /* ± */,   0x2014 /* — */   } },
    { CONT,          0,      { '-',              '_',              0x001F /* US */,  WCH_NONE,         WCH_NONE         } },
    /* =+: AltGr the acute dead key, AltGr+Shift the caron */
    { VK_OEM_PLUS,   0,      { '=',              '+',              WCH_NONE,         WCH_DEAD,         WCH_DEAD         } },
    { CONT,          0,      { WCH_NONE,         WCH_NONE,         WCH_NONE,         0x00B4 /* ´ */,   0x02C7 /* ˇ */   } },

    /* Top row.  Caps Lock rows: the Greek letters of a Greek keyboard. */
    /* Q: the Greek question mark is the semicolon */
    { 'Q',           SGCAPS, { 'q',              'Q',              WCH_NONE,         0x00E4 /* ä */,   0x00C4 /* Ä */   } },
    { CONT,          0,      { ';',              ':',              WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    /* W: final sigma; Shift is the dialytika-tonos dead key, its dead
     * character in the third row */
    { 'W',           SGCAPS, { 'w',              'W',              WCH_NONE,         0x015B /* ś */,   0x015A /* Ś */   } },
    { CONT,          0,      { 0x03C2 /* ς */,   WCH_DEAD,         WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { CONT,          0,      { WCH_NONE,         0x0385 /* ΅ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'E',           SGCAPS, { 'e',              'E',              WCH_NONE,         0x011B /* ě */,   0x011A /* Ě */   } },
    { CONT,          0,      { 0x03B5 /* ε */,   0x0395 /* Ε */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'R',           SGCAPS, { 'r',              'R',              WCH_NONE,         0x0159 /* ř */,   0x0158 /* Ř */   } },
    { CONT,          0,      { 0x03C1 /* ρ */,   0x03A1 /* Ρ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'T',           SGCAPS, { 't',              'T',              WCH_NONE,         0x0165 /* ť */,   0x0164 /* Ť */   } },
    { CONT,          0,      { 0x03C4 /* τ */,   0x03A4 /* Τ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'Y',           SGCAPS, { 'y',              'Y',              WCH_NONE,         0x00FD /* ý */,   0x00DD /* Ý */   } },
    { CONT,          0,      { 0x03C5 /* υ */,   0x03A5 /* Υ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'U',           SGCAPS, { 'u',              'U',              WCH_NONE,         0x016F /* ů */,   0x016E /* Ů */   } },
    { CONT,          0,      { 0x03B8 /* θ */,   0x0398 /* Θ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'I',           SGCAPS, { 'i',              'I',              WCH_NONE,         0x00ED /* í */,   0x00CD /* Í */   } },
    { CONT,          0,      { 0x03B9 /* ι */,   0x0399 /* Ι */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'O',           SGCAPS, { 'o',              'O',              WCH_NONE,         0x00F4 /* ô */,   0x00D4 /* Ô */   } },
    { CONT,          0,      { 0x03BF /* ο */,   0x039F /* Ο */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    /* P: ś and Ś as on W */
    { 'P',           SGCAPS, { 'p',              'P',              WCH_NONE,         0x015B /* ś */,   0x015A /* Ś */   } },
    { CONT,          0,      { 0x03C0 /* π */,   0x03A0 /* Π */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { VK_OEM_4,      0,      { '[',              '{',              0x001B /* ESC */, 0x017A /* ź */,   0x0179 /* Ź */   } },
    /* ć and Ć also on X */
    { VK_OEM_6,      0,      { ']',              '}',              0x001D /* GS */,  0x0107 /* ć */,   0x0106 /* Ć */   } },
    /* \|: AltGr the diaeresis dead key, AltGr+Shift the circumflex */
    { VK_OEM_5,      0,      { '\\',             '|',              0x001C /* FS */,  WCH_DEAD,         WCH_DEAD         } },
    { CONT,          0,      { WCH_NONE,         WCH_NONE,         WCH_NONE,         0x00A8 /* ¨ */,   '^'              } },

    /* Home row */
    { 'A',           SGCAPS, { 'a',              'A',              WCH_NONE,         0x00E1 /* á */,   0x00C1 /* Á */   } },
    { CONT,          0,      { 0x03B1 /* α */,   0x0391 /* Α */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'S',           SGCAPS, { 's',              'S',              WCH_NONE,         0x0161 /* š */,   0x0160 /* Š */   } },
    { CONT,          0,      { 0x03C3 /* σ */,   0x03A3 /* Σ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'D',           SGCAPS, { 'd',              'D',              WCH_NONE,         0x010F /* ď */,   0x010E /* Ď */   } },
    { CONT,          0,      { 0x03B4 /* δ */,   0x0394 /* Δ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'F',           SGCAPS, { 'f',              'F',              WCH_NONE,         0x0119 /* ę */,   0x0118 /* Ę */   } },
    { CONT,          0,      { 0x03C6 /* φ */,   0x03A6 /* Φ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'G',           SGCAPS, { 'g',              'G',              WCH_NONE,         0x021B /* ț */,   0x021A /* Ț */   } },
    { CONT,          0,      { 0x03B3 /* γ */,   0x0393 /* Γ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'H',           SGCAPS, { 'h',              'H',              WCH_NONE,         0x0105 /* ą */,   0x0104 /* Ą */   } },
    { CONT,          0,      { 0x03B7 /* η */,   0x0397 /* Η */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'J',           SGCAPS, { 'j',              'J',              WCH_NONE,         0x00F3 /* ó */,   0x00D3 /* Ó */   } },
    { CONT,          0,      { 0x03BE /* ξ */,   0x039E /* Ξ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'K',           SGCAPS, { 'k',              'K',              WCH_NONE,         0x0142 /* ł */,   0x0141 /* Ł */   } },
    { CONT,          0,      { 0x03BA /* κ */,   0x039A /* Κ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'L',           SGCAPS, { 'l',              'L',              WCH_NONE,         0x013E /* ľ */,   0x013D /* Ľ */   } },
    { CONT,          0,      { 0x03BB /* λ */,   0x039B /* Λ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    /* ;: the Greek accent key with Caps Lock: dead tonos, dialytika and
     * dialytika-tonos, their dead characters in the third row */
    { VK_OEM_1,      SGCAPS, { ';',              ':',              WCH_NONE,         0x017C /* ż */,   0x017B /* Ż */   } },
    { CONT,          0,      { WCH_DEAD,         WCH_DEAD,         WCH_NONE,         WCH_DEAD,         WCH_NONE         } },
    { CONT,          0,      { 0x00B4 /* ´ */,   0x00A8 /* ¨ */,   WCH_NONE,         0x0385 /* ΅ */,   WCH_NONE         } },
    /* '": no AltGr levels with Caps Lock */
    { VK_OEM_7,      SGCAPS, { '\'',             '"',              WCH_NONE,         0x00E9 /* é */,   0x00C9 /* É */   } },
    { CONT,          0,      { '\'',             '"',              WCH_NONE,         WCH_NONE,         WCH_NONE         } },

    /* Bottom row */
    { 'Z',           SGCAPS, { 'z',              'Z',              WCH_NONE,         0x017E /* ž */,   0x017D /* Ž */   } },
    { CONT,          0,      { 0x03B6 /* ζ */,   0x0396 /* Ζ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'X',           SGCAPS, { 'x',              'X',              WCH_NONE,         0x0107 /* ć */,   0x0106 /* Ć */   } },
    { CONT,          0,      { 0x03C7 /* χ */,   0x03A7 /* Χ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'C',           SGCAPS, { 'c',              'C',              WCH_NONE,         0x010D /* č */,   0x010C /* Č */   } },
    { CONT,          0,      { 0x03C8 /* ψ */,   0x03A8 /* Ψ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'V',           SGCAPS, { 'v',              'V',              WCH_NONE,         0x0219 /* ș */,   0x0218 /* Ș */   } },
    { CONT,          0,      { 0x03C9 /* ω */,   0x03A9 /* Ω */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'B',           SGCAPS, { 'b',              'B',              WCH_NONE,         0x00DF /* ß */,   0x1E9E /* ẞ */   } },
    { CONT,          0,      { 0x03B2 /* β */,   0x0392 /* Β */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'N',           SGCAPS, { 'n',              'N',              WCH_NONE,         0x0148 /* ň */,   0x0147 /* Ň */   } },
    { CONT,          0,      { 0x03BD /* ν */,   0x039D /* Ν */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    { 'M',           SGCAPS, { 'm',              'M',              WCH_NONE,         0x0144 /* ń */,   0x0143 /* Ń */   } },
    { CONT,          0,      { 0x03BC /* μ */,   0x039C /* Μ */,   WCH_NONE,         WCH_NONE,         WCH_NONE         } },
    /* μ and Μ without Caps Lock, for units */
    { VK_OEM_COMMA,  0,      { ',',              '<',              WCH_NONE,         0x03BC /* μ */,   0x039C /* Μ */   } },
    { VK_OEM_PERIOD, 0,      { '.',              '>',              WCH_NONE,         0x00FA /* ú */,   0x00DA /* Ú */   } },
    { VK_OEM_2,      0,      { '/',              '?',              WCH_NONE,         0x00F7 /* ÷ */,   0x2215 /* ∕ */   } },
    /* the 102nd key: backslash again, ß as on B, dead double acute */
    { VK_OEM_102,    0,      { '\\',             '|',              0x001C /* FS */,  0x00DF /* ß */,   WCH_DEAD         } },
    { CONT,          0,      { WCH_NONE,         WCH_NONE,         WCH_NONE,         WCH_NONE,         0x02DD /* ˝ */   } },

    { 0,             0,      { 0,                0,                0,                0,                0                } }
};
