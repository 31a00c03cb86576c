// Case- and accent-insensitive folding of Windows-1252 text.
// Pure functions without any Windows header, so they also build natively.
#pragma once

#include <stdint.h>

extern unsigned char recherche_lower[256];

// Fills recherche_lower; called once before any search.
void initialisation_recherche(void);

// Folds the search text in place, up to its NUL: the matchers take it so.
void plier_texte(char* s);
