// Reads an <rtf> part as a rich-edit control shows it, and matches the search
// text in what it shows: a prescription kept only as RTF writes its accents as
// escapes (\'e9) and may cut a word with formatting (D\'e9p\ulnone akine).
// jeton_suivant cuts the part into tokens: a run of text (where it starts; the
// router reads it to its end), a control word with its number and space
// (\binN with its data), a control symbol, an escape \'hh, a brace, the end.
// router acts on each; its rules, in its order:
// 1. The part ends at its first NUL; one that begins with {\rtf (CR and LF
//    before it passed over) ends at that group's closing brace.
// 2. CR and LF of the source show nothing: none is a token or a stand-in.
// 3. A group whose first token is a word of MOTS marked CACHEE (\*, tables,
//    header, picture, field instruction, footnote, bookmark, ...) is passed
//    over to its closing brace, at any depth. A word hides its group only as
//    its first token.
// 4. Stand-ins: after \uN whose character has a Windows-1252 byte, the next
//    \ucN tokens (1 unless a \uc says otherwise; a negative N is 0) are
//    skipped: a run counts one for each byte, a control word (known or not),
//    symbol or escape one; a brace ends them. A \uN whose character has no
//    Windows-1252 byte skips nothing: its stand-in shows.
// 5. \v, and \vN but \v0, hide the text that follows; \v0 and \plain show it
//    again. An \object group shows nothing but a group inside it whose first
//    word is \result, which shows as usual (a \v carries into it).
// 6. A change of \v, \uc or the object is undone at the closing brace of the
//    group that made it. At most 256 groups hold such a change at once; past
//    that, a group changes nothing (the yardstick does the same).
// 7. Shown, outside hidden text: text bytes, \'hh but \'00, the byte of \uN
//    but 0, and the words and symbols of MOTS marked DONNE. Nothing else.
// 8. \binN: its N bytes are data, never read, even when it is a stand-in.
// Where RTF leaves a case open: \' without two hex digits is a token of its
// two bytes that shows nothing; a number is capped at 2147483647; \uN below 0
// stands for N + 65536; a backslash before the end shows nothing.
// Shown bytes are copied, into a window on the stack, only from a place where
// the search text could start. Nothing is allocated; only locals are written.
#include "lecture_rtf.h"
#include "pliage.h"

#include <array>
#include <string.h>

#define FENETRE 2048     // shown bytes matched at a time
#define CHANGEMENTS 256  // groups holding a change at once

