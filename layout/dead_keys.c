/*
 * dead_keys.c - what a dead key makes of the character typed after it.
 *
 * When a dead key has been pressed the platform holds its dead character (the
 * cell under the WCH_DEAD in main_keys.c) and, on the next character,
 * searches this table from the start for the record whose dwBoth is
 * MAKELONG(that character, the dead character); if it finds one it delivers
 * wchComposed.  The records are unordered; each pair occurs once, and the
 * table ends with an all-zero record.  uFlags is 0 throughout: no result is
 * itself a dead key.
 *
 * The groups run in the order of the dead-key names (key_names.c), and each
 * opens with the space bar, which types the dead character itself.  The
 * acute and diaeresis double as the Greek tonos and dialytika; ring and
 * subscript give superscript and subscript forms; the five fraction keys
 * give vulgar fractions in lowest terms.
 */
#include "layout.h"

/* the dead characters */
#define ACUTE           0x00B4   /* ´ */
#define CARON           0x02C7   /* ˇ */
#define RING            0x00B0   /* ° */
#define DIAERESIS       0x00A8   /* ¨ */
#define DIALYTIKA_TONOS 0x0385   /* ΅ */
#define CIRCUMFLEX      0x005E   /* ^ */
#define DOUBLE_ACUTE    0x02DD   /* ˝ */
#define TILDE           0x02DC   /* ˜ */
#define SUBSCRIPT       0x1D62   /* ᵢ */
#define ONE_OVER        0x215F   /* ⅟ */
#define TWO_OVER        0x2154   /* ⅔ */
#define FIFTHS          0x2155   /* ⅕ */
#define SIXTHS          0x2159   /* ⅙ */
#define EIGHTHS         0x215B   /* ⅛ */

/* the base typed after the dead key, the dead character, the result */
#define DEADTRANS(base, dead, composed) { MAKELONG(base, dead), composed, 0 }

