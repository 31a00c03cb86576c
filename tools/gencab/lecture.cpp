// Reads a cabinet back from its four files and checks it the way the host
// does before opening it: any malformed or blank line, or malformed record,
// makes it corrupt.
#include "gencab.h"

#include <algorithm>
#include <stdio.h>

bool lire_fichier(const std::string& chemin, std::string& contenu)
{
    contenu.clear();
    FILE* f = fopen(chemin.c_str(), "rb");
    if (!f)
        return false;
    const size_t bloc = 16u << 20;
    size_t lus;
    do {
        size_t taille = contenu.size();
        contenu.resize(taille + bloc);
        lus = fread(&contenu[taille], 1, bloc, f);
        contenu.resize(taille + lus);
    } while (lus == bloc);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

// The lines of a file, each ended by "\n", "\r\n" or the end of the file; a
// CR that ends the file is left in the line, where no field accepts it.
static bool ligne_suivante(const std::string& s, size_t& pos, const char*& debut, size_t& n)
{
    if (pos >= s.size())
        return false;
    size_t fin = s.find('\n', pos);
    bool terminee = fin != std::string::npos;
    if (!terminee)
        fin = s.size();
    debut = s.data() + pos;
    n = fin - pos;
    if (terminee && n > 0 && debut[n - 1] == '\r')
        --n;
    pos = fin + 1;
    return true;
}

// Splits at every TAB.
static void decouper(const char* d, size_t n, std::vector<std::string>& champs)
{
    champs.clear();
    size_t i = 0;
    for (size_t j = 0; j < n; ++j) {
        if (d[j] == '\t') {
            champs.push_back(std::string(d + i, j - i));
            i = j + 1;
        }
    }
    champs.push_back(std::string(d + i, n - i));
}

// Decimal digits, any number of them, with a minus sign only where the range
// has negative values.
static bool lire_entier(const std::string& s, long long min, long long max, long long& v)
{
    size_t i = 0;
    bool negatif = min < 0 && !s.empty() && s[0] == '-';
    if (negatif)
        ++i;
    if (i == s.size())
        return false;
    v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
        if (v > 0xFFFFFFFFFFLL)
            return false;
    }
    if (negatif)
        v = -v;
    return v >= min && v <= max;
}

// Names and titles: anything but a NUL or a CR.
static bool texte_permis(const std::string& s)
{
    return s.find('\0') == std::string::npos && s.find('\r') == std::string::npos;
}

static bool lire_champ_date(const std::string& s, uint32_t& date)
{
    return lire_date(s.data(), s.size(), date);
}

static bool erreur_ligne(std::string& erreur, const char* fichier, long numero, const char* quoi)
{
    erreur = std::string(fichier) + ", ligne ";
    ajouter_entier(erreur, numero);
    erreur += ": ";
    erreur += quoi;
    return false;
}

static bool lire_patients(const std::string& contenu, CabinetLu& c, std::string& erreur)
{
    std::vector<bool> vue(65536, false);
    std::vector<std::string> champs;
    size_t pos = 0;
    const char* d;
    size_t n;
    long numero = 0;
    while (ligne_suivante(contenu, pos, d, n)) {
        ++numero;
        decouper(d, n, champs);
        long long fiche;
        FichePatient p;
        if (champs.size() != 4 || !lire_entier(champs[0], 0, 65535, fiche) ||
            !texte_permis(champs[1]) || !texte_permis(champs[2]) ||
            !lire_champ_date(champs[3], p.naissance))
            return erreur_ligne(erreur, "patients.txt", numero, "ligne mal formee");
        if (champs[1].size() > 20 || champs[2].size() > 20)
            return erreur_ligne(erreur, "patients.txt", numero, "nom trop long");
        if (vue[(size_t)fiche])
            return erreur_ligne(erreur, "patients.txt", numero, "fiche en double");
        vue[(size_t)fiche] = true;
        p.fiche = (uint16_t)fiche;
        p.nom = champs[1];
        p.prenom = champs[2];
        c.patients.push_back(p);
    }
    std::sort(c.patients.begin(), c.patients.end(),
              [](const FichePatient& a, const FichePatient& b) { return a.fiche < b.fiche; });
    return true;
}

