// The per-prescription decision against the yardstick (tools/gencab/etalon.cpp), on random
// texts rich in the bytes that matter, RTF's included, and on every pair of
// bytes. The texts sit at every alignment and are followed, past their NUL, by
// bytes that would match, so that a word read past the NUL would show.
#include "etalon.h"
#include "ordonnance.h"
#include "pliage.h"
#include "seize_octets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

class Differentiel : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initialisation_recherche(); }
};

std::mt19937 hasard(20240611u);  // fixed: the same texts on every run

unsigned tirage(unsigned n)
{
    return hasard() % n;
}

// Mostly the bytes of tags, of the search texts, their other cases and
// accents, the byte 0x1C that looks like '<' to a word test, and any byte.
unsigned char octet()
{
    static const char frequents[] = "<</>tTeExXrRfFzZoOiI \034\351\311\350\377\237\306\346\337\200";
    switch (tirage(4)) {
    case 0:
        return (unsigned char)(1 + tirage(255));
    case 1:
        return (unsigned char)(0x80 + tirage(128));
    default:
        return (unsigned char)frequents[tirage(sizeof frequents - 1)];
    }
}

std::string morceau()
{
    static const char* const morceaux[] = {
        "<text>", "</text>", "<rtf>", "</rtf>", "<TEXT>", "</Text>", "<RTF>", "</rTf>", "<tex",
        "</", "zorix", "ZOR", "\311t\351",
        // RTF read for what it shows
        "\\'e9", "\\'D6", "\\'", "\\u214", "\\u-3913?", "{", "}", "{\\*", "{\\fonttbl", "\\v ",
        "\\v0", "\\uc2", "\\bin2 ", "\\par", "\\b ", "\r\n", "\\\\", "\\"};
    if (tirage(3) == 0)
        return morceaux[tirage(sizeof morceaux / sizeof morceaux[0])];
    std::string s;
    for (unsigned n = tirage(6); n; --n)
        s += (char)octet();
    return s;
}

std::string texte_au_hasard()
{
    std::string t;
    for (unsigned n = tirage(12); n; --n)
        t += morceau();
    return t;
}

// A copy of t at the given offset from an address aligned to 16, its NUL,
// then bytes that would match anything sought here.
struct Place {
    std::vector<char> stock;
    char* debut;  // aligned
    char* texte;
    size_t taille;  // from debut to past the bytes after the NUL
    Place(const std::string& t, unsigned decalage) : stock(t.size() + decalage + 48, '<')
    {
        debut = stock.data() + (-(uintptr_t)stock.data() & 15);
        texte = debut + decalage;
        taille = decalage + t.size() + 16;
        memcpy(texte, t.c_str(), t.size() + 1);
    }
    std::string octets() const { return std::string(debut, taille); }
};

std::string plie(std::string s)
{
    for (char& c : s)
        c = (char)etalon_plier((unsigned char)c);
    return s;
}

// The search text: often a piece of the text itself or of what it shows read
// as RTF, folded or not.
std::string cherche_dans(const std::string& texte)
{
    std::string s;
    const std::string t = tirage(3) ? texte : etalon_texte_rtf(texte.c_str());
    if (!t.empty() && tirage(2) == 0) {
        size_t d = tirage((unsigned)t.size());
        s = t.substr(d, 1 + tirage(8));
    } else {
        for (unsigned n = tirage(5); n; --n)
            s += (char)octet();
    }
    return tirage(4) ? plie(s) : s;
}

void compare(const std::string& t, const std::string& s, unsigned decalage)
{
    Place a(t, decalage), b(t, decalage);
    int r = ordonnance_correspond(a.texte, s.c_str());
    int attendu = etalon_ordonnance(b.texte, s.c_str());
    ASSERT_EQ(r, attendu) << "ordonnance_correspond [" << t << "] [" << s << "]";
    ASSERT_EQ(a.octets(), b.octets()) << "cuts of [" << t << "] [" << s << "]";

    // The same on a processor without SSE2.
    if (avec_sse2) {
        Place c(t, decalage);
        avec_sse2 = false;
        r = ordonnance_correspond(c.texte, s.c_str());
        avec_sse2 = true;
        ASSERT_EQ(r, attendu) << "without SSE2 [" << t << "] [" << s << "]";
        ASSERT_EQ(c.octets(), b.octets()) << "cuts without SSE2 of [" << t << "] [" << s << "]";
    }
}

TEST_F(Differentiel, TextesAuHasard)
{
    for (int i = 0; i < 60000; ++i) {
        std::string t = texte_au_hasard();
        std::string s = cherche_dans(t);
        compare(t, s, tirage(16));
        if (HasFatalFailure())
            return;
    }
}

// s as an RTF writer may put it: accents escaped, and a change of formatting
// or a line break of the source somewhere inside.
std::string en_rtf(const std::string& s)
{
    static const char* const coupures[] = {"{\\b}", "\\ul ", "\r\n", "\\'", ""};
    std::string r;
    size_t coupe = tirage((unsigned)s.size() + 1);
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == coupe)
            r += coupures[tirage(5)];
        if (i == s.size())
            break;
        unsigned char c = (unsigned char)s[i];
        if (c >= 0x80 || c == '\\' || c == '{' || c == '}') {
            r += "\\'";
            r += "0123456789abcdef"[c >> 4];
            r += "0123456789abcdef"[c & 15];
        } else {
            r += (char)c;
        }
    }
    return r;
}

TEST_F(Differentiel, PrescriptionsAuHasard)
{
    // The usual shape, with the search text planted now and then, in the
    // <rtf> part often as an RTF writer would put it.
    for (int i = 0; i < 20000; ++i) {
        std::string s = cherche_dans(texte_au_hasard());
        std::string s_rtf = tirage(2) ? en_rtf(s) : s;
        std::string t = morceau() + "<text>" + texte_au_hasard() + (tirage(4) ? s : "") +
                        texte_au_hasard() + "</text>" + morceau() + "<rtf>" + texte_au_hasard() +
                        (tirage(4) ? s_rtf : "") + texte_au_hasard() + "</rtf>" + morceau();
        compare(t, s, tirage(16));
        if (HasFatalFailure())
            return;
    }
}

TEST_F(Differentiel, ToutesLesPairesDOctets)
{
    // Every byte of the text against every byte sought, first alone, then
    // as the second byte after a matching first one, at the first four
    // offsets of a block and inside both parts.
    for (int a = 1; a < 256; ++a) {
        for (int b = 1; b < 256; ++b) {
            const std::string ta(1, (char)a), sb(1, (char)b);
            for (unsigned d = 0; d < 4; ++d) {
                compare("abcdefg" + ta + "hij", sb, d);
                compare("<text>" + ta + "</text><rtf>" + ta + "</rtf>", sb, d);
                compare("z" + ta, "z" + sb, d);
            }
            if (HasFatalFailure())
                return;
        }
    }
}

}  // namespace
