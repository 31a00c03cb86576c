// Whole runs against the scripted host, read back from the real controls.
#include <stdint.h>

#include <algorithm>
#include <climits>

#include "balayage.h"
#include "essai.h"
#include "hote_simule.h"
#include "controles.h"

static const DWORD AUJOURDHUI = date_packee(15, 6, 2024);

static std::string resume()
{
    return boites.size() == 1 ? boites[0].texte : "(" + std::to_string(boites.size()) + " boxes)";
}

// type 1 entries, to fill the enumeration.
static void consultations(LONG premiere, int n)
{
    for (int k = 0; k < n; k++)
        ajouter_entree(premiere + k, 1, 1, date_packee(1, 1, 2000), "<text>Zorix</text>");
}

TEST_F(Recherche, AccentsEtCassePlies)
{
    texte_recherche("P\311NICILLINE");
    char relu[64];
    GetDlgItemTextA(dialogue_essai(), IDD_TXT_ORDO, relu, sizeof relu);
    ASSERT_STREQ(relu, "P\311NICILLINE") << "this Wine prefix does not use code page 1252";

    ajouter_ordonnance(1, 1, AUJOURDHUI, "p\351nicilline");
    ajouter_ordonnance(2, 2, AUJOURDHUI, "Penicilline 1 g");
    ajouter_ordonnance(3, 3, AUJOURDHUI, "PENICILLINE");
    ajouter_ordonnance(4, 4, AUJOURDHUI, "p\313nicilline");
    ajouter_ordonnance(5, 5, AUJOURDHUI, "penicillin");
    ajouter_ordonnance(6, 6, AUJOURDHUI, "p\306nicilline");
    lancer_recherche();
    EXPECT_EQ(resume(), "4 occ. - 4 Patients");
}

TEST_F(Recherche, TexteVideNeTrouveRienMaisLitTout)
{
    texte_recherche("");
    ajouter_ordonnance(1, 1, AUJOURDHUI, "Zorix");
    ajouter_ordonnance(2, 2, AUJOURDHUI, "");
    ajouter_entree(3, 1, 3, AUJOURDHUI, "<text>Zorix</text>");
    lancer_recherche();
    EXPECT_EQ(resume(), "0 occ. - 0 Patients");
    EXPECT_EQ(journal_hote.lus.size(), 3u);
    EXPECT_EQ(nombre_appels("ReadXMLOrdonnances"), 2);
    EXPECT_TRUE(lignes_liste().empty());
    verifier_memoire();
}

TEST_F(Recherche, UneFoisParOrdonnanceEtDatesExtremes)
{
    ajouter_patient(1, "NOM", "Pr\351nom", date_packee(15, 3, 1982));
    ajouter_patient(2, "DUPONT", "Jean", date_packee(15, 11, 2023));
    ajouter_ordonnance(10, 1, date_packee(12, 3, 2003), "Zorix Zorix ZORIX");
    ajouter_ordonnance(20, 1, date_packee(2, 1, 2004), "zorix");
    ajouter_ordonnance(30, 1, date_packee(15, 7, 2002), "Zorix 25 mg");
    ajouter_ordonnance(40, 2, date_packee(9, 9, 2009), "Zorix");
    ajouter_ordonnance(50, 2, date_packee(9, 9, 2009), "Zorix");
    lancer_recherche();
    EXPECT_EQ(resume(), "5 occ. - 2 Patients");
    std::vector<Ligne> attendu = {
        {"NOM Pr\351nom", "42 ans 03 m", "3", "15/07/2002", "02/01/2004"},
        {"DUPONT Jean", "0 an 07 m", "2", "09/09/2009", "09/09/2009"},
    };
    EXPECT_EQ(lignes_liste(), attendu);
    verifier_memoire();
}

TEST_F(Recherche, SeulesLesOrdonnancesSontCherchees)
{
    for (signed char type : {0, 1, 2, 3, 6, 8, -7})
        ajouter_entree(100 + type, type, 1, AUJOURDHUI, "<text>Zorix</text><rtf>Zorix</rtf>");
    ajouter_ordonnance(200, 2, AUJOURDHUI, "Zorix");
    lancer_recherche();
    EXPECT_EQ(resume(), "1 occ. - 1 Patients");
    EXPECT_EQ(nombre_appels("ReadXMLOrdonnances"), 1);
    EXPECT_EQ(journal_hote.xml_hors_ordonnance, 0);
}

TEST_F(Recherche, ClesLuesDansLOrdreCroissant)
{
    for (LONG cle : {5L, -3L, (LONG)INT_MAX, (LONG)INT_MIN, 1L, 100L, -1L})
        ajouter_ordonnance(cle, 1, AUJOURDHUI, "Zorix");
    lancer_recherche();
    std::vector<LONG> attendu = {INT_MIN, -3, -1, 1, 5, 100, INT_MAX};
    EXPECT_EQ(journal_hote.lus, attendu);
    EXPECT_EQ(resume(), "7 occ. - 1 Patients");
}

