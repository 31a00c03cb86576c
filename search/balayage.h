// A whole search for the main dialog: the scan and tally here, then the rows
// and the summary (liste.h), in one call.
#pragma once

#include <windows.h>

struct PATIENT_ENTRY {
    DWORD first;  // packed date of the earliest matching prescription
    DWORD last;   // packed date of the latest matching prescription
    int nb;       // matching prescriptions; 0 = none
};

void recherche_ordonnance(HWND hwnd);

// Orders two 32-bit signed keys, over their whole range, the qsort way.
int compar(const void* a, const void* b);