namespace {

enum CLASSE { FIN, TEXTE, MOT, ECHAPPE, OUVRE, FERME };

struct JETON {
    CLASSE classe;
    const unsigned char* debut;  // TEXTE: the run; MOT: the name, a symbol's its one byte
    const unsigned char* fin;    // MOT: of the name
    bool a_parametre;            // MOT: a number follows the name
    long parametre;              // MOT: that number; ECHAPPE: the byte, -1 if none
};

// The bytes that end a run of text: the end, a backslash, a brace.
constexpr std::array<bool, 256> SPECIAL = [] {
    std::array<bool, 256> t{};
    t[0] = t[(unsigned char)'\\'] = t[(unsigned char)'{'] = t[(unsigned char)'}'] = true;
    return t;
}();

inline bool saut_de_ligne(unsigned char c)
{
    return c == '\r' || c == '\n';
}

inline bool lettre(unsigned char c)
{
    return (unsigned char)((c | 0x20) - 'a') < 26;
}

inline bool chiffre(unsigned char c)
{
    return (unsigned char)(c - '0') < 10;
}

inline int hexa(unsigned char c)  // -1 for a byte that is no hex digit
{
    if (chiffre(c))
        return c - '0';
    return (unsigned char)((c | 0x20) - 'a') < 6 ? (c | 0x20) - 'a' + 10 : -1;
}

// The control word at p: its name, its optional signed number and the space
// that ends it; \binN's data with it. Or the control symbol at p.
const unsigned char* lire_mot(const unsigned char* p, JETON& j)
{
    const unsigned char* q = p + 1;
    while (lettre(*q))
        ++q;
    j.classe = MOT;
    j.debut = p + 1;
    j.fin = q > p + 1 ? q : p + 2;
    if (q == p + 1)
        return j.fin;
    const bool negatif = *q == '-' && chiffre(q[1]);
    q += negatif;
    long n = 0;
    j.a_parametre = chiffre(*q);
    for (; chiffre(*q); ++q)
        n = n < 214748364 || (n == 214748364 && *q < '8') ? n * 10 + (*q - '0') : 2147483647;
    j.parametre = negatif ? -n : n;
    q += *q == ' ';
    if (p[1] == 'b' && p[2] == 'i' && p[3] == 'n' && j.fin - j.debut == 3)
        for (long reste = j.parametre; reste > 0 && *q; --reste)
            ++q;
    return q;
}

// The token at p, line breaks of the source before it passed over; returns
// where the next one starts.
const unsigned char* jeton_suivant(const unsigned char* p, JETON& j)
{
    for (;; ++p) {
        j.debut = p;
        switch (*p) {
        case '\r':
        case '\n':
            continue;
        case 0:
            j.classe = FIN;
            return p;
        case '{':
            j.classe = OUVRE;
            return p + 1;
        case '}':
            j.classe = FERME;
            return p + 1;
        case '\\':
            break;
        default:
            j.classe = TEXTE;
            return p;
        }
        if (p[1] == 0)
            continue;  // a backslash before the end: nothing
        if (p[1] != '\'')
            return lire_mot(p, j);
        j.classe = ECHAPPE;
        const int fort = hexa(p[2]);
        const int faible = fort < 0 ? -1 : hexa(p[3]);
        j.parametre = faible < 0 ? -1 : fort * 16 + faible;
        return p + (faible < 0 ? 2 : 4);
    }
}

enum EFFET { DONNE, CACHEE, OBJET, RESULTAT, TEXTE_CACHE, ORDINAIRE, SAUT_UNICODE, UNICODE };

struct DEFINITION {
    const char* nom;
    EFFET effet;
    const char* donne;
};

// clang-format off
constexpr DEFINITION MOTS[] = {
    {"par", DONNE, "\r\n"}, {"line", DONNE, "\r\n"}, {"cell", DONNE, "\r\n"},
    {"row", DONNE, "\r\n"}, {"\r", DONNE, "\r\n"}, {"\n", DONNE, "\r\n"}, {"tab", DONNE, "\t"},
    {"\\", DONNE, "\\"}, {"{", DONNE, "{"}, {"}", DONNE, "}"}, {"_", DONNE, "-"},
    {"~", DONNE, "\240"}, {"emspace", DONNE, " "}, {"enspace", DONNE, " "}, {"qmspace", DONNE, " "},
    {"lquote", DONNE, "\221"}, {"rquote", DONNE, "\222"}, {"ldblquote", DONNE, "\223"},
    {"rdblquote", DONNE, "\224"}, {"bullet", DONNE, "\225"}, {"endash", DONNE, "\226"},
    {"emdash", DONNE, "\227"}, {"v", TEXTE_CACHE, 0}, {"plain", ORDINAIRE, 0},
    {"uc", SAUT_UNICODE, 0}, {"u", UNICODE, 0}, {"object", OBJET, 0}, {"result", RESULTAT, 0},
    {"*", CACHEE, 0}, {"fonttbl", CACHEE, 0}, {"colortbl", CACHEE, 0}, {"stylesheet", CACHEE, 0},
    {"listtable", CACHEE, 0}, {"listoverridetable", CACHEE, 0}, {"rsidtbl", CACHEE, 0},
    {"revtbl", CACHEE, 0}, {"info", CACHEE, 0}, {"pict", CACHEE, 0}, {"header", CACHEE, 0},
    {"headerl", CACHEE, 0}, {"headerr", CACHEE, 0}, {"headerf", CACHEE, 0}, {"footer", CACHEE, 0},
    {"footerl", CACHEE, 0}, {"footerr", CACHEE, 0}, {"footerf", CACHEE, 0},
    {"footnote", CACHEE, 0}, {"fldinst", CACHEE, 0}, {"tc", CACHEE, 0}, {"xe", CACHEE, 0},
    {"bkmkstart", CACHEE, 0}, {"bkmkend", CACHEE, 0}, {"pn", CACHEE, 0},
    {"annotation", CACHEE, 0}, {"atnid", CACHEE, 0}, {"atnauthor", CACHEE, 0},
};
// clang-format on
const int NB_MOTS = sizeof MOTS / sizeof MOTS[0];

// Most control words of a part mean nothing here: the names of MOTS are put
// in buckets of one length and first letter at compile time, so that most
// words are turned away by one look. Looking through MOTS instead more than
// doubles a search's own time (1M entries: 1.44 s against 0.62 s).
#define LONGUEUR_MAX 17  // of a name of MOTS
#define SEAUX ((LONGUEUR_MAX + 1) * 32)

constexpr unsigned seau_de(const char* nom, size_t n)
{
    return (unsigned)n * 32 + ((unsigned char)nom[0] & 31);
}

struct INDEX {
    unsigned char debut[SEAUX + 1];  // bucket b: ordre[debut[b]] to ordre[debut[b + 1] - 1]
    unsigned char ordre[NB_MOTS];    // into MOTS
};

constexpr INDEX indexer()
{
    INDEX t{};
    unsigned char n = 0;
    for (unsigned b = 0; b < SEAUX; ++b) {
        t.debut[b] = n;
        for (int k = 0; k < NB_MOTS; ++k) {
            size_t longueur = 0;
            while (MOTS[k].nom[longueur])
                ++longueur;
            if (seau_de(MOTS[k].nom, longueur) == b)
                t.ordre[n++] = (unsigned char)k;
        }
    }
    t.debut[SEAUX] = n;
    return t;
}

constexpr INDEX INDEX_MOTS = indexer();

const DEFINITION* mot_connu(const unsigned char* nom, size_t n)
{
    if (n > LONGUEUR_MAX)
        return nullptr;
    const unsigned b = seau_de((const char*)nom, n);
    for (unsigned i = INDEX_MOTS.debut[b]; i < INDEX_MOTS.debut[b + 1]; ++i) {
        const DEFINITION& m = MOTS[INDEX_MOTS.ordre[i]];
        size_t k = 0;
        while (k < n && (unsigned char)m.nom[k] == nom[k])
            ++k;
        if (k == n)
            return &m;
    }
    return nullptr;
}

// Unicode characters of Windows-1252 bytes 128-159; 0 where the byte has none.
// clang-format off
const unsigned short UNICODE_1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

// The Windows-1252 byte of a Unicode character, or -1 when it has none.
int octet_1252(long u)
{
    if ((u >= 0 && u < 128) || (u >= 160 && u < 256))
        return (int)u;
    for (int i = 0; i < 32; ++i)
        if (UNICODE_1252[i] != 0 && UNICODE_1252[i] == u)
            return 128 + i;
    return -1;
}

// What a group passes on to the groups it opens.
struct ETAT {
    bool v;      // hidden text
    bool objet;  // inside an \object, outside its \result
    long uc;     // stand-ins after \uN
};

struct LECTURE {
    unsigned char montre[FENETRE];  // the window
    size_t n = 0;                   // bytes in montre
    size_t besoin = 0;              // montre is matched once it holds that many; 0: nothing pending
    size_t longueur;                // of the search text
    const unsigned char* str_srch;
    bool trouve = false;
    // The groups: the changes still to undo, each with the depth that made it.
    ETAT etat = {false, false, 1};
    struct {
        unsigned long profondeur;
        ETAT avant;
    } changements[CHANGEMENTS];
    int nb_changements = 0;
    unsigned long profondeur = 0;
    unsigned long cachee = 0;  // depth of the group never shown being passed over; 0: none
    bool un_groupe;            // the part is one {\rtf group: it ends with it
    bool premier = false;      // the next token is its group's first
    long saut = 0;             // stand-ins still to skip
    bool fini = false;
};

inline bool cache(const LECTURE& l)
{
    return l.etat.v || l.etat.objet;
}

// Matches what the window holds, then keeps only its last `garde` bytes.
void confronter(LECTURE& l, size_t garde)
{
    for (size_t i = 0; !l.trouve && i + l.longueur <= l.n; ++i) {
        size_t k = 0;
        while (k < l.longueur && recherche_lower[l.montre[i + k]] == l.str_srch[k])
            ++k;
        l.trouve = k == l.longueur;
    }
    if (garde > 0)
        memmove(l.montre, l.montre + l.n - garde, garde);
    l.besoin -= l.n - garde;
    l.n = garde;
}

// One shown byte. The window holds the shown bytes from the first place not
// yet decided where the search text could start (a byte that folds to its
// first), and is matched once the last such place has enough bytes after it.
inline void montrer(LECTURE& l, unsigned char c)
{
    if (recherche_lower[c] == l.str_srch[0])
        l.besoin = l.n + l.longueur;
    else if (l.besoin == 0)
        return;
    l.montre[l.n++] = c;
    if (l.n == l.besoin)
        confronter(l, 0);
    else if (l.n == FENETRE)
        confronter(l, l.longueur - 1);
}

// A run of text up to its end, which it returns. Hidden, it is passed over;
// shown, only a byte that may start the search text is looked at while
// nothing is pending.
inline const unsigned char* texte(LECTURE& l, const unsigned char* p)
{
    const bool montre = l.cachee == 0 && !cache(l);
    while (!montre && !SPECIAL[*p])
        ++p;
    const unsigned char s0 = l.str_srch[0];
    for (;; ++p) {
        if (l.besoin == 0)
            while (!SPECIAL[*p] && recherche_lower[*p] != s0)
                ++p;
        if (SPECIAL[*p] || l.trouve)
            return p;
        if (!saut_de_ligne(*p))
            montrer(l, *p);
    }
}

void changer(LECTURE& l, const ETAT& e)
{
    if (e.v == l.etat.v && e.objet == l.etat.objet && e.uc == l.etat.uc)
        return;
    const int n = l.nb_changements;
    if (l.profondeur > 0 && (n == 0 || l.changements[n - 1].profondeur != l.profondeur)) {
        if (n == CHANGEMENTS)
            return;
        l.changements[l.nb_changements++] = {l.profondeur, l.etat};
    }
    l.etat = e;
}

void fermer(LECTURE& l)
{
    const int n = l.nb_changements;
    if (n > 0 && l.changements[n - 1].profondeur == l.profondeur)
        l.etat = l.changements[--l.nb_changements].avant;
    if (l.profondeur > 0 && --l.profondeur == 0)
        l.fini = l.un_groupe;
}

// A control word or symbol, not a stand-in.
void mot(LECTURE& l, const JETON& j, bool premier)
{
    const DEFINITION* m = mot_connu(j.debut, (size_t)(j.fin - j.debut));
    if (!m)
        return;
    ETAT e = l.etat;
    switch (m->effet) {
    case DONNE:
        for (const char* d = m->donne; !cache(l) && *d; ++d)
            montrer(l, (unsigned char)*d);
        break;
    case CACHEE:
        if (premier)
            l.cachee = l.profondeur;
        break;
    case OBJET:
    case RESULTAT:
        if (premier)
            e.objet = m->effet == OBJET;
        break;
    case TEXTE_CACHE:
    case ORDINAIRE:
        e.v = m->effet == TEXTE_CACHE && (!j.a_parametre || j.parametre != 0);
        break;
    case SAUT_UNICODE:
        e.uc = !j.a_parametre ? 1 : j.parametre < 0 ? 0 : j.parametre;
        break;
    case UNICODE:
        if (j.a_parametre) {
            const int octet = octet_1252(j.parametre < 0 ? j.parametre + 65536 : j.parametre);
            if (octet > 0 && !cache(l))
                montrer(l, (unsigned char)octet);
            if (octet >= 0)
                l.saut = l.etat.uc;
        }
        break;
    }
    changer(l, e);
}

// The one router: acts on each token in turn, which ends at suite but for a
// run of text; returns where the next one starts.
const unsigned char* router(LECTURE& l, const JETON& j, const unsigned char* suite)
{
    const unsigned char* p = j.classe == TEXTE ? j.debut : suite;
    if (l.cachee > 0 && !(j.classe == FERME && l.profondeur == l.cachee)) {
        l.profondeur += (j.classe == OUVRE) - (j.classe == FERME);
        return j.classe == TEXTE ? texte(l, p) : p;
    }
    const bool premier = l.premier;
    l.premier = j.classe == OUVRE;
    if (j.classe == OUVRE || j.classe == FERME) {
        l.saut = 0;
        l.cachee = 0;
        if (j.classe == OUVRE)
            ++l.profondeur;
        else
            fermer(l);
        return p;
    }
    if (j.classe == TEXTE) {
        for (; l.saut > 0 && !SPECIAL[*p]; ++p)
            l.saut -= !saut_de_ligne(*p);
    } else if (l.saut > 0) {
        --l.saut;
        return p;
    }
    if (j.classe == MOT)
        mot(l, j, premier);
    else if (j.classe == TEXTE)
        return texte(l, p);
    else if (j.parametre > 0 && !cache(l))
        montrer(l, (unsigned char)j.parametre);
    return p;
}

}  // namespace

int rtf_correspond(const char* rtf, const char* str_srch)
{
    LECTURE l;
    l.longueur = strlen(str_srch);
    if (l.longueur == 0 || l.longueur > FENETRE / 2)
        return 0;  // empty, or longer than the window can hold
    l.str_srch = (const unsigned char*)str_srch;
    const unsigned char* p = (const unsigned char*)rtf;
    while (saut_de_ligne(*p))
        ++p;
    l.un_groupe = strncmp((const char*)p, "{\\rtf", 5) == 0;
    for (JETON j{}; !(l.trouve || l.fini);) {
        const unsigned char* suite = jeton_suivant(p, j);
        if (j.classe == FIN)
            break;
        p = router(l, j, suite);
    }
    if (!l.trouve && l.n > 0)
        confronter(l, 0);
    return l.trouve ? 1 : 0;
}
