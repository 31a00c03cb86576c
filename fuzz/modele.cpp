#include "modele.h"

#include <algorithm>

#include "pliage.h"

static std::string plie(std::string t)
{
    for (char& c : t)
        c = (char)recherche_lower[(unsigned char)c];
    return t;
}

static std::string majuscules(std::string t)
{
    for (char& c : t)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 32);
    return t;
}

long modele_strxstr(const std::string& buf, const std::string& s)
{
    if (s.empty())
        return -1;
    size_t r = plie(buf).find(s);
    return r == std::string::npos ? -1 : (long)r;
}

long modele_stristr(const std::string& h, const std::string& n)
{
    const std::string H = majuscules(h), N = majuscules(n);
    auto r = std::search(H.begin(), H.end(), N.begin(), N.end());
    if (r == H.end() && !N.empty())
        return -1;
    return (long)(r - H.begin());
}

int modele_ordonnance(const std::string& text, const std::string& s, std::string& apres)
{
    const std::string U = majuscules(text);
    const size_t st = U.find("<TEXT>");
    const size_t et = st == std::string::npos ? st : U.find("</TEXT>", st);
    const size_t sr = U.find("<RTF>");
    const size_t er = sr == std::string::npos ? sr : U.find("</RTF>", sr);

    apres = text;
    if (et != std::string::npos)
        apres[et] = 0;
    if (er != std::string::npos)
        apres[er] = 0;

    // A part: from its tag to the next NUL of the cut copy.
    auto partie = [&](size_t debut) {
        size_t fin = apres.find('\0', debut);
        return apres.substr(debut, fin == std::string::npos ? std::string::npos : fin - debut);
    };
    if (s.empty())
        return 0;
    if (st != std::string::npos && plie(partie(st)).find(s) != std::string::npos)
        return 1;
    if (sr != std::string::npos && plie(partie(sr)).find(s) != std::string::npos)
        return 1;
    return 0;
}
