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
// The shown bytes go through a window on the stack, matched whenever it fills
// and at the end; each window keeps the last bytes of the one before, so that
// a match across two windows is seen. Nothing is allocated or written.
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
    alignas(4) unsigned char montre[FENETRE + 4];  // the matcher reads aligned quads
    size_t n;      // bytes in montre
    size_t garde;  // kept from one window to the next: the search text's length - 1
    const char* str_srch;
    bool trouve;
};

enum EFFET { RIEN, DONNE, CACHE, TEXTE_CACHE, SAUT_UNICODE, UNICODE, BINAIRE };

// clang-format off
const struct { const char* nom; EFFET effet; const char* donne; } MOTS[] = {
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

// Unicode characters of Windows-1252 bytes 128-159; 0 where the byte has none.
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

void confronter(LECTURE& l)
{
    l.montre[l.n] = 0;
    if (recherche_strxstr((const char*)l.montre, l.str_srch))
        l.trouve = true;
    size_t g = l.garde < l.n ? l.garde : l.n;
    memmove(l.montre, l.montre + l.n - g, g);
    l.n = g;
}

inline void montrer(LECTURE& l, unsigned char c)
{
    l.montre[l.n++] = c;
    if (l.n == FENETRE)
        confronter(l);
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

// The bytes that end a run of plain text.
struct SPECIAUX {
    bool octet[256];
};

constexpr SPECIAUX speciaux()
{
    SPECIAUX t{};
    t.octet[0] = t.octet['\\'] = t.octet['{'] = t.octet['}'] = t.octet['\r'] = t.octet['\n'] = true;
    return t;
}

constexpr SPECIAUX SPECIAL = speciaux();

}  // namespace

int rtf_correspond(const char* rtf, const char* str_srch)
{
    if (str_srch[0] == 0)
        return 0;

    LECTURE l;
    l.n = 0;
    l.garde = strlen(str_srch) - 1;
    if (l.garde > FENETRE / 2)
        l.garde = FENETRE / 2;
    l.str_srch = str_srch;
    l.trouve = false;

    NIVEAU niveaux[PROFONDEUR + 1];
    niveaux[0] = NIVEAU{false, false, 1};
    long profondeur = 0;
    NIVEAU* niveau = &niveaux[0];
    long saut = 0;              // stand-in characters still to skip
    bool debut_groupe = false;  // the next token is its group's first

    const unsigned char* p = (const unsigned char*)rtf;
    while (!l.trouve && *p) {
        const unsigned char c = *p;
        if (c == '\r' || c == '\n') {
            ++p;
            continue;
        }
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
        const bool premier = debut_groupe;
        debut_groupe = false;
        const bool montre = !niveau->cache && !niveau->v && saut == 0;

        if (c != '\\') {
            if (saut > 0) {
                --saut;
                ++p;
                continue;
            }
            // A run of plain text, the bulk of a part.
            if (montre) {
                do
                    montrer(l, *p++);
                while (!SPECIAL.octet[*p]);
            } else {
                do
                    ++p;
                while (!SPECIAL.octet[*p]);
            }
            continue;
        }

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
                if (premier && c1 == '*')
                    niveau->cache = true;
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

        // A control word: letters, an optional signed number, one space.
        const char* nom = (const char*)p + 1;
        const unsigned char* q = p + 1;
        while (lettre(*q))
            ++q;
        const size_t longueur = (size_t)(q - (const unsigned char*)nom);
        bool negatif = false, parametre = false;
        long long valeur = 0;
        if (*q == '-' && chiffre(q[1])) {
            negatif = true;
            ++q;
        }
        while (chiffre(*q)) {
            parametre = true;
            valeur = valeur * 10 + (*q++ - '0');
            if (valeur > 2147483647)
                valeur = 2147483647;
        }
        if (negatif)
            valeur = -valeur;
        if (*q == ' ')
            ++q;
        p = q;

        EFFET effet = RIEN;
        const char* donne = nullptr;
        for (const auto& m : MOTS) {
            if (strncmp(m.nom, nom, longueur) == 0 && m.nom[longueur] == 0) {
                effet = m.effet;
                donne = m.donne;
                break;
            }
        }
        if (effet == BINAIRE) {
            // Data, never text, skipped or not.
            for (long long reste = parametre ? valeur : 0; reste > 0 && *p; --reste)
                ++p;
        }
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
            if (premier)
                niveau->cache = true;
            break;
        case TEXTE_CACHE:
            niveau->v = !parametre || valeur != 0;
            break;
        case SAUT_UNICODE:
            niveau->uc = !parametre ? 1 : valeur < 0 ? 0 : (int)valeur;
            break;
        case UNICODE:
            if (parametre) {
                int octet = octet_1252(valeur < 0 ? (long)valeur + 65536 : (long)valeur);
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
        confronter(l);
    return l.trouve ? 1 : 0;
}
