// Folding table, the two matchers and the key order.
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

TEST_F(Pliage, TableParOctet)
{
    const struct { unsigned char octet, plie; } cas[] = {
        {'A', 'a'}, {'Z', 'z'}, {'a', 'a'}, {'5', '5'}, {'<', '<'}, {'@', '@'}, {'[', '['},
        {0xC9, 'e'}, {0xE9, 'e'}, {0xC0, 'a'}, {0xE5, 'a'}, {0xC7, 'c'}, {0xE7, 'c'},
        {0xCF, 'i'}, {0xD1, 'n'}, {0xF6, 'o'}, {0xDC, 'u'}, {0xDD, 'y'}, {0xFD, 'y'},
        {0xFF, 'y'},                               // ÿ
        {0x9F, 0x9F},                              // Ÿ keeps its value
        {0x9C, 0x9C}, {0x8C, 0x8C},                // œ, Œ
        {0x8A, 0x8A}, {0x9A, 0x9A},                // Š, š
        {0xC6, 0xC6}, {0xE6, 0xE6},                // Æ, æ: two distinct values
        {0xDF, 0xDF}, {0xD8, 0xD8}, {0xF8, 0xF8},  // ß, Ø, ø
        {0xD0, 0xD0}, {0xF0, 0xF0}, {0xDE, 0xDE}, {0xFE, 0xFE}, {0xD7, 0xD7}, {0xF7, 0xF7},
        {0x00, 0x00},
    };
    for (const auto& c : cas)
        EXPECT_EQ(recherche_lower[c.octet], c.plie) << "byte 0x" << std::hex << (int)c.octet;
}

TEST_F(Pliage, TableEntiere)
{
    // 0xC0 to 0xFF fold to an ASCII letter, except these eleven.
    const std::string gardes = "\xC6\xD0\xD7\xD8\xDE\xDF\xE6\xF0\xF7\xF8\xFE";
    for (int c = 1; c < 256; ++c) {
        unsigned char p = recherche_lower[c];
        EXPECT_NE(p, 0) << c;
        if (c < 0x80) {
            // The fast matchers rely on this: an ASCII byte folds to itself
            // or to its other case.
            EXPECT_TRUE(p == c || (c >= 'A' && c <= 'Z' && p == c + 32)) << c;
        } else if (c < 0xC0 || gardes.find((char)c) != std::string::npos) {
            EXPECT_EQ(p, c) << c;
        } else {
            EXPECT_TRUE(p >= 'a' && p <= 'z') << c;
        }
    }
}

TEST_F(Pliage, TexteCherchePlie)
{
    EXPECT_EQ(plie("Zorix"), "zorix");
    EXPECT_EQ(plie("P\xC9NICILLINE"), "penicilline");
    EXPECT_EQ(plie("\xC6sop \xE6"), "\xC6sop \xE6");
}

TEST_F(Pliage, Correspondances)
{
    const struct { const char* buf; const char* cherche; int attendu; } cas[] = {
        {"ZORIX 25 mg", "Zorix", 0},
        {"Prendre Zorix 25 mg", "Zorix", 8},
        {"un comprim\xE9 de zorix", "Zorix", 15},
        {"zori", "Zorix", -1},                    // cut short by the end
        {"zozorix", "zorix", 2},                  // restart inside a failed attempt
        {"aaab", "aab", 1},
        {"p\xE9nicilline", "P\xC9NICILLINE", 0},
        {"Penicilline", "P\xC9NICILLINE", 0},
        {"PENICILLINE", "P\xC9NICILLINE", 0},
        {"\xC9t\xE9", "e", 0},                    // one character, any case or accent
        {"\xE6", "\xC6", -1}, {"\xC6", "\xC6", 0}, // Æ and æ differ
        {"soeur", "s\x9C" "ur", -1}, {"s\x9C" "ur", "soeur", -1}, {"s\x9C" "ur", "s\x9C" "ur", 0},
        {"\xFF", "\x9F", -1}, {"y", "\x9F", -1},   // Ÿ matches neither ÿ nor y
        {"\x9F", "\xFF", -1}, {"\xFF", "y", 0},
        {"Stra\xDF" "e", "strasse", -1}, {"STRA\xDF" "E", "stra\xDF" "e", 0},
        {"Zorix 25 mg\r\nZorix 50 mg", "25 MG\r\nzorix", 6},  // across a line break
        {"zorix  25", "zorix 25", -1},
        {"<B>Zorix</B>", "<b>zo", 0},             // markup is plain bytes
        {"x", "", -1}, {"", "", -1}, {"", "a", -1},
    };
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
    const struct { const char* h; const char* n; int attendu; } cas[] = {
        {"<ordonnance><TEXT>", "<text>", 12},
        {"<TeXt>", "<text>", 0},
        {"<t\xE8xt><text>", "<text>", 6},         // <tèxt> is not <text>
        {"<T\xC8XT>", "<t\xE8xt>", -1},            // accents compared exactly
        {"\xC9\xE9", "\xE9", 1},
        {"@`", "`", 1}, {"[{", "{", 1},            // only a-z have a case
        {"\x1C<", "<", 1},
        {"</tex</text>", "</text>", 5},
        {"</tex", "</text>", -1},
        {"abc", "", 0}, {"", "", 0}, {"", "<", -1},
    };
    for (const auto& c : cas) {
        const char* r = stristr(c.h, c.n);
        EXPECT_EQ(r ? (int)(r - c.h) : -1, c.attendu) << c.h << " / " << c.n;
    }
}

TEST_F(Pliage, OrdreDesCles)
{
    const struct { int32_t a, b; int signe; } cas[] = {
        {INT32_MIN, INT32_MAX, -1}, {INT32_MAX, INT32_MIN, 1}, {INT32_MIN, 1, -1},
        {INT32_MAX, -1, 1}, {-1, 1, -1}, {-5, -7, 1}, {0, 0, 0}, {INT32_MIN, INT32_MIN, 0},
        {INT32_MAX, INT32_MAX, 0}, {0, -1, 1},
    };
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
