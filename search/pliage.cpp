// Folding table of the prescription search, and the folding of its search
// text. The tables the matchers read beside it (plie_depuis_haut, avec_sse2)
// are filled here too, once, with it.
#include "pliage.h"

#include "quatre_octets.h"
#include "seize_octets.h"

unsigned char recherche_lower[256];

void initialisation_recherche(void)
{
    for (int c = 0; c < 256; ++c)
        recherche_lower[c] = (unsigned char)c;
    for (int c = 'A'; c <= 'Z'; ++c)
        recherche_lower[c] = (unsigned char)(c + ('a' - 'A'));

    // Accented letters of Windows-1252, upper and lower case, by code range.
    // Æ, Ð, ×, Ø, Þ, ß, æ, ð, ÷, ø, þ, œ and Ÿ are left as they are.
    // clang-format off
    static const struct { unsigned char premier, dernier; char plie; } accents[] = {
        {0xC0, 0xC5, 'a'}, {0xE0, 0xE5, 'a'},
        {0xC7, 0xC7, 'c'}, {0xE7, 0xE7, 'c'},
        {0xC8, 0xCB, 'e'}, {0xE8, 0xEB, 'e'},
        {0xCC, 0xCF, 'i'}, {0xEC, 0xEF, 'i'},
        {0xD1, 0xD1, 'n'}, {0xF1, 0xF1, 'n'},
        {0xD2, 0xD6, 'o'}, {0xF2, 0xF6, 'o'},
        {0xD9, 0xDC, 'u'}, {0xF9, 0xFC, 'u'},
        {0xDD, 0xDD, 'y'}, {0xFD, 0xFD, 'y'}, {0xFF, 0xFF, 'y'},
    };
    // clang-format on
    for (const auto& a : accents)
        for (int c = a.premier; c <= a.dernier; ++c)
            recherche_lower[c] = (unsigned char)a.plie;

    for (int c = 0; c < 256; ++c)
        plie_depuis_haut[c] = false;
    for (int c = 0x80; c < 256; ++c)
        plie_depuis_haut[recherche_lower[c]] = true;

#ifdef SEIZE_OCTETS
    __builtin_cpu_init();
    avec_sse2 = __builtin_cpu_supports("sse2");
#endif
}

void plier_texte(char* s)
{
    for (unsigned char* p = (unsigned char*)s; *p; ++p)
        *p = recherche_lower[*p];
}
