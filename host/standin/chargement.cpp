// Reading a cabinet folder: utilisateurs.txt, patients.txt, dossiers.txt and
// ordonnances.txt. Any line that breaks the format refuses the whole cabinet.
// Hand-written scanning: the runtime's memchr is slow under Wine and a large
// cabinet has a million lines.
#include <cstring>

#include "calendrier.h"
#include "hote.h"

struct LECTEUR {
    const char* p;
    const char* fin;
};

static void commencer(LECTEUR* l, const FICHIER* f)
{
    l->p = f->pDonnees;
    l->fin = f->pDonnees ? f->pDonnees + f->cbTaille : NULL;
}

static bool lire_car(LECTEUR* l, char c)
{
    if (l->p == l->fin || *l->p != c) return false;
    l->p++;
    return true;
}

static bool lire_nombre(LECTEUR* l, long long min, long long max, long long* valeur)
{
    const char* p = l->p;
    bool negatif = min < 0 && p < l->fin && *p == '-';
    if (negatif) p++;
    const char* chiffres = p;
    long long v = 0;
    while (p < l->fin && *p >= '0' && *p <= '9') {
        v = v * 10 + (*p - '0');
        if (v > 0xFFFFFFFFFFLL) return false;  // far beyond every field
        p++;
    }
    if (p == chiffres) return false;
    if (negatif) v = -v;
    if (v < min || v > max) return false;
    l->p = p;
    *valeur = v;
    return true;
}

static bool lire_date(LECTEUR* l, DWORD* date)
{
    uint32_t d;
    if (!analyser_date(l->p, l->fin, &l->p, &d)) return false;
    *date = d;
    return true;
}

// A text field runs to the next TAB or the end of the line. A NUL or a CR
// that does not end the line makes the line malformed.
static bool lire_texte(LECTEUR* l, const char** debut, DWORD* lg)
{
    const char* p = l->p;
    while (p < l->fin) {
        char c = *p;
        if (c == '\t' || c == '\n') break;
        if (c == '\r') {
            if (p + 1 < l->fin && p[1] == '\n') break;
            return false;
        }
        if (c == '\0') return false;
        p++;
    }
    *debut = l->p;
    *lg = (DWORD)(p - l->p);
    l->p = p;
    return true;
}

// "\n" or "\r\n"; the last line of a file may also simply stop.
static bool lire_fin_ligne(LECTEUR* l, bool finFichierPermise)
{
    if (l->p == l->fin) return finFichierPermise;
    if (*l->p == '\n') {
        l->p++;
        return true;
    }
    if (*l->p == '\r' && l->p + 1 < l->fin && l->p[1] == '\n') {
        l->p += 2;
        return true;
    }
    return false;
}

static DWORD compter_lignes(const FICHIER* f)
{
    DWORD n = 1;
    for (DWORD i = 0; i < f->cbTaille; i++)
        if (f->pDonnees[i] == '\n') n++;
    return n;
}

static bool composer(char* chemin, const char* dossier, const char* nom)
{
    size_t lgDossier = strlen(dossier), lgNom = strlen(nom);
    if (lgDossier + 1 + lgNom >= MAX_PATH) return false;
    memcpy(chemin, dossier, lgDossier);
    chemin[lgDossier] = '\\';
    memcpy(chemin + lgDossier + 1, nom, lgNom + 1);
    return true;
}

static bool ouvrir(const char* dossier, const char* nom, FICHIER* f)
{
    char chemin[MAX_PATH];
    f->hFichier = INVALID_HANDLE_VALUE;
    f->hProjection = NULL;
    f->pDonnees = NULL;
    f->cbTaille = 0;
    return composer(chemin, dossier, nom) && ouvrir_fichier(chemin, f);
}

// One user name per line, exact match; blank lines name nobody.
static bool utilisateur_connu(const FICHIER* f, const char* user)
{
    size_t lgUser = strlen(user);
    if (lgUser == 0 || !f->pDonnees) return false;
    const char* p = f->pDonnees;
    const char* fin = p + f->cbTaille;
    while (p < fin) {
        const char* debut = p;
        while (p < fin && *p != '\n') p++;
        const char* finLigne = p;
        if (finLigne > debut && finLigne[-1] == '\r') finLigne--;
        if ((size_t)(finLigne - debut) == lgUser && memcmp(debut, user, lgUser) == 0) return true;
        if (p < fin) p++;
    }
    return false;
}

