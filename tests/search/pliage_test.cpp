// Folding table, the two matchers and the key order.
#include "etalon.h"
#include "pliage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

class Pliage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initialisation_recherche(); }
};

std::string plie(std::string s)
{
    for (char& c : s)
        c = (char)recherche_lower[(unsigned char)c];
    return s;
}

// Position of the folded search text in buf, -1 when absent.
int position(const std::string& buf, const std::string& cherche)
{
    std::string s = plie(cherche);
    const char* r = recherche_strxstr(buf.c_str(), s.c_str());
    return r ? (int)(r - buf.c_str()) : -1;
}

TEST_F(Pliage, TableEntiereSelonLEtalon)
{
    // Every byte against the table written out from the rules, which the fast
    // matchers rely on too: ASCII folds to itself or its other case, only the
    // NUL to 0.
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(recherche_lower[c], etalon_plier((unsigned char)c)) << "byte " << c;
}

TEST_F(Pliage, TexteCherchePlie)
{
    EXPECT_EQ(plie("Zorix"), "zorix");
    EXPECT_EQ(plie("P\311NICILLINE"), "penicilline");
    EXPECT_EQ(plie("\306sop \346"), "\306sop \346");
}

TEST_F(Pliage, Correspondances)
{
    // clang-format off
    const struct { const char* buf; const char* cherche; int attendu; } cas[] = {
        {"ZORIX 25 mg", "Zorix", 0},
        {"Prendre Zorix 25 mg", "Zorix", 8},
        {"un comprim\351 de zorix", "Zorix", 15},
        {"zori", "Zorix", -1},                    // cut short by the end
        {"zozorix", "zorix", 2},                  // restart inside a failed attempt
        {"aaab", "aab", 1},
        {"p\351nicilline", "P\311NICILLINE", 0},
        {"Penicilline", "P\311NICILLINE", 0},
        {"PENICILLINE", "P\311NICILLINE", 0},
        {"\311t\351", "e", 0},                    // one character, any case or accent
        {"\346", "\306", -1}, {"\306", "\306", 0}, // Æ and æ differ
        {"soeur", "s\234ur", -1}, {"s\234ur", "soeur", -1}, {"s\234ur", "s\234ur", 0},
        {"\377", "\237", -1}, {"y", "\237", -1},   // Ÿ matches neither ÿ nor y
        {"\237", "\377", -1}, {"\377", "y", 0},
        {"Stra\337e", "strasse", -1}, {"STRA\337E", "stra\337e", 0},
        {"Zorix 25 mg\r\nZorix 50 mg", "25 MG\r\nzorix", 6},  // across a line break
        {"zorix  25", "zorix 25", -1},
        {"<B>Zorix</B>", "<b>zo", 0},             // markup is plain bytes
        {"x", "", -1}, {"", "", -1}, {"", "a", -1},
    };
    // clang-format on
    for (const auto& c : cas)
        EXPECT_EQ(position(c.buf, c.cherche), c.attendu) << c.buf << " / " << c.cherche;
}

TEST_F(Pliage, CorrespondanceSansTexte)
{
    EXPECT_EQ(recherche_strxstr(nullptr, "zorix"), nullptr);
    // A search text left unfolded never matches: no folded byte is upper case.
    EXPECT_EQ(recherche_strxstr("ZORIX zorix", "Z"), nullptr);
}

TEST_F(Pliage, Stristr)
{
    // clang-format off
    const struct { const char* h; const char* n; int attendu; } cas[] = {
        {"<ordonnance><TEXT>", "<text>", 12},
        {"<TeXt>", "<text>", 0},
        {"<t\350xt><text>", "<text>", 6},         // <tèxt> is not <text>
        {"<T\310XT>", "<t\350xt>", -1},            // accents compared exactly
        {"\311\351", "\351", 1},
        {"@`", "`", 1}, {"[{", "{", 1},            // only a-z have a case
        {"\034<", "<", 1},
        {"</tex</text>", "</text>", 5},
        {"</tex", "</text>", -1},
        {"abc", "", 0}, {"", "", 0}, {"", "<", -1},
    };
    // clang-format on
    for (const auto& c : cas) {
        const char* r = stristr(c.h, c.n);
        EXPECT_EQ(r ? (int)(r - c.h) : -1, c.attendu) << c.h << " / " << c.n;
    }
}

TEST_F(Pliage, OrdreDesCles)
{
    // clang-format off
    const struct { int32_t a, b; int signe; } cas[] = {
        {INT32_MIN, INT32_MAX, -1}, {INT32_MAX, INT32_MIN, 1}, {INT32_MIN, 1, -1},
        {INT32_MAX, -1, 1}, {-1, 1, -1}, {-5, -7, 1}, {0, 0, 0}, {INT32_MIN, INT32_MIN, 0},
        {INT32_MAX, INT32_MAX, 0}, {0, -1, 1},
    };
    // clang-format on
    for (const auto& c : cas) {
        int r = compar(&c.a, &c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.signe) << c.a << " " << c.b;
    }

    int32_t cles[] = {5, INT32_MAX, -3, INT32_MIN, 0, -2147483647, 2147483646, -3};
    const int32_t tries[] = {INT32_MIN, -2147483647, -3, -3, 0, 5, 2147483646, INT32_MAX};
    qsort(cles, 8, sizeof cles[0], compar);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(cles[i], tries[i]) << i;
}

}  // namespace
