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

// The words from TEXTE_CACHE on take their number.
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

// Most control words of a part mean nothing here. The known names are kept
// in buckets of the same length and first letter (case aside), built at
// compile time: a word whose bucket is empty, most of them, is turned away
// by one look.
#define LONGUEUR_MAX 17  // of a known name

constexpr size_t longueur_de(const char* s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

constexpr unsigned seau_de(const char* nom, size_t n)
{
    return (unsigned)n * 32 + ((unsigned char)nom[0] & 31);
}

#define SEAUX ((LONGUEUR_MAX + 1) * 32)

struct INDEX {
    unsigned char debut[SEAUX + 1];  // bucket b holds ordre[debut[b]] to ordre[debut[b + 1] - 1]
    unsigned char ordre[NB_MOTS];    // into MOTS
};

constexpr INDEX indexer()
{
    INDEX t{};
    unsigned char n = 0;
    for (unsigned b = 0; b < SEAUX; ++b) {
        t.debut[b] = n;
        for (int k = 0; k < NB_MOTS; ++k)
            if (seau_de(MOTS[k].nom, longueur_de(MOTS[k].nom)) == b)
                t.ordre[n++] = (unsigned char)k;
    }
    t.debut[SEAUX] = n;
    return t;
}

constexpr INDEX INDEX_MOTS = indexer();

inline const MOT* mot_connu(const char* nom, size_t n)
{
    if (n > LONGUEUR_MAX)
        return nullptr;
    const unsigned b = seau_de(nom, n);
    for (unsigned i = INDEX_MOTS.debut[b]; i < INDEX_MOTS.debut[b + 1]; ++i) {
        const MOT& m = MOTS[INDEX_MOTS.ordre[i]];
        size_t k = 0;
        while (k < n && m.nom[k] == nom[k])
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

// The value of a hex digit, 16 for any other byte.
inline unsigned hexa(unsigned char c)
{
    if (chiffre(c))
        return c - '0';
    if ((unsigned char)((c | 0x20) - 'a') < 6)
        return (c | 0x20) - 'a' + 10;
    return 16;
}

// The optional signed number of a control word and the space that belongs
// to it, from q, where its letters end.
struct PARAMETRE {
    bool present;
    long long valeur;  // within +-2147483647
};

inline const unsigned char* lire_parametre(const unsigned char* q, PARAMETRE& m)
{
    bool negatif = false;
    if (*q == '-' && chiffre(q[1])) {
        negatif = true;
        ++q;
    }
    m.present = false;
    m.valeur = 0;
    while (chiffre(*q)) {
        m.present = true;
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

// The same, for a word whose number means nothing here.
inline const unsigned char* passer_parametre(const unsigned char* q)
{
    if (*q == '-' && chiffre(q[1]))
        ++q;
    while (chiffre(*q))
        ++q;
    if (*q == ' ')
        ++q;
    return q;
}

// p is at the backslash of a control word; returns where its letters end,
// and its entry in MOTS, or nullptr.
inline const unsigned char* lire_nom(const unsigned char* p, const MOT*& mot)
{
    const unsigned char* q = p + 2;
    while (lettre(*q))
        ++q;
    mot = mot_connu((const char*)p + 1, (size_t)(q - p - 1));
    return q;
}

// The data after \binN, never text; returns what follows it.
const unsigned char* sauter_donnees(const unsigned char* p, const PARAMETRE& m)
{
    for (long long reste = m.present ? m.valeur : 0; reste > 0 && *p; --reste)
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
            // Only \binN, the one BINAIRE word of MOTS, matters here: the
            // rest of a word, its number and space, and what follows an
            // escape hold no byte that ends a run. Spelt out, since looking
            // every word up costs the reading a twentieth of its time.
            if (p[1] == 'b' && p[2] == 'i' && p[3] == 'n' && !lettre(p[4])) {
                PARAMETRE m;
                p = sauter_donnees(lire_parametre(p + 4, m), m);
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
    for (;;) {
        if (!SPECIAL.octet[*p]) {
            // Plain text up to the next backslash, brace or the end; the
            // line breaks of the source in it show nothing, and are not a
            // group's first token.
            if (debut_groupe) {
                while (saut_de_ligne(*p))
                    ++p;
                debut_groupe = SPECIAL.octet[*p];
            }
            for (; saut > 0 && !SPECIAL.octet[*p]; ++p)
                if (!saut_de_ligne(*p))
                    --saut;
            if (!(niveau->cache || niveau->v)) {
                p = montrer_texte(l, p);
                if (l.trouve)
                    break;
            } else {
                while (!SPECIAL.octet[*p])
                    ++p;
            }
        }

        const unsigned char c = *p;
        if (c == '\\') {
            const bool premier = debut_groupe;
            debut_groupe = false;
            const unsigned char c1 = p[1];
            if (lettre(c1)) {
                const MOT* mot;
                p = lire_nom(p, mot);
                if (!mot) {
                    // Most words of a part: nothing to do but pass them.
                    p = passer_parametre(p);
                    if (saut > 0)
                        --saut;
                    continue;
                }
                PARAMETRE m = {false, 0};
                p = mot->effet >= TEXTE_CACHE ? lire_parametre(p, m) : passer_parametre(p);
                if (mot->effet == BINAIRE)
                    p = sauter_donnees(p, m);  // skipped or not
                if (saut > 0) {
                    --saut;
                    continue;
                }
                switch (mot->effet) {
                case DONNE:
                    if (!(niveau->cache || niveau->v))
                        for (const char* d = mot->donne; *d; ++d)
                            montrer(l, (unsigned char)*d);
                    break;
                case CACHE:
                    if (premier) {
                        niveau->cache = true;
                        if (profondeur <= PROFONDEUR)
                            p = fin_du_groupe(p);
                    }
                    break;
                case TEXTE_CACHE:
                    niveau->v = !m.present || m.valeur != 0;
                    break;
                case SAUT_UNICODE:
                    niveau->uc = !m.present ? 1 : m.valeur < 0 ? 0 : (int)m.valeur;
                    break;
                case UNICODE:
                    if (m.present) {
                        long u = (long)m.valeur;
                        int octet = octet_1252(u < 0 ? u + 65536 : u);
                        if (octet >= 0) {
                            if (!(niveau->cache || niveau->v) && octet != 0)
                                montrer(l, (unsigned char)octet);
                            saut = niveau->uc;
                        }
                    }
                    break;
                default:
                    break;
                }
                if (l.trouve)
                    break;
                continue;
            }

            // A control symbol, an escape, or a \ at the very end.
            if (c1 == 0)
                break;
            const bool montre = !(niveau->cache || niveau->v) && saut == 0;
            if (c1 == '\'') {
                const unsigned fort = hexa(p[2]);
                const unsigned faible = fort < 16 ? hexa(p[3]) : 16;
                p += faible < 16 ? 4 : 2;
                if (montre && faible < 16 && (fort | faible) != 0)
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
            if (l.trouve)
                break;
            continue;
        }
        if (c == 0)
            break;

        // A brace.
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
    }

    if (!l.trouve && l.n > 0)
        confronter(l, 0);
    return l.trouve ? 1 : 0;
}
