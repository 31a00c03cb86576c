// The expected answer of a search, on a small cabinet written by hand.
#include <gtest/gtest.h>

#include "fichiers.h"
#include "gencab.h"

namespace {

std::string xml(const std::string& texte, const std::string& rtf)
{
    return "<ordonnance><text>" + texte + "</text><rtf>{\\rtf1\\ansi " + rtf +
           "}</rtf></ordonnance>";
}

TEST(GencabAttendu, CabinetEcritALaMain)
{
    std::string d = dossier_essai("attendu");
    std::string patients =
        "0\tZERO\tH\351l\350ne\t15/05/2026\r\n"
        "7\tLEF\310VRE\tNo\353l\t15/01/2025\r\n"
        "12\tDUPONT\tJ\351r\364me\t01/09/1984\n"
        "300\tMARTIN\tAna\357s\t29/02/2000\r\n"
        "301\tSANS\tOrdonnance\t01/01/1950\r\n";
    std::string dossiers =
        "5\t7\t0\t12/03/2003\tOrdonnance\r\n"
        "-9\t7\t0\t02/01/2004\t\r\n"
        "100\t7\t0\t15/07/2002\t\r\n"
        "-2147483648\t7\t7\t01/01/2010\tOrdonnance\r\n"
        "77\t7\t7\t01/01/2010\tOrdonnance\r\n"
        "2147483647\t7\t12\t05/03/2004\tOrdonnance\r\n"
        "13\t7\t12\t06/03/2004\tOrdonnance\r\n"
        "14\t7\t12\t07/03/2004\tOrdonnance\r\n"
        "15\t7\t12\t08/03/2004\tOrdonnance\r\n"
        "16\t7\t12\t09/03/2004\tOrdonnance\r\n"
        "17\t7\t12\t10/03/2004\tOrdonnance\r\n"
        "18\t7\t12\t11/03/2004\tOrdonnance\r\n"
        "19\t7\t12\t12/03/2004\tRenouvellement Zorix\r\n"
        "20\t2\t12\t13/03/2004\tCourrier Zorix\r\n"
        "21\t3\t301\t14/03/2004\tZORIX\r\n"
        "22\t7\t300\t31/12/1999\tOrdonnance\r\n"
        "23\t7\t4242\t05/03/999\tOrdonnance\r\n"
        "24\t7\t300\t01/01/2001\tOrdonnance\r\n"
        "25\t7\t301\t01/01/2001\tOrdonnance\r\n"
        "26\t1\t301\t01/01/2001\t\r\n";
    std::string ordonnances =
        enregistrement(5, xml("ZORIX 25 mg : 1 le matin", "{\\b ZORIX 25 mg} : 1 le matin")) +
        enregistrement(-9, "<ordonnance><TEXT>zorix</Text><RTF>{\\rtf1 zorix}</Rtf></ordonnance>") +
        // The accent is an escape in the RTF part.
        enregistrement(100, xml("z\366rix", "z\\'f6rix")) +
        enregistrement(INT32_MIN, xml("Zorix zorix", "Zorix")) +
        enregistrement(77, xml("Z\326RIX", "Z\\'d6RIX")) +
        enregistrement(INT32_MAX, "<ordonnance><rtf>{\\rtf1 Zorix}</rtf></ordonnance>") +
        // Only RTF, found as it shows.
        enregistrement(13, "<ordonnance><rtf>{\\rtf1 Z\\'f6rix}</rtf></ordonnance>") +
        // No </text>: the part runs to the end of the whole text.
        enregistrement(14, "<ordonnance><text>Calvexine</ordonnance> zorix") +
        // </rtf> inside the text part cuts it before the drug.
        enregistrement(15, "<ordonnance><text>ab<rtf>cd</rtf>Zorix</text></ordonnance>") +
        enregistrement(16, "<ordonnance><t\350xt>Zorix</t\350xt></ordonnance>") +
        enregistrement(17, "<ordonnance><titre>Zorix</titre>" + xml("rien", "rien").substr(12)) +
        enregistrement(18, xml("Zori x, Zorax, Zor\255ix, \216orix", "Zori x")) +
        enregistrement(22, xml("ZoRiX", "")) + enregistrement(23, xml("Zorix", "")) +
        // The host's text ends at its first NUL.
        enregistrement(24, xml(std::string("abc\0Zorix", 9), "")) +
        // Only the first <text> part is looked at.
        enregistrement(25, "<ordonnance><text>a</text><text>Zorix</text></ordonnance>");
    ASSERT_TRUE(ecrire_cabinet_essai(d, "main", patients, dossiers, ordonnances));

    CabinetLu c;
    std::string erreur;
    ASSERT_TRUE(lire_cabinet(d, "main", c, erreur)) << erreur;
    uint32_t aujourdhui = date_packee(15, 12, 2026);
    EXPECT_EQ(calculer_attendu(c, "Zorix", aujourdhui),
              "0\tZERO H\351l\350ne\t0 an 07 m\t3\t15/07/2002\t02/01/2004\n"
              "7\tLEF\310VRE No\353l\t1 an 11 m\t2\t01/01/2010\t01/01/2010\n"
              "12\tDUPONT J\351r\364me\t42 ans 03 m\t3\t05/03/2004\t07/03/2004\n"
              "300\tMARTIN Ana\357s\t26 ans 09 m\t1\t31/12/1999\t31/12/1999\n"
              "4242\t \t\t1\t05/03/ 999\t05/03/ 999\n"
              "RESUME\t10 occ. - 5 Patients\n");
    // Folded search text, same answer; the empty one finds nothing.
    EXPECT_EQ(calculer_attendu(c, "Z\326RIX", aujourdhui),
              calculer_attendu(c, "zorix", aujourdhui));
    EXPECT_EQ(calculer_attendu(c, "", aujourdhui), "RESUME\t0 occ. - 0 Patients\n");
    // Every part starts with its own tag.
    EXPECT_EQ(calculer_attendu(c, "rtf", aujourdhui).substr(0, 2), "0\t");
}

TEST(GencabAttendu, PliageDesAccentsEtDeLaCasse)
{
    const struct {
        const char* recherche;
        const char* texte;
        bool trouve;
    } cas[] = {
        {"P\311NICILLINE", "<text>p\351nicilline</text>", true},
        {"p\351nicilline", "<text>PENICILLINE</text>", true},
        {"e", "<rtf>\311</rtf>", true},
        {"\306", "<text>\346</text>", false},
        {"\306", "<text>\306</text>", true},
        {"\234", "<text>oe</text>", false},
        {"\337", "<text>ss</text>", false},
        {"\377", "<text>Y</text>", true},
        {"\237", "<text>y \377</text>", false},
        {"\307a", "<text>ca</text>", true},
        {"zorix", "<text>ZORIX</text>", true},
        {"zorix", "<tExt>ZORIX</TEXT>", true},
        {"zorix", "Zorix", false},
        {"zorix", "", false},
        {"zorix 25", "<text>ZORIX\r\n25 mg</text>", false},
        // The RTF part is also read as it shows (lecture_rtf_test.cpp holds
        // the reader's rules).
        {"d\351pakine", "<rtf>D\\'e9p\\ulnone akine</rtf>", true},
    };
    for (const auto& c : cas)
        EXPECT_EQ(ordonnance_attendue(c.texte, c.recherche), c.trouve)
            << c.recherche << " dans " << c.texte;

    // The search box keeps 259 bytes: a longer search text is cut there.
    std::string longue(259, 'a');
    EXPECT_TRUE(ordonnance_attendue("<text>" + longue + "</text>", longue + "b"));
    EXPECT_FALSE(ordonnance_attendue("<text>" + longue + "</text>", longue.substr(1) + "bb"));
}

}  // namespace