const DEADKEY aDeadKey[] = {
    /*        base             dead             composed */

    /* ´ acute, also the Greek tonos — AltGr =, and ; with Caps Lock — 49 entries */
    DEADTRANS(' ',             ACUTE,           0x00B4 /* ´ */),
    DEADTRANS('A',             ACUTE,           0x00C1 /* Á */),
    DEADTRANS('C',             ACUTE,           0x0106 /* Ć */),
    DEADTRANS('E',             ACUTE,           0x00C9 /* É */),
    DEADTRANS('G',             ACUTE,           0x01F4 /* Ǵ */),
    DEADTRANS('I',             ACUTE,           0x00CD /* Í */),
    DEADTRANS('K',             ACUTE,           0x1E30 /* Ḱ */),
    DEADTRANS('L',             ACUTE,           0x0139 /* Ĺ */),
    DEADTRANS('M',             ACUTE,           0x1E3E /* Ḿ */),
    DEADTRANS('N',             ACUTE,           0x0143 /* Ń */),
    DEADTRANS('P',             ACUTE,           0x1E54 /* Ṕ */),
    DEADTRANS('O',             ACUTE,           0x00D3 /* Ó */),
    DEADTRANS('R',             ACUTE,           0x0154 /* Ŕ */),
    DEADTRANS('S',             ACUTE,           0x015A /* Ś */),
    DEADTRANS('U',             ACUTE,           0x00DA /* Ú */),
    DEADTRANS('W',             ACUTE,           0x1E82 /* Ẃ */),
    DEADTRANS('Y',             ACUTE,           0x00DD /* Ý */),
    DEADTRANS('Z',             ACUTE,           0x0179 /* Ź */),
    DEADTRANS('a',             ACUTE,           0x00E1 /* á */),
    DEADTRANS('c',             ACUTE,           0x0107 /* ć */),
    DEADTRANS('e',             ACUTE,           0x00E9 /* é */),
    DEADTRANS('g',             ACUTE,           0x01F5 /* ǵ */),
    DEADTRANS('i',             ACUTE,           0x00ED /* í */),
    DEADTRANS('k',             ACUTE,           0x1E31 /* ḱ */),
    DEADTRANS('l',             ACUTE,           0x013A /* ĺ */),
    DEADTRANS('m',             ACUTE,           0x1E3F /* ḿ */),
    DEADTRANS('n',             ACUTE,           0x0144 /* ń */),
    DEADTRANS('o',             ACUTE,           0x00F3 /* ó */),
    DEADTRANS('p',             ACUTE,           0x1E55 /* ṕ */),
    DEADTRANS('r',             ACUTE,           0x0155 /* ŕ */),
    DEADTRANS('s',             ACUTE,           0x015B /* ś */),
    DEADTRANS('u',             ACUTE,           0x00FA /* ú */),
    DEADTRANS('y',             ACUTE,           0x00FD /* ý */),
    DEADTRANS('w',             ACUTE,           0x1E83 /* ẃ */),
    DEADTRANS('z',             ACUTE,           0x017A /* ź */),
    DEADTRANS(0x03B1 /* α */,  ACUTE,           0x03AC /* ά */),
    DEADTRANS(0x03B5 /* ε */,  ACUTE,           0x03AD /* έ */),
    DEADTRANS(0x03B7 /* η */,  ACUTE,           0x03AE /* ή */),
    DEADTRANS(0x03B9 /* ι */,  ACUTE,           0x03AF /* ί */),
    DEADTRANS(0x03BF /* ο */,  ACUTE,           0x03CC /* ό */),
    DEADTRANS(0x03C5 /* υ */,  ACUTE,           0x03CD /* ύ */),
    DEADTRANS(0x03C9 /* ω */,  ACUTE,           0x03CE /* ώ */),
    DEADTRANS(0x0391 /* Α */,  ACUTE,           0x0386 /* Ά */),
    DEADTRANS(0x0395 /* Ε */,  ACUTE,           0x0388 /* Έ */),
    DEADTRANS(0x0397 /* Η */,  ACUTE,           0x0389 /* Ή */),
    DEADTRANS(0x0399 /* Ι */,  ACUTE,           0x038A /* Ί */),
    DEADTRANS(0x039F /* Ο */,  ACUTE,           0x038C /* Ό */),
    DEADTRANS(0x03A5 /* Υ */,  ACUTE,           0x038E /* Ύ */),
    DEADTRANS(0x03A9 /* Ω */,  ACUTE,           0x038F /* Ώ */),

    /* ˇ caron (háček) — AltGr+Shift = — 38 entries */
    DEADTRANS(' ',             CARON,           0x02C7 /* ˇ */),
    DEADTRANS('A',             CARON,           0x01CD /* Ǎ */),
    DEADTRANS('C',             CARON,           0x010C /* Č */),
    DEADTRANS('D',             CARON,           0x010E /* Ď */),
    DEADTRANS('E',             CARON,           0x011A /* Ě */),
    DEADTRANS('G',             CARON,           0x01E6 /* Ǧ */),
    DEADTRANS('H',             CARON,           0x021E /* Ȟ */),
    DEADTRANS('I',             CARON,           0x01CF /* Ǐ */),
    DEADTRANS('K',             CARON,           0x01E8 /* Ǩ */),
    DEADTRANS('L',             CARON,           0x013D /* Ľ */),
    DEADTRANS('N',             CARON,           0x0147 /* Ň */),
    DEADTRANS('R',             CARON,           0x0158 /* Ř */),
    DEADTRANS('S',             CARON,           0x0160 /* Š */),
    DEADTRANS('T',             CARON,           0x0164 /* Ť */),
    DEADTRANS('O',             CARON,           0x01D1 /* Ǒ */),
    DEADTRANS('U',             CARON,           0x01D3 /* Ǔ */),
    DEADTRANS('Z',             CARON,           0x017D /* Ž */),
    DEADTRANS(0x0417 /* З */,  CARON,           0x01EE /* Ǯ */),   /* Cyrillic З: Latin ezh */
    DEADTRANS(0x040F /* Џ */,  CARON,           0x01C4 /* Ǆ */),   /* Cyrillic Џ: Latin DŽ */
    DEADTRANS('a',             CARON,           0x01CE /* ǎ */),
    DEADTRANS('c',             CARON,           0x010D /* č */),
    DEADTRANS('d',             CARON,           0x010F /* ď */),
    DEADTRANS('e',             CARON,           0x011B /* ě */),
    DEADTRANS('g',             CARON,           0x01E7 /* ǧ */),
    DEADTRANS('h',             CARON,           0x021F /* ȟ */),
    DEADTRANS('i',             CARON,           0x01D0 /* ǐ */),
    DEADTRANS('j',             CARON,           0x01F0 /* ǰ */),
    DEADTRANS('k',             CARON,           0x01E9 /* ǩ */),
    DEADTRANS('l',             CARON,           0x013E /* ľ */),
    DEADTRANS('n',             CARON,           0x0148 /* ň */),
    DEADTRANS('r',             CARON,           0x0159 /* ř */),
    DEADTRANS('s',             CARON,           0x0161 /* š */),
    DEADTRANS('t',             CARON,           0x0165 /* ť */),
    DEADTRANS('o',             CARON,           0x01D2 /* ǒ */),
    DEADTRANS('u',             CARON,           0x01D4 /* ǔ */),
    DEADTRANS('z',             CARON,           0x017E /* ž */),
    DEADTRANS(0x0437 /* з */,  CARON,           0x01EF /* ǯ */),   /* Cyrillic з: Latin ezh */
    DEADTRANS(0x045F /* џ */,  CARON,           0x01C6 /* ǆ */),   /* Cyrillic џ: Latin dž, small as its base */

    /* ° ring above on A a U u w y, superscripts on the rest — AltGr+Shift ` — 77 entries */
    DEADTRANS(' ',             RING,            0x00B0 /* ° */),
    DEADTRANS('0',             RING,            0x2070 /* ⁰ */),
    DEADTRANS('1',             RING,            0x00B9 /* ¹ */),
    DEADTRANS('2',             RING,            0x00B2 /* ² */),
    DEADTRANS('3',             RING,            0x00B3 /* ³ */),
    DEADTRANS('4',             RING,            0x2074 /* ⁴ */),
    DEADTRANS('5',             RING,            0x2075 /* ⁵ */),
    DEADTRANS('6',             RING,            0x2076 /* ⁶ */),
    DEADTRANS('7',             RING,            0x2077 /* ⁷ */),
    DEADTRANS('8',             RING,            0x2078 /* ⁸ */),
    DEADTRANS('9',             RING,            0x2079 /* ⁹ */),
    DEADTRANS('+',             RING,            0x207A /* ⁺ */),
    DEADTRANS('-',             RING,            0x207B /* ⁻ */),
    DEADTRANS('=',             RING,            0x207C /* ⁼ */),
    DEADTRANS('(',             RING,            0x207D /* ⁽ */),
    DEADTRANS(')',             RING,            0x207E /* ⁾ */),
    DEADTRANS('A',             RING,            0x00C5 /* Å */),
    DEADTRANS('B',             RING,            0x1D2E /* ᴮ */),
    DEADTRANS('C',             RING,            0xA7F2 /* ꟲ */),
    DEADTRANS('D',             RING,            0x1D30 /* ᴰ */),
    DEADTRANS('E',             RING,            0x1D31 /* ᴱ */),
    DEADTRANS('F',             RING,            0xA7F3 /* ꟳ */),
    DEADTRANS('G',             RING,            0x1D33 /* ᴳ */),
    DEADTRANS('H',             RING,            0x1D34 /* ᴴ */),
    DEADTRANS('I',             RING,            0x1D35 /* ᴵ */),
    DEADTRANS('J',             RING,            0x1D36 /* ᴶ */),
    DEADTRANS('K',             RING,            0x1D37 /* ᴷ */),
    DEADTRANS('L',             RING,            0x1D38 /* ᴸ */),
    DEADTRANS('M',             RING,            0x1D39 /* ᴹ */),
    DEADTRANS('N',             RING,            0x1D3A /* ᴺ */),
    DEADTRANS('O',             RING,            0x1D3C /* ᴼ */),
    DEADTRANS('P',             RING,            0x1D3E /* ᴾ */),
    DEADTRANS('Q',             RING,            0xA7F4 /* ꟴ */),
    DEADTRANS('R',             RING,            0x1D3F /* ᴿ */),
    DEADTRANS('T',             RING,            0x1D40 /* ᵀ */),
    DEADTRANS('U',             RING,            0x016E /* Ů */),
    DEADTRANS('V',             RING,            0x2C7D /* ⱽ */),
    DEADTRANS('W',             RING,            0x1D42 /* ᵂ */),
    DEADTRANS('a',             RING,            0x00E5 /* å */),
    DEADTRANS('b',             RING,            0x1D47 /* ᵇ */),
    DEADTRANS('c',             RING,            0x1D9C /* ᶜ */),
    DEADTRANS('d',             RING,            0x1D48 /* ᵈ */),
    DEADTRANS('e',             RING,            0x1D49 /* ᵉ */),
    DEADTRANS('f',             RING,            0x1DA0 /* ᶠ */),
    DEADTRANS('g',             RING,            0x1D4D /* ᵍ */),
    DEADTRANS('h',             RING,            0x02B0 /* ʰ */),
    DEADTRANS('i',             RING,            0x2071 /* ⁱ */),
    DEADTRANS('j',             RING,            0x02B2 /* ʲ */),
    DEADTRANS('k',             RING,            0x1D4F /* ᵏ */),
    DEADTRANS('l',             RING,            0x02E1 /* ˡ */),
    DEADTRANS('m',             RING,            0x1D50 /* ᵐ */),
    DEADTRANS('n',             RING,            0x207F /* ⁿ */),
    DEADTRANS('o',             RING,            0x1D52 /* ᵒ */),
    DEADTRANS('p',             RING,            0x1D56 /* ᵖ */),
    DEADTRANS('r',             RING,            0x02B3 /* ʳ */),
    DEADTRANS('s',             RING,            0x02E2 /* ˢ */),
    DEADTRANS('t',             RING,            0x1D57 /* ᵗ */),
    DEADTRANS('u',             RING,            0x016F /* ů */),
    DEADTRANS('v',             RING,            0x1D5B /* ᵛ */),
    DEADTRANS('w',             RING,            0x1E98 /* ẘ */),
    DEADTRANS('x',             RING,            0x02E3 /* ˣ */),
    DEADTRANS('y',             RING,            0x1E99 /* ẙ */),
    DEADTRANS('z',             RING,            0x1DBB /* ᶻ */),
    DEADTRANS(0x03B1 /* α */,  RING,            0x1D45 /* ᵅ */),
    DEADTRANS(0x03B2 /* β */,  RING,            0x1D5D /* ᵝ */),
    DEADTRANS(0x03B3 /* γ */,  RING,            0x1D5E /* ᵞ */),
    DEADTRANS(0x03B4 /* δ */,  RING,            0x1D5F /* ᵟ */),
    DEADTRANS(0x03C6 /* φ */,  RING,            0x1D60 /* ᵠ */),
    DEADTRANS(0x03D5 /* ϕ */,  RING,            0x1D60 /* ᵠ */),   /* the same as φ */
    DEADTRANS(0x03C7 /* χ */,  RING,            0x1D61 /* ᵡ */),
    DEADTRANS(0x03B8 /* θ */,  RING,            0x1DBF /* ᶿ */),
    DEADTRANS(0x03B9 /* ι */,  RING,            0x1DA5 /* ᶥ */),
    DEADTRANS(0x043D /* н */,  RING,            0x1D78 /* ᵸ */),
    DEADTRANS(0x044A /* ъ */,  RING,            0xA69C /* ꚜ */),
    DEADTRANS(0x044C /* ь */,  RING,            0xA69D /* ꚝ */),
    DEADTRANS(0x04D9 /* ә */,  RING,            0x1D4A /* ᵊ */),
    DEADTRANS(0x0259 /* ə */,  RING,            0x1D4A /* ᵊ */),   /* Latin schwa, the same as ә */

    /* ¨ diaeresis, also the Greek dialytika — AltGr \, and Shift ; with Caps Lock — 24 entries */
    DEADTRANS(' ',             DIAERESIS,       0x00A8 /* ¨ */),
    DEADTRANS('A',             DIAERESIS,       0x00C4 /* Ä */),
    DEADTRANS('E',             DIAERESIS,       0x00CB /* Ë */),
    DEADTRANS('H',             DIAERESIS,       0x1E26 /* Ḧ */),
    DEADTRANS('I',             DIAERESIS,       0x00CF /* Ï */),
    DEADTRANS('O',             DIAERESIS,       0x00D6 /* Ö */),
    DEADTRANS('U',             DIAERESIS,       0x00DC /* Ü */),
    DEADTRANS('W',             DIAERESIS,       0x1E84 /* Ẅ */),
    DEADTRANS('Y',             DIAERESIS,       0x0178 /* Ÿ */),
    DEADTRANS('X',             DIAERESIS,       0x1E8C /* Ẍ */),
    DEADTRANS('a',             DIAERESIS,       0x00E4 /* ä */),
    DEADTRANS('e',             DIAERESIS,       0x00EB /* ë */),
    DEADTRANS('h',             DIAERESIS,       0x1E27 /* ḧ */),
    DEADTRANS('i',             DIAERESIS,       0x00EF /* ï */),
    DEADTRANS('o',             DIAERESIS,       0x00F6 /* ö */),
    DEADTRANS('t',             DIAERESIS,       0x1E97 /* ẗ */),
    DEADTRANS('u',             DIAERESIS,       0x00FC /* ü */),
    DEADTRANS('w',             DIAERESIS,       0x1E85 /* ẅ */),
    DEADTRANS('x',             DIAERESIS,       0x1E8D /* ẍ */),
    DEADTRANS('y',             DIAERESIS,       0x00FF /* ÿ */),
    DEADTRANS(0x03B9 /* ι */,  DIAERESIS,       0x03CA /* ϊ */),
    DEADTRANS(0x03C5 /* υ */,  DIAERESIS,       0x03CB /* ϋ */),
    DEADTRANS(0x0399 /* Ι */,  DIAERESIS,       0x03AA /* Ϊ */),
    DEADTRANS(0x03A5 /* Υ */,  DIAERESIS,       0x03AB /* Ϋ */),

    /* ΅ dialytika with tonos — with Caps Lock, AltGr ; and Shift W — 3 entries */
    DEADTRANS(' ',             DIALYTIKA_TONOS, 0x0385 /* ΅ */),
    DEADTRANS(0x03B9 /* ι */,  DIALYTIKA_TONOS, 0x0390 /* ΐ */),
    DEADTRANS(0x03C5 /* υ */,  DIALYTIKA_TONOS, 0x03B0 /* ΰ */),

    /* ^ circumflex — AltGr+Shift \ — 27 entries */
    DEADTRANS(' ',             CIRCUMFLEX,      '^'),
    DEADTRANS('A',             CIRCUMFLEX,      0x00C2 /* Â */),
    DEADTRANS('C',             CIRCUMFLEX,      0x0108 /* Ĉ */),
    DEADTRANS('E',             CIRCUMFLEX,      0x00CA /* Ê */),
    DEADTRANS('G',             CIRCUMFLEX,      0x011C /* Ĝ */),
    DEADTRANS('H',             CIRCUMFLEX,      0x0124 /* Ĥ */),
    DEADTRANS('I',             CIRCUMFLEX,      0x00CE /* Î */),
    DEADTRANS('J',             CIRCUMFLEX,      0x0134 /* Ĵ */),
    DEADTRANS('O',             CIRCUMFLEX,      0x00D4 /* Ô */),
    DEADTRANS('S',             CIRCUMFLEX,      0x015C /* Ŝ */),
    DEADTRANS('U',             CIRCUMFLEX,      0x00DB /* Û */),
    DEADTRANS('W',             CIRCUMFLEX,      0x0174 /* Ŵ */),
    DEADTRANS('Y',             CIRCUMFLEX,      0x0176 /* Ŷ */),
    DEADTRANS('Z',             CIRCUMFLEX,      0x1E90 /* Ẑ */),
    DEADTRANS('a',             CIRCUMFLEX,      0x00E2 /* â */),
    DEADTRANS('c',             CIRCUMFLEX,      0x0109 /* ĉ */),
    DEADTRANS('e',             CIRCUMFLEX,      0x00EA /* ê */),
    DEADTRANS('g',             CIRCUMFLEX,      0x011D /* ĝ */),
    DEADTRANS('h',             CIRCUMFLEX,      0x0125 /* ĥ */),
    DEADTRANS('i',             CIRCUMFLEX,      0x00EE /* î */),
    DEADTRANS('j',             CIRCUMFLEX,      0x0135 /* ĵ */),
    DEADTRANS('o',             CIRCUMFLEX,      0x00F4 /* ô */),
    DEADTRANS('s',             CIRCUMFLEX,      0x015D /* ŝ */),
    DEADTRANS('u',             CIRCUMFLEX,      0x00FB /* û */),
    DEADTRANS('w',             CIRCUMFLEX,      0x0175 /* ŵ */),
    DEADTRANS('y',             CIRCUMFLEX,      0x0177 /* ŷ */),
    DEADTRANS('z',             CIRCUMFLEX,      0x1E91 /* ẑ */),

    /* ˝ double acute — AltGr+Shift on the 102nd key — 7 entries */
    DEADTRANS(' ',             DOUBLE_ACUTE,    0x02DD /* ˝ */),
    DEADTRANS('O',             DOUBLE_ACUTE,    0x0150 /* Ő */),
    DEADTRANS('o',             DOUBLE_ACUTE,    0x0151 /* ő */),
    DEADTRANS('U',             DOUBLE_ACUTE,    0x0170 /* Ű */),
    DEADTRANS('u',             DOUBLE_ACUTE,    0x0171 /* ű */),
    DEADTRANS(0x0423 /* У */,  DOUBLE_ACUTE,    0x04F2 /* Ӳ */),   /* Cyrillic */
    DEADTRANS(0x0443 /* у */,  DOUBLE_ACUTE,    0x04F3 /* ӳ */),   /* Cyrillic */

    /* ˜ tilde — AltGr+Shift 6 — 17 entries */
    DEADTRANS(' ',             TILDE,           0x02DC /* ˜ */),
    DEADTRANS('A',             TILDE,           0x00C3 /* Ã */),
    DEADTRANS('E',             TILDE,           0x1EBC /* Ẽ */),
    DEADTRANS('I',             TILDE,           0x0128 /* Ĩ */),
    DEADTRANS('N',             TILDE,           0x00D1 /* Ñ */),
    DEADTRANS('O',             TILDE,           0x00D5 /* Õ */),
    DEADTRANS('U',             TILDE,           0x0168 /* Ũ */),
    DEADTRANS('V',             TILDE,           0x1E7C /* Ṽ */),
    DEADTRANS('Y',             TILDE,           0x1EF8 /* Ỹ */),
    DEADTRANS('a',             TILDE,           0x00E3 /* ã */),
    DEADTRANS('e',             TILDE,           0x1EBD /* ẽ */),
    DEADTRANS('i',             TILDE,           0x0129 /* ĩ */),
    DEADTRANS('n',             TILDE,           0x00F1 /* ñ */),
    DEADTRANS('o',             TILDE,           0x00F5 /* õ */),
    DEADTRANS('u',             TILDE,           0x0169 /* ũ */),
    DEADTRANS('v',             TILDE,           0x1E7D /* ṽ */),
    DEADTRANS('y',             TILDE,           0x1EF9 /* ỹ */),

    /* ᵢ subscripts — AltGr+Shift 0 — 41 entries */
    DEADTRANS(' ',             SUBSCRIPT,       0x1D62 /* ᵢ */),
    DEADTRANS('0',             SUBSCRIPT,       0x2080 /* ₀ */),
    DEADTRANS('1',             SUBSCRIPT,       0x2081 /* ₁ */),
    DEADTRANS('2',             SUBSCRIPT,       0x2082 /* ₂ */),
    DEADTRANS('3',             SUBSCRIPT,       0x2083 /* ₃ */),
    DEADTRANS('4',             SUBSCRIPT,       0x2084 /* ₄ */),
    DEADTRANS('5',             SUBSCRIPT,       0x2085 /* ₅ */),
    DEADTRANS('6',             SUBSCRIPT,       0x2086 /* ₆ */),
    DEADTRANS('7',             SUBSCRIPT,       0x2087 /* ₇ */),
    DEADTRANS('8',             SUBSCRIPT,       0x2088 /* ₈ */),
    DEADTRANS('9',             SUBSCRIPT,       0x2089 /* ₉ */),
    DEADTRANS('+',             SUBSCRIPT,       0x208A /* ₊ */),
    DEADTRANS('-',             SUBSCRIPT,       0x208B /* ₋ */),
    DEADTRANS('=',             SUBSCRIPT,       0x208C /* ₌ */),
    DEADTRANS('(',             SUBSCRIPT,       0x208D /* ₍ */),
    DEADTRANS(')',             SUBSCRIPT,       0x208E /* ₎ */),
    DEADTRANS('a',             SUBSCRIPT,       0x2090 /* ₐ */),
    DEADTRANS('e',             SUBSCRIPT,       0x2091 /* ₑ */),
    DEADTRANS('h',             SUBSCRIPT,       0x2095 /* ₕ */),
    DEADTRANS('i',             SUBSCRIPT,       0x1D62 /* ᵢ */),   /* the dead character itself */
    DEADTRANS('j',             SUBSCRIPT,       0x2C7C /* ⱼ */),
    DEADTRANS('k',             SUBSCRIPT,       0x2096 /* ₖ */),
    DEADTRANS('l',             SUBSCRIPT,       0x2097 /* ₗ */),
    DEADTRANS('m',             SUBSCRIPT,       0x2098 /* ₘ */),
    DEADTRANS('n',             SUBSCRIPT,       0x2099 /* ₙ */),
    DEADTRANS('o',             SUBSCRIPT,       0x2092 /* ₒ */),
    DEADTRANS('p',             SUBSCRIPT,       0x209A /* ₚ */),
    DEADTRANS('r',             SUBSCRIPT,       0x1D63 /* ᵣ */),
    DEADTRANS('s',             SUBSCRIPT,       0x209B /* ₛ */),
    DEADTRANS('t',             SUBSCRIPT,       0x209C /* ₜ */),
    DEADTRANS('u',             SUBSCRIPT,       0x1D64 /* ᵤ */),
    DEADTRANS('v',             SUBSCRIPT,       0x1D65 /* ᵥ */),
    DEADTRANS('x',             SUBSCRIPT,       0x2093 /* ₓ */),
    DEADTRANS(0x04D9 /* ә */,  SUBSCRIPT,       0x2094 /* ₔ */),
    DEADTRANS(0x0259 /* ə */,  SUBSCRIPT,       0x2094 /* ₔ */),   /* Latin schwa, the same as ә */
    DEADTRANS(0x03B2 /* β */,  SUBSCRIPT,       0x1D66 /* ᵦ */),
    DEADTRANS(0x03B3 /* γ */,  SUBSCRIPT,       0x1D67 /* ᵧ */),
    DEADTRANS(0x03C1 /* ρ */,  SUBSCRIPT,       0x1D68 /* ᵨ */),
    DEADTRANS(0x03C6 /* φ */,  SUBSCRIPT,       0x1D69 /* ᵩ */),
    DEADTRANS(0x03D5 /* ϕ */,  SUBSCRIPT,       0x1D69 /* ᵩ */),   /* the same as φ */
    DEADTRANS(0x03C7 /* χ */,  SUBSCRIPT,       0x1D6A /* ᵪ */),

    /* ⅟ one over n — AltGr 1 — 10 entries */
    DEADTRANS(' ',             ONE_OVER,        0x215F /* ⅟ */),
    DEADTRANS('0',             ONE_OVER,        0x2152 /* ⅒ */),   /* 0 stands for 10 */
    DEADTRANS('2',             ONE_OVER,        0x00BD /* ½ */),
    DEADTRANS('3',             ONE_OVER,        0x2153 /* ⅓ */),
    DEADTRANS('4',             ONE_OVER,        0x00BC /* ¼ */),
    DEADTRANS('5',             ONE_OVER,        0x2155 /* ⅕ */),
    DEADTRANS('6',             ONE_OVER,        0x2159 /* ⅙ */),
    DEADTRANS('7',             ONE_OVER,        0x2150 /* ⅐ */),
    DEADTRANS('8',             ONE_OVER,        0x215B /* ⅛ */),
    DEADTRANS('9',             ONE_OVER,        0x2151 /* ⅑ */),

    /* ⅔ two over n — AltGr 2 — 4 entries */
    DEADTRANS(' ',             TWO_OVER,        0x2154 /* ⅔ */),
    DEADTRANS('3',             TWO_OVER,        0x2154 /* ⅔ */),
    DEADTRANS('4',             TWO_OVER,        0x00BD /* ½ */),
    DEADTRANS('5',             TWO_OVER,        0x2156 /* ⅖ */),

    /* ⅕ n fifths — AltGr 5 — 5 entries */
    DEADTRANS(' ',             FIFTHS,          0x2155 /* ⅕ */),
    DEADTRANS('1',             FIFTHS,          0x2155 /* ⅕ */),
    DEADTRANS('2',             FIFTHS,          0x2156 /* ⅖ */),
    DEADTRANS('3',             FIFTHS,          0x2157 /* ⅗ */),
    DEADTRANS('4',             FIFTHS,          0x2158 /* ⅘ */),

    /* ⅙ n sixths — AltGr 6 — 6 entries */
    DEADTRANS(' ',             SIXTHS,          0x2159 /* ⅙ */),
    DEADTRANS('1',             SIXTHS,          0x2159 /* ⅙ */),
    DEADTRANS('2',             SIXTHS,          0x2153 /* ⅓ */),
    DEADTRANS('3',             SIXTHS,          0x00BD /* ½ */),
    DEADTRANS('4',             SIXTHS,          0x2154 /* ⅔ */),
    DEADTRANS('5',             SIXTHS,          0x215A /* ⅚ */),

    /* ⅛ n eighths — AltGr 7 — 8 entries */
    DEADTRANS(' ',             EIGHTHS,         0x215B /* ⅛ */),
    DEADTRANS('1',             EIGHTHS,         0x215B /* ⅛ */),
    DEADTRANS('2',             EIGHTHS,         0x00BC /* ¼ */),
    DEADTRANS('3',             EIGHTHS,         0x215C /* ⅜ */),
    DEADTRANS('4',             EIGHTHS,         0x00BD /* ½ */),
    DEADTRANS('5',             EIGHTHS,         0x215D /* ⅝ */),
    DEADTRANS('6',             EIGHTHS,         0x00BE /* ¾ */),
    DEADTRANS('7',             EIGHTHS,         0x215E /* ⅞ */),

    { 0, 0, 0 }
};
