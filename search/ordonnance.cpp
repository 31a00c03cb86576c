// Decides whether one prescription text holds the folded search text.
//
// The decision and the cuts are exactly those of four tag searches, ASCII case
// ignored (<text>, then </text> from it; <rtf>, then </rtf> from it), a NUL
// written at each closing tag found, then a plain leftmost search of the
// folded bytes of the <text> part and of the <rtf> part. Done that way the
// text part is read up to five times; here a single left-to-right pass finds
// the tags and the places where the search text occurs, and stops at the last
// closing tag.
//
// Only when neither part holds it as raw bytes is the <rtf> part, once cut,
// read a second time for the words it shows (lecture_rtf.h): a prescription
// kept only as RTF writes its accents as escapes and may split a word with
// formatting.
#include "ordonnance.h"
#include "lecture_rtf.h"
#include "pliage.h"

#include "quatre_octets.h"
#include "seize_octets.h"

bool plie_depuis_haut[256];
bool avec_sse2;

// Whether the tag (lower case) starts at p, ASCII case ignored.
static bool balise(const unsigned char* p, const char* tag)
{
    for (; *tag; ++p, ++tag)
        if (majuscule(*p) != majuscule((unsigned char)*tag))
            return false;  // a NUL of the text stops here too
    return true;
}

// Whether s, whose first byte is already matched at p, occurs at p.
static bool suite(const unsigned char* p, const unsigned char* s)
{
    size_t k = 1;
    while (s[k] != 0 && recherche_lower[p[k]] == s[k])
        ++k;
    return s[k] == 0;
}

// Whether the byte at p stops the search for a candidate.
static bool candidat(const unsigned char* p, unsigned char s0)
{
    const unsigned char c = *p;
    return c == '<' || recherche_lower[c] == s0 || c == 0;
}

#ifdef SEIZE_OCTETS
// The same as vers_candidat below, a block at a time: bits are set for 0,
// '<', s0, s0 ^ 0x20 and, when some high byte folds to s0, every byte from
// 0x80 up; only there is the byte looked at. It buys 8 % of a search's own
// time (1M entries, median of 26 alternated rounds in three sittings).
POUR_SSE2 static unsigned char* vers_candidat_sse2(unsigned char* p, unsigned char s0)
{
    const unsigned motif = s0 ? s0 : '<';
    const bool hauts = s0 && plie_depuis_haut[s0];
    const unsigned char* bloc = debut_du_bloc(p);
    unsigned avant = (unsigned)(p - bloc);  // bytes of the first block before p
    for (;; bloc += BLOC, avant = 0) {
        const __m128i v = lire_bloc(bloc + avant);
        unsigned bits = egaux(v, 0) | egaux(v, '<') | deux_casses_egaux(v, (unsigned char)motif);
        if (hauts)
            bits |= hauts_du_bloc(v);
        for (bits = bits >> avant << avant; bits; bits &= bits - 1) {
            const unsigned char* q = bloc + __builtin_ctz(bits);
            if (candidat(q, s0))
                return (unsigned char*)q;
        }
    }
}
#endif

// First byte from p that is '<', folds to s0, or is the NUL.
static unsigned char* vers_candidat(unsigned char* p, unsigned char s0)
{
#ifdef SEIZE_OCTETS
    if (avec_sse2)
        return vers_candidat_sse2(p, s0);
#endif
    const quad chevron = '<' * UNS;
    const quad motif = (s0 ? (unsigned char)(s0 | 0x20) : '<') * UNS;
    const quad hauts = s0 ? hauts_pour(s0) : 0;
    for (;;) {
        for (; !aligne(p); ++p)
            if (candidat(p, s0))
                return p;
        for (;; p += sizeof(quad)) {
            const quad m = lire_quad(p);
            if (zeros(m) | zeros(m ^ chevron) | zeros(deux_casses(m, motif)) | (m & hauts))
                break;
        }
        for (unsigned char* fin = p + sizeof(quad); p < fin; ++p)
            if (candidat(p, s0))
                return p;
    }
}

// A part runs from its opening tag to the first cut after it (its own closing
// tag or the other part's), or to the end of the text. The leftmost place
// found counts only if the n bytes there end before that cut: any later place
// would end past it too.
static bool dans_sa_partie(const unsigned char* trouve, const unsigned char* debut,
                           const unsigned char* fin, const unsigned char* autre_fin, size_t n)
{
    if (!trouve)
        return false;
    if (autre_fin && autre_fin > debut && (!fin || autre_fin < fin))
        fin = autre_fin;
    return !fin || trouve + n <= fin;
}

int ordonnance_correspond(char* text, const char* str_srch)
{
    const unsigned char* s = (const unsigned char*)str_srch;
    const unsigned char s0 = s[0];
    unsigned char* start_text = nullptr;
    unsigned char* end_text = nullptr;
    unsigned char* start_rtf = nullptr;
    unsigned char* end_rtf = nullptr;
    // Leftmost place of the search text at or after each opening tag, in the
    // text as given (before any cut).
    unsigned char* trouve_text = nullptr;
    unsigned char* trouve_rtf = nullptr;

    for (unsigned char* p = (unsigned char*)text;; ++p) {
        p = vers_candidat(p, s0);
        const unsigned char c = *p;
        if (c == 0)
            break;
        if (c == '<') {
            if (!start_text) {
                if (balise(p, "<text>"))
                    start_text = p;
            } else if (!end_text && balise(p, "</text>")) {
                end_text = p;
            }
            if (!start_rtf) {
                if (balise(p, "<rtf>"))
                    start_rtf = p;
            } else if (!end_rtf && balise(p, "</rtf>")) {
                end_rtf = p;
            }
            // Both parts end at or before p: nothing further counts.
            if (end_text && end_rtf)
                break;
        }
        bool pour_text = start_text && !trouve_text;
        bool pour_rtf = start_rtf && !trouve_rtf;
        if (s0 != 0 && recherche_lower[c] == s0 && (pour_text || pour_rtf) && suite(p, s)) {
            if (pour_text)
                trouve_text = p;
            if (pour_rtf)
                trouve_rtf = p;
        }
    }

    if (end_text)
        *end_text = 0;
    if (end_rtf)
        *end_rtf = 0;

    size_t n = 0;
    while (s[n] != 0)
        ++n;
    if (dans_sa_partie(trouve_text, start_text, end_text, end_rtf, n) ||
        dans_sa_partie(trouve_rtf, start_rtf, end_rtf, end_text, n))
        return 1;
    // The opening tag is markup, not shown: the reading starts after it.
    return start_rtf && rtf_correspond((const char*)start_rtf + sizeof "<rtf>" - 1, str_srch);
}
