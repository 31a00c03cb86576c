// A small splitmix64 generator: same seed, same sequence, on every compiler.
#include "gencab.h"

void hasard_semer(Hasard& h, uint64_t graine)
{
    h.etat = graine ^ 0x6A09E667F3BCC908ULL;
}

uint64_t hasard_suivant(Hasard& h)
{
    uint64_t z = (h.etat += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint32_t hasard_borne(Hasard& h, uint32_t n)
{
    // Multiply-shift: no modulo bias worth speaking of, and no floating point.
    return (uint32_t)(((hasard_suivant(h) >> 32) * (uint64_t)n) >> 32);
}

bool hasard_pour_mille(Hasard& h, uint32_t p)
{
    return hasard_borne(h, 1000) < p;
}

// Every step is invertible on 32 bits, so distinct inputs give distinct keys.
uint32_t melange_cle(uint32_t x, uint64_t graine)
{
    x ^= (uint32_t)graine;
    x *= 0x9E3779B1u;
    x ^= x >> 16;
    x += (uint32_t)(graine >> 32);
    x *= 0x85EBCA77u;
    x ^= x >> 13;
    x *= 0xC2B2AE3Du;
    x ^= x >> 16;
    return x;
}
