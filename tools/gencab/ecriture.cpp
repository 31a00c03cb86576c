// Writes a whole cabinet from a seed: same seed and sizes, same bytes.
#include "gencab.h"

#include <stdio.h>
#include <windows.h>

static const size_t TAILLE_TAMPON = 8u << 20;

// One output file, filled in memory and written in large blocks.
struct Sortie {
    FILE* f;
    std::string tampon;
    bool echec;
};

static bool ouvrir_sortie(Sortie& s, const std::string& chemin)
{
    s.f = fopen(chemin.c_str(), "wb");
    s.echec = s.f == nullptr;
    s.tampon.clear();
    s.tampon.reserve(TAILLE_TAMPON + (64u << 10));
    return !s.echec;
}

static void ecrire_tampon(Sortie& s)
{
    if (!s.tampon.empty() && fwrite(s.tampon.data(), 1, s.tampon.size(), s.f) != s.tampon.size())
        s.echec = true;
    s.tampon.clear();
}

static void vider_si_plein(Sortie& s)
{
    if (s.tampon.size() >= TAILLE_TAMPON)
        ecrire_tampon(s);
}

static bool fermer_sortie(Sortie& s)
{
    if (!s.f)
        return false;
    ecrire_tampon(s);
    if (fclose(s.f) != 0)
        s.echec = true;
    s.f = nullptr;
    return !s.echec;
}

std::string chemin_fichier(const std::string& dossier, const std::string& cabinet,
                           const char* fichier)
{
    std::string c = dossier;
    if (!c.empty() && c.back() != '\\' && c.back() != '/')
        c += '\\';
    c += cabinet;
    if (fichier) {
        c += '\\';
        c += fichier;
    }
    return c;
}