// fiche<TAB>NOM<TAB>Prenom<TAB>JJ/MM/AAAA
static bool lire_patients(const FICHIER* f, CABINET* c)
{
    c->indexPatients = (DWORD*)allouer(NB_FICHES, sizeof(DWORD));
    c->patients = (PATIENT*)allouer(compter_lignes(f), sizeof(PATIENT));
    if (!c->indexPatients || !c->patients) return false;

    LECTEUR l;
    commencer(&l, f);
    DWORD n = 0;
    while (l.p != l.fin) {
        long long fiche;
        const char *nom, *prenom;
        DWORD lgNom, lgPrenom, dateNai;
        if (!lire_nombre(&l, 0, NB_FICHES - 1, &fiche) || !lire_car(&l, '\t') ||
            !lire_texte(&l, &nom, &lgNom) || !lire_car(&l, '\t') ||
            !lire_texte(&l, &prenom, &lgPrenom) || !lire_car(&l, '\t') ||
            !lire_date(&l, &dateNai) || !lire_fin_ligne(&l, true))
            return false;
        if (lgNom > LG_NOM_MAX || lgPrenom > LG_NOM_MAX) return false;
        if (c->indexPatients[fiche]) return false;  // the same fiche twice

        PATIENT* pt = &c->patients[n];  // zeroed: the names end with a NUL
        memcpy(pt->szNom, nom, lgNom);
        memcpy(pt->szPrenom, prenom, lgPrenom);
        pt->uFiche = (WORD)fiche;
        pt->DateNai = dateNai;
        c->indexPatients[fiche] = ++n;
    }
    return true;
}

// cle<TAB>type<TAB>fiche<TAB>JJ/MM/AAAA<TAB>titre
static bool lire_dossiers(CABINET* c)
{
    const FICHIER* f = &c->dossiers;
    DWORD nMax = compter_lignes(f);
    c->entrees = (ENTREE*)allouer(nMax, sizeof(ENTREE));
    if (!c->entrees || !preparer_index(c, nMax)) return false;

    LECTEUR l;
    commencer(&l, f);
    DWORD n = 0;
    while (l.p != l.fin) {
        long long cle, type, fiche;
        DWORD date, lgTitre;
        const char* titre;
        if (!lire_nombre(&l, -2147483647LL - 1, 2147483647LL, &cle) || cle == 0 ||
            !lire_car(&l, '\t') || !lire_nombre(&l, -128, 127, &type) || !lire_car(&l, '\t') ||
            !lire_nombre(&l, 0, NB_FICHES - 1, &fiche) || !lire_car(&l, '\t') ||
            !lire_date(&l, &date) || !lire_car(&l, '\t') || !lire_texte(&l, &titre, &lgTitre) ||
            !lire_fin_ligne(&l, true))
            return false;

        ENTREE* e = &c->entrees[n];
        e->cle = (LONG)cle;
        e->cType = (signed char)type;
        e->uFiche = (WORD)fiche;
        e->Date = date;
        e->offTitre = (DWORD)(titre - f->pDonnees);
        e->lgTitre = (BYTE)(lgTitre > LG_TITRE_MAX ? LG_TITRE_MAX : lgTitre);
        if (!indexer_entree(c, n)) return false;  // the same key twice
        n++;
    }
    c->nEntrees = n;
    return true;
}

// Records "@@ <cle> <longueur>\n", <longueur> raw bytes, "\n"; each one the
// text of a known prescription that has no text yet.
static bool lire_ordonnances(CABINET* c)
{
    const FICHIER* f = &c->ordonnances;
    LECTEUR l;
    commencer(&l, f);
    while (l.p != l.fin) {
        long long cle, longueur;
        if (!lire_car(&l, '@') || !lire_car(&l, '@') || !lire_car(&l, ' ') ||
            !lire_nombre(&l, -2147483647LL - 1, 2147483647LL, &cle) || !lire_car(&l, ' ') ||
            !lire_nombre(&l, 0, 0xFFFFFFFFLL, &longueur) || !lire_fin_ligne(&l, false))
            return false;
        if (longueur > l.fin - l.p) return false;  // cut short
        const char* texte = l.p;
        l.p += longueur;
        if (!lire_fin_ligne(&l, false)) return false;

        ENTREE* e = trouver_entree(c, (LONG)cle);
        if (!e || e->cType != DOSSIERS_ORDONNANCES || e->offTexte) return false;
        e->offTexte = (DWORD)(texte - f->pDonnees);  // never 0: the record line comes first
        e->lgTexte = (DWORD)longueur;
    }
    return true;
}

bool charger_cabinet(const char* dossier, const char* user, CABINET* c)
{
    FICHIER f;
    bool ok = ouvrir(dossier, "utilisateurs.txt", &f) && utilisateur_connu(&f, user);
    fermer_fichier(&f);
    if (!ok) return false;

    // Names are copied out, so patients.txt is let go at once.
    ok = ouvrir(dossier, "patients.txt", &f) && lire_patients(&f, c);
    fermer_fichier(&f);
    if (!ok) return false;

    // Titles and texts stay in the mappings of these two.
    if (!ouvrir(dossier, "dossiers.txt", &c->dossiers) || !lire_dossiers(c)) return false;
    if (!ouvrir(dossier, "ordonnances.txt", &c->ordonnances) || !lire_ordonnances(c)) return false;

    lstrcpynA(c->szUser, user, sizeof(c->szUser));
    return true;
}

void liberer_cabinet(CABINET* c)
{
    fermer_fichier(&c->dossiers);
    fermer_fichier(&c->ordonnances);
    liberer(c->entrees);
    liberer(c->table);
    liberer(c->patients);
    liberer(c->indexPatients);
    memset(c, 0, sizeof(*c));
    c->dossiers.hFichier = INVALID_HANDLE_VALUE;
    c->ordonnances.hFichier = INVALID_HANDLE_VALUE;
}
