// First phase of a search: every chart entry of the cabinet in ascending key
// order, each prescription matched against the search text, the matches
// tallied per patient file number. The listing follows in the same call.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <algorithm>

#include "kmapi.h"
#include "balayage.h"
#include "liste.h"
#include "pliage.h"
#include "ordonnance.h"
#include "controles.h"
#include "textes.h"

#define CLES_DEPART 4096  // first room of the key list, doubled as keys come

// One entry per possible file number: 768 KB, kept off the dialog's stack.
static PATIENT_ENTRY patlist[MAX_DOSSIERS];
// Handed to KMFirstKey and KMNextKey, never read. The host may keep it as its
// cursor between calls, so it lives as long as the program, not a call.
static char cle_dossier[MAX_KEYLEN];

// Gathers at most `annonce` keys in enumeration order into *index; a 0 from
// KMNextKey ends the list. The list grows as keys come, so an announced count
// far above the real one costs nothing. Returns the number of keys, or -1 when
// memory ran out (*index then holds what could be kept, to be freed).
static int lecture_cles(int annonce, LONG** index)
{
    *index = NULL;
    if (annonce < 1)
        return 0;

    int place = annonce < CLES_DEPART ? annonce : CLES_DEPART;
    *index = (LONG*)LocalAlloc(LMEM_FIXED, (SIZE_T)place * sizeof(LONG));
    if (*index == NULL)
        return -1;

    int n = 0;
    (*index)[n++] = KMFirstKey(KMKEY_INDEX, cle_dossier);
    while (n < annonce) {
        LONG cle = KMNextKey(KMKEY_INDEX, cle_dossier);
        if (cle == 0)
            break;
        if (n == place) {
            int nouvelle = place > annonce / 2 ? annonce : place * 2;
            if ((SIZE_T)nouvelle > ((SIZE_T)-1) / sizeof(LONG))
                return -1;
            LONG* plus =
                (LONG*)LocalReAlloc(*index, (SIZE_T)nouvelle * sizeof(LONG), LMEM_MOVEABLE);
            if (plus == NULL)
                return -1;
            *index = plus;
            place = nouvelle;
        }
        (*index)[n++] = cle;
    }
    return n;
}

// Matches one prescription text and hands its block back. The text is read
// only within the block: one that holds no NUL is matched on a terminated copy.
// Returns 1 on a match, 0 otherwise, -1 when that copy could not be made.
static int examen_ordonnance(HGLOBAL hOrdo, const char* str_srch)
{
    int resultat = 0;
    char* text = (char*)GlobalLock(hOrdo);
    if (text) {
        SIZE_T taille = GlobalSize(hOrdo);
        SIZE_T fin = taille;
        while (fin > 0 && text[fin - 1] != 0)
            fin--;
        if (fin > 0) {
            resultat = ordonnance_correspond(text, str_srch);
        } else {
            char* copie = (char*)LocalAlloc(LMEM_FIXED, taille + 1);
            if (copie) {
                memcpy(copie, text, taille);
                copie[taille] = 0;
                resultat = ordonnance_correspond(copie, str_srch);
                LocalFree(copie);
            } else {
                resultat = -1;
            }
        }
        GlobalUnlock(hOrdo);
    }
    GlobalFree(hOrdo);
    return resultat;
}

int compar(const void* a, const void* b)
{
    LONG x, y;
    memcpy(&x, a, sizeof x);
    memcpy(&y, b, sizeof y);
    return (x > y) - (x < y);
}

static void comptage(const RECOrdonnances* ordo)
{
    PATIENT_ENTRY* e = &patlist[ordo->uFiche];
    DWORD date = ordo->Date;
    if (e->nb == 0) {
        e->first = date;
        e->last = date;
    }
    e->nb++;
    if (date < e->first)
        e->first = date;
    if (date > e->last)
        e->last = date;
}

void recherche_ordonnance(HWND hwnd)
{
    SendDlgItemMessageA(hwnd, IDD_LIST, LVM_DELETEALLITEMS, 0, 0);

    // Read once: what is typed while the run pumps messages does not count.
    char str_srch_orig[260] = "";
    char str_srch[260];
    SendDlgItemMessageA(hwnd, IDD_TXT_ORDO, WM_GETTEXT, sizeof str_srch_orig,
                        (LPARAM)str_srch_orig);
    str_srch_orig[sizeof str_srch_orig - 1] = 0;
    memcpy(str_srch, str_srch_orig, sizeof str_srch);
    plier_texte(str_srch);

    memset(patlist, 0, sizeof patlist);
    int nocc = 0;

    // The host's record buffer for the file being read: kept locked while
    // the host reads through it, though the scan itself never looks inside.
    HGLOBAL Dossier = OpenDossiers(OPENDOSSIERS_FICHIER, OPENDOSSIERS_OPTION, OPENDOSSIERS_OPTION,
                                   OPENDOSSIERS_OPTION);
    void* dossier_verrou = Dossier ? GlobalLock(Dossier) : NULL;

    int annonce = KMNumberOfKey(KMKEY_INDEX);
    if (annonce < 0)
        annonce = 0;
    SendDlgItemMessageA(hwnd, IDD_PB, PBM_SETRANGE32, 0, annonce);
    SendDlgItemMessageA(hwnd, IDD_PB, PBM_SETPOS, 0, 0);
    int naff_max = annonce / 50;
    int naff = 0;

    LONG* index;
    int ndossiers_tot = lecture_cles(annonce, &index);
    BOOL memoire_epuisee = ndossiers_tot < 0;
    // std::sort calls compar in line where qsort calls it through a pointer:
    // half the time on a million keys in the host's order, a quarter on keys
    // already in order.
    if (ndossiers_tot > 1)
        std::sort(index, index + ndossiers_tot, [](LONG a, LONG b) { return compar(&a, &b) < 0; });

    RECOrdonnances ordo;
    for (int i = 0; !memoire_epuisee && i < ndossiers_tot; i++) {
        // The host gets the same bytes for the same entry, not what the
        // previous one left. Its result says nothing the host promises: a read
        // that wrote nothing leaves type 0, one that wrote a prescription is
        // searched whatever it returned.
        memset(&ordo, 0, sizeof ordo);
        ReadDossiers2(index[i], &ordo);
        if (ordo.cType == DOSSIERS_ORDONNANCES) {
            HGLOBAL hOrdo = ReadXMLOrdonnances(index[i], &ordo);
            if (hOrdo) {
                int r = examen_ordonnance(hOrdo, str_srch);
                if (r > 0) {
                    nocc++;
                    comptage(&ordo);
                }
                memoire_epuisee = r < 0;
            }
        }
        if (++naff > naff_max) {
            naff = 0;
            SendDlgItemMessageA(hwnd, IDD_PB, PBM_SETPOS, i, 0);
            KMMessageLoop(hwnd);
        }
    }

    if (!memoire_epuisee)
        SendDlgItemMessageA(hwnd, IDD_PB, PBM_SETPOS, ndossiers_tot, 0);
    if (dossier_verrou)
        GlobalUnlock(Dossier);
    CloseDossiers(Dossier);

    int patients = memoire_epuisee ? -1 : liste_patients(hwnd, patlist);
    if (patients < 0) {
        // A prescription not read or a row not listed may be a patient
        // missed: no partial result.
        MessageBoxA(hwnd, TEXTE_MEMOIRE, TITRE, MB_OK | MB_ICONERROR);
    } else {
        resume_recherche(hwnd, nocc, patients);
    }
    LocalFree(index);
}