TEST_F(Recherche, ZeroDeKMNextKeyFinitLaListe)
{
    ajouter_ordonnance(30, 1, AUJOURDHUI, "Zorix");
    ajouter_ordonnance(10, 2, AUJOURDHUI, "Zorix");
    ajouter_ordonnance(20, 3, AUJOURDHUI, "Zorix");
    script_hote.cles = {30, 10, 0, 20};
    lancer_recherche();
    EXPECT_EQ(journal_hote.lus, (std::vector<LONG>{10, 30}));
    EXPECT_EQ(nombre_appels("KMNextKey"), 2);
    EXPECT_EQ(plage_progression().iHigh, 4);
    EXPECT_EQ(position_progression(), 2);
    EXPECT_EQ(resume(), "2 occ. - 2 Patients");
}

TEST_F(Recherche, AucuneCle)
{
    lancer_recherche();
    EXPECT_EQ(nombre_appels("KMFirstKey"), 0);
    EXPECT_TRUE(journal_hote.lus.empty());
    EXPECT_EQ(plage_progression().iLow, 0);
    EXPECT_EQ(plage_progression().iHigh, 0);
    EXPECT_EQ(position_progression(), 0);
    EXPECT_EQ(resume(), "0 occ. - 0 Patients");
    verifier_memoire();
}

TEST_F(Recherche, SoixanteDixMilleCles)
{
    consultations(1, 69998);
    ajouter_ordonnance(-5, 4, date_packee(1, 2, 2003), "Zorix");
    ajouter_ordonnance(80000, 4, date_packee(1, 2, 2001), "Zorix");
    lancer_recherche();
    std::vector<LONG> triees = script_hote.cles;
    std::sort(triees.begin(), triees.end());
    EXPECT_TRUE(journal_hote.lus == triees) << "keys lost or misread";
    EXPECT_EQ(plage_progression().iHigh, 70000);
    EXPECT_EQ(position_progression(), 70000);
    EXPECT_EQ(resume(), "2 occ. - 1 Patients");
    verifier_memoire();
}

TEST_F(Recherche, PompageDesMessages)
{
    // Entries scanned -> how many pumpings, and the index of the entry just
    // scanned at the first, the second (-1: none) and the last.
    // clang-format off
    struct { int n, fois, premiere, deuxieme, derniere; } cas[] = {
        {1, 1, 0, -1, 0},           {10, 10, 0, 1, 9},
        {49, 49, 0, 1, 48},         {50, 25, 1, 3, 49},
        {99, 49, 1, 3, 97},         {100, 33, 2, 5, 98},
        {1000, 47, 20, 41, 986},    {2500, 49, 50, 101, 2498},
        {2549, 49, 50, 101, 2498},  {70000, 49, 1400, 2801, 68648},
    };
    // clang-format on
    for (const auto& c : cas) {
        hote_remise_a_zero();
        boites.clear();
        consultations(1, c.n);
        lancer_recherche();
        const std::vector<int>& pos = journal_hote.positions_boucle;
        ASSERT_EQ((int)pos.size(), c.fois) << c.n << " entries";
        EXPECT_EQ(pos[0], c.premiere) << c.n << " entries";
        EXPECT_EQ(pos.size() > 1 ? pos[1] : -1, c.deuxieme) << c.n << " entries";
        EXPECT_EQ(pos.back(), c.derniere) << c.n << " entries";
        EXPECT_EQ(position_progression(), c.n);
    }
}

TEST_F(Recherche, LignesParFicheCroissanteCellulesFormatees)
{
    ajouter_patient(0, "ZERO", "Zo\351", date_packee(15, 7, 2022));
    ajouter_patient(7, "SEPT", "Sam", date_packee(15, 11, 2023));
    ajouter_patient(65535, "DERNIER", "Dan", date_packee(15, 3, 1982));
    ajouter_ordonnance(1, 65535, date_packee(5, 3, 2004), "Zorix");
    ajouter_ordonnance(2, 7, date_packee(31, 12, 987), "Zorix");
    ajouter_ordonnance(3, 0, date_packee(1, 1, 5), "Zorix");
    lancer_recherche();
    std::vector<Ligne> attendu = {
        {"ZERO Zo\351", "1 an 11 m", "1", "01/01/   5", "01/01/   5"},
        {"SEPT Sam", "0 an 07 m", "1", "31/12/ 987", "31/12/ 987"},
        {"DERNIER Dan", "42 ans 03 m", "1", "05/03/2004", "05/03/2004"},
    };
    EXPECT_EQ(lignes_liste(), attendu);
}

