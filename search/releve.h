// What the scan hands over to the listing, and the cells of a result row.
#pragma once

#include <windows.h>
#include "recherche.h"

// One row per patient with matches, in ascending file number, then the summary
// "%d occ. - %d Patients".
void liste_patients(HWND hwnd, const PATIENT_ENTRY* patlist, int nocc);

// Cells of a row, each written into tmp (64 bytes are enough for any of them).
// The names are host fields of 21 bytes that need not hold a NUL.
void cellule_nom(char* tmp, const char* szNom, const char* szPrenom);
void cellule_age(char* tmp, DWORD age);
void cellule_date(char* tmp, DWORD date);
