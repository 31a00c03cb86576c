// The answer a search must give, each prescription decided by the yardstick.
#include "gencab.h"
#include "etalon.h"

#include <algorithm>

static const unsigned TAILLE_RECHERCHE = 259;  // what the search box holds

bool ordonnance_attendue(const std::string& brut, const std::string& recherche)
{
    // The host hands out a NUL-terminated copy of the text, cut in place.
    std::vector<char> texte(brut.begin(), brut.end());
    texte.push_back('\0');
    std::string cherche =
        recherche.substr(0, std::min(recherche.find('\0'), (size_t)TAILLE_RECHERCHE));
    for (char& c : cherche)
        c = (char)etalon_plier((unsigned char)c);
    return etalon_ordonnance(texte.data(), cherche.c_str()) != 0;
}

struct Decompte {
    int nb;
    uint32_t premiere;
    uint32_t derniere;
};

std::string calculer_attendu(const CabinetLu& c, const std::string& recherche, uint32_t aujourdhui)
{
    std::vector<Decompte> decomptes(65536, Decompte{0, 0, 0});
    int occurrences = 0;
    for (const EntreeDossier& e : c.entrees) {
        if (e.type != 7 || !e.a_texte)
            continue;
        if (!ordonnance_attendue(c.ordonnances.substr(e.debut, e.longueur), recherche))
            continue;
        Decompte& d = decomptes[e.fiche];
        if (d.nb == 0 || e.date < d.premiere)
            d.premiere = e.date;
        if (d.nb == 0 || e.date > d.derniere)
            d.derniere = e.date;
        ++d.nb;
        ++occurrences;
    }

    std::string sortie;
    int patients = 0;
    size_t suivant = 0;  // c.patients is in ascending file number too
    for (uint32_t f = 0; f < 65536; ++f) {
        const Decompte& d = decomptes[f];
        if (d.nb == 0)
            continue;
        while (suivant < c.patients.size() && c.patients[suivant].fiche < f)
            ++suivant;
        const FichePatient* p = suivant < c.patients.size() && c.patients[suivant].fiche == f
                                    ? &c.patients[suivant]
                                    : nullptr;
        ajouter_entier(sortie, f);
        sortie += '\t';
        if (p) {
            sortie += p->nom + " " + p->prenom + "\t";
            int ans, mois;
            calculer_age(p->naissance, aujourdhui, ans, mois);
            ajouter_entier(sortie, ans);
            sortie += ans > 1 ? " ans " : " an ";
            if (mois < 10)
                sortie += '0';
            ajouter_entier(sortie, mois);
            sortie += " m";
        } else {
            sortie += " \t";  // unknown to the host: empty names, no age
        }
        sortie += '\t';
        ajouter_entier(sortie, d.nb);
        sortie += '\t';
        ajouter_date(sortie, d.premiere);
        sortie += '\t';
        ajouter_date(sortie, d.derniere);
        sortie += '\n';
        ++patients;
    }
    sortie += "RESUME\t";
    ajouter_entier(sortie, occurrences);
    sortie += " occ. - ";
    ajouter_entier(sortie, patients);
    sortie += " Patients\n";
    return sortie;
}
