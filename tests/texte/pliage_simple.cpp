#include "pliage_simple.h"

#include "pliage.h"

char* simple_strxstr(const char* buf, const char* s)
{
    if (buf == nullptr)
        return nullptr;
    const unsigned char* b = (const unsigned char*)buf;
    const unsigned char* t = (const unsigned char*)s;
    for (int p = 0; b[p] != 0; ++p) {
        int k = 0;
        while (true) {
            if (recherche_lower[b[p + k]] != t[k])
                break;
            ++k;
            if (t[k] == 0)
                return (char*)buf + p;
            if (b[p + k] == 0)
                break;
        }
    }
    return nullptr;
}

static unsigned char haut(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? (unsigned char)(c - 32) : c;
}

char* simple_stristr(const char* h, const char* n)
{
    const unsigned char* a = (const unsigned char*)h;
    const unsigned char* t = (const unsigned char*)n;
    if (t[0] == 0)
        return (char*)h;
    for (int p = 0; a[p] != 0; ++p) {
        int k = 0;
        while (a[p + k] != 0 && t[k] != 0 && haut(a[p + k]) == haut(t[k]))
            ++k;
        if (t[k] == 0)
            return (char*)h + p;
    }
    return nullptr;
}

int simple_ordonnance(char* text, const char* str_srch)
{
    char* start_text = simple_stristr(text, "<text>");
    char* end_text = start_text ? simple_stristr(start_text, "</text>") : nullptr;
    char* start_rtf = simple_stristr(text, "<rtf>");
    char* end_rtf = start_rtf ? simple_stristr(start_rtf, "</rtf>") : nullptr;
    if (end_text)
        *end_text = 0;
    if (end_rtf)
        *end_rtf = 0;
    if (simple_strxstr(start_text, str_srch))
        return 1;
    return simple_strxstr(start_rtf, str_srch) ? 1 : 0;
}
