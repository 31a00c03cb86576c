// Calendar arithmetic on packed dates, and the age shown in a result row.
#include "gencab.h"

#include <time.h>

uint32_t date_packee(int jour, int mois, int annee)
{
    return ((uint32_t)annee << 16) | ((uint32_t)mois << 8) | (uint32_t)jour;
}

int jour_de(uint32_t d)
{
    return (int)(d & 0xFF);
}
int mois_de(uint32_t d)
{
    return (int)((d >> 8) & 0xFF);
}
int annee_de(uint32_t d)
{
    return (int)(d >> 16);
}

bool annee_bissextile(int annee)
{
    return (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0;
}

int jours_dans_mois(int mois, int annee)
{
    static const int jours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12)
        return 31;
    if (mois == 2 && annee_bissextile(annee))
        return 29;
    return jours[mois - 1];
}

// Day number in the proleptic Gregorian calendar (0 = 1 March of year 0).
int32_t jours_depuis_origine(int jour, int mois, int annee)
{
    int32_t a = annee - (mois <= 2 ? 1 : 0);
    int32_t ere = a / 400;
    int32_t an_ere = a - ere * 400;
    int32_t m = mois > 2 ? mois - 3 : mois + 9;
    int32_t jour_an = (153 * m + 2) / 5 + jour - 1;
    int32_t jour_ere = an_ere * 365 + an_ere / 4 - an_ere / 100 + jour_an;
    return ere * 146097 + jour_ere;
}

uint32_t date_du_jour_numero(int32_t n)
{
    int32_t ere = n / 146097;
    int32_t jour_ere = n - ere * 146097;
    int32_t an_ere = (jour_ere - jour_ere / 1460 + jour_ere / 36524 - jour_ere / 146096) / 365;
    int32_t jour_an = jour_ere - (365 * an_ere + an_ere / 4 - an_ere / 100);
    int32_t m = (5 * jour_an + 2) / 153;
    int jour = (int)(jour_an - (153 * m + 2) / 5 + 1);
    int mois = (int)(m < 10 ? m + 3 : m - 9);
    int annee = (int)(an_ere + ere * 400 + (mois <= 2 ? 1 : 0));
    return date_packee(jour, mois, annee);
}

// Any number of digits, leading zeros included, as long as the value fits.
static bool lire_nombre(const char*& p, const char* fin, long max_valeur, long& valeur)
{
    const char* debut = p;
    valeur = 0;
    while (p < fin && *p >= '0' && *p <= '9') {
        valeur = valeur * 10 + (*p - '0');
        if (valeur > max_valeur)
            return false;
        ++p;
    }
    return p > debut;
}

bool lire_date(const char* s, size_t n, uint32_t& date)
{
    const char* p = s;
    const char* fin = s + n;
    long jour, mois, annee;
    if (!lire_nombre(p, fin, 255, jour) || p == fin || *p++ != '/')
        return false;
    if (!lire_nombre(p, fin, 255, mois) || p == fin || *p++ != '/')
        return false;
    if (!lire_nombre(p, fin, 65535, annee) || p != fin)
        return false;
    date = date_packee((int)jour, (int)mois, (int)annee);
    return true;
}

void ajouter_entier(std::string& s, long long v)
{
    char tampon[24];
    int n = 0;
    unsigned long long u = v < 0 ? 0ULL - (unsigned long long)v : (unsigned long long)v;
    do {
        tampon[n++] = (char)('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (v < 0)
        s += '-';
    while (n > 0)
        s += tampon[--n];
}

static void ajouter_cadre(std::string& s, int v, int largeur, char remplissage)
{
    std::string chiffres;
    ajouter_entier(chiffres, v);
    for (int i = (int)chiffres.size(); i < largeur; ++i)
        s += remplissage;
    s += chiffres;
}

void ajouter_date(std::string& s, uint32_t date)
{
    ajouter_cadre(s, jour_de(date), 2, '0');
    s += '/';
    ajouter_cadre(s, mois_de(date), 2, '0');
    s += '/';
    ajouter_cadre(s, annee_de(date), 4, ' ');
}

static bool jour_du_calendrier(uint32_t d)
{
    return mois_de(d) >= 1 && mois_de(d) <= 12 && jour_de(d) >= 1 &&
           jour_de(d) <= jours_dans_mois(mois_de(d), annee_de(d));
}

void calculer_age(uint32_t naissance, uint32_t reference, int& ans, int& mois)
{
    ans = 0;
    mois = 0;
    if (naissance > reference || !jour_du_calendrier(naissance) || !jour_du_calendrier(reference))
        return;
    int jour_ref = jour_de(reference), mois_ref = mois_de(reference);
    int annee_ref = annee_de(reference);
    long total = (long)(annee_ref - annee_de(naissance)) * 12 + (mois_ref - mois_de(naissance));
    // A month is complete on the birth day of the month, or on the month's
    // last day when it is shorter (born 31/01: complete on 28/02).
    int jour_voulu = jour_de(naissance);
    int dernier = jours_dans_mois(mois_ref, annee_ref);
    if (jour_voulu > dernier)
        jour_voulu = dernier;
    if (jour_ref < jour_voulu)
        --total;
    if (total < 0)
        total = 0;
    ans = (int)(total / 12);
    mois = (int)(total % 12);
}

uint32_t date_locale_du_jour(void)
{
    time_t t = time(nullptr);
    struct tm* l = localtime(&t);
    if (!l)
        return date_packee(1, 1, 2026);
    return date_packee(l->tm_mday, l->tm_mon + 1, l->tm_year + 1900);
}
