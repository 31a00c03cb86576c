// The yardstick of the prescription search, written for plainness only.
#include "etalon.h"

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
    return etalon_strxstr(debut_text, cherche) || etalon_strxstr(debut_rtf, cherche) ? 1 : 0;
}
