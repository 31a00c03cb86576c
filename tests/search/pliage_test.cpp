// Folding table and the folded matching of a prescription's words.
#include "etalon.h"
#include "ordonnance.h"
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

// Whether the folded search text is found in a <text> part holding buf.
bool trouve(const std::string& buf, const std::string& cherche)
{
    std::string s = plie(cherche);
    std::string texte = "<text>" + buf + "</text>";
    return ordonnance_correspond(&texte[0], s.c_str()) == 1;
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
    const struct { const char* buf; const char* cherche; bool attendu; } cas[] = {
        {"ZORIX 25 mg", "Zorix", true},
        {"un comprim\351 de zorix", "Zorix", true},
        {"zori", "Zorix", false},                 // cut short by the end
        {"zozorix", "zorix", true},               // restart inside a failed attempt
        {"aaab", "aab", true},
        {"p\351nicilline", "P\311NICILLINE", true},
        {"Penicilline", "P\311NICILLINE", true},
        {"PENICILLINE", "P\311NICILLINE", true},
        {"\334b\374", "u", true},               // one character, any case or accent
        {"\346", "\306", false}, {"\306", "\306", true}, // Æ and æ differ
        {"soeur", "s\234ur", false}, {"s\234ur", "soeur", false}, {"s\234ur", "s\234ur", true},
        {"\377", "\237", false}, {"y", "\237", false},   // Ÿ matches neither ÿ nor y
        {"\237", "\377", false}, {"\377", "y", true},
        {"Stra\337e", "strasse", false}, {"STRA\337E", "stra\337e", true},
        {"Zorix 25 mg\r\nZorix 50 mg", "25 MG\r\nzorix", true},  // across a line break
        {"zorix  25", "zorix 25", false},
        {"<B>Zorix</B>", "<b>zo", true},          // markup is plain bytes
        {"x", "", false}, {"", "", false}, {"", "a", false},
    };
    // clang-format on
    for (const auto& c : cas)
        EXPECT_EQ(trouve(c.buf, c.cherche), c.attendu) << c.buf << " / " << c.cherche;
}

TEST_F(Pliage, TexteNonPlie)
{
    // A search text left unfolded never matches: no folded byte is upper case.
    char texte[] = "<text>ZORIX zorix</text>";
    EXPECT_EQ(ordonnance_correspond(texte, "Z"), 0);
}

}  // namespace
