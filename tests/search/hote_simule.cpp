#include "hote_simule.h"

#include <commctrl.h>
#include <string.h>

#include <algorithm>

#include "crochets.h"
#include "kmapi.h"
#include "controles.h"

ScriptHote script_hote;
JournalHote journal_hote;

static size_t position;  // of the next key in the enumeration
static LONG derniere_lue;
static bool derniere_ordonnance;
static HGLOBAL bloc_dossiers, bloc_patients;

// The varied host: what it draws from, and what it drew for the whole run.
static bool varie, boucle_muette, patients_bruites;
static Hasard hasard;
// What the host keeps between calls, and what it left there: the key buffer
// it uses as its cursor (kept from one test to the next), and the cabinet
// texts it did not copy.
static char* curseur;
static char cle_ecrite[MAX_KEYLEN];
static size_t lg_cle;
static const char* textes_gardes[4];
static std::string textes_copies[4];

static void bruit(void* p, size_t n)
{
    for (size_t i = 0; i < n; i++)
        ((BYTE*)p)[i] = (BYTE)hasard_suivant(hasard);
}

// Done at every call: what the host kept must still hold what it left there.
static void verifier_gardes()
{
    if (curseur && memcmp(curseur, cle_ecrite, lg_cle) != 0) {
        journal_hote.curseur_perdu++;
        curseur = nullptr;
    }
    for (int k = 0; k < 4; k++)
        if (textes_gardes[k] &&
            memcmp(textes_gardes[k], textes_copies[k].c_str(), textes_copies[k].size() + 1)) {
            journal_hote.textes_perdus++;
            textes_gardes[k] = nullptr;
        }
}

static void garder_texte(int k, const char* texte)
{
    textes_gardes[k] = texte;
    textes_copies[k] = texte ? texte : "";
}

// The answer of a call whose result the tool must not look at.
static BOOL ignore(BOOL propre)
{
    return script_hote.resultat_ignore ? script_hote.resultat_ignore() : propre;
}

void hote_remise_a_zero()
{
    script_hote = ScriptHote{};
    script_hote.bloc_dossiers = BLOC_NORMAL;
    script_hote.bloc_patients = BLOC_NORMAL;
    script_hote.aujourdhui = date_packee(15, 6, 2024);
    journal_hote = JournalHote{};
    journal_hote.verrous_dossiers = journal_hote.verrous_patients = -1;
    position = 0;
    derniere_lue = 0;
    derniere_ordonnance = false;
    varie = false;
    for (const char*& t : textes_gardes)
        t = nullptr;
}

std::string hote_varie(uint64_t graine)
{
    varie = true;
    hasard_semer(hasard, graine);
    std::vector<LONG>& cles = script_hote.cles;
    std::string tirage;
    switch (hasard_borne(hasard, 3)) {
    case 0:
        std::sort(cles.begin(), cles.end());
        tirage = "keys ascending";
        break;
    case 1:
        std::sort(cles.rbegin(), cles.rend());
        tirage = "keys descending";
        break;
    default:
        for (size_t i = cles.size(); i > 1; i--)
            std::swap(cles[i - 1], cles[hasard_borne(hasard, (uint32_t)i)]);
        tirage = "keys shuffled";
    }
    int n = (int)cles.size();
    script_hote.annonce_fixee = true;
    switch (hasard_borne(hasard, 3)) {
    case 0:
        script_hote.annonce = n;
        break;
    case 1:  // KMNextKey gives 0 before the count is reached
        script_hote.annonce = n + 1 + (int)hasard_borne(hasard, 100);
        break;
    default:
        script_hote.annonce = (int)hasard_borne(hasard, (uint32_t)n + 1);
    }
    boucle_muette = hasard_borne(hasard, 2);
    patients_bruites = hasard_borne(hasard, 2);
    script_hote.aujourdhui = date_packee(1 + hasard_borne(hasard, 31), 1 + hasard_borne(hasard, 12),
                                         2020 + hasard_borne(hasard, 11));
    script_hote.resultat_ignore = [] {
        static const BOOL valeurs[] = {0, 1, -1};
        uint32_t k = hasard_borne(hasard, 4);
        return k < 3 ? valeurs[k] : (BOOL)hasard_suivant(hasard);
    };
    char today[16];
    wsprintfA(today, "%02d/%02d/%d", (int)(script_hote.aujourdhui & 0xFF),
              (int)(script_hote.aujourdhui >> 8 & 0xFF), (int)(script_hote.aujourdhui >> 16));
    return tirage + ", " + std::to_string(script_hote.annonce) + " announced for " +
           std::to_string(n) + (boucle_muette ? ", no message dispatched" : "") +
           (patients_bruites ? ", noise in the patient's other fields" : "") + ", today " + today +
           "; per call: ignored results, header noise, text blocks, key cursor";
}

