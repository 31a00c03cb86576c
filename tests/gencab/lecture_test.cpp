// Reading a cabinet back: what the host would refuse must be refused here too,
// or the expected answers would be worked out on a cabinet that never opens.
#include <gtest/gtest.h>

#include "fichiers.h"
#include "gencab.h"

namespace {

const char PATIENTS[] = "1\tMARTIN\tL\xE9" "a\t01/02/1990\r\n2\tPETIT\tPaul\t29/02/2000\r\n";
const char DOSSIERS[] = "10\t7\t1\t01/01/2020\tOrdonnance\r\n-3\t2\t2\t02/01/2020\t\r\n"
                        "8\t7\t2\t03/01/2020\r\n";

TEST(GencabLecture, CabinetsAcceptes)
{
    std::string d = dossier_essai("lecture");
    const struct {
        const char* nom;
        std::string dossiers;
        std::string ordonnances;
        size_t avec_texte;
    } cas[] = {
        {"simple", DOSSIERS, enregistrement(10, "<text>Zorix</text>"), 1},
        {"lf", "10\t7\t1\t01/01/2020\tx\n8\t7\t2\t00/00/0\n",
         enregistrement(10, "a\n@@ 8 3\nb") + enregistrement(8, ""), 2},
        {"crlf", DOSSIERS, "@@ 10 2\r\nab\r\n@@ 8 0\r\n\r\n", 2},
        {"sans_fin_de_ligne", DOSSIERS, "@@ 10 2\nab", 1},
        {"vide", DOSSIERS, "", 0},
    };
    for (const auto& c : cas) {
        ASSERT_TRUE(ecrire_cabinet_essai(d, c.nom, PATIENTS, c.dossiers, c.ordonnances));
        Cabinet cab;
        std::string erreur;
        ASSERT_TRUE(lire_cabinet(d, c.nom, cab, erreur)) << c.nom << ": " << erreur;
        size_t avec_texte = 0;
        for (const EntreeDossier& e : cab.entrees)
            avec_texte += e.a_texte;
        EXPECT_EQ(avec_texte, c.avec_texte) << c.nom;
        ASSERT_EQ(cab.patients.size(), 2u) << c.nom;
        EXPECT_EQ(cab.patients[0].prenom, "L\xE9" "a") << c.nom;
    }
    Cabinet cab;
    std::string erreur;
    ASSERT_TRUE(lire_cabinet(d, "lf", cab, erreur));
    ASSERT_EQ(cab.entrees.size(), 2u);
    EXPECT_EQ(cab.ordonnances.substr(cab.entrees[1].debut, cab.entrees[1].longueur), "a\n@@ 8 3\nb");
    EXPECT_EQ(cab.entrees[0].date, 0u);
}

TEST(GencabLecture, CabinetsCorrompusRefuses)
{
    std::string d = dossier_essai("corrompus");
    const struct {
        const char* nom;
        std::string patients;
        std::string dossiers;
        std::string ordonnances;
    } cas[] = {
        {"cle_inconnue", PATIENTS, DOSSIERS, enregistrement(11, "x")},
        {"pas_ordonnance", PATIENTS, DOSSIERS, enregistrement(-3, "x")},
        {"en_double", PATIENTS, DOSSIERS, enregistrement(10, "x") + enregistrement(10, "y")},
        {"trop_long", PATIENTS, DOSSIERS, "@@ 10 50\nabc\n"},
        {"trop_court", PATIENTS, DOSSIERS, "@@ 10 2\nabc\n"},
        {"entete", PATIENTS, DOSSIERS, "@ 10 2\nab\n"},
        {"longueur_negative", PATIENTS, DOSSIERS, "@@ 10 -1\n\n"},
        {"cle_nulle", PATIENTS, DOSSIERS + std::string("0\t1\t1\t01/01/2020\t\r\n"), ""},
        {"cle_repetee", PATIENTS, DOSSIERS + std::string("8\t1\t1\t01/01/2020\t\r\n"), ""},
        {"cle_trop_grande", PATIENTS, "2147483648\t1\t1\t01/01/2020\t\r\n", ""},
        {"champ_manquant", PATIENTS, "5\t1\t01/01/2020\r\n", ""},
        {"date_invalide", PATIENTS, "5\t1\t1\t01/13\r\n", ""},
        {"jour_trop_grand", PATIENTS, "5\t1\t1\t256/01/2020\r\n", ""},
        {"fiche_repetee", std::string(PATIENTS) + "1\tROUX\tYves\t01/01/1960\r\n", DOSSIERS, ""},
        {"fiche_trop_grande", "65536\tROUX\tYves\t01/01/1960\r\n", DOSSIERS, ""},
        {"nom_trop_long", "3\tDELACROIX-MONTFERRANS\tYves\t01/01/1960\r\n", DOSSIERS, ""},
    };
    for (const auto& c : cas) {
        ASSERT_TRUE(ecrire_cabinet_essai(d, c.nom, c.patients, c.dossiers, c.ordonnances));
        Cabinet cab;
        std::string erreur;
        EXPECT_FALSE(lire_cabinet(d, c.nom, cab, erreur)) << c.nom;
        EXPECT_FALSE(erreur.empty()) << c.nom;
    }
    Cabinet cab;
    std::string erreur;
    EXPECT_FALSE(lire_cabinet(d, "absent", cab, erreur));
}

}  // namespace
