#include "hote_simule.h"

#include <commctrl.h>
#include <string.h>

#include "crochets.h"
#include "kmapi.h"
#include "controles.h"

ScriptHote script_hote;
JournalHote journal_hote;

static size_t curseur;
static LONG derniere_lue;
static bool derniere_ordonnance;
static HGLOBAL bloc_dossiers, bloc_patients;

DWORD date_packee(int jour, int mois, int annee)
{
    return ((DWORD)annee << 16) | ((DWORD)mois << 8) | (DWORD)jour;
}

void hote_remise_a_zero()
{
    script_hote = ScriptHote{};
    script_hote.bloc_dossiers = BLOC_NORMAL;
    script_hote.bloc_patients = BLOC_NORMAL;
    script_hote.aujourdhui = date_packee(15, 6, 2024);
    journal_hote = JournalHote{};
    journal_hote.verrous_dossiers = journal_hote.verrous_patients = -1;
    curseur = 0;
    derniere_lue = 0;
    derniere_ordonnance = false;
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
    return TRUE;
}

BOOL WINAPI KMCloseSession(void)
{
    noter("KMCloseSession");
    return TRUE;
}

BOOL WINAPI KMSetPathCabinet(const char*)
{
    noter("KMSetPathCabinet");
    return TRUE;
}

BOOL WINAPI KMOpenCabinet(const char*, const char*, const char*, const char*)
{
    noter("KMOpenCabinet");
    return TRUE;
}

BOOL WINAPI KMCloseCabinet(void)
{
    noter("KMCloseCabinet");
    return TRUE;
}

HGLOBAL WINAPI OpenDossiers(int a, int b, int c, int d)
{
    noter("OpenDossiers", a * 1000 + b + c + d);
    bloc_dossiers = bloc(script_hote.bloc_dossiers, sizeof(RECDossiers));
    return bloc_dossiers;
}

BOOL WINAPI CloseDossiers(HGLOBAL h)
{
    noter("CloseDossiers");
    return fermer_bloc(h, bloc_dossiers, journal_hote.fermetures_dossiers,
                       journal_hote.verrous_dossiers);
}

int WINAPI KMNumberOfKey(int nIndex)
{
    noter("KMNumberOfKey", nIndex);
    return script_hote.annonce_fixee ? script_hote.annonce : (int)script_hote.cles.size();
}

LONG WINAPI KMFirstKey(int nIndex, char* pszKey)
{
    noter("KMFirstKey", nIndex);
    lstrcpyA(pszKey, "?");
    curseur = 0;
    return curseur < script_hote.cles.size() ? script_hote.cles[curseur++] : 0;
}

LONG WINAPI KMNextKey(int nIndex, char* pszKey)
{
    noter("KMNextKey", nIndex);
    lstrcpyA(pszKey, "?");
    return curseur < script_hote.cles.size() ? script_hote.cles[curseur++] : 0;
}

BOOL WINAPI ReadDossiers2(LONG lKey, void* pRecord)
{
    journal_hote.lus.push_back(lKey);
    derniere_lue = lKey;
    derniere_ordonnance = false;
    auto it = script_hote.entrees.find(lKey);
    if (it == script_hote.entrees.end())
        return FALSE;
    const EntreeSimulee& e = it->second;
    RECDossiers r;
    memset(&r, 0, sizeof r);
    r.dwIdent = (DWORD)lKey;
    r.cType = e.lecture_ratee ? 7 : e.type;
    r.uFiche = e.fiche;
    r.Date = e.date;
    memcpy(pRecord, &r, sizeof r);
    derniere_ordonnance = !e.lecture_ratee && e.type == 7;
    return !e.lecture_ratee;
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
        h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, taille);
        char* p = (char*)GlobalLock(h);
        memcpy(p, e.texte.data(), e.texte.size());
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
    for (int n = 0; n < 1000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); n++) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return TRUE;
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
        return FALSE;
    auto it = script_hote.patients.find(r->uFiche);
    if (it == script_hote.patients.end())
        return FALSE;
    const PatientSimule& p = it->second;
    champ(r->szNom, sizeof r->szNom, p.nom);
    champ(r->szPrenom, sizeof r->szPrenom, p.prenom);
    champ(r->szNomJF, sizeof r->szNomJF, p.nom_jf);
    r->DateNai = p.naissance;
    return TRUE;
}

BOOL WINAPI ClosePatients(HGLOBAL h)
{
    noter("ClosePatients");
    return fermer_bloc(h, bloc_patients, journal_hote.fermetures_patients,
                       journal_hote.verrous_patients);
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
