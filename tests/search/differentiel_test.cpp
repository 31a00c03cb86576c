// The fast matchers against the yardstick (tools/gencab/etalon.cpp), on random
// texts rich in the bytes that matter and on every pair of bytes. The texts
// sit at every alignment and are followed, past their NUL, by bytes that
// would match, so that a word read past the NUL would show.
#include "etalon.h"
#include "ordonnance.h"
#include "pliage.h"

#include <gtest/gtest.h>

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
    static const char* const morceaux[] = {"<text>",  "</text>", "<rtf>",    "</rtf>", "<TEXT>",
                                           "</Text>", "<RTF>",   "</rTf>",   "<tex",   "</",
                                           "zorix",   "ZOR",     "\311t\351"};
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

// A copy of t at the given offset from an aligned address, its NUL, then
// bytes that would match anything sought here.
struct Place {
    std::vector<unsigned int> stock;
    char* texte;
    Place(const std::string& t, unsigned decalage)
        : stock((t.size() + decalage + 16) / sizeof(unsigned int) + 1)
    {
        char* base = (char*)stock.data();
        memset(base, '<', stock.size() * sizeof(unsigned int));
        texte = base + decalage;
        memcpy(texte, t.c_str(), t.size() + 1);
    }
};

std::string plie(std::string s)
{
    for (char& c : s)
        c = (char)etalon_plier((unsigned char)c);
    return s;
}

// The search text: often a piece of the text itself, folded or not.
std::string cherche_dans(const std::string& t)
{
    std::string s;
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
    const char* rapide = recherche_strxstr(a.texte, s.c_str());
    const char* etalon = etalon_strxstr(a.texte, s.c_str());
    ASSERT_EQ(rapide, etalon) << "recherche_strxstr [" << t << "] [" << s << "] +" << decalage;

    int r = ordonnance_correspond(a.texte, s.c_str());
    int attendu = etalon_ordonnance(b.texte, s.c_str());
    ASSERT_EQ(r, attendu) << "ordonnance_correspond [" << t << "] [" << s << "]";
    ASSERT_EQ(a.stock, b.stock) << "cuts of [" << t << "] [" << s << "]";
}

TEST_F(Differentiel, TextesAuHasard)
{
    for (int i = 0; i < 60000; ++i) {
        std::string t = texte_au_hasard();
        std::string s = cherche_dans(t);
        compare(t, s, tirage(8));
        if (HasFatalFailure())
            return;
    }
}

TEST_F(Differentiel, PrescriptionsAuHasard)
{
    // The usual shape, with the search text planted now and then.
    for (int i = 0; i < 20000; ++i) {
        std::string s = cherche_dans(texte_au_hasard());
        std::string t = morceau() + "<text>" + texte_au_hasard() + (tirage(4) ? s : "") +
                        texte_au_hasard() + "</text>" + morceau() + "<rtf>" + texte_au_hasard() +
                        (tirage(4) ? s : "") + texte_au_hasard() + "</rtf>" + morceau();
        compare(t, s, tirage(8));
        if (HasFatalFailure())
            return;
    }
}

TEST_F(Differentiel, ToutesLesPairesDOctets)
{
    // Every byte of the text against every byte sought, first alone, then
    // as the second byte after a matching first one, at all four alignments
    // and inside both parts.
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
