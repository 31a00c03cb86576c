// The yardstick of the prescription search, written for plainness only.
#include "etalon.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The accented letters of Windows-1252 that fold to a plain letter. Every
// other byte keeps its value, but A-Z become a-z: Æ Ð × Ø Þ ß æ ð ÷ ø þ, Œ œ,
// Š š and Ÿ among them.
const struct {
    const char* lettres;
    char plie;
} ACCENTS[] = {
    {"\300\301\302\303\304\305\340\341\342\343\344\345", 'a'},  // À Á Â Ã Ä Å à á â ã ä å
    {"\307\347", 'c'},                                          // Ç ç
    {"\310\311\312\313\350\351\352\353", 'e'},                  // È É Ê Ë è é ê ë
    {"\314\315\316\317\354\355\356\357", 'i'},                  // Ì Í Î Ï ì í î ï
    {"\321\361", 'n'},                                          // Ñ ñ
    {"\322\323\324\325\326\362\363\364\365\366", 'o'},          // Ò Ó Ô Õ Ö ò ó ô õ ö
    {"\331\332\333\334\371\372\373\374", 'u'},                  // Ù Ú Û Ü ù ú û ü
    {"\335\375\377", 'y'},                                      // Ý ý ÿ
};

struct Table {
    unsigned char plie[256];
};

Table construire()
{
    Table t;
    for (int c = 0; c < 256; ++c)
        t.plie[c] = (unsigned char)(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const auto& a : ACCENTS)
        for (const char* l = a.lettres; *l; ++l)
            t.plie[(unsigned char)*l] = (unsigned char)a.plie;
    return t;
}

const unsigned char* table()
{
    static const Table t = construire();
    return t.plie;
}

unsigned char haut(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? (unsigned char)(c - 'a' + 'A') : c;
}

}  // namespace

unsigned char etalon_plier(unsigned char c)
{
    return table()[c];
}

char* etalon_strxstr(const char* buf, const char* s)
{
    if (buf == nullptr)
        return nullptr;
    const unsigned char* plie = table();
    const unsigned char* b = (const unsigned char*)buf;
    const unsigned char* t = (const unsigned char*)s;
    // The NUL of buf folds to 0, which no byte of s equals: the attempt ends
    // there. An empty s fails at its first byte for the same reason.
    for (unsigned long p = 0; b[p] != 0; ++p)
        for (unsigned long k = 0; plie[b[p + k]] == t[k];)
            if (t[++k] == 0)
                return (char*)buf + p;
    return nullptr;
}

char* etalon_stristr(const char* h, const char* n)
{
    const unsigned char* a = (const unsigned char*)h;
    const unsigned char* t = (const unsigned char*)n;
    if (t[0] == 0)
        return (char*)h;
    for (unsigned long p = 0; a[p] != 0; ++p) {
        unsigned long k = 0;
        while (t[k] != 0 && haut(a[p + k]) == haut(t[k]))
            ++k;
        if (t[k] == 0)
            return (char*)h + p;
    }
    return nullptr;
}

