// Second phase of a search: one row per patient found, then the summary.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "kmapi.h"
#include "liste.h"
#include "controles.h"
#include "textes.h"

#define TAILLE_NOM 21  // szNom and szPrenom of RECPatients

// Set where the dialog opens the default cabinet; the summary reads it.
BOOL cabinet_ouvert;

void initialisation_colonnes(HWND hwnd)
{
    // Without a manifest the tool is handed the screen's real scale on XP, and
    // on 7 at 125 %: the dialog grows with its font, so the columns, given for
    // a 96-dpi screen, must grow too or the dates and ages are cut.
    HDC ecran = GetDC(hwnd);
    int dpi = GetDeviceCaps(ecran, LOGPIXELSX);
    ReleaseDC(hwnd, ecran);
    if (dpi <= 0)
        dpi = 96;

    // clang-format off
    static const struct {
        const char* titre;
        int largeur;
    } colonnes[5] = {
        {COLONNE_NOM, 200},
        {COLONNE_AGE, 80},
        {COLONNE_NOMBRE, 50},
        {COLONNE_PREMIERE, 80},
        {COLONNE_DERNIERE, 80},
    };
    // clang-format on
    for (int i = 0; i < 5; i++) {
        LVCOLUMNA colonne = {};
        colonne.mask = LVCF_TEXT | LVCF_WIDTH;
        if (i > 0) {
            colonne.mask |= LVCF_FMT;
            colonne.fmt = LVCFMT_RIGHT;
        }
        colonne.pszText = (char*)colonnes[i].titre;
        colonne.cx = MulDiv(colonnes[i].largeur, dpi, 96);
        SendDlgItemMessageA(hwnd, IDD_LIST, LVM_INSERTCOLUMNA, i, (LPARAM)&colonne);
    }
}

void cellule_nom(char* tmp, const char* szNom, const char* szPrenom)
{
    // A full field has no NUL of its own: never read past it.
    char nom[TAILLE_NOM + 1], prenom[TAILLE_NOM + 1];
    lstrcpynA(nom, szNom, sizeof nom);
    lstrcpynA(prenom, szPrenom, sizeof prenom);
    wsprintfA(tmp, "%s %s", nom, prenom);
}

void cellule_age(char* tmp, DWORD age)
{
    int ans = (int)(age >> 16);
    wsprintfA(tmp, "%d an%s %02d m", ans, ans > 1 ? "s" : "", (int)((age >> 8) & 0xFF));
}

void cellule_date(char* tmp, DWORD date)
{
    wsprintfA(tmp, "%02d/%02d/%4d", (int)(date & 0xFF), (int)((date >> 8) & 0xFF),
              (int)(date >> 16));
}

// Fills the patient record for file number f. Returns FALSE when the host
// found nobody: names and birth date are cleared before asking, and a failed
// read leaves all three so.
static BOOL lecture_patient(RECPatients* patient, WORD f)
{
    patient->uFiche = f;
    memset(patient->szNom, 0, sizeof patient->szNom);
    memset(patient->szPrenom, 0, sizeof patient->szPrenom);
    patient->DateNai = 0;
    ReadPatients(patient, PATIENTS_BY_REC);
    return patient->szNom[0] != 0 || patient->szPrenom[0] != 0 || patient->DateNai != 0;
}

// Sets cell `colonne` of the row `item` names to the text in item->pszText;
// FALSE when the list refused it.
static BOOL cellule(HWND liste, LVITEMA* item, int colonne)
{
    item->iSubItem = colonne;
    return SendMessageA(liste, LVM_SETITEMA, 0, (LPARAM)item) != 0;
}

// Sends the five cells of one row to the list, the row asked for at `rang`;
// returns FALSE when the list refused the row or one of its cells.
static BOOL ligne(HWND liste, int rang, char* tmp, const RECPatients* patient, BOOL connu,
                  const PATIENT_ENTRY* e)
{
    static const char vide[TAILLE_NOM] = "";
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT;
    item.pszText = tmp;
    item.iItem = rang;

    if (patient)
        cellule_nom(tmp, patient->szNom, patient->szPrenom);
    else
        cellule_nom(tmp, vide, vide);
    // The cells go where the list put the row, not where it was asked to.
    item.iItem = (int)SendMessageA(liste, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (item.iItem < 0)
        return FALSE;

    if (connu)
        cellule_age(tmp, GetAge(patient->DateNai, Today()));
    else
        tmp[0] = 0;
    if (!cellule(liste, &item, 1))
        return FALSE;
    wsprintfA(tmp, "%d", e->nb);
    if (!cellule(liste, &item, 2))
        return FALSE;
    cellule_date(tmp, e->first);
    if (!cellule(liste, &item, 3))
        return FALSE;
    cellule_date(tmp, e->last);
    return cellule(liste, &item, 4);
}

int liste_patients(HWND hwnd, const PATIENT_ENTRY* patlist)
{
    char tmp[500];

    // Without a usable patient buffer the rows still come from the tally, as
    // for patients the host does not know.
    HGLOBAL Patient = OpenPatients(OPENPATIENTS_MODE);
    RECPatients* patient = Patient ? (RECPatients*)GlobalLock(Patient) : NULL;
    if (patient && GlobalSize(Patient) < sizeof(RECPatients)) {
        GlobalUnlock(Patient);
        patient = NULL;
    }

    // One batch: the list neither repaints nor redoes its scroll bars per row,
    // and is found once rather than at every message.
    HWND liste = GetDlgItem(hwnd, IDD_LIST);
    SendMessageA(liste, WM_SETREDRAW, FALSE, 0);
    int lignes = 0;
    for (int f = 0; f < MAX_DOSSIERS; f++) {
        const PATIENT_ENTRY* e = &patlist[f];
        if (e->nb <= 0)
            continue;
        BOOL connu = patient && lecture_patient(patient, (WORD)f);
        if (!ligne(liste, lignes, tmp, patient, connu, e)) {
            // A row missing or without its figures is a patient not called
            // back: no list at all rather than a partial one.
            SendMessageA(liste, LVM_DELETEALLITEMS, 0, 0);
            lignes = -1;
            break;
        }
        lignes++;
    }
    SendMessageA(liste, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(liste, NULL, TRUE);

    if (patient)
        GlobalUnlock(Patient);
    ClosePatients(Patient);
    return lignes;
}

void resume_recherche(HWND hwnd, int nocc, int patients)
{
    char resume[260];
    UINT icone = MB_ICONINFORMATION;
    if (cabinet_ouvert) {
        wsprintfA(resume, FORMAT_RESUME, nocc, patients);
    } else {
        // Whatever the host gave without a cabinet is no proof of "nobody".
        wsprintfA(resume, FORMAT_RESUME "\n\n" TEXTE_AVERTISSEMENT_CABINET, nocc, patients);
        icone = MB_ICONWARNING;
    }
    MessageBoxA(hwnd, resume, TITRE, MB_OK | icone);
}
