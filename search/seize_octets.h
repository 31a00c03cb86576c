// Sixteen-bytes-at-a-time reading of a text (ordonnance.cpp), where the
// processor has SSE2; quatre_octets.h is the way of those without it.
//
// A block is sixteen bytes of text read at once, only at an address that is
// a multiple of 16: the block that holds a text's NUL lies in the same page
// as the NUL, so reading all of it never faults, and the bytes outside the
// text are never taken into account.
#pragma once

#include <stdint.h>

#include "quatre_octets.h"

// Whether the sixteen-byte way is taken: the processor has SSE2, unless a
// test asks for the other way. Set with the folding table.
extern bool avec_sse2;

#if defined(__i386__) || defined(__x86_64__)
#define SEIZE_OCTETS 1
#include <emmintrin.h>

// Every function that reads blocks is built for SSE2 on its own, since a
// 32-bit build may run on a processor without it.
#define POUR_SSE2 __attribute__((target("sse2")))

const uintptr_t BLOC = 16;

inline const unsigned char* debut_du_bloc(const unsigned char* p)
{
    return (const unsigned char*)((uintptr_t)p & ~(BLOC - 1));
}

// AddressSanitizer (QUAD_ASAN) would report the bytes of the block outside
// the text, so under it the block is read unchecked and only the byte at p,
// always part of the text, is checked.
#ifdef QUAD_ASAN
POUR_SSE2 __attribute__((no_sanitize_address)) inline __m128i lire_bloc_entier(
    const unsigned char* bloc)
{
    return _mm_load_si128((const __m128i*)bloc);
}

// The block that holds p.
POUR_SSE2 inline __m128i lire_bloc(const unsigned char* p)
{
    (void)*(const volatile unsigned char*)p;
    return lire_bloc_entier(debut_du_bloc(p));
}
#else
POUR_SSE2 inline __m128i lire_bloc(const unsigned char* p)
{
    return _mm_load_si128((const __m128i*)debut_du_bloc(p));
}
#endif

// One bit per byte of the block, set where the byte equals c.
POUR_SSE2 inline unsigned egaux(__m128i v, unsigned char c)
{
    return (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8((char)c)));
}

// Set where the byte is c or c ^ 0x20 (both ASCII cases of a letter).
POUR_SSE2 inline unsigned deux_casses_egaux(__m128i v, unsigned char c)
{
    const __m128i x20 = _mm_set1_epi8(0x20);
    return (unsigned)_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_or_si128(v, x20), _mm_set1_epi8((char)(c | 0x20))));
}

// Set where the byte is 0x80 or above.
POUR_SSE2 inline unsigned hauts_du_bloc(__m128i v)
{
    return (unsigned)_mm_movemask_epi8(v);
}
#endif