TEST_F(Recherche, PatientInconnu)
{
    // The first row finds in the buffer what OpenPatients left there, the
    // third what the second row read: neither may pass for the unknown patient.
    ajouter_patient(2, "CONNU", "Carl", date_packee(15, 3, 1982));
    ajouter_ordonnance(1, 1, date_packee(5, 3, 2004), "Zorix");
    ajouter_ordonnance(2, 2, date_packee(5, 3, 2004), "Zorix");
    ajouter_ordonnance(3, 3, date_packee(6, 3, 2004), "Zorix");
    ajouter_ordonnance(4, 3, date_packee(4, 3, 2004), "Zorix");
    lancer_recherche();
    std::vector<Ligne> attendu = {
        {" ", "", "1", "05/03/2004", "05/03/2004"},
        {"CONNU Carl", "42 ans 03 m", "1", "05/03/2004", "05/03/2004"},
        {" ", "", "2", "04/03/2004", "06/03/2004"},
    };
    EXPECT_EQ(lignes_liste(), attendu);
    EXPECT_EQ(resume(), "4 occ. - 3 Patients");
}

TEST_F(Recherche, SecondeRechercheRepartDeZero)
{
    ajouter_ordonnance(1, 1, AUJOURDHUI, "Zorix");
    ajouter_ordonnance(2, 2, AUJOURDHUI, "Zorix");
    lancer_recherche();
    lancer_recherche();
    EXPECT_EQ(lignes_liste().size(), 2u);
    EXPECT_EQ(boites.size(), 2u);
    EXPECT_EQ(boites[1].texte, "2 occ. - 2 Patients");

    texte_recherche("Aspirine");
    lancer_recherche();
    EXPECT_TRUE(lignes_liste().empty());
    EXPECT_EQ(boites.back().texte, "0 occ. - 0 Patients");
}

TEST_F(Recherche, TexteLuUneSeuleFois)
{
    consultations(1, 10);
    ajouter_ordonnance(100, 1, AUJOURDHUI, "Zorix");
    script_hote.pendant_boucle = [](HWND hwnd) { SetDlgItemTextA(hwnd, IDD_TXT_ORDO, "Aspirine"); };
    lancer_recherche();
    EXPECT_EQ(resume(), "1 occ. - 1 Patients");
}

TEST_F(Recherche, TexteCoupeA259Octets)
{
    std::string long_texte(259, 'a');
    texte_recherche(long_texte + "bbbbbbbbbbbbbbbbbb");
    ajouter_ordonnance(1, 1, AUJOURDHUI, long_texte + "c");
    ajouter_ordonnance(2, 2, AUJOURDHUI, std::string(258, 'a'));
    lancer_recherche();
    EXPECT_EQ(resume(), "1 occ. - 1 Patients");
}

TEST_F(Recherche, ResumeEnFinDeRechercheEtOrdreDesAppels)
{
    consultations(1, 5);
    ajouter_patient(1, "NOM", "Prenom", date_packee(1, 1, 1990));
    ajouter_ordonnance(10, 1, AUJOURDHUI, "Zorix");
    ajouter_ordonnance(11, 2, AUJOURDHUI, "Zorix");
    lancer_recherche();

    ASSERT_EQ(boites.size(), 1u);
    const Boite& b = boites[0];
    EXPECT_EQ(b.titre, "Ordaskel");
    EXPECT_EQ(b.icone, (UINT)MB_ICONINFORMATION);
    EXPECT_TRUE(b.proprietaire_dialogue);
    EXPECT_EQ(b.lignes, 2);
    EXPECT_GE(b.allocations_locales, 1) << "the key list is freed after the summary";
    EXPECT_EQ(b.appels, journal_hote.appels.size()) << "host called after the summary";

    // The host's calls, one of each kind in the order first made.
    std::vector<std::string> ordre;
    for (const Appel& a : journal_hote.appels)
        if (ordre.empty() || ordre.back() != a.nom)
            ordre.push_back(a.nom);
    std::vector<std::string> attendu = {"OpenDossiers",  "KMNumberOfKey",
                                        "KMFirstKey",    "KMNextKey",
                                        "KMMessageLoop", "ReadXMLOrdonnances",
                                        "KMMessageLoop", "ReadXMLOrdonnances",
                                        "KMMessageLoop", "CloseDossiers",
                                        "OpenPatients",  "ReadPatients",
                                        "Today",         "GetAge",
                                        "ReadPatients",  "ClosePatients"};
    EXPECT_EQ(ordre, attendu);
    EXPECT_EQ(journal_hote.appels[0].arg, 1363000);
    for (const Appel& a : journal_hote.appels) {
        if (a.nom == "KMNumberOfKey" || a.nom == "KMFirstKey" || a.nom == "KMNextKey") {
            EXPECT_EQ(a.arg, 34);
        }
        if (a.nom == "OpenPatients") {
            EXPECT_EQ(a.arg, 0);
        }
    }
    verifier_memoire();
}

TEST(Balayage, OrdreDesCles)
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
