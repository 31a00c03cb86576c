// Any host that keeps the contract gives the right answer: hosts drawn from
// seeds, each over a cabinet written by gencab, must list the rows and the
// summary that gencab computes on its own. ORDASKEL_GRAINE=N replays seed N.
#include <stdlib.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "crochets.h"
#include "essai.h"
#include "hote_simule.h"

static const uint64_t GRAINES = 300;

static void charger(const CabinetLu& c)
{
    for (const EntreeDossier& e : c.entrees)
        ajouter_entree(e.cle, (signed char)e.type, e.fiche, e.date,
                       e.a_texte ? c.ordonnances.substr(e.debut, e.longueur) : "",
                       e.a_texte ? TEXTE_NORMAL : TEXTE_ABSENT);
    for (const FichePatient& p : c.patients)
        ajouter_patient(p.fiche, p.nom, p.prenom, p.naissance);
}

// gencab's answer over the keys the host enumerated before its count ran out.
static std::vector<Ligne> attendu(CabinetLu c, const std::string& texte, std::string& resume)
{
    size_t lues = std::min((size_t)std::max(script_hote.annonce, 0), script_hote.cles.size());
    std::set<LONG> enumerees(script_hote.cles.begin(), script_hote.cles.begin() + lues);
    c.entrees.erase(std::remove_if(c.entrees.begin(), c.entrees.end(),
                                   [&](const EntreeDossier& e) { return !enumerees.count(e.cle); }),
                    c.entrees.end());
    std::istringstream sortie(calculer_attendu(c, texte, script_hote.aujourdhui));
    std::vector<Ligne> lignes;
    for (std::string l; std::getline(sortie, l);) {
        Ligne champs;
        std::istringstream ls(l);
        for (std::string champ; std::getline(ls, champ, '\t');)
            champs.push_back(champ);
        if (champs[0] == "RESUME")
            resume = champs[1];
        else
            lignes.push_back(Ligne(champs.begin() + 1, champs.end()));
    }
    return lignes;
}

TEST_F(Recherche, TousLesHotesDuContrat)
{
    static const char* const textes[] = {"Zorix", "ZORIX lp", "rtf", "z\326RIX"};
    const char* seule = getenv("ORDASKEL_GRAINE");
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    ParametresCabinet p;
    p.dossier = std::string(temp) + "ordaskel-hotes";
    p.cabinet = "hotes";
    p.utilisateur = "docteur";
    CabinetLu c;
    p.graine = 0;
    for (uint64_t graine = 1; graine <= GRAINES && !HasFailure(); graine++) {
        if (seule && strtoull(seule, nullptr, 10) != graine)
            continue;
        // Three hosts, with three search texts, over each cabinet.
        if (p.graine != (graine + 2) / 3) {
            p.graine = (graine + 2) / 3;
            p.entrees = 10 + (long long)(p.graine * 37 % 150);
            p.patients = 1 + (long)(p.graine * 13 % 40);
            p.difficiles = p.graine % 4 != 0;
            std::string erreur;
            ASSERT_TRUE(ecrire_cabinet(p, erreur) && lire_cabinet(p.dossier, p.cabinet, c, erreur))
                << erreur;
        }

        hote_remise_a_zero();
        crochets_remise_a_zero();
        boites.clear();
        const char* texte = textes[graine % 4];
        texte_recherche(texte);
        charger(c);
        SCOPED_TRACE("seed " + std::to_string(graine) + " (ORDASKEL_GRAINE), cabinet " +
                     std::to_string(p.graine) + ", \"" + texte + "\", " + hote_varie(graine));
        std::string resume;
        std::vector<Ligne> lignes = attendu(c, texte, resume);
        lancer_recherche();

        EXPECT_EQ(journal_hote.curseur_perdu, 0)
            << "the key cursor the host kept since this run or the last one was overwritten";
        ASSERT_EQ(boites.size(), 1u);
        EXPECT_EQ(boites[0].texte, resume);
        EXPECT_TRUE(lignes_liste() == lignes) << lignes.size() << " rows expected";
        verifier_memoire();
    }
}
