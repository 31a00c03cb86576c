// The patient file: its buffer and patients looked up by file number. The
// numbers OpenPatients and ReadPatients take select the file and the lookup
// in the host; here there is only one of each, so any value is accepted.
#include <cstddef>
#include <cstring>

#include "hote.h"

extern "C" HGLOBAL WINAPI OpenPatients(int nMode)
{
    (void)nMode;
    return ouvrir_tampon(TAMPON_PATIENTS, sizeof(RECPatients));
}

extern "C" BOOL WINAPI ClosePatients(HGLOBAL hPatients)
{
    return fermer_tampon(TAMPON_PATIENTS, hPatients);
}

// Fills the whole record of the patient whose uFiche the caller set; an
// unknown file number leaves the record as it was.
extern "C" BOOL WINAPI ReadPatients(void* pRecord, int nMode)
{
    (void)nMode;
    if (!pRecord || !g_ouvert) return FALSE;
    WORD fiche;
    memcpy(&fiche, (const char*)pRecord + offsetof(RECPatients, uFiche), sizeof(fiche));
    DWORD i = g_cabinet.indexPatients[fiche];
    if (!i) return FALSE;
    const PATIENT* pt = &g_cabinet.patients[i - 1];

    RECPatients r;
    memset(&r, 0, sizeof(r));
    wsprintfA(r.szDossier, "%u", (unsigned)fiche);
    memcpy(r.szNom, pt->szNom, sizeof(r.szNom));
    memcpy(r.szPrenom, pt->szPrenom, sizeof(r.szPrenom));
    r.DateNai = pt->DateNai;
    r.uFiche = fiche;
    memcpy(r.szUser, g_cabinet.szUser, sizeof(r.szUser));
    memcpy(pRecord, &r, sizeof(r));
    return TRUE;
}