namespace {

// What a group passes on to the groups it opens.
struct Niveau {
    bool cache;   // a destination never shown: font table, {\*...}, ...
    bool v;       // hidden text
    bool objet;   // inside an \object, outside its \result
    long uc;      // stand-in characters after \uN
    bool change;  // the group changed v, objet or uc
};

// Groups holding a change at once; past that, a group changes nothing.
const int CHANGEMENTS_MAX = 256;

// The first control words of the groups a reader never shows.
const char* const GROUPES_CACHES[] = {
    "fonttbl",    "colortbl", "stylesheet", "listtable", "listoverridetable", "rsidtbl",
    "revtbl",     "info",     "pict",       "header",    "headerl",           "headerr",
    "headerf",    "footer",   "footerl",    "footerr",   "footerf",           "footnote",
    "fldinst",    "tc",       "xe",         "bkmkstart", "bkmkend",           "pn",
    "annotation", "atnid",    "atnauthor",
};

// Control words that stand for one byte of text.
const struct {
    const char* nom;
    unsigned char octet;
} MOTS_TEXTE[] = {
    {"tab", 9},         {"lquote", 145},  {"rquote", 146},  {"ldblquote", 147},
    {"rdblquote", 148}, {"bullet", 149},  {"endash", 150},  {"emdash", 151},
    {"emspace", ' '},   {"enspace", ' '}, {"qmspace", ' '},
};

// Windows-1252 bytes 0x80-0x9F and their characters; 0 where a byte has none.
// clang-format off
const long UNICODE_80_9F[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

// The Windows-1252 byte of character n, or -1 when it has none.
int octet_1252(long n)
{
    if ((n >= 0 && n < 0x80) || (n >= 0xA0 && n <= 0xFF))
        return (int)n;
    for (int b = 0; b < 32; ++b)
        if (UNICODE_80_9F[b] != 0 && UNICODE_80_9F[b] == n)
            return 0x80 + b;
    return -1;
}

bool lettre(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool chiffre(unsigned char c)
{
    return c >= '0' && c <= '9';
}

int valeur_hex(unsigned char c)
{
    if (chiffre(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool nomme(const std::string& nom, const char* const* noms, size_t nombre)
{
    for (size_t k = 0; k < nombre; ++k)
        if (nom == noms[k])
            return true;
    return false;
}

// Sets the state of the innermost group to e, unless that would make one
// group too many holding a change.
void changer(std::vector<Niveau>& pile, const Niveau& e)
{
    Niveau& n = pile.back();
    if (e.v == n.v && e.objet == n.objet && e.uc == n.uc)
        return;
    if (pile.size() > 1 && !n.change) {
        int changes = 0;
        for (const Niveau& g : pile)
            changes += g.change;
        if (changes >= CHANGEMENTS_MAX)
            return;
        n.change = true;
    }
    n.v = e.v;
    n.objet = e.objet;
    n.uc = e.uc;
}

}  // namespace

std::string etalon_texte_rtf(const char* rtf)
{
    const unsigned char* p = (const unsigned char*)rtf;
    std::string montre;
    // The level outside every group first; it is never closed.
    std::vector<Niveau> pile(1, Niveau{false, false, false, 1, false});
    long saut = 0;
    bool premier = false;  // the next token is its group's first
    size_t i = 0;
    while (p[i] == '\r' || p[i] == '\n')
        ++i;
    const bool un_groupe = strncmp(rtf + i, "{\\rtf", 5) == 0;
    while (p[i] != 0) {
        unsigned char c = p[i];
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '{' || c == '}') {
            saut = 0;
            ++i;
            premier = c == '{';
            if (c == '{') {
                pile.push_back(pile.back());
                pile.back().change = false;
            } else if (pile.size() > 1) {
                pile.pop_back();
                if (pile.size() == 1 && un_groupe)
                    break;  // the document's own group is over
            }
            continue;
        }
        bool en_tete = premier;
        premier = false;

        // One token: what it gives (at most two bytes), and for a control
        // symbol or word its name.
        unsigned char donne[2];
        int nb = 0;
        unsigned char symbole = 0;
        std::string nom;
        bool a_parametre = false;
        long long parametre = 0;
        if (c != '\\') {
            donne[nb++] = c;
            ++i;
        } else if (p[i + 1] == 0) {
            break;
        } else if (p[i + 1] == '\'') {
            int fort = valeur_hex(p[i + 2]);
            int faible = fort < 0 ? -1 : valeur_hex(p[i + 3]);
            i += faible < 0 ? 2 : 4;
            if (faible >= 0 && fort * 16 + faible != 0)
                donne[nb++] = (unsigned char)(fort * 16 + faible);
        } else if (!lettre(p[i + 1])) {
            symbole = p[i + 1];
            i += 2;
        } else {
            for (++i; lettre(p[i]); ++i)
                nom += (char)p[i];
            bool negatif = p[i] == '-' && chiffre(p[i + 1]);
            if (negatif)
                ++i;
            for (; chiffre(p[i]); ++i) {
                a_parametre = true;
                parametre = parametre * 10 + (p[i] - '0');
                if (parametre > 2147483647)
                    parametre = 2147483647;
            }
            if (negatif)
                parametre = -parametre;
            if (p[i] == ' ')
                ++i;
            // Binary data is never read as RTF, even after a skipped word.
            if (nom == "bin" && a_parametre && parametre > 0)
                for (long long k = 0; k < parametre && p[i] != 0; ++k)
                    ++i;
        }
        if (saut > 0) {
            --saut;
            continue;
        }
        if (pile.back().cache)
            continue;  // nothing in it is shown or changes anything

        Niveau e = pile.back();
        long apres = 0;  // stand-ins to skip after this token
        if (symbole == '\r' || symbole == '\n') {
            donne[nb++] = '\r';
            donne[nb++] = '\n';
        } else if (symbole == '\\' || symbole == '{' || symbole == '}') {
            donne[nb++] = symbole;
        } else if (symbole == '~') {
            donne[nb++] = 160;
        } else if (symbole == '_') {
            donne[nb++] = '-';
        } else if (symbole == '*' && en_tete) {
            pile.back().cache = true;
        } else if (!nom.empty()) {
            if (en_tete &&
                nomme(nom, GROUPES_CACHES, sizeof GROUPES_CACHES / sizeof GROUPES_CACHES[0]))
                pile.back().cache = true;
            if (en_tete && (nom == "object" || nom == "result"))
                e.objet = nom == "object";
            if (nom == "v") {
                e.v = !a_parametre || parametre != 0;
            } else if (nom == "plain") {
                e.v = false;
            } else if (nom == "uc") {
                e.uc = !a_parametre ? 1 : parametre < 0 ? 0 : (long)parametre;
            } else if (nom == "u" && a_parametre) {
                int b = octet_1252((long)(parametre < 0 ? parametre + 65536 : parametre));
                if (b > 0)
                    donne[nb++] = (unsigned char)b;
                // Without a Windows-1252 byte, the stand-in is read as text.
                if (b >= 0)
                    apres = e.uc;
            } else if (nom == "par" || nom == "line" || nom == "cell" || nom == "row") {
                donne[nb++] = '\r';
                donne[nb++] = '\n';
            } else {
                for (const auto& m : MOTS_TEXTE)
                    if (nom == m.nom)
                        donne[nb++] = m.octet;
            }
        }
        const Niveau& n = pile.back();
        if (!n.cache && !n.v && !n.objet)
            montre.append((const char*)donne, (size_t)nb);
        changer(pile, e);
        saut = apres;
    }
    return montre;
}

int etalon_rtf(const char* rtf, const char* cherche)
{
    std::string montre = etalon_texte_rtf(rtf);
    return etalon_strxstr(montre.c_str(), cherche) ? 1 : 0;
}

int etalon_ordonnance(char* texte, const char* cherche)
{
    char* debut_text = etalon_stristr(texte, "<text>");
    char* fin_text = debut_text ? etalon_stristr(debut_text, "</text>") : nullptr;
    char* debut_rtf = etalon_stristr(texte, "<rtf>");
    char* fin_rtf = debut_rtf ? etalon_stristr(debut_rtf, "</rtf>") : nullptr;
    if (fin_text)
        *fin_text = 0;
    if (fin_rtf)
        *fin_rtf = 0;
    if (etalon_strxstr(debut_text, cherche) || etalon_strxstr(debut_rtf, cherche))
        return 1;
    // Then the RTF part as it shows, up to whichever cut comes first.
    return debut_rtf ? etalon_rtf(debut_rtf + 5, cherche) : 0;
}
