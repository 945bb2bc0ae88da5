// test_unicode_check.cpp - every composition of the built Wendol.dll checked
// against Unicode's own data, through ICU: an accent composes as the
// canonical composition of base and combining mark, a superscript or
// subscript decomposes back to its base, a fraction decomposes to the
// digits its dead key's rule gives.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <string>

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "support/typing_helpers.h"

namespace wendol::test {
namespace {

const icu::Normalizer2 &normalizer(bool compatibility, bool compose)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *n = compatibility
        ? (compose ? icu::Normalizer2::getNFKCInstance(status) : icu::Normalizer2::getNFKDInstance(status))
        : (compose ? icu::Normalizer2::getNFCInstance(status) : icu::Normalizer2::getNFDInstance(status));
    if (U_FAILURE(status) || !n)
        throw std::runtime_error(std::string("ICU normalizer: ") + u_errorName(status));
    return *n;
}

std::u16string normalize(const icu::Normalizer2 &n, const std::u16string &text)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString out = n.normalize(icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())), status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("ICU normalize: ") + u_errorName(status));
    return std::u16string(out.getBuffer(), static_cast<size_t>(out.length()));
}

std::u16string nfc(const std::u16string &t) { return normalize(normalizer(false, true), t); }
std::u16string nfd(const std::u16string &t) { return normalize(normalizer(false, false), t); }
std::u16string nfkd(const std::u16string &t) { return normalize(normalizer(true, false), t); }

std::string codes(const std::u16string &text)
{
    std::string out;
    for (char16_t c : text)
        out += (out.empty() ? "" : " ") + code_point_text(c);
    return out;
}

// The combining marks of the accent dead keys.
const std::map<char16_t, std::u16string> kMarks = {
    {u'´', u"\u0301"},          // acute, also the Greek tonos
    {u'ˇ', u"\u030C"},          // caron
    {u'¨', u"\u0308"},          // diaeresis, also the Greek dialytika
    {u'΅', u"\u0308\u0301"},    // dialytika and tonos
    {u'^', u"\u0302"},          // circumflex
    {u'˝', u"\u030B"},          // double acute
    {u'˜', u"\u0303"},          // tilde
};

// The fraction dead keys: the value a digit n gives, before reducing.
struct Fraction {
    unsigned numerator;
    unsigned denominator;
};
Fraction fraction_rule(char16_t dead, unsigned n)
{
    switch (dead) {
    case u'⅟': return {1, n == 0 ? 10 : n};   // 0 stands for 10
    case u'⅔': return {2, n};
    case u'⅕': return {n, 5};
    case u'⅙': return {n, 6};
    case u'⅛': return {n, 8};
    default: throw std::logic_error("not a fraction dead key");
    }
}

// Where the layout and Unicode's decompositions part ways, each with the
// result the table must hold.
struct Exception {
    char16_t dead;
    char16_t base;
    char16_t composed;
    const char *why;
};
const Exception kExceptions[] = {
    {u'ˇ', u'З', u'Ǯ', "Cyrillic ze gives the Latin ezh with caron"},
    {u'ˇ', u'з', u'ǯ', "Cyrillic ze gives the Latin ezh with caron"},
    {u'ˇ', u'Џ', u'Ǆ', "Cyrillic dzhe gives the Latin DŽ digraph"},
    {u'ˇ', u'џ', u'ǆ', "Cyrillic dzhe gives the Latin dž digraph"},
    // Unicode decomposes these modifier letters to the Latin lookalike of
    // the letter the layout composes them from.
    {u'°', u'α', u'ᵅ', "decomposes to Latin alpha U+0251"},
    {u'°', u'ι', u'ᶥ', "decomposes to Latin iota U+0269"},
    {u'°', u'ә', u'ᵊ', "decomposes to Latin schwa U+0259, not the Cyrillic"},
    {u'ᵢ', u'ә', u'ₔ', "decomposes to Latin schwa U+0259, not the Cyrillic"},
    // The superscript and subscript minus decompose to the minus sign; the
    // key types the hyphen-minus.
    {u'°', u'-', u'⁻', "decomposes to the minus sign U+2212"},
    {u'ᵢ', u'-', u'₋', "decomposes to the minus sign U+2212"},
};
// ICU 72 knows every other result, ꟲ ꟳ ꟴ (Unicode 14) included.

// The ring-above letters among the superscripts: canonical, with U+030A.
const std::u16string kRingBases = u"AaUuwy";

