// recherche_strxstr against the yardstick.
#include <cstdio>
#include <cstdlib>

#include "entree.h"
#include "pliage.h"

static long position(const char* r, const char* base)
{
    return r ? (long)(r - base) : -1;
}

static void ecart(const char* quoi, long obtenu, long attendu)
{
    fprintf(stderr, "%s: %ld, yardstick %ld\n", quoi, obtenu, attendu);
    abort();
}

void essayer(const Entree&, Bloc& b, Bloc& s)
{
    long r = position(recherche_strxstr(b.texte, s.texte), b.texte);
    long m = position(etalon_strxstr(b.texte, s.texte), b.texte);
    if (r != m)
        ecart("recherche_strxstr", r, m);
    if (recherche_strxstr(nullptr, s.texte) != nullptr)
        ecart("recherche_strxstr(nullptr)", 0, -1);
}
