// The second reading of an <rtf> part against the yardstick's own reader, on
// any bytes: the span sits in a heap block of its exact size, so any read
// past its NUL shows, and it must come back unchanged.
#include <cstdio>
#include <cstdlib>

#include "entree.h"
#include "lecture_rtf.h"
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
    const std::vector<char> avant = b.octets;

    const int r = rtf_correspond(b.texte, s.texte);
    const int attendu = etalon_rtf(e.texte.c_str(), e.cherche.c_str());
    if (r != attendu) {
        fprintf(stderr, "rtf_correspond: %d, yardstick %d\n", r, attendu);
        abort();
    }
    if (b.octets != avant) {
        fprintf(stderr, "rtf_correspond: the span was written\n");
        abort();
    }
    return 0;
}
