// One whole search for the main dialog: scan, tally, rows and summary.
#pragma once

#include <windows.h>
#include "pliage.h"

struct PATIENT_ENTRY {
    DWORD first;  // packed date of the earliest matching prescription
    DWORD last;   // packed date of the latest matching prescription
    int nb;       // matching prescriptions; 0 = none
};

void recherche_ordonnance(HWND hwnd);

// Whether the default cabinet opened; a summary without it carries a warning.
extern BOOL cabinet_ouvert;