void ajouter_entree(LONG cle, signed char type, WORD fiche, DWORD date, const std::string& texte,
                    FormeTexte forme)
{
    script_hote.cles.push_back(cle);
    script_hote.entrees[cle] = EntreeSimulee{type, fiche, date, texte, forme, false};
}

void ajouter_ordonnance(LONG cle, WORD fiche, DWORD date, const std::string& mots)
{
    ajouter_entree(
        cle, 7, fiche, date,
        "<ordonnance><text>" + mots + "</text><rtf>{\\rtf1 " + mots + "}</rtf></ordonnance>");
}

void ajouter_patient(WORD fiche, const std::string& nom, const std::string& prenom, DWORD naissance)
{
    script_hote.patients[fiche] = PatientSimule{nom, prenom, naissance, ""};
}

int nombre_appels(const char* nom)
{
    int n = 0;
    for (const Appel& a : journal_hote.appels)
        n += a.nom == nom;
    return n;
}

static void noter(const char* nom, long long arg = 0)
{
    journal_hote.appels.push_back({nom, arg});
    verifier_gardes();
}

static HGLOBAL bloc(FormeBloc forme, SIZE_T taille)
{
    switch (forme) {
    case BLOC_ABSENT:
        return NULL;
    case BLOC_INVERROUILLABLE:
        return GlobalAlloc(GMEM_MOVEABLE, 0);
    case BLOC_COURT:
        return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, taille / 2);
    default:
        return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, taille);
    }
}

// CloseDossiers and ClosePatients: counts the call, refuses a handle other
// than the one handed out, and notes how many locks it still had.
static BOOL fermer_bloc(HGLOBAL h, HGLOBAL& donne, int& fermetures, int& verrous)
{
    fermetures++;
    if (h != donne)
        return FALSE;
    verrous = h ? (int)(GlobalFlags(h) & GMEM_LOCKCOUNT) : 0;
    if (h)
        GlobalFree(h);
    donne = NULL;
    return TRUE;
}

// Copies a text into a fixed field: the bytes that fit, zeros after them.
static void champ(char* dst, size_t taille, const std::string& s)
{
    memset(dst, 0, taille);
    memcpy(dst, s.data(), s.size() < taille ? s.size() : taille);
}

