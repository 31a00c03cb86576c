// What the scan hands over to the listing, and the cells of a result row.
#pragma once

#include <windows.h>
#include "balayage.h"

// Whether the default cabinet opened; a summary without it carries a warning.
extern BOOL cabinet_ouvert;

// The result list's five empty columns, scaled with the screen like the
// dialog; once, when the dialog opens.
void initialisation_colonnes(HWND hwnd);

// One row per patient with matches, in ascending file number, filled as one
// batch. Returns the number of rows, or -1 when the list refused a row or a
// cell: the list is then left empty.
int liste_patients(HWND hwnd, const PATIENT_ENTRY* patlist);

// The summary box, "%d occ. - %d Patients", with a warning when the default
// cabinet did not open.
void resume_recherche(HWND hwnd, int nocc, int patients);

// Cells of a row, each written into tmp (64 bytes are enough for any of them).
// The names are host fields of 21 bytes that need not hold a NUL.
void cellule_nom(char* tmp, const char* szNom, const char* szPrenom);
void cellule_age(char* tmp, DWORD age);
void cellule_date(char* tmp, DWORD date);
