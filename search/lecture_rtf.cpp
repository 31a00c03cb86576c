// Reads an <rtf> part as a rich-edit control shows it, and matches the search
// text in what it shows.
//
// A prescription kept only as RTF writes its accents as escapes (\'e9) and may
// cut a word with a change of formatting (D\'e9p\ulnone akine): its raw bytes
// do not hold the word it shows. What this reader shows:
// - text bytes, escapes \'hh, \uN as its Windows-1252 byte (its stand-in then
//   skipped), the control words that stand for a character, the symbols \\ \{
//   \} \~ \_ ;
// - nothing of braces, other control words and symbols, line breaks of the
//   source, \binN data, groups that begin with \* or a destination control
//   word (font table, header, picture, ...), and text after \v up to \v0.
// Group state is kept to a depth of 256; deeper groups share that level's.
//
// The shown bytes from each place where the search text could start go
// through a window on the stack, matched once that place has enough bytes
// after it; the rest is not copied. Nothing is allocated or written.
#include "lecture_rtf.h"
#include "pliage.h"

#include <string.h>

#define PROFONDEUR 256  // group levels with a state of their own
#define FENETRE 2048    // shown bytes matched at a time

namespace {

struct NIVEAU {
    bool cache;  // a group never shown (\*, font table, ...)
    bool v;      // hidden text (\v)
    int uc;      // stand-in characters after \uN
};

struct LECTURE {
    unsigned char montre[FENETRE];
    size_t n;         // bytes in montre
    size_t besoin;    // montre is matched once it holds that many; 0: nothing pending
    size_t longueur;  // of the search text
    const char* str_srch;
    unsigned char s0;  // its first byte
    bool trouve;
};

enum EFFET { RIEN, DONNE, CACHE, TEXTE_CACHE, SAUT_UNICODE, UNICODE, BINAIRE };

struct MOT {
    const char* nom;
    EFFET effet;
    const char* donne;
};

// clang-format off
constexpr MOT MOTS[] = {
    {"par", DONNE, "\r\n"}, {"line", DONNE, "\r\n"}, {"cell", DONNE, "\r\n"}, {"row", DONNE, "\r\n"},
    {"tab", DONNE, "\t"},
    {"lquote", DONNE, "\221"}, {"rquote", DONNE, "\222"},
    {"ldblquote", DONNE, "\223"}, {"rdblquote", DONNE, "\224"},
    {"bullet", DONNE, "\225"}, {"endash", DONNE, "\226"}, {"emdash", DONNE, "\227"},
    {"emspace", DONNE, " "}, {"enspace", DONNE, " "}, {"qmspace", DONNE, " "},
    {"v", TEXTE_CACHE, 0}, {"uc", SAUT_UNICODE, 0}, {"u", UNICODE, 0}, {"bin", BINAIRE, 0},
    {"fonttbl", CACHE, 0}, {"colortbl", CACHE, 0}, {"stylesheet", CACHE, 0},
    {"listtable", CACHE, 0}, {"listoverridetable", CACHE, 0}, {"rsidtbl", CACHE, 0},
    {"info", CACHE, 0}, {"pict", CACHE, 0}, {"object", CACHE, 0},
    {"header", CACHE, 0}, {"headerl", CACHE, 0}, {"headerr", CACHE, 0}, {"headerf", CACHE, 0},
    {"footer", CACHE, 0}, {"footerl", CACHE, 0}, {"footerr", CACHE, 0}, {"footerf", CACHE, 0},
};
// clang-format on
const int NB_MOTS = sizeof MOTS / sizeof MOTS[0];

// Most control words of a part mean nothing here: one whose length and first
// letter no known name has is turned away at once, the others are looked up
// in a table hashed on their length and first and last letters, built at
// compile time.
#define CASES 128

constexpr size_t longueur_de(const char* s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

constexpr unsigned case_de(const char* nom, size_t n)
{
    return (unsigned)(n * 37 + (unsigned char)nom[0] * 5 + (unsigned char)nom[n - 1]) % CASES;
}

#define LONGUEUR_MAX 17  // of a known name

struct INDEX {
    signed char mot[CASES];  // into MOTS, -1 for none
    unsigned char longueur[CASES];
    unsigned long premieres[LONGUEUR_MAX + 1];  // first letters of the names of each length
};

constexpr INDEX indexer()
{
    INDEX t{};
    for (int c = 0; c < CASES; ++c)
        t.mot[c] = -1;
    for (int k = 0; k < NB_MOTS; ++k) {
        unsigned c = case_de(MOTS[k].nom, longueur_de(MOTS[k].nom));
        while (t.mot[c] >= 0)
            c = (c + 1) % CASES;
        t.mot[c] = (signed char)k;
        t.longueur[c] = (unsigned char)longueur_de(MOTS[k].nom);
        t.premieres[t.longueur[c]] |= 1ul << (MOTS[k].nom[0] - 'a');
    }
    return t;
}

constexpr INDEX INDEX_MOTS = indexer();

inline const MOT* mot_connu(const char* nom, size_t n)
{
    const unsigned premiere = (unsigned char)nom[0] - 'a';
    if (n > LONGUEUR_MAX || premiere >= 26 || !(INDEX_MOTS.premieres[n] >> premiere & 1))
        return nullptr;
    for (unsigned c = case_de(nom, n); INDEX_MOTS.mot[c] >= 0; c = (c + 1) % CASES) {
        const MOT& m = MOTS[INDEX_MOTS.mot[c]];
        if (INDEX_MOTS.longueur[c] == n && memcmp(m.nom, nom, n) == 0)
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

// The bytes that end a run of plain text, shown or not: the end, a backslash,
// a brace. The line breaks of the source in a run are passed over: they show
// nothing.
struct SPECIAUX {
    bool octet[256];
};

constexpr SPECIAUX speciaux()
{
    SPECIAUX t{};
    t.octet[0] = t.octet[(unsigned char)'\\'] = true;
    t.octet[(unsigned char)'{'] = t.octet[(unsigned char)'}'] = true;
    return t;
}

constexpr SPECIAUX SPECIAL = speciaux();

inline bool saut_de_ligne(unsigned char c)
{
    return c == '\r' || c == '\n';
}

// The bytes at which a run of plain text is looked at when no match is
// pending: the ends of a run and the bytes that fold to the search text's
// first byte, for the last first byte asked (0 before any).
bool arret[256];
unsigned char arret_pour;

void preparer_arret(unsigned char s0)
{
    if (arret_pour == s0)
        return;
    for (int c = 0; c < 256; ++c)
        arret[c] =
            SPECIAL.octet[c] || (recherche_lower[c] == s0 && !saut_de_ligne((unsigned char)c));
    arret_pour = s0;
}

// Matches what the window holds, then keeps only its last `garde` bytes. The
// window is most often one place and the bytes after it: compared in line.
void confronter(LECTURE& l, size_t garde)
{
    const unsigned char* s = (const unsigned char*)l.str_srch;
    for (size_t i = 0; !l.trouve && i + l.longueur <= l.n; ++i) {
        if (recherche_lower[l.montre[i]] != s[0])
            continue;
        size_t k = 1;
        while (k < l.longueur && recherche_lower[l.montre[i + k]] == s[k])
            ++k;
        l.trouve = k == l.longueur;
    }
    if (garde > l.n)
        garde = l.n;
    memmove(l.montre, l.montre + l.n - garde, garde);
    l.besoin -= l.n - garde;
    l.n = garde;
}

// One shown byte. The search text can only start at a byte that folds to its
// first one: the window holds the shown bytes from the first such place not
// yet decided, and is matched as soon as the last one has enough bytes after
// it. Other bytes are dropped.
inline void montrer(LECTURE& l, unsigned char c)
{
    if (recherche_lower[c] == l.s0)
        l.besoin = l.n + l.longueur;
    else if (l.besoin == 0)
        return;
    l.montre[l.n++] = c;
    if (l.n == l.besoin)
        confronter(l, 0);
    else if (l.n == FENETRE)
        confronter(l, l.longueur - 1);
}

// A run of plain text at p, shown; returns its end, or where the search text
// was found.
const unsigned char* montrer_texte(LECTURE& l, const unsigned char* p)
{
    for (;;) {
        if (l.besoin == 0) {
            while (!arret[*p])
                ++p;
            if (SPECIAL.octet[*p])
                return p;
            // Most places are decided within the run itself; only when the
            // run ends first do the bytes go through the window.
            size_t k = 1;
            while (k < l.longueur && !SPECIAL.octet[p[k]] && !saut_de_ligne(p[k]) &&
                   recherche_lower[p[k]] == (unsigned char)l.str_srch[k])
                ++k;
            if (k == l.longueur) {
                l.trouve = true;
                return p;
            }
            if (!SPECIAL.octet[p[k]] && !saut_de_ligne(p[k])) {
                ++p;
                continue;
            }
        }
        unsigned char c;
        while (!SPECIAL.octet[c = *p]) {
            ++p;
            if (saut_de_ligne(c))
                continue;
            montrer(l, c);
            if (l.besoin == 0 || l.trouve)
                break;
        }
        if (l.trouve || SPECIAL.octet[*p])
            return p;
    }
}

inline bool lettre(unsigned char c)
{
    return (unsigned char)((c | 0x20) - 'a') < 26;
}

inline bool chiffre(unsigned char c)
{
    return (unsigned char)(c - '0') < 10;
}

inline int hexa(unsigned char c)
{
    if (chiffre(c))
        return c - '0';
    if ((unsigned char)((c | 0x20) - 'a') < 6)
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// A control word read: letters, an optional signed number, one space.
struct MOT_LU {
    const char* nom;
    size_t longueur;
    bool parametre;
    long long valeur;  // within +-2147483647
};

// p is at the backslash; returns what follows the word.
inline const unsigned char* lire_mot(const unsigned char* p, MOT_LU& m)
{
    const unsigned char* q = p + 1;
    m.nom = (const char*)q;
    while (lettre(*q))
        ++q;
    m.longueur = (size_t)(q - p - 1);
    bool negatif = false;
    if (*q == '-' && chiffre(q[1])) {
        negatif = true;
        ++q;
    }
    m.parametre = false;
    m.valeur = 0;
    while (chiffre(*q)) {
        m.parametre = true;
        m.valeur = m.valeur * 10 + (*q++ - '0');
        if (m.valeur > 2147483647)
            m.valeur = 2147483647;
    }
    if (negatif)
        m.valeur = -m.valeur;
    if (*q == ' ')
        ++q;
    return q;
}

// The data after \binN, never text; returns what follows it.
const unsigned char* sauter_donnees(const unsigned char* p, const MOT_LU& m)
{
    for (long long reste = m.parametre ? m.valeur : 0; reste > 0 && *p; --reste)
        ++p;
    return p;
}

// The closing brace of the group never shown that p is in, or the end. Its
// state dies with it, so nothing in it needs reading but what ends it.
const unsigned char* fin_du_groupe(const unsigned char* p)
{
    long ouverts = 0;
    for (;;) {
        while (!SPECIAL.octet[*p])
            ++p;
        switch (*p) {
        case 0:
            return p;
        case '{':
            ++ouverts;
            ++p;
            break;
        case '}':
            if (ouverts == 0)
                return p;
            --ouverts;
            ++p;
            break;
        default:
            if (lettre(p[1])) {
                MOT_LU m;
                p = lire_mot(p, m);
                const MOT* mot = mot_connu(m.nom, m.longueur);
                if (mot && mot->effet == BINAIRE)
                    p = sauter_donnees(p, m);
            } else if (p[1] != 0) {
                p += 2;
            } else {
                ++p;
            }
        }
    }
}

}  // namespace

int rtf_correspond(const char* rtf, const char* str_srch)
{
    if (str_srch[0] == 0)
        return 0;

    LECTURE l;
    l.n = 0;
    l.besoin = 0;
    l.longueur = strlen(str_srch);
    if (l.longueur > FENETRE / 2)
        return 0;  // longer than any search text: the window could not hold it
    l.str_srch = str_srch;
    l.s0 = (unsigned char)str_srch[0];
    l.trouve = false;
    preparer_arret(l.s0);

    NIVEAU niveaux[PROFONDEUR + 1];
    niveaux[0] = NIVEAU{false, false, 1};
    long profondeur = 0;
    NIVEAU* niveau = &niveaux[0];
    long saut = 0;              // stand-in characters still to skip
    bool debut_groupe = false;  // the next token is its group's first

    const unsigned char* p = (const unsigned char*)rtf;
    while (!l.trouve) {
        // Plain text up to the next backslash, brace or the end; the line
        // breaks of the source in it show nothing, and are not a group's
        // first token.
        if (debut_groupe)
            while (saut_de_ligne(*p))
                ++p;
        if (!SPECIAL.octet[*p]) {
            debut_groupe = false;
            for (; saut > 0 && !SPECIAL.octet[*p]; ++p)
                if (!saut_de_ligne(*p))
                    --saut;
            if (!niveau->cache && !niveau->v) {
                p = montrer_texte(l, p);
            } else {
                while (!SPECIAL.octet[*p])
                    ++p;
            }
        }

        const unsigned char c = *p;
        if (c == 0)
            break;
        if (c == '{' || c == '}') {
            ++p;
            saut = 0;
            if (c == '{') {
                ++profondeur;
                if (profondeur <= PROFONDEUR) {
                    niveaux[profondeur] = *niveau;
                    niveau = &niveaux[profondeur];
                }
            } else if (profondeur > 0) {
                --profondeur;
                niveau = &niveaux[profondeur < PROFONDEUR ? profondeur : PROFONDEUR];
            }
            debut_groupe = c == '{';
            continue;
        }

        // A backslash.
        const bool premier = debut_groupe;
        debut_groupe = false;
        const bool montre = !niveau->cache && !niveau->v && saut == 0;
        const unsigned char c1 = p[1];
        if (!lettre(c1)) {
            // A control symbol, an escape, or a \ at the very end.
            if (c1 == 0)
                break;
            if (c1 == '\'') {
                int fort = hexa(p[2]);
                int faible = fort < 0 ? -1 : hexa(p[3]);
                p += faible < 0 ? 2 : 4;
                if (montre && faible >= 0 && (fort | faible) != 0)
                    montrer(l, (unsigned char)(fort * 16 + faible));
            } else {
                p += 2;
                if (premier && c1 == '*') {
                    niveau->cache = true;
                    if (profondeur <= PROFONDEUR)
                        p = fin_du_groupe(p);
                }
                if (montre) {
                    if (c1 == '\r' || c1 == '\n') {
                        montrer(l, '\r');
                        montrer(l, '\n');
                    } else if (c1 == '\\' || c1 == '{' || c1 == '}') {
                        montrer(l, c1);
                    } else if (c1 == '~') {
                        montrer(l, 160);
                    } else if (c1 == '_') {
                        montrer(l, '-');
                    }
                }
            }
            if (saut > 0)
                --saut;
            continue;
        }

        MOT_LU m;
        p = lire_mot(p, m);
        const MOT* mot = mot_connu(m.nom, m.longueur);
        const EFFET effet = mot ? mot->effet : RIEN;
        const char* donne = mot ? mot->donne : nullptr;
        if (effet == BINAIRE)
            p = sauter_donnees(p, m);  // skipped or not
        if (saut > 0) {
            --saut;
            continue;
        }
        switch (effet) {
        case DONNE:
            if (montre)
                for (; *donne; ++donne)
                    montrer(l, (unsigned char)*donne);
            break;
        case CACHE:
            if (premier) {
                niveau->cache = true;
                if (profondeur <= PROFONDEUR)
                    p = fin_du_groupe(p);
            }
            break;
        case TEXTE_CACHE:
            niveau->v = !m.parametre || m.valeur != 0;
            break;
        case SAUT_UNICODE:
            niveau->uc = !m.parametre ? 1 : m.valeur < 0 ? 0 : (int)m.valeur;
            break;
        case UNICODE:
            if (m.parametre) {
                long u = (long)m.valeur;
                int octet = octet_1252(u < 0 ? u + 65536 : u);
                if (octet >= 0) {
                    if (montre && octet != 0)
                        montrer(l, (unsigned char)octet);
                    saut = niveau->uc;
                }
            }
            break;
        default:
            break;
        }
    }

    if (!l.trouve && l.n > 0)
        confronter(l, 0);
    return l.trouve ? 1 : 0;
}