extern "C" {

BOOL WINAPI KMOpenSession(int nMode)
{
    noter("KMOpenSession", nMode);
    return ignore(TRUE);
}

BOOL WINAPI KMCloseSession(void)
{
    noter("KMCloseSession");
    return ignore(TRUE);
}

// The host keeps the cabinet texts rather than copy them, and clears the
// fourth as it would a password.
BOOL WINAPI KMSetPathCabinet(const char* dossier)
{
    noter("KMSetPathCabinet");
    garder_texte(0, dossier);
    return ignore(TRUE);
}

BOOL WINAPI KMOpenCabinet(const char* dossier, const char* cabinet, const char* utilisateur,
                          const char* vide)
{
    noter("KMOpenCabinet");
    garder_texte(1, dossier);
    garder_texte(2, cabinet);
    garder_texte(3, utilisateur);
    memset((char*)vide, 0, MAX_PATH);
    return TRUE;
}

BOOL WINAPI KMCloseCabinet(void)
{
    noter("KMCloseCabinet");
    return ignore(TRUE);
}

HGLOBAL WINAPI OpenDossiers(int nFichier, int nOption1, int nOption2, int nOption3)
{
    noter("OpenDossiers", nFichier * 1000 + nOption1 + nOption2 + nOption3);
    bloc_dossiers = bloc(script_hote.bloc_dossiers, sizeof(RECDossiers));
    return bloc_dossiers;
}

BOOL WINAPI CloseDossiers(HGLOBAL h)
{
    noter("CloseDossiers");
    return ignore(fermer_bloc(h, bloc_dossiers, journal_hote.fermetures_dossiers,
                              journal_hote.verrous_dossiers));
}

int WINAPI KMNumberOfKey(int nIndex)
{
    noter("KMNumberOfKey", nIndex);
    return script_hote.annonce_fixee ? script_hote.annonce : (int)script_hote.cles.size();
}

// The varied host keeps the buffer as its cursor: it writes there at every
// call and expects to find it at each later call until its next enumeration,
// a later search's first calls included.
static void ecrire_cle(char* pszKey)
{
    curseur = nullptr;
    if (!varie) {
        lstrcpyA(pszKey, "?");
        return;
    }
    lg_cle = 1 + hasard_borne(hasard, MAX_KEYLEN);
    bruit(cle_ecrite, lg_cle);
    memcpy(pszKey, cle_ecrite, lg_cle);
    curseur = pszKey;
}

LONG WINAPI KMFirstKey(int nIndex, char* pszKey)
{
    noter("KMFirstKey", nIndex);
    ecrire_cle(pszKey);
    position = 0;
    return position < script_hote.cles.size() ? script_hote.cles[position++] : 0;
}

LONG WINAPI KMNextKey(int nIndex, char* pszKey)
{
    noter("KMNextKey", nIndex);
    ecrire_cle(pszKey);
    return position < script_hote.cles.size() ? script_hote.cles[position++] : 0;
}

BOOL WINAPI ReadDossiers2(LONG lKey, void* pRecord)
{
    verifier_gardes();
    journal_hote.lus.push_back(lKey);
    derniere_lue = lKey;
    derniere_ordonnance = false;
    auto it = script_hote.entrees.find(lKey);
    if (it == script_hote.entrees.end() || it->second.lecture_ratee)
        return ignore(FALSE);
    const EntreeSimulee& e = it->second;
    RECDossiers r;
    memset(&r, 0, sizeof r);
    if (varie)
        bruit(&r, sizeof r);  // the fields the tool does not read
    else
        r.dwIdent = (DWORD)lKey;
    r.cType = e.type;
    r.uFiche = e.fiche;
    r.Date = e.date;
    memcpy(pRecord, &r, sizeof r);
    derniere_ordonnance = e.type == 7;
    return ignore(TRUE);
}

HGLOBAL WINAPI ReadXMLOrdonnances(LONG lKey, void* pRecord)
{
    noter("ReadXMLOrdonnances", lKey);
    if (lKey != derniere_lue || !derniere_ordonnance)
        journal_hote.xml_hors_ordonnance++;
    // ReadDossiers2 filled the header only: the rest must come as the caller
    // cleared it, whatever an earlier entry left there.
    RECOrdonnances* r = (RECOrdonnances*)pRecord;
    const BYTE* octets = (const BYTE*)pRecord;
    for (size_t o = sizeof(RECDossiers); o < sizeof *r; o++)
        if (octets[o]) {
            journal_hote.ordo_non_vierge++;
            break;
        }
    auto it = script_hote.entrees.find(lKey);
    if (it == script_hote.entrees.end())
        return NULL;
    const EntreeSimulee& e = it->second;
    // The prescription's own fields, as the host fills them.
    r->bType = 1;
    champ(r->szTitle, sizeof r->szTitle, "Ordonnance " + std::to_string(lKey));
    r->uStartOfText = 1;
    r->uEndOfText = (WORD)e.texte.size();
    memset(r->Extension, 0xFF, sizeof r->Extension);
    HGLOBAL h = NULL;
    switch (e.forme) {
    case TEXTE_ABSENT:
        return NULL;
    case TEXTE_INVERROUILLABLE:
        h = GlobalAlloc(GMEM_MOVEABLE, 0);
        break;
    case TEXTE_BLOC_VIDE:
        h = GlobalAlloc(GMEM_FIXED, 0);
        break;
    case TEXTE_NORMAL:
    case TEXTE_SANS_NUL: {
        SIZE_T taille = e.texte.size() + (e.forme == TEXTE_NORMAL);
        // The varied host's blocks: moveable or fixed, with bytes after the NUL.
        SIZE_T reste = varie && e.forme == TEXTE_NORMAL ? hasard_borne(hasard, 33) : 0;
        UINT genre = varie && hasard_borne(hasard, 2) ? GMEM_FIXED : GMEM_MOVEABLE;
        h = GlobalAlloc(genre | GMEM_ZEROINIT, taille + reste);
        char* p = (char*)GlobalLock(h);
        memcpy(p, e.texte.data(), e.texte.size());
        bruit(p + taille, reste);
        GlobalUnlock(h);
        break;
    }
    }
    journal_hote.textes.push_back(h);
    crochets_surveiller(h);
    return h;
}

BOOL WINAPI KMMessageLoop(HWND hwnd)
{
    noter("KMMessageLoop");
    journal_hote.positions_boucle.push_back(
        (int)SendDlgItemMessageA(hwnd, IDD_PB, PBM_GETPOS, 0, 0));
    if (script_hote.pendant_boucle)
        script_hote.pendant_boucle(hwnd);
    MSG msg;
    for (int n = 0; !boucle_muette && n < 1000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); n++) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ignore(TRUE);
}

