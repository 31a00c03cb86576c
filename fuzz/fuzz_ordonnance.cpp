// The per-prescription decision and its cuts against the yardstick.
#include <cstdio>
#include <cstdlib>

#include "entree.h"
#include "pliage.h"

void essayer(const Entree& e, Bloc& b, Bloc& s)
{
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
}