static bool lire_dossiers(const std::string& contenu, CabinetLu& c, std::string& erreur)
{
    std::vector<std::string> champs;
    size_t pos = 0;
    const char* d;
    size_t n;
    long numero = 0;
    while (ligne_suivante(contenu, pos, d, n)) {
        ++numero;
        decouper(d, n, champs);
        long long cle, type, fiche;
        EntreeDossier e;
        if (champs.size() != 5 || !lire_entier(champs[0], INT32_MIN, INT32_MAX, cle) ||
            !lire_entier(champs[1], -128, 127, type) || !lire_entier(champs[2], 0, 65535, fiche) ||
            !lire_champ_date(champs[3], e.date) || !texte_permis(champs[4]))
            return erreur_ligne(erreur, "dossiers.txt", numero, "ligne mal formee");
        if (cle == 0)
            return erreur_ligne(erreur, "dossiers.txt", numero, "cle nulle");
        e.cle = (int32_t)cle;
        e.type = (int)type;
        e.fiche = (uint16_t)fiche;
        e.a_texte = false;
        e.debut = 0;
        e.longueur = 0;
        c.entrees.push_back(e);
    }
    std::sort(c.entrees.begin(), c.entrees.end(),
              [](const EntreeDossier& a, const EntreeDossier& b) { return a.cle < b.cle; });
    for (size_t i = 1; i < c.entrees.size(); ++i) {
        if (c.entrees[i].cle == c.entrees[i - 1].cle) {
            erreur = "dossiers.txt: cle en double ";
            ajouter_entier(erreur, c.entrees[i].cle);
            return false;
        }
    }
    return true;
}

static bool lire_nombre_entete(const std::string& s, size_t& pos, long long min, long long max,
                               long long& v)
{
    size_t debut = pos;
    if (pos < s.size() && s[pos] == '-')
        ++pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9')
        ++pos;
    return lire_entier(s.substr(debut, pos - debut), min, max, v);
}

static bool erreur_enregistrement(std::string& erreur, size_t pos, const char* quoi)
{
    erreur = "ordonnances.txt, octet ";
    ajouter_entier(erreur, (long long)pos);
    erreur += ": ";
    erreur += quoi;
    return false;
}

// "\n" or "\r\n" at pos.
static bool fin_de_ligne(const std::string& s, size_t& pos)
{
    if (s.compare(pos, 1, "\n") == 0) {
        pos += 1;
        return true;
    }
    if (s.compare(pos, 2, "\r\n") == 0) {
        pos += 2;
        return true;
    }
    return false;
}

static bool lire_ordonnances(CabinetLu& c, std::string& erreur)
{
    const std::string& s = c.ordonnances;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t entete = pos;
        long long cle, longueur;
        if (s.compare(pos, 3, "@@ ") != 0)
            return erreur_enregistrement(erreur, entete, "en-tete attendu");
        pos += 3;
        if (!lire_nombre_entete(s, pos, INT32_MIN, INT32_MAX, cle) || pos >= s.size() ||
            s[pos++] != ' ' || !lire_nombre_entete(s, pos, 0, 0xFFFFFFFFLL, longueur) ||
            !fin_de_ligne(s, pos))
            return erreur_enregistrement(erreur, entete, "en-tete mal forme");
        if ((unsigned long long)longueur > s.size() - pos)
            return erreur_enregistrement(erreur, entete, "longueur fausse");
        EntreeDossier cherchee;
        cherchee.cle = (int32_t)cle;
        auto e = std::lower_bound(
            c.entrees.begin(), c.entrees.end(), cherchee,
            [](const EntreeDossier& a, const EntreeDossier& b) { return a.cle < b.cle; });
        if (e == c.entrees.end() || e->cle != (int32_t)cle)
            return erreur_enregistrement(erreur, entete, "cle inconnue");
        if (e->type != 7)
            return erreur_enregistrement(erreur, entete, "l'entree n'est pas une ordonnance");
        if (e->a_texte)
            return erreur_enregistrement(erreur, entete, "ordonnance en double");
        e->a_texte = true;
        e->debut = pos;
        e->longueur = (size_t)longueur;
        pos += (size_t)longueur;
        // Each record ends with its own line break.
        if (!fin_de_ligne(s, pos))
            return erreur_enregistrement(erreur, entete, "longueur fausse");
    }
    return true;
}

bool lire_cabinet(const std::string& dossier, const std::string& nom, CabinetLu& c,
                  std::string& erreur)
{
    c = CabinetLu();
    std::string contenu;
    if (!lire_fichier(chemin_fichier(dossier, nom, "utilisateurs.txt"), contenu)) {
        erreur = "utilisateurs.txt illisible";
        return false;
    }
    // One name per line; blank lines name nobody.
    for (size_t pos = 0; pos < contenu.size();) {
        size_t fin = std::min(contenu.find('\n', pos), contenu.size());
        size_t n = fin - pos;
        if (n > 0 && contenu[fin - 1] == '\r')
            --n;
        if (n > 0)
            c.utilisateurs.push_back(contenu.substr(pos, n));
        pos = fin + 1;
    }

    if (!lire_fichier(chemin_fichier(dossier, nom, "patients.txt"), contenu)) {
        erreur = "patients.txt illisible";
        return false;
    }
    if (!lire_patients(contenu, c, erreur))
        return false;
    if (!lire_fichier(chemin_fichier(dossier, nom, "dossiers.txt"), contenu)) {
        erreur = "dossiers.txt illisible";
        return false;
    }
    if (!lire_dossiers(contenu, c, erreur))
        return false;
    if (!lire_fichier(chemin_fichier(dossier, nom, "ordonnances.txt"), c.ordonnances)) {
        erreur = "ordonnances.txt illisible";
        return false;
    }
    return lire_ordonnances(c, erreur);
}
