// Case- and accent-insensitive matching of Windows-1252 text.
// Pure functions without any Windows header, so they also build natively.
#pragma once

#include <stdint.h>

extern unsigned char recherche_lower[256];

// Fills recherche_lower; called once before any search.
void initialisation_recherche(void);

// Leftmost position in buf where the folded bytes of buf equal s (already
// folded), or nullptr. buf may be nullptr; an empty s never matches.
char* recherche_strxstr(const char* buf, const char* s);

// Leftmost position of n in h, ASCII letters compared without case, every
// other byte exactly; an empty n gives h.
char* stristr(const char* h, const char* n);

// Orders two 32-bit signed keys for qsort.
int compar(const void* a, const void* b);
