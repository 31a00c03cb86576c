// Word-at-a-time helpers of the matchers (pliage.cpp, ordonnance.cpp).
//
// Words are 32 bits on every build and are read only at aligned addresses:
// the aligned word that holds a text's NUL lies in the same page as the NUL,
// so reading all of it never faults, and the bytes past the NUL are never
// taken into account.
#pragma once

#include <stddef.h>

#include "pliage.h"

typedef uint32_t mot;

const mot UNS = 0x01010101u;
const mot HAUTS = 0x80808080u;

// AddressSanitizer would report the bytes past the NUL in the last word, so
// under it the word is read unchecked and only its first byte, which is
// always part of the text, is checked.
#if defined(__SANITIZE_ADDRESS__)
#define MOTS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOTS_ASAN 1
#endif
#endif

typedef mot __attribute__((may_alias)) mot_lu;

#ifdef MOTS_ASAN
__attribute__((no_sanitize_address)) inline mot lire_mot_entier(const unsigned char* p)
{
    return *(const mot_lu*)p;
}

inline mot lire_mot(const unsigned char* p)
{
    (void)*(const volatile unsigned char*)p;
    return lire_mot_entier(p);
}
#else
inline mot lire_mot(const unsigned char* p)
{
    return *(const mot_lu*)p;  // p is aligned
}
#endif

inline bool aligne(const unsigned char* p)
{
    return ((size_t)p & (sizeof(mot) - 1)) == 0;
}

// The high bit of a byte of the result is set for every zero byte of v (and
// maybe for bytes above one): the result is zero exactly when v has no zero
// byte.
inline mot zeros(mot v)
{
    return (v - UNS) & ~v & HAUTS;
}

// Zero bytes where the byte of m is c or c ^ 0x20 (both ASCII cases of a
// letter), given motif = (c | 0x20) in every byte.
inline mot deux_casses(mot m, mot motif)
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
inline mot hauts_pour(unsigned char s0)
{
    return plie_depuis_haut[s0] ? HAUTS : 0;
}