HGLOBAL WINAPI OpenPatients(int nMode)
{
    noter("OpenPatients", nMode);
    bloc_patients = bloc(script_hote.bloc_patients, sizeof(RECPatients));
    if (bloc_patients) {
        journal_hote.blocs_patients++;
        // What a previous use of the buffer left in it.
        RECPatients* r = (RECPatients*)GlobalLock(bloc_patients);
        if (r && GlobalSize(bloc_patients) >= sizeof *r) {
            champ(r->szNom, sizeof r->szNom, "ANCIEN");
            r->DateNai = date_packee(1, 1, 1950);
            if (varie)
                bruit(r, sizeof *r);
        }
        if (r)
            GlobalUnlock(bloc_patients);
        crochets_surveiller(bloc_patients);
    }
    return bloc_patients;
}

BOOL WINAPI ReadPatients(void* pRecord, int nMode)
{
    RECPatients* r = (RECPatients*)pRecord;
    noter("ReadPatients", r->uFiche);
    if (nMode != PATIENTS_BY_REC)
        return ignore(FALSE);
    auto it = script_hote.patients.find(r->uFiche);
    if (it == script_hote.patients.end())
        return ignore(FALSE);
    const PatientSimule& p = it->second;
    if (patients_bruites) {
        WORD fiche = r->uFiche;
        bruit(r, sizeof *r);
        r->uFiche = fiche;
    }
    champ(r->szNom, sizeof r->szNom, p.nom);
    champ(r->szPrenom, sizeof r->szPrenom, p.prenom);
    champ(r->szNomJF, sizeof r->szNomJF, p.nom_jf);
    r->DateNai = p.naissance;
    return ignore(TRUE);
}

BOOL WINAPI ClosePatients(HGLOBAL h)
{
    noter("ClosePatients");
    return ignore(fermer_bloc(h, bloc_patients, journal_hote.fermetures_patients,
                              journal_hote.verrous_patients));
}

DWORD WINAPI Today(void)
{
    noter("Today");
    return script_hote.aujourdhui;
}

// Whole years and months from birth to the reference date; a birth after it
// wraps around, as 16 bits do.
DWORD WINAPI GetAge(DWORD naissance, DWORD reference)
{
    noter("GetAge", naissance);
    if (varie) {  // gencab's ages, and noise in the byte the tool does not read
        int a, m;
        calculer_age(naissance, reference, a, m);
        return ((DWORD)a << 16) | ((DWORD)m << 8) | (BYTE)hasard_suivant(hasard);
    }
    int ans = (int)(reference >> 16) - (int)(naissance >> 16);
    int mois = (int)((reference >> 8) & 0xFF) - (int)((naissance >> 8) & 0xFF);
    if ((reference & 0xFF) < (naissance & 0xFF))
        mois--;
    if (mois < 0) {
        mois += 12;
        ans--;
    }
    return ((DWORD)(WORD)ans << 16) | ((DWORD)(BYTE)mois << 8);
}

}  // extern "C"
