// Second phase of a search: one row per patient found, then the summary.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "kmapi.h"
#include "releve.h"
#include "resource.h"

#define TAILLE_NOM 21   // szNom and szPrenom of RECPatients

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

void liste_patients(HWND hwnd, const PATIENT_ENTRY* patlist, int nocc)
{
    static const char vide[TAILLE_NOM] = "";
    char tmp[500];

    // Without a usable patient buffer the rows still come from the tally, as
    // for patients the host does not know.
    HGLOBAL Patient = OpenPatients(0);
    RECPatients* patient = Patient ? (RECPatients*)GlobalLock(Patient) : NULL;
    if (patient && GlobalSize(Patient) < sizeof(RECPatients)) {
        GlobalUnlock(Patient);
        patient = NULL;
    }

    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT;
    item.pszText = tmp;
    item.iItem = 0;
    for (int f = 0; f < MAX_DOSSIERS; f++) {
        const PATIENT_ENTRY* e = &patlist[f];
        if (e->nb <= 0)
            continue;
        BOOL connu = patient && lecture_patient(patient, (WORD)f);

        item.iSubItem = 0;
        if (patient)
            cellule_nom(tmp, patient->szNom, patient->szPrenom);
        else
            cellule_nom(tmp, vide, vide);
        SendDlgItemMessageA(hwnd, IDD_LIST, LVM_INSERTITEMA, 0, (LPARAM)&item);

        item.iSubItem = 1;
        if (connu)
            cellule_age(tmp, GetAge(patient->DateNai, Today()));
        else
            tmp[0] = 0;
        SendDlgItemMessageA(hwnd, IDD_LIST, LVM_SETITEMA, 0, (LPARAM)&item);

        item.iSubItem = 2;
        wsprintfA(tmp, "%d", e->nb);
        SendDlgItemMessageA(hwnd, IDD_LIST, LVM_SETITEMA, 0, (LPARAM)&item);

        item.iSubItem = 3;
        cellule_date(tmp, e->first);
        SendDlgItemMessageA(hwnd, IDD_LIST, LVM_SETITEMA, 0, (LPARAM)&item);

        item.iSubItem = 4;
        cellule_date(tmp, e->last);
        SendDlgItemMessageA(hwnd, IDD_LIST, LVM_SETITEMA, 0, (LPARAM)&item);

        item.iItem++;
    }

    if (patient)
        GlobalUnlock(Patient);
    ClosePatients(Patient);

    char resume[260];
    wsprintfA(resume, "%d occ. - %d Patients", nocc, item.iItem);
    MessageBoxA(hwnd, resume, "Ordaskel", MB_OK | MB_ICONINFORMATION);
}
