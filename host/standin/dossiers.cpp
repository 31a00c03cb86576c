// The chart-entry file: its buffer, key enumeration and chart-entry headers.
// The numbers the calls take (kmapi.h names them) select the chart-entry
// file and its key index in the host; here there is only one of each, so any
// value is accepted.
#include <cstring>

#include "hote.h"

extern "C" HGLOBAL WINAPI OpenDossiers(int nFichier, int nOption1, int nOption2, int nOption3)
{
    (void)nFichier, (void)nOption1, (void)nOption2, (void)nOption3;
    return ouvrir_tampon(TAMPON_DOSSIERS, sizeof(RECDossiers));
}

extern "C" BOOL WINAPI CloseDossiers(HGLOBAL hDossiers)
{
    return fermer_tampon(TAMPON_DOSSIERS, hDossiers);
}

extern "C" int WINAPI KMNumberOfKey(int nIndex)
{
    (void)nIndex;
    return g_ouvert ? (int)g_cabinet.nEntrees : 0;
}

// The key buffer gets the key as text, as an index key would read; 0 and an
// empty text once every key has been given.
static LONG donner_cle(char* pszKey)
{
    LONG cle = 0;
    if (g_ouvert && g_curseur < g_cabinet.nEntrees) cle = g_cabinet.entrees[g_curseur++].cle;
    if (pszKey) {
        if (cle)
            wsprintfA(pszKey, "%ld", (long)cle);
        else
            pszKey[0] = '\0';
    }
    return cle;
}

extern "C" LONG WINAPI KMFirstKey(int nIndex, char* pszKey)
{
    (void)nIndex;
    g_curseur = 0;
    return donner_cle(pszKey);
}

// Before any KMFirstKey the enumeration starts at the first key.
extern "C" LONG WINAPI KMNextKey(int nIndex, char* pszKey)
{
    (void)nIndex;
    return donner_cle(pszKey);
}

void remplir_entete(const ENTREE* e, RECDossiers* r)
{
    memset(r, 0, sizeof(*r));
    r->dwIdent = (DWORD)e->cle;
    r->dwLength = e->lgTexte;
    r->cType = e->cType;
    r->uFiche = e->uFiche;
    r->Date = e->Date;
    memcpy(r->szUser, g_cabinet.szUser, sizeof(r->szUser));
    r->uRecLen = sizeof(RECDossiers);
    r->uTextLen = (WORD)(e->lgTexte > 0xFFFF ? 0xFFFF : e->lgTexte);
}

// Writes the 43-byte header only, whatever record the caller passes.
extern "C" BOOL WINAPI ReadDossiers2(LONG lKey, void* pRecord)
{
    const ENTREE* e = g_ouvert ? trouver_entree(&g_cabinet, lKey) : NULL;
    if (!e || !pRecord) return FALSE;
    RECDossiers r;
    remplir_entete(e, &r);
    memcpy(pRecord, &r, sizeof(r));
    return TRUE;
}
