// Reads an <rtf> part as a rich-edit control shows it, and matches the search
// text in what it shows.
//
// A prescription kept only as RTF writes its accents as escapes (\'e9) and may
// cut a word with a change of formatting (D\'e9p\ulnone akine): its raw bytes
// do not hold the word it shows. jeton_suivant cuts the part into tokens: a
// run of text, a control word with its number (and \binN with its data), an
// escape \'hh, a control symbol, a brace, the end. router acts on each; its
// rules, in its order:
// 1. The part ends at its first NUL; one that begins with {\rtf (CR and LF
//    before it passed over) ends at that group's closing brace.
// 2. CR and LF of the source show nothing: none is a token, nor a group's
//    first token, nor a stand-in.
// 3. Braces open and close groups and end the stand-ins. A group whose first
//    token is \* or a word of CACHEES (tables, header, picture, field
//    instruction, footnote, bookmark, ...) is jumped over to its closing
//    brace, at any depth.
// 4. Stand-ins: after \uN whose character has a Windows-1252 byte, the next
//    \ucN tokens (1 unless a \uc says otherwise; a negative N is 0) are
//    skipped: a run counts one for each byte, an escape, a symbol or a
//    control word (a known one too) one. A \uN without such a byte shows
//    nothing and skips nothing: its stand-in shows.
// 5. \v, \vN but \v0 hides the text that follows; \v0 and \plain show it
//    again. An \object group shows nothing but a group inside it whose first
//    word is \result, which shows as usual (\v carries into it).
// 6. A change of \v, \uc or the object is undone at the closing brace of the
//    group that made it. At most 256 groups hold such changes at once; past
//    that, a group changes nothing (each reader the same).
// 7. Shown, outside hidden text: text bytes, \'hh but \'00, the byte of \uN
//    (when not 0), the words of MOTS that stand for characters (\par, \line,
//    \cell, \row: CR LF), \\ \{ \} as themselves, \~ as 160, \_ as -, a
//    backslash before CR or LF as CR LF. Nothing else.
// 8. \binN: its N bytes (N capped at 2147483647) are data, never read, even
//    when the word is a stand-in.
// Where RTF leaves a case open: a word hides its group only as the group's
// first token; \'h with one hex digit, or none, shows nothing and what
// follows is read as text; \uN below 0 is N + 65536; a backslash right before
// the end shows nothing.
//
// The shown bytes from each place where the search text could start go
// through a window on the stack, matched once that place has enough bytes
// after it; the rest is not copied. Nothing is allocated; only the reader's
// own locals are written.
#include "lecture_rtf.h"
#include "pliage.h"

#include <string.h>

#define FENETRE 2048     // shown bytes matched at a time
#define CHANGEMENTS 256  // groups holding a change at once

