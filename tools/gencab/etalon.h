// The yardstick of the prescription search: the folding table written out from
// its rules, and the plainest scans over it. gencab's expected answers, the
// differential test and the fuzz targets take it as the truth, so it shares
// nothing with search/. No Windows header: it also builds natively.
#pragma once

#include <string>

// The folded form of a byte.
unsigned char etalon_plier(unsigned char c);

// Leftmost place in buf where the folded bytes of buf equal s (already
// folded), or nullptr. buf may be nullptr; an empty s matches nothing.
char* etalon_strxstr(const char* buf, const char* s);

// Leftmost place of n in h, a-z compared as A-Z and every other byte exactly;
// an empty n gives h.
char* etalon_stristr(const char* h, const char* n);

// The text an RTF reader shows for rtf, read up to its first NUL, or to the
// closing brace of the group it begins with when that is {\rtf: groups,
// escapes, \uN and their stand-ins, control words and symbols resolved;
// hidden groups ({\*...}, font and colour tables, fields' instructions, ...),
// an \object but its \result, \v text up to \v0 or \plain, \bin data and the
// source's own line breaks left out. Never holds a NUL.
std::string etalon_texte_rtf(const char* rtf);

// 1 when the shown text of rtf holds cherche (already folded), compared as
// etalon_strxstr does; an empty cherche matches nothing.
int etalon_rtf(const char* rtf, const char* cherche);

// Whether a prescription text holds the folded search text: the first <text>
// and the first <rtf>, each cut by a NUL at its own closing tag once all four
// tags are looked for, both searched as raw bytes; failing that, the <rtf>
// part (after its tag, up to the first NUL) as its reader shows it. texte is NUL-terminated
// and writable; only those two NULs are written into it.
int etalon_ordonnance(char* texte, const char* cherche);
