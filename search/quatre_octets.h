// Four-bytes-at-a-time helpers of the raw matching (ordonnance.cpp).
//
// A quad is four bytes of text read as one 32-bit value, on every build, and
// only at aligned addresses: the aligned quad that holds a text's NUL lies in
// the same page as the NUL, so reading all of it never faults, and the bytes
// past the NUL are never taken into account.
#pragma once

#include <stddef.h>

#include "pliage.h"

typedef uint32_t quad;

const quad UNS = 0x01010101u;
const quad HAUTS = 0x80808080u;

// AddressSanitizer would report the bytes past the NUL in the last quad, so
// under it the quad is read unchecked and only its first byte, which is
// always part of the text, is checked.
#if defined(__SANITIZE_ADDRESS__)
#define QUAD_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUAD_ASAN 1
#endif
#endif

typedef quad __attribute__((may_alias)) quad_lu;

#ifdef QUAD_ASAN
__attribute__((no_sanitize_address)) inline quad lire_quad_entier(const unsigned char* p)
{
    return *(const quad_lu*)p;
}

inline quad lire_quad(const unsigned char* p)
{
    (void)*(const volatile unsigned char*)p;
    return lire_quad_entier(p);
}
#else
inline quad lire_quad(const unsigned char* p)
{
    return *(const quad_lu*)p;  // p is aligned
}
#endif

inline bool aligne(const unsigned char* p)
{
    return ((size_t)p & (sizeof(quad) - 1)) == 0;
}

// The high bit of a byte of the result is set for every zero byte of v (and
// maybe for bytes above one): the result is zero exactly when v has no zero
// byte.
inline quad zeros(quad v)
{
    return (v - UNS) & ~v & HAUTS;
}

// Zero bytes where the byte of m is c or c ^ 0x20 (both ASCII cases of a
// letter), given motif = (c | 0x20) in every byte.
inline quad deux_casses(quad m, quad motif)
{
    return (m | (0x20 * UNS)) ^ motif;
}

// ASCII upper case; every other byte unchanged.
inline unsigned char majuscule(unsigned char c)
{
    return (unsigned char)(c - 'a') < 26 ? (unsigned char)(c - ('a' - 'A')) : c;
}

// Below 0x80 recherche_lower maps a byte to itself or to its other ASCII
// case; from 0x80 up only onto the values marked here (é onto e, and each
// byte it leaves alone onto itself). Filled with the table.
extern bool plie_depuis_haut[256];

// Bytes from 0x80 up must be looked at one by one when a search text starting
// with s0 is sought: HAUTS then, else 0.
inline quad hauts_pour(unsigned char s0)
{
    return plie_depuis_haut[s0] ? HAUTS : 0;
}
