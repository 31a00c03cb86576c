// The per-prescription decision and its cuts against the reference model.
#include <cstdio>
#include <cstdlib>

#include "entree.h"
#include "modele.h"

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

    std::string apres;
    const int attendu = modele_ordonnance(e.texte, e.cherche, apres);
    const int r = ordonnance_correspond(b.texte, s.texte);
    if (r != attendu) {
        fprintf(stderr, "ordonnance_correspond: %d, model %d\n", r, attendu);
        abort();
    }
    if (memcmp(b.texte, apres.data(), apres.size()) != 0 || b.texte[apres.size()] != 0) {
        fprintf(stderr, "ordonnance_correspond: cuts differ from the model\n");
        abort();
    }
    if (memcmp(s.texte, e.cherche.c_str(), e.cherche.size() + 1) != 0) {
        fprintf(stderr, "ordonnance_correspond: search text written\n");
        abort();
    }
    return 0;
}
