// The answer a search must give, worked out on whole strings: fold a copy of
// each part, then look for the folded search text with std::string::find.
#include "gencab.h"

#include <algorithm>

static const unsigned TAILLE_RECHERCHE = 259;  // what the search box holds

struct Pliage {
    unsigned char table[256];
};

static Pliage construire_pliage()
{
    static const struct {
        const char* lettres;
        char cible;
    } groupes[] = {
        {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", 'a'},
        {"\xC7\xE7", 'c'},
        {"\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", 'e'},
        {"\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", 'i'},
        {"\xD1\xF1", 'n'},
        {"\xD2\xD3\xD4\xD5\xD6\xF2\xF3\xF4\xF5\xF6", 'o'},
        {"\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", 'u'},
        {"\xDD\xFD\xFF", 'y'},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0},
    };
    Pliage p;
    for (int i = 0; i < 256; ++i)
        p.table[i] = (unsigned char)i;
    for (const auto& g : groupes)
        for (const char* l = g.lettres; *l; ++l)
            p.table[(unsigned char)*l] = g.cible ? (unsigned char)g.cible
                                                 : (unsigned char)(*l - 'A' + 'a');
    return p;
}

std::string plier(const std::string& texte)
{
    static const Pliage p = construire_pliage();
    std::string r(texte);
    for (char& c : r)
        c = (char)p.table[(unsigned char)c];
    return r;
}

static std::string majuscules_ascii(const std::string& s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return r;
}

bool ordonnance_attendue(const std::string& brut, const std::string& recherche)
{
    // The host gives a NUL-terminated text: nothing after a NUL is seen.
    std::string texte = brut.substr(0, std::min(brut.size(), brut.find('\0')));
    std::string pliee = plier(recherche.substr(0, std::min(recherche.find('\0'),
                                                          (size_t)TAILLE_RECHERCHE)));
    if (pliee.empty())
        return false;

    // Tags are found without ASCII case; each closing tag after its own opening.
    std::string haut = majuscules_ascii(texte);
    const size_t aucun = std::string::npos;
    size_t debut_text = haut.find("<TEXT>");
    size_t fin_text = debut_text == aucun ? aucun : haut.find("</TEXT>", debut_text);
    size_t debut_rtf = haut.find("<RTF>");
    size_t fin_rtf = debut_rtf == aucun ? aucun : haut.find("</RTF>", debut_rtf);
    // Both closing tags are located before either is cut, then both become NULs.
    if (fin_text != aucun)
        texte[fin_text] = '\0';
    if (fin_rtf != aucun)
        texte[fin_rtf] = '\0';

    for (size_t debut : {debut_text, debut_rtf}) {
        if (debut == aucun)
            continue;
        std::string partie(texte.c_str() + debut);
        if (plier(partie).find(pliee) != aucun)
            return true;
    }
    return false;
}

struct Decompte {
    int nb;
    uint32_t premiere;
    uint32_t derniere;
};

std::string calculer_attendu(const Cabinet& c, const std::string& recherche,
                             uint32_t aujourdhui)
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
        const FichePatient* p =
            suivant < c.patients.size() && c.patients[suivant].fiche == f ? &c.patients[suivant]
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
