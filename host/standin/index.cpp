// Key lookup: open addressing over the entry array, at most half full.
#include "hote.h"

static DWORD position(LONG cle, DWORD masque)
{
    // Fibonacci hashing, high bits folded down: consecutive keys spread out.
    DWORD h = (DWORD)cle * 2654435769u;
    return (h ^ (h >> 15)) & masque;
}

bool preparer_index(CABINET* c, DWORD nMax)
{
    DWORD taille = 16;
    while (taille < nMax && taille < 0x80000000u) taille <<= 1;
    if (taille < 0x80000000u) taille <<= 1;  // at most half full
    c->table = (DWORD*)allouer(taille, sizeof(DWORD));
    if (!c->table) return false;
    c->masque = taille - 1;
    return true;
}

bool indexer_entree(CABINET* c, DWORD i)
{
    LONG cle = c->entrees[i].cle;
    DWORD p = position(cle, c->masque);
    while (c->table[p]) {
        if (c->entrees[c->table[p] - 1].cle == cle) return false;
        p = (p + 1) & c->masque;
    }
    c->table[p] = i + 1;
    return true;
}

ENTREE* trouver_entree(const CABINET* c, LONG cle)
{
    if (!c->table) return NULL;
    DWORD p = position(cle, c->masque);
    while (c->table[p]) {
        ENTREE* e = &c->entrees[c->table[p] - 1];
        if (e->cle == cle) return e;
        p = (p + 1) & c->masque;
    }
    return NULL;
}
