// Ages and dates: the calendar code on its own, with gencab's own calendar on
// the same ages (its expected answers show them), then through KMAPI.DLL.
#include "calendrier.h"
#include "cabinet_ecrit.h"

struct CAS_AGE {
    DWORD naissance, reference;
    unsigned ans, mois;
};

// clang-format off
static const CAS_AGE CAS_AGES[] = {
    {date(15, 7, 1950), date(15, 7, 2020), 70, 0},
    {date(15, 7, 1950), date(14, 7, 2020), 69, 11},
    {date(15, 7, 1950), date(15, 7, 1950), 0, 0},
    {date(1, 9, 1984), date(15, 12, 2026), 42, 3},
    {date(1, 1, 1927), date(31, 12, 2026), 99, 11},
    {date(31, 12, 2022), date(1, 1, 2023), 0, 0},
    // End of month: the birth day is cut to the last day of a shorter month.
    {date(31, 1, 2023), date(27, 2, 2023), 0, 0},
    {date(31, 1, 2023), date(28, 2, 2023), 0, 1},
    {date(31, 1, 2024), date(28, 2, 2024), 0, 0},
    {date(31, 1, 2024), date(29, 2, 2024), 0, 1},
    {date(31, 3, 2023), date(30, 4, 2023), 0, 1},
    {date(31, 3, 2023), date(29, 4, 2023), 0, 0},
    // Born on a leap day.
    {date(29, 2, 2000), date(27, 2, 2001), 0, 11},
    {date(29, 2, 2000), date(28, 2, 2001), 1, 0},
    {date(29, 2, 2000), date(28, 2, 2004), 3, 11},
    {date(29, 2, 2000), date(29, 2, 2004), 4, 0},
    // Nothing sensible to give: 0.
    {date(2, 1, 2020), date(1, 1, 2020), 0, 0},
    {0, date(1, 1, 2020), 0, 0},
    {date(31, 4, 1980), date(1, 1, 2020), 0, 0},
    {date(1, 13, 1980), date(1, 1, 2020), 0, 0},
    {date(29, 2, 1900), date(1, 1, 2020), 0, 0},
    {date(1, 1, 1980), date(0, 0, 0), 0, 0},
    {date(1, 1, 0), date(1, 1, 65535), 65535, 0},
};
// clang-format on

TEST(Calendrier, AgeEnAnsEtMoisRevolus)
{
    for (const CAS_AGE& c : CAS_AGES) {
        DWORD attendu = (c.ans << 16) | (c.mois << 8);
        EXPECT_EQ(age_entre(c.naissance, c.reference), attendu)
            << std::hex << c.naissance << " -> " << c.reference;
        int ans = -1, mois = -1;
        calculer_age(c.naissance, c.reference, ans, mois);
        EXPECT_EQ(ans, (int)c.ans) << "gencab " << std::hex << c.naissance << " -> " << c.reference;
        EXPECT_EQ(mois, (int)c.mois)
            << "gencab " << std::hex << c.naissance << " -> " << c.reference;
    }
}

TEST(Calendrier, LectureDeDate)
{
    // clang-format off
    struct { const char* texte; bool ok; DWORD date; size_t lu; } cas[] = {
        {"12/03/2003", true, date(12, 3, 2003), 10},
        {"1/2/3\tsuite", true, date(1, 2, 3), 5},
        {"00/00/0", true, 0, 7},
        {"255/255/65535", true, 0xFFFFFFFF, 13},
        {"256/01/2000", false, 0, 0},
        {"01/01/65536", false, 0, 0},
        {"01/01", false, 0, 0},
        {"01-01-2000", false, 0, 0},
        {"/01/2000", false, 0, 0},
        {"", false, 0, 0},
    };
    // clang-format on
    for (auto& c : cas) {
        const char* fin = c.texte + strlen(c.texte);
        const char* suite = nullptr;
        uint32_t d = 0;
        EXPECT_EQ(analyser_date(c.texte, fin, &suite, &d), c.ok) << c.texte;
        if (!c.ok)
            continue;
        EXPECT_EQ(d, c.date) << c.texte;
        EXPECT_EQ((size_t)(suite - c.texte), c.lu) << c.texte;
    }
}

TEST(Calendrier, AgeEtAujourdhuiParLaDLL)
{
    EXPECT_EQ(GetAge(date(29, 2, 2000), date(28, 2, 2001)), 1u << 16);
    EXPECT_EQ(GetAge(date(15, 7, 1950), date(14, 7, 2020)), (69u << 16) | (11u << 8));

    SetEnvironmentVariableA("KMAPI_AUJOURDHUI", "05/06/2007");
    EXPECT_EQ(Today(), date(5, 6, 2007));

    // Without a usable setting, today is the local date.
    for (const char* valeur : {"demain", "05/06/2007x", (const char*)nullptr}) {
        SetEnvironmentVariableA("KMAPI_AUJOURDHUI", valeur);
        SYSTEMTIME st;
        GetLocalTime(&st);
        DWORD t = Today();
        EXPECT_EQ(t >> 16, st.wYear);
        EXPECT_TRUE(date_valide(t)) << std::hex << t;
    }
}