const Exception *exception_for(const DeadKeyEntry &e)
{
    for (const Exception &x : kExceptions)
        if (x.dead == e.dead && x.base == e.base)
            return &x;
    return nullptr;
}

// What is wrong with an entry by Unicode's data, or "" when nothing is.
std::string check(const DeadKeyEntry &e)
{
    const char16_t dead = static_cast<char16_t>(e.dead), base = static_cast<char16_t>(e.base);
    const std::u16string result(1, static_cast<char16_t>(e.composed));
    if (base == u' ')
        return e.composed == dead ? "" : "space gives " + codes(result) + ", not the dead character";

    if (auto mark = kMarks.find(dead); mark != kMarks.end()) {
        const std::u16string composed = nfc(std::u16string(1, base) + mark->second);
        if (composed != result)
            return "NFC gives " + codes(composed);
        if (dead == u'΅' && nfd(result) != nfd(std::u16string(1, base)) + u"\u0308\u0301")
            return "does not decompose to " + utf8(base) + " + U+0308 U+0301";
        return "";
    }
    if (dead == u'°' && kRingBases.find(base) != std::u16string::npos) {
        const std::u16string composed = nfc(std::u16string(1, base) + u"\u030A");
        return composed == result ? "" : "NFC with U+030A gives " + codes(composed);
    }
    if (dead == u'°' || dead == u'ᵢ') {
        const std::u16string back = nfkd(result);
        return back == nfkd(std::u16string(1, base)) ? "" : "NFKD gives " + codes(back);
    }
    if (dead == u'⅟' || dead == u'⅔' || dead == u'⅕' || dead == u'⅙' || dead == u'⅛') {
        if (base < u'0' || base > u'9')
            return "a fraction of a base that is not a digit";
        Fraction want = fraction_rule(dead, base - u'0');
        const unsigned divisor = std::gcd(want.numerator, want.denominator);
        want = {want.numerator / divisor, want.denominator / divisor};
        const std::u16string text = nfkd(result);
        const size_t slash = text.find(u'\u2044');
        if (slash == std::u16string::npos || slash == 0 || slash + 1 == text.size())
            return "NFKD gives " + codes(text) + ", not digits, U+2044, digits";
        const std::string numerator = utf8(text.substr(0, slash));
        const std::string denominator = utf8(text.substr(slash + 1));
        if (numerator != std::to_string(want.numerator) || denominator != std::to_string(want.denominator))
            return "is " + numerator + "/" + denominator + ", the rule gives " +
                   std::to_string(want.numerator) + "/" + std::to_string(want.denominator);
        return "";
    }
    return "no rule for dead character " + code_point_text(dead);
}

TEST(UnicodeCheck, EveryCompositionAgreesWithUnicode)
{
    size_t checked = 0;
    for (const DeadKeyEntry &e : keymap().tables().dead_keys) {
        const std::string pair = utf8(e.dead) + " + " + utf8(e.base) + " → " + utf8(e.composed) +
                                 " (" + code_point_text(e.composed) + ")";
        if (const Exception *x = exception_for(e)) {
            EXPECT_EQ(e.composed, x->composed) << pair << ": " << x->why;
            continue;
        }
        EXPECT_EQ(check(e), "") << pair;
        ++checked;
    }
    EXPECT_EQ(checked + std::size(kExceptions), 316u);
}

TEST(UnicodeCheck, EveryExceptionIsInTheTable)
{
    for (const Exception &x : kExceptions)
        EXPECT_NE(keymap().composition(x.dead, x.base), nullptr)
            << utf8(x.dead) << " + " << utf8(x.base) << " is listed as an exception but has no entry";
    for (char16_t base : kRingBases)
        EXPECT_NE(keymap().composition(u'°', base), nullptr) << "° + " << utf8(base);
}

TEST(UnicodeCheck, DialytikaTonosLettersDecomposeToIotaAndUpsilon)
{
    EXPECT_EQ(nfd(u"ΐ"), u"ι\u0308\u0301");
    EXPECT_EQ(nfd(u"ΰ"), u"υ\u0308\u0301");
    EXPECT_EQ(keymap().composition(u'΅', u'ι')->composed, u'ΐ');
    EXPECT_EQ(keymap().composition(u'΅', u'υ')->composed, u'ΰ');
}

}  // namespace
}  // namespace wendol::test