static bool creer_dossier(const std::string& chemin)
{
    return CreateDirectoryA(chemin.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

static bool texte_de_champ(const std::string& s)
{
    for (char c : s)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0')
            return false;
    return !s.empty();
}

// Entry dates run over these years, never before the patient's birth.
static const int PREMIERE_ANNEE = 1995;
static const int DERNIERE_ANNEE = 2026;

static uint32_t date_entre(Hasard& h, int32_t debut, int32_t fin)
{
    return date_du_jour_numero(debut + (int32_t)hasard_borne(h, (uint32_t)(fin - debut + 1)));
}

static void ecrire_patients(Hasard& h, long nombre, bool difficiles, std::vector<uint16_t>& fiches,
                            std::vector<uint32_t>& naissances, std::vector<const char*>& noms,
                            std::vector<const char*>& prenoms, Sortie& s)
{
    // Partial shuffle of all file numbers: the first `nombre` are the patients,
    // in the order of how busy they are.
    std::vector<uint16_t> tous(65536);
    for (uint32_t f = 0; f < 65536; ++f)
        tous[f] = (uint16_t)f;
    for (long i = 0; i < nombre; ++i) {
        uint32_t j = (uint32_t)i + hasard_borne(h, 65536u - (uint32_t)i);
        uint16_t t = tous[i];
        tous[i] = tous[j];
        tous[j] = t;
    }
    // File number 0 first; with the hard cases 65535 second.
    const uint16_t en_tete[] = {0, 65535};
    for (long k = 0; k < (difficiles && nombre > 1 ? 2 : 1); ++k) {
        long place = k;
        while (place < 65536 && tous[place] != en_tete[k])
            ++place;
        tous[place] = tous[k];
        tous[k] = en_tete[k];
    }
    fiches.assign(tous.begin(), tous.begin() + nombre);

    int32_t plus_ancienne = jours_depuis_origine(1, 1, DERNIERE_ANNEE - 99);
    int32_t plus_recente = jours_depuis_origine(30, 6, DERNIERE_ANNEE);
    naissances.resize(nombre);
    noms.resize(nombre);
    prenoms.resize(nombre);
    std::vector<long> rang_de_fiche(65536, -1);
    for (long r = 0; r < nombre; ++r) {
        noms[r] = mot_au_hasard(h, NOMS_FAMILLE);
        prenoms[r] = mot_au_hasard(h, PRENOMS);
        if (hasard_pour_mille(h, 10))
            naissances[r] = date_packee(29, 2, DERNIERE_ANNEE - 98 + 4 * (int)hasard_borne(h, 25));
        else
            naissances[r] = date_entre(h, plus_ancienne, plus_recente);
        rang_de_fiche[fiches[r]] = r;
    }
    for (uint32_t f = 0; f < 65536; ++f) {
        long r = rang_de_fiche[f];
        if (r < 0)
            continue;
        ajouter_entier(s.tampon, f);
        s.tampon += '\t';
        s.tampon += noms[r];
        s.tampon += '\t';
        s.tampon += prenoms[r];
        s.tampon += '\t';
        ajouter_date(s.tampon, naissances[r]);
        s.tampon += "\r\n";
        vider_si_plein(s);
    }
}

static unsigned drapeaux_au_hasard(Hasard& h, bool difficiles)
{
    static const struct {
        unsigned drapeau;
        uint32_t pour_mille, difficile;
    } frequences[] = {
        {ORDO_ZORIX, 120, 400},    {ORDO_ZORIX_MANQUE, 50, 50}, {ORDO_SANS_RTF, 20, 100},
        {ORDO_SANS_TEXT, 10, 200}, {ORDO_BALISES_MAJ, 20, 100}, {ORDO_RTF_AVANT, 20, 100},
        {ORDO_TEXT_OUVERT, 5, 50}, {ORDO_ZORIX_DEHORS, 10, 50}, {ORDO_ZORIX_DEUX, 0, 200},
    };
    unsigned d = 0;
    for (const auto& f : frequences)
        if (difficiles ? hasard_pour_mille(h, f.difficile)
                       : f.pour_mille > 0 && hasard_pour_mille(h, f.pour_mille))
            d |= f.drapeau;
    return d;
}

static int type_au_hasard(Hasard& h)
{
    uint32_t t = hasard_borne(h, 100);
    if (t < 20)
        return 7;
    if (t < 65)
        return 1;
    if (t < 80)
        return 2;
    if (t < 95)
        return 3;
    return 4;
}

static const char* titre_au_hasard(Hasard& h, int type)
{
    if (hasard_pour_mille(h, type == 7 ? 50 : 20))
        return mot_au_hasard(h, TITRES_ZORIX);
    switch (type) {
    case 1:
        return mot_au_hasard(h, TITRES_CONSULTATION);
    case 2:
        return mot_au_hasard(h, TITRES_COURRIER);
    case 3:
        return mot_au_hasard(h, TITRES_RESULTAT);
    case 7:
        return mot_au_hasard(h, TITRES_ORDONNANCE);
    default:
        return "Certificat";
    }
}

void ajouter_enregistrement(std::string& sortie, int32_t cle, const std::string& texte,
                            const char* fin)
{
    sortie += "@@ ";
    ajouter_entier(sortie, cle);
    sortie += ' ';
    ajouter_entier(sortie, (long long)texte.size());
    sortie += fin;
    sortie += texte;
    sortie += fin;
}

std::string enregistrement(int32_t cle, const std::string& texte, const char* fin)
{
    std::string r;
    ajouter_enregistrement(r, cle, texte, fin);
    return r;
}

bool ecrire_cabinet(const ParametresCabinet& p, std::string& erreur)
{
    if (p.patients < 1 || p.patients > 65536) {
        erreur = "le nombre de patients doit aller de 1 a 65536";
        return false;
    }
    if (p.entrees < 0 || p.entrees > 100000000) {
        erreur = "le nombre d'entrees doit aller de 0 a 100000000";
        return false;
    }
    if (!texte_de_champ(p.utilisateur) || !texte_de_champ(p.cabinet)) {
        erreur = "nom d'utilisateur ou de cabinet vide ou invalide";
        return false;
    }
    if (!creer_dossier(p.dossier) ||
        !creer_dossier(chemin_fichier(p.dossier, p.cabinet, nullptr))) {
        erreur = "impossible de creer le dossier du cabinet";
        return false;
    }

    Hasard h;
    hasard_semer(h, p.graine);
    Sortie utilisateurs, patients, dossiers, ordonnances;
    bool ouverts =
        ouvrir_sortie(utilisateurs, chemin_fichier(p.dossier, p.cabinet, "utilisateurs.txt"));
    ouverts =
        ouvrir_sortie(patients, chemin_fichier(p.dossier, p.cabinet, "patients.txt")) && ouverts;
    ouverts =
        ouvrir_sortie(dossiers, chemin_fichier(p.dossier, p.cabinet, "dossiers.txt")) && ouverts;
    ouverts = ouvrir_sortie(ordonnances, chemin_fichier(p.dossier, p.cabinet, "ordonnances.txt")) &&
              ouverts;
    if (!ouverts) {
        erreur = "impossible de creer les fichiers du cabinet";
        fermer_sortie(utilisateurs);
        fermer_sortie(patients);
        fermer_sortie(dossiers);
        fermer_sortie(ordonnances);
        return false;
    }
    utilisateurs.tampon = p.utilisateur + "\r\n";

    std::vector<uint16_t> fiches;
    std::vector<uint32_t> naissances;
    std::vector<const char*> noms, prenoms;
    ecrire_patients(h, p.patients, p.difficiles, fiches, naissances, noms, prenoms, patients);

    uint64_t graine_cles = hasard_suivant(h);
    int32_t premier_jour = jours_depuis_origine(1, 1, PREMIERE_ANNEE);
    int32_t dernier_jour = jours_depuis_origine(31, 12, DERNIERE_ANNEE);
    long rang_precedent = -1;
    uint32_t date_precedente = 0;
    std::string texte;
    for (long long i = 0; i < p.entrees; ++i) {
        // Keys: a bijection of the entry number, so unique, scattered over the
        // whole signed range and listed in no particular order.
        uint32_t cle = melange_cle((uint32_t)i, graine_cles);
        if (cle == 0)
            cle = melange_cle((uint32_t)p.entrees, graine_cles);

        int type = type_au_hasard(h);
        long rang = (long)hasard_borne(h, (uint32_t)p.patients);
        long autre = (long)hasard_borne(h, (uint32_t)p.patients);
        if (autre < rang)
            rang = autre;
        unsigned drapeaux = 0;
        bool sans_texte = false;
        bool meme_jour = false;
        if (type == 7) {
            drapeaux = drapeaux_au_hasard(h, p.difficiles);
            sans_texte = hasard_pour_mille(h, 10);
            meme_jour = rang_precedent >= 0 && hasard_pour_mille(h, p.difficiles ? 200 : 15);
        }
        // The first two entries: two prescriptions of file number 0 on one day.
        if (i < 2) {
            type = 7;
            drapeaux = ORDO_ZORIX;
            sans_texte = false;
            rang = 0;
            meme_jour = i == 1;
        }
        // With the hard cases, the third: file number 65535's, with only <rtf>
        // and an accent that only its reader resolves.
        if (i == 2 && p.difficiles && p.patients > 1) {
            type = 7;
            drapeaux = ORDO_ZORIX | ORDO_SANS_TEXT | ORDO_ZORIX_ACCENT;
            sans_texte = false;
            rang = 1;
            meme_jour = false;
        }
        uint32_t date;
        if (meme_jour) {
            rang = rang_precedent;
            date = date_precedente;
        } else {
            uint32_t n = naissances[rang];
            int32_t debut = jours_depuis_origine(jour_de(n), mois_de(n), annee_de(n));
            if (debut < premier_jour)
                debut = premier_jour;
            date = date_entre(h, debut, dernier_jour);
        }
        const char* titre = titre_au_hasard(h, type);

        ajouter_entier(dossiers.tampon, (int32_t)cle);
        dossiers.tampon += '\t';
        ajouter_entier(dossiers.tampon, type);
        dossiers.tampon += '\t';
        ajouter_entier(dossiers.tampon, fiches[rang]);
        dossiers.tampon += '\t';
        ajouter_date(dossiers.tampon, date);
        dossiers.tampon += '\t';
        dossiers.tampon += titre;
        dossiers.tampon += "\r\n";
        vider_si_plein(dossiers);

        if (type != 7)
            continue;
        rang_precedent = rang;
        date_precedente = date;
        if (sans_texte)
            continue;
        Ordonnance o;
        o.nom = noms[rang];
        o.prenom = prenoms[rang];
        o.date = date;
        o.drapeaux = drapeaux;
        // A stream of its own for the RTF's form, so that h draws as it always has.
        Hasard graine;
        hasard_semer(graine, p.graine ^ ((uint64_t)cle << 32));
        o.graine_rtf = hasard_suivant(graine);
        texte.clear();
        rediger_ordonnance(h, o, texte);
        ajouter_enregistrement(ordonnances.tampon, (int32_t)cle, texte);
        vider_si_plein(ordonnances);
    }

    bool ecrits = fermer_sortie(utilisateurs);
    ecrits = fermer_sortie(patients) && ecrits;
    ecrits = fermer_sortie(dossiers) && ecrits;
    ecrits = fermer_sortie(ordonnances) && ecrits;
    if (!ecrits)
        erreur = "ecriture incomplete des fichiers du cabinet";
    return ecrits;
}
