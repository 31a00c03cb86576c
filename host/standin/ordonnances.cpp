// Prescription texts: each one handed out in a global block of its own,
// which the caller unlocks and frees.
#include <cstring>

#include "hote.h"

extern "C" HGLOBAL WINAPI ReadXMLOrdonnances(LONG lKey, void* pRecord)
{
    const ENTREE* e = g_ouvert ? trouver_entree(&g_cabinet, lKey) : NULL;
    if (!e || e->cType != DOSSIERS_ORDONNANCES || !e->offTexte) return NULL;

    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)e->lgTexte + 1);
    if (!h) return NULL;
    char* texte = (char*)GlobalLock(h);
    if (!texte) {
        GlobalFree(h);
        return NULL;
    }
    memcpy(texte, g_cabinet.ordonnances.pDonnees + e->offTexte, e->lgTexte);
    texte[e->lgTexte] = '\0';
    GlobalUnlock(h);

    if (pRecord) {
        RECOrdonnances r;
        memset(&r, 0, sizeof(r));
        RECDossiers entete;
        remplir_entete(e, &entete);
        memcpy(&r, &entete, sizeof(entete));
        memcpy(r.szTitle, g_cabinet.dossiers.pDonnees + e->offTitre, e->lgTitre);
        r.uEndOfText = (WORD)(e->lgTexte > 0xFFFF ? 0xFFFF : e->lgTexte);
        memcpy(pRecord, &r, sizeof(r));
    }
    return h;
}
