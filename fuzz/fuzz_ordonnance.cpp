// The per-prescription decision and its cuts against the yardstick.
#include <cstdio>
#include <cstdlib>

#include "entree.h"
#include "pliage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initialisation_recherche();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Entree e;
    if (!decoupe(data, size, e))
        return 0;
    Bloc b(e.texte, e.decalage);
    Bloc s(e.cherche, 0);
    Bloc apres(e.texte, e.decalage);

    const int attendu = etalon_ordonnance(apres.texte, e.cherche.c_str());
    const int r = ordonnance_correspond(b.texte, s.texte);
    if (r != attendu) {
        fprintf(stderr, "ordonnance_correspond: %d, yardstick %d\n", r, attendu);
        abort();
    }
    if (b.octets != apres.octets) {
        fprintf(stderr, "ordonnance_correspond: cuts differ from the yardstick\n");
        abort();
    }
    if (memcmp(s.texte, e.cherche.c_str(), e.cherche.size() + 1) != 0) {
        fprintf(stderr, "ordonnance_correspond: search text written\n");
        abort();
    }
    return 0;
}
