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
    plier_texte(s.data());
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

}  // namespace
