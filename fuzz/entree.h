// Splits a fuzz input into the texts a target works on, and is the entry of
// every target: each defines essayer, called on every input that splits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "etalon.h"
#include "ordonnance.h"
#include "pliage.h"
#include "seize_octets.h"

// Input layout: one byte of options (bits 0-2 and 4: offset of the text from
// an aligned address; bit 3: search text left unfolded; bit 5: read as on a
// processor without SSE2), one byte giving the search text's length (mod 16),
// the search text, then the text. Both are cut at their first NUL, as the code
// under test sees them.
struct Entree {
    std::string texte, cherche;
    unsigned decalage = 0;
    bool sans_sse2 = false;
};

inline std::string jusqua_nul(const uint8_t* p, size_t n)
{
    const void* z = memchr(p, 0, n);
    return std::string((const char*)p, z ? (const uint8_t*)z - p : n);
}

inline bool decoupe(const uint8_t* data, size_t size, Entree& e)
{
    if (size < 2)
        return false;
    e.decalage = (data[0] & 7) | (data[0] >> 1 & 8);
    e.sans_sse2 = data[0] & 0x20;
    size_t n = data[1] % 16;
    data += 2, size -= 2;
    if (n > size)
        n = size;
    e.cherche = jusqua_nul(data, n);
    e.texte = jusqua_nul(data + n, size - n);
    if (!(data[-2] & 8))
        for (char& c : e.cherche)
            c = (char)etalon_plier((unsigned char)c);
    return true;
}

// The text in a heap block of its exact size (offset, bytes, NUL), so that
// AddressSanitizer sees any read past it.
struct Bloc {
    std::vector<char> octets;
    char* texte;
    Bloc(const std::string& t, unsigned decalage) : octets(decalage + t.size() + 1, 'z')
    {
        texte = octets.data() + decalage;
        memcpy(texte, t.c_str(), t.size() + 1);
    }
};

// The target's checks: b holds the text, s the search text, both as the code
// under test sees them.
void essayer(const Entree& e, Bloc& b, Bloc& s);

static bool sse2_du_processeur;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initialisation_recherche();
    sse2_du_processeur = avec_sse2;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Entree e;
    if (!decoupe(data, size, e))
        return 0;
    avec_sse2 = sse2_du_processeur && !e.sans_sse2;
    Bloc b(e.texte, e.decalage);
    Bloc s(e.cherche, 0);
    essayer(e, b, s);
    return 0;
}
