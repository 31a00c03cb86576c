// The yardstick of the prescription search: the folding table written out from
// its rules, and the plainest scans over it. gencab's expected answers, the
// differential test and the fuzz targets take it as the truth, so it shares
// nothing with search/. No Windows header: it also builds natively.
#pragma once

// The folded form of a byte.
unsigned char etalon_plier(unsigned char c);

// Leftmost place in buf where the folded bytes of buf equal s (already
// folded), or nullptr. buf may be nullptr; an empty s matches nothing.
char* etalon_strxstr(const char* buf, const char* s);

// Leftmost place of n in h, a-z compared as A-Z and every other byte exactly;
// an empty n gives h.
char* etalon_stristr(const char* h, const char* n);

// Whether a prescription text holds the folded search text: the first <text>
// and the first <rtf>, each cut by a NUL at its own closing tag once all four
// tags are found, then both parts searched. texte is NUL-terminated, writable.
int etalon_ordonnance(char* texte, const char* cherche);