namespace {

// ---- Tokens ------------------------------------------------------------------

enum CLASSE { FIN, TEXTE, MOT, ECHAPPE, SYMBOLE, OUVRE, FERME };

struct JETON {
    CLASSE classe;
    const unsigned char* debut;  // TEXTE: the run; MOT: the name
    size_t longueur;             // of the run or the name
    bool a_parametre;            // MOT: a number follows the name
    long parametre;              // MOT: that number; ECHAPPE: the byte, -1 without
                                 // two hex digits; SYMBOLE: the byte after \ .
};

// The bytes that end a run of text: the end, a backslash, a brace.
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

inline bool lettre(unsigned char c)
{
    return (unsigned char)((c | 0x20) - 'a') < 26;
}

inline bool chiffre(unsigned char c)
{
    return (unsigned char)(c - '0') < 10;
}

// The value of a hex digit, -1 for any other byte.
inline int hexa(unsigned char c)
{
    if (chiffre(c))
        return c - '0';
    if ((unsigned char)((c | 0x20) - 'a') < 6)
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// A control word's name from p + 1, its optional signed number and the space
// that belongs to it; \binN's data with it.
const unsigned char* lire_mot(const unsigned char* p, JETON& j)
{
    const unsigned char* q = p + 1;
    while (lettre(*q))
        ++q;
    j.classe = MOT;
    j.debut = p + 1;
    j.longueur = (size_t)(q - j.debut);
    const bool negatif = *q == '-' && chiffre(q[1]);
    q += negatif;
    long n = 0;
    j.a_parametre = chiffre(*q);
    for (; chiffre(*q); ++q)
        n = n < 214748364 || (n == 214748364 && *q < '8') ? n * 10 + (*q - '0') : 2147483647;
    j.parametre = negatif ? -n : n;
    q += *q == ' ';
    if (j.longueur == 3 && p[1] == 'b' && p[2] == 'i' && p[3] == 'n')
        for (long reste = j.parametre; reste > 0 && *q; --reste)
            ++q;
    return q;
}

// The token at p, line breaks of the source before it passed over; returns
// where the next one starts.
const unsigned char* jeton_suivant(const unsigned char* p, JETON& j)
{
    while (saut_de_ligne(*p))
        ++p;
    j.debut = p;
    switch (*p) {
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
    default: {
        const unsigned char* q = p + 1;
        while (!SPECIAL.octet[*q])
            ++q;
        j.classe = TEXTE;
        j.longueur = (size_t)(q - p);
        return q;
    }
    }
    if (lettre(p[1]))
        return lire_mot(p, j);
    if (p[1] == 0) {
        j.classe = FIN;
        return p + 1;
    }
    if (p[1] != '\'') {
        j.classe = SYMBOLE;
        j.parametre = p[1];
        return p + 2;
    }
    j.classe = ECHAPPE;
    const int fort = hexa(p[2]);
    const int faible = fort < 0 ? -1 : hexa(p[3]);
    j.parametre = faible < 0 ? -1 : fort * 16 + faible;
    return p + (faible < 0 ? 2 : 4);
}

// ---- Control words -------------------------------------------------------------

enum EFFET { DONNE, CACHEE, OBJET, RESULTAT, TEXTE_CACHE, ORDINAIRE, SAUT_UNICODE, UNICODE };

struct DEFINITION {
    const char* nom;
    EFFET effet;
    const char* donne;
};

// clang-format off
constexpr DEFINITION MOTS[] = {
    {"par", DONNE, "\r\n"}, {"line", DONNE, "\r\n"}, {"cell", DONNE, "\r\n"}, {"row", DONNE, "\r\n"},
    {"tab", DONNE, "\t"},
    {"lquote", DONNE, "\221"}, {"rquote", DONNE, "\222"},
    {"ldblquote", DONNE, "\223"}, {"rdblquote", DONNE, "\224"},
    {"bullet", DONNE, "\225"}, {"endash", DONNE, "\226"}, {"emdash", DONNE, "\227"},
    {"emspace", DONNE, " "}, {"enspace", DONNE, " "}, {"qmspace", DONNE, " "},
    {"v", TEXTE_CACHE, 0}, {"plain", ORDINAIRE, 0}, {"uc", SAUT_UNICODE, 0}, {"u", UNICODE, 0},
    {"object", OBJET, 0}, {"result", RESULTAT, 0},
    // CACHEES: the destinations a reader never shows.
    {"fonttbl", CACHEE, 0}, {"colortbl", CACHEE, 0}, {"stylesheet", CACHEE, 0},
    {"listtable", CACHEE, 0}, {"listoverridetable", CACHEE, 0}, {"rsidtbl", CACHEE, 0},
    {"revtbl", CACHEE, 0}, {"info", CACHEE, 0}, {"pict", CACHEE, 0},
    {"header", CACHEE, 0}, {"headerl", CACHEE, 0}, {"headerr", CACHEE, 0}, {"headerf", CACHEE, 0},
    {"footer", CACHEE, 0}, {"footerl", CACHEE, 0}, {"footerr", CACHEE, 0}, {"footerf", CACHEE, 0},
    {"footnote", CACHEE, 0}, {"fldinst", CACHEE, 0}, {"tc", CACHEE, 0}, {"xe", CACHEE, 0},
    {"bkmkstart", CACHEE, 0}, {"bkmkend", CACHEE, 0}, {"pn", CACHEE, 0},
    {"annotation", CACHEE, 0}, {"atnid", CACHEE, 0}, {"atnauthor", CACHEE, 0},
};
// clang-format on

const DEFINITION* mot_connu(const unsigned char* nom, size_t n)
{
    for (const DEFINITION& m : MOTS)
        if (strncmp(m.nom, (const char*)nom, n) == 0 && m.nom[n] == 0)
            return &m;
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

// ---- The reading ---------------------------------------------------------------

// What a group passes on to the groups it opens.
struct ETAT {
    bool v;      // hidden text
    bool objet;  // inside an \object, outside its \result
    long uc;     // stand-ins after \uN
};

struct CHANGEMENT {
    unsigned long profondeur;  // of the group that made it
    ETAT avant;
};

struct LECTURE {
    // The window.
    unsigned char montre[FENETRE];
    size_t n;         // bytes in montre
    size_t besoin;    // montre is matched once it holds that many; 0: nothing pending
    size_t longueur;  // of the search text
    const unsigned char* str_srch;
    bool trouve;
    // The groups.
    ETAT etat;
    CHANGEMENT changements[CHANGEMENTS];
    int nb_changements;
    unsigned long profondeur;
    bool un_groupe;  // the part is one {\rtf group: it ends with it
    bool premier;    // the next token is its group's first
    long saut;       // stand-ins still to skip
    bool fini;
};

// Matches what the window holds, then keeps only its last `garde` bytes.
void confronter(LECTURE& l, size_t garde)
{
    const unsigned char* s = l.str_srch;
    for (size_t i = 0; !l.trouve && i + l.longueur <= l.n; ++i) {
        size_t k = 0;
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

void changer(LECTURE& l, const ETAT& e)
{
    if (e.v == l.etat.v && e.objet == l.etat.objet && e.uc == l.etat.uc)
        return;
    if (l.profondeur > 0 &&
        (l.nb_changements == 0 || l.changements[l.nb_changements - 1].profondeur != l.profondeur)) {
        if (l.nb_changements == CHANGEMENTS)
            return;
        l.changements[l.nb_changements++] = CHANGEMENT{l.profondeur, l.etat};
    }
    l.etat = e;
}

void fermer(LECTURE& l)
{
    if (l.nb_changements > 0 && l.changements[l.nb_changements - 1].profondeur == l.profondeur)
        l.etat = l.changements[--l.nb_changements].avant;
    if (l.profondeur > 0 && --l.profondeur == 0)
        l.fini = l.un_groupe;
}

// The closing brace of the group that p is in, or the end: nothing in a
// group never shown needs reading but what ends it.
const unsigned char* fin_du_groupe(const unsigned char* p)
{
    unsigned long ouverts = 0;
    for (JETON j;;) {
        const unsigned char* suite = jeton_suivant(p, j);
        if (j.classe == FIN || (j.classe == FERME && ouverts == 0))
            return j.debut;
        ouverts += (j.classe == OUVRE) - (j.classe == FERME);
        p = suite;
    }
}

// A control word, not a stand-in; returns where the reading goes on.
const unsigned char* mot(LECTURE& l, const JETON& j, const unsigned char* suite, bool premier)
{
    const DEFINITION* m = mot_connu(j.debut, j.longueur);
    if (!m)
        return suite;
    const bool montre = !(l.etat.v || l.etat.objet);
    ETAT e = l.etat;
    switch (m->effet) {
    case DONNE:
        for (const char* d = m->donne; montre && *d; ++d)
            montrer(l, (unsigned char)*d);
        break;
    case CACHEE:
        return premier ? fin_du_groupe(suite) : suite;
    case OBJET:
    case RESULTAT:
        if (premier)
            e.objet = m->effet == OBJET;
        break;
    case TEXTE_CACHE:
        e.v = !j.a_parametre || j.parametre != 0;
        break;
    case ORDINAIRE:
        e.v = false;
        break;
    case SAUT_UNICODE:
        e.uc = !j.a_parametre ? 1 : j.parametre < 0 ? 0 : j.parametre;
        break;
    case UNICODE:
        if (j.a_parametre) {
            const int octet = octet_1252(j.parametre < 0 ? j.parametre + 65536 : j.parametre);
            if (octet > 0 && montre)
                montrer(l, (unsigned char)octet);
            if (octet >= 0)
                l.saut = l.etat.uc;
        }
        break;
    }
    changer(l, e);
    return suite;
}

// The one router: acts on the token j, which ends at suite; returns where the
// reading goes on.
const unsigned char* router(LECTURE& l, const JETON& j, const unsigned char* suite)
{
    const bool premier = l.premier;
    l.premier = j.classe == OUVRE;
    if (j.classe == OUVRE || j.classe == FERME) {
        l.saut = 0;
        if (j.classe == OUVRE)
            ++l.profondeur;
        else
            fermer(l);
        return suite;
    }
    const unsigned char* p = j.debut;
    if (j.classe == TEXTE) {
        for (; l.saut > 0 && p < suite; ++p)
            l.saut -= !saut_de_ligne(*p);
    } else if (l.saut > 0) {
        --l.saut;
        return suite;
    }
    if (j.classe == MOT)
        return mot(l, j, suite, premier);
    if (j.classe == SYMBOLE && j.parametre == '*' && premier)
        return fin_du_groupe(suite);
    if (l.etat.v || l.etat.objet)
        return suite;
    switch (j.classe) {
    case TEXTE:
        for (; p < suite && !l.trouve; ++p)
            if (!saut_de_ligne(*p))
                montrer(l, *p);
        break;
    case ECHAPPE:
        if (j.parametre > 0)
            montrer(l, (unsigned char)j.parametre);
        break;
    default:
        if (j.parametre == '\r' || j.parametre == '\n') {
            montrer(l, '\r');
            montrer(l, '\n');
        } else if (j.parametre == '\\' || j.parametre == '{' || j.parametre == '}') {
            montrer(l, (unsigned char)j.parametre);
        } else if (j.parametre == '~') {
            montrer(l, 160);
        } else if (j.parametre == '_') {
            montrer(l, '-');
        }
    }
    return suite;
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
    l.str_srch = (const unsigned char*)str_srch;
    l.trouve = false;
    l.etat = ETAT{false, false, 1};
    l.nb_changements = 0;
    l.profondeur = 0;
    l.premier = false;
    l.saut = 0;
    l.fini = false;

    const unsigned char* p = (const unsigned char*)rtf;
    while (saut_de_ligne(*p))
        ++p;
    l.un_groupe = strncmp((const char*)p, "{\\rtf", 5) == 0;
    for (JETON j; !l.trouve && !l.fini;) {
        const unsigned char* suite = jeton_suivant(p, j);
        if (j.classe == FIN)
            break;
        p = router(l, j, suite);
    }
    if (!l.trouve && l.n > 0)
        confronter(l, 0);
    return l.trouve ? 1 : 0;
}
