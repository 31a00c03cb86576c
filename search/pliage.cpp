// Folding table and the matcher of the prescription search.
//
// The matcher runs over every byte it is given, so it is written for speed: a
// tight loop skips to the next byte that can start a match, and only there is
// the rest of the needle compared. The result is that of the plain leftmost
// scan, byte for byte.
#include "pliage.h"

#include "quatre_octets.h"
#include "seize_octets.h"

unsigned char recherche_lower[256];
bool plie_depuis_haut[256];
bool avec_sse2;

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

// First byte from p that folds to s0, or the NUL. A quad that holds none of
// 0, s0, s0 ^ 0x20 and, when some high byte folds to s0, no byte from 0x80 up
// has no candidate and is passed over whole; any other quad is looked at byte
// by byte.
static const unsigned char* vers_plie(const unsigned char* p, unsigned char s0)
{
    const quad motif = (unsigned char)(s0 | 0x20) * UNS;
    const quad hauts = hauts_pour(s0);
    for (;;) {
        while (!aligne(p)) {
            unsigned char c = *p;
            if (recherche_lower[c] == s0 || c == 0)
                return p;
            ++p;
        }
        for (;; p += sizeof(quad)) {
            const quad m = lire_quad(p);
            if (zeros(m) | zeros(deux_casses(m, motif)) | (m & hauts))
                break;
        }
        for (const unsigned char* fin = p + sizeof(quad); p < fin; ++p) {
            unsigned char c = *p;
            if (recherche_lower[c] == s0 || c == 0)
                return p;
        }
    }
}

char* recherche_strxstr(const char* buf, const char* s)
{
    if (buf == nullptr)
        return nullptr;
    const unsigned char* cherche = (const unsigned char*)s;
    const unsigned char s0 = cherche[0];
    if (s0 == 0)
        return nullptr;

    const unsigned char* p = (const unsigned char*)buf;
    for (;;) {
        p = vers_plie(p, s0);
        if (*p == 0)
            return nullptr;
        // recherche_lower[0] is 0 and never equals a byte of s: the NUL of
        // buf ends the attempt.
        size_t k = 1;
        while (cherche[k] != 0 && recherche_lower[p[k]] == cherche[k])
            ++k;
        if (cherche[k] == 0)
            return (char*)p;
        ++p;
    }
}
