// The second reading of an <rtf> part against the yardstick's own reader, on
// any bytes: the span sits in a heap block of its exact size, so any read
// past its NUL shows, and it must come back unchanged.
#include <cstdio>
#include <cstdlib>

#include "entree.h"
#include "lecture_rtf.h"
#include "pliage.h"

void essayer(const Entree& e, Bloc& b, Bloc& s)
{
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
}
