// Calendar arithmetic on packed dates.
#include "calendrier.h"

bool annee_bissextile(uint32_t annee)
{
    return annee % 4 == 0 && (annee % 100 != 0 || annee % 400 == 0);
}

uint32_t jours_du_mois(uint32_t mois, uint32_t annee)
{
    static const uint8_t jours[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mois < 1 || mois > 12) return 0;
    if (mois == 2 && annee_bissextile(annee)) return 29;
    return jours[mois - 1];
}

bool date_valide(uint32_t date)
{
    uint32_t jour = date & 0xFF, mois = (date >> 8) & 0xFF, annee = date >> 16;
    return jour >= 1 && jour <= jours_du_mois(mois, annee);
}

uint32_t age_entre(uint32_t naissance, uint32_t reference)
{
    if (!date_valide(naissance) || !date_valide(reference) || naissance > reference) return 0;
    uint32_t jn = naissance & 0xFF, mn = (naissance >> 8) & 0xFF, an = naissance >> 16;
    uint32_t jr = reference & 0xFF, mr = (reference >> 8) & 0xFF, ar = reference >> 16;

    // naissance <= reference, so this is >= 0 and stays so after the last month is taken back.
    int32_t mois = (int32_t)(ar - an) * 12 + ((int32_t)mr - (int32_t)mn);
    uint32_t anniversaire = jn;
    uint32_t dernier = jours_du_mois(mr, ar);
    if (anniversaire > dernier) anniversaire = dernier;
    if (jr < anniversaire) mois--;

    return ((uint32_t)(mois / 12) << 16) | ((uint32_t)(mois % 12) << 8);
}

static bool lire_champ(const char** pp, const char* fin, uint32_t max, uint32_t* valeur)
{
    const char* p = *pp;
    uint32_t v = 0;
    while (p < fin && *p >= '0' && *p <= '9') {
        v = v * 10 + (uint32_t)(*p - '0');
        if (v > max) return false;
        p++;
    }
    if (p == *pp) return false;
    *pp = p;
    *valeur = v;
    return true;
}

bool analyser_date(const char* p, const char* fin, const char** suite, uint32_t* date)
{
    uint32_t jour, mois, annee;
    if (!lire_champ(&p, fin, 255, &jour) || p == fin || *p++ != '/') return false;
    if (!lire_champ(&p, fin, 255, &mois) || p == fin || *p++ != '/') return false;
    if (!lire_champ(&p, fin, 65535, &annee)) return false;
    *suite = p;
    *date = (annee << 16) | (mois << 8) | jour;
    return true;
}
