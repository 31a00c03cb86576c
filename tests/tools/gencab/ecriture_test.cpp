// Generated cabinets: reproducible to the byte, and well formed.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdlib.h>

#include "etalon.h"
#include "fichiers.h"
#include "gencab.h"

namespace {

const char* const FICHIERS[] = {"utilisateurs.txt", "patients.txt", "dossiers.txt",
                                "ordonnances.txt"};

bool generer(const std::string& dossier, const char* nom, uint64_t graine, long long entrees,
             long patients)
{
    ParametresCabinet p;
    p.dossier = dossier;
    p.cabinet = nom;
    p.utilisateur = "docteur";
    p.graine = graine;
    p.entrees = entrees;
    p.patients = patients;
    std::string erreur;
    bool ok = ecrire_cabinet(p, erreur);
    EXPECT_TRUE(ok) << erreur;
    return ok;
}

std::string contenu(const std::string& dossier, const char* nom, const char* fichier)
{
    std::string s;
    EXPECT_TRUE(lire_fichier(chemin_fichier(dossier, nom, fichier), s)) << fichier;
    return s;
}

TEST(GencabEcriture, MemeGraineMemesOctets)
{
    std::string d = dossier_essai("determinisme");
    ASSERT_TRUE(generer(d, "a", 11, 3000, 200));
    ASSERT_TRUE(generer(d, "b", 11, 3000, 200));
    ASSERT_TRUE(generer(d, "c", 12, 3000, 200));
    // Every file number taken: the partial shuffle runs to its very end.
    ASSERT_TRUE(generer(d, "d", 11, 500, 65536));
    ASSERT_TRUE(generer(d, "e", 11, 500, 65536));
    for (const char* f : FICHIERS) {
        EXPECT_EQ(contenu(d, "a", f), contenu(d, "b", f)) << f;
        EXPECT_EQ(contenu(d, "d", f), contenu(d, "e", f)) << f;
    }
    EXPECT_NE(contenu(d, "a", "dossiers.txt"), contenu(d, "c", "dossiers.txt"));
    EXPECT_NE(contenu(d, "a", "ordonnances.txt"), contenu(d, "c", "ordonnances.txt"));
    EXPECT_EQ(contenu(d, "a", "utilisateurs.txt"), "docteur\r\n");
}

TEST(GencabEcriture, CabinetGenereBienForme)
{
    std::string d = dossier_essai("forme");
    ASSERT_TRUE(generer(d, "f", 3, 5000, 300));
    CabinetLu c;
    std::string erreur;
    ASSERT_TRUE(lire_cabinet(d, "f", c, erreur)) << erreur;
    ASSERT_EQ(c.entrees.size(), 5000u);
    ASSERT_EQ(c.patients.size(), 300u);
    EXPECT_EQ(c.patients[0].fiche, 0);
    EXPECT_GT(c.patients.back().fiche, 300) << "file numbers should be scattered";

    std::vector<uint32_t> naissance(65536, 0xFFFFFFFFu);
    int nes_29_fevrier = 0;
    for (const FichePatient& p : c.patients) {
        naissance[p.fiche] = p.naissance;
        nes_29_fevrier += jour_de(p.naissance) == 29 && mois_de(p.naissance) == 2;
        EXPECT_GE(annee_de(p.naissance), 1927);
        EXPECT_LE(p.naissance, date_packee(30, 6, 2026));
    }
    EXPECT_GT(nes_29_fevrier, 0);

    int negatives = 0, ordonnances = 0, sans_texte = 0, lues_en_rtf = 0;
    size_t octets = 0, de_taille_courante = 0;
    for (const EntreeDossier& e : c.entrees) {
        ASSERT_NE(naissance[e.fiche], 0xFFFFFFFFu) << "entry of an unknown patient " << e.cle;
        EXPECT_GE(e.date, naissance[e.fiche]) << e.cle;
        EXPECT_GE(e.date, date_packee(1, 1, 1995)) << e.cle;
        EXPECT_LE(e.date, date_packee(31, 12, 2026)) << e.cle;
        negatives += e.cle < 0;
        if (e.type != 7)
            continue;
        ++ordonnances;
        if (!e.a_texte) {
            ++sans_texte;
            continue;
        }
        octets += e.longueur;
        de_taille_courante += e.longueur >= 500 && e.longueur <= 1500;
        EXPECT_EQ(c.ordonnances.find('\0', e.debut) >= e.debut + e.longueur, true) << e.cle;
        // Whatever its form, the RTF part shows the lines of the text part.
        std::string o = c.ordonnances.substr(e.debut, e.longueur);
        const char* t = etalon_stristr(o.c_str(), "<text>");
        const char* ft = t ? etalon_stristr(t, "</text>") : nullptr;
        const char* r = etalon_stristr(o.c_str(), "<rtf>");
        const char* fr = r ? etalon_stristr(r, "</rtf>") : nullptr;
        if (ft && fr) {
            EXPECT_EQ(etalon_texte_rtf(std::string(r + 5, fr).c_str()),
                      std::string(t + 6, ft) + "\r\n")
                << e.cle;
            ++lues_en_rtf;
        }
    }
    EXPECT_GT(negatives, 2000);
    EXPECT_LT(negatives, 3000);
    EXPECT_GT(ordonnances, 850);
    EXPECT_LT(ordonnances, 1150);
    EXPECT_GT(sans_texte, 0);
    EXPECT_GT(lues_en_rtf, ordonnances / 2);
    // Half a kilobyte to a kilobyte and a half, but for the odd ones without
    // one of their parts.
    size_t avec_texte = (size_t)(ordonnances - sans_texte);
    EXPECT_GE(octets / avec_texte, 700u);
    EXPECT_LE(octets / avec_texte, 1100u);
    EXPECT_GE(de_taille_courante * 10, avec_texte * 9);

    // The file lists the keys in no particular order.
    std::string lignes = contenu(d, "f", "dossiers.txt");
    std::vector<long long> dans_le_fichier;
    for (size_t p = 0; p < lignes.size(); p = lignes.find('\n', p) + 1)
        dans_le_fichier.push_back(atoll(lignes.c_str() + p));
    EXPECT_FALSE(std::is_sorted(dans_le_fichier.begin(), dans_le_fichier.end()));
    EXPECT_NE(lignes.find("\t2\t"), std::string::npos);
    EXPECT_NE(lignes.find("\t3\t"), std::string::npos);

    // Every kind of spelling is there, and file number 0 (its first two
    // prescriptions, on one day) is found.
    for (const char* morceau : {"<TEXT>", "Z\326RIX", "Zorax", "Zori x", "<titre>", "zorix"})
        EXPECT_NE(c.ordonnances.find(morceau), std::string::npos) << morceau;
    std::string reponse = calculer_attendu(c, "Zorix", date_packee(1, 1, 2027));
    EXPECT_EQ(reponse.compare(0, 2, "0\t"), 0);
    EXPECT_GT(std::count(reponse.begin(), reponse.end(), '\n'), 50);
}

TEST(GencabEcriture, ArgumentsRefuses)
{
    std::string d = dossier_essai("arguments");
    const char* mauvais[][12] = {
        {"gencab"},
        {"gencab", "effacer"},
        {"gencab", "ecrire", "--dossier", d.c_str(), "--cabinet", "x", "--graine", "1", "--entrees",
         "10", "--patients", "0"},
        {"gencab", "ecrire", "--dossier", d.c_str(), "--cabinet", "x", "--graine", "1", "--entrees",
         "10", "--patients", "65537"},
        {"gencab", "ecrire", "--dossier", d.c_str(), "--cabinet", "x", "--graine", "-1",
         "--entrees", "10", "--patients", "5"},
        {"gencab", "ecrire", "--dossier", d.c_str(), "--cabinet", "x", "--graine", "1", "--entrees",
         "10", "--inconnue", "5"},
        {"gencab", "attendu", "--dossier", d.c_str(), "--cabinet", "x"},
        {"gencab", "attendu", "--dossier", d.c_str(), "--cabinet", "x", "--texte-hex", "5A6"},
        {"gencab", "attendu", "--dossier", d.c_str(), "--cabinet", "x", "--texte", "a",
         "--aujourdhui", "1/2"},
    };
    for (auto& a : mauvais) {
        int argc = 0;
        while (argc < 12 && a[argc])
            ++argc;
        EXPECT_EQ(gencab_principal(argc, const_cast<char**>(a)), 2) << a[1];
    }
}

}  // namespace
