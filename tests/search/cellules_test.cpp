// The cells of a result row, on their own.
#include <gtest/gtest.h>
#include <string.h>

#include "liste.h"

static DWORD age(int ans, int mois, int reste = 0)
{
    return ((DWORD)ans << 16) | ((DWORD)mois << 8) | (DWORD)reste;
}

TEST(Cellules, Age)
{
    // clang-format off
    struct { DWORD age; const char* texte; } cas[] = {
        {age(0, 7), "0 an 07 m"},
        {age(1, 11), "1 an 11 m"},
        {age(2, 0), "2 ans 00 m"},
        {age(42, 3), "42 ans 03 m"},
        {age(42, 3, 0xFF), "42 ans 03 m"},   // the low byte is not the age's
        {age(65535, 255), "65535 ans 255 m"},
    };
    // clang-format on
    for (const auto& c : cas) {
        char tmp[64];
        cellule_age(tmp, c.age);
        EXPECT_STREQ(tmp, c.texte) << std::hex << c.age;
    }
}

TEST(Cellules, Date)
{
    // clang-format off
    struct { DWORD date; const char* texte; } cas[] = {
        {(2004u << 16) | (3 << 8) | 5, "05/03/2004"},
        {(987u << 16) | (12 << 8) | 31, "31/12/ 987"},
        {(5u << 16) | (1 << 8) | 1, "01/01/   5"},
        {0, "00/00/   0"},
        {(65535u << 16) | (255 << 8) | 255, "255/255/65535"},
    };
    // clang-format on
    for (const auto& c : cas) {
        char tmp[64];
        cellule_date(tmp, c.date);
        EXPECT_STREQ(tmp, c.texte) << std::hex << c.date;
    }
}

TEST(Cellules, NomLuDansSesChampsSeulement)
{
    char tmp[64];
    cellule_nom(tmp, "NOM", "Pr\351nom");
    EXPECT_STREQ(tmp, "NOM Pr\351nom");
    cellule_nom(tmp, "", "");
    EXPECT_STREQ(tmp, " ");

    // Two full fields with no NUL, followed by other bytes.
    char champs[21 + 21 + 8];
    memset(champs, 'N', 21);
    memset(champs + 21, 'P', 21);
    memset(champs + 42, 'X', 8);
    cellule_nom(tmp, champs, champs + 21);
    EXPECT_EQ(std::string(tmp), std::string(21, 'N') + " " + std::string(21, 'P'));
}
