// The record buffers that OpenDossiers and OpenPatients hand out. They are
// remembered, so that closing one twice, or with the wrong call, is refused
// instead of freeing a block that is no longer ours.
#include "hote.h"

#define NB_TAMPONS 256

static struct {
    HGLOBAL h;
    int genre;
} g_tampons[NB_TAMPONS];

HGLOBAL ouvrir_tampon(int genre, SIZE_T cb)
{
    for (int i = 0; i < NB_TAMPONS; i++) {
        if (g_tampons[i].h) continue;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
        if (!h) return NULL;
        g_tampons[i].h = h;
        g_tampons[i].genre = genre;
        return h;
    }
    return NULL;  // a caller that never closes its buffers
}

BOOL fermer_tampon(int genre, HGLOBAL h)
{
    if (!h) return FALSE;
    for (int i = 0; i < NB_TAMPONS; i++) {
        if (g_tampons[i].h != h || g_tampons[i].genre != genre) continue;
        g_tampons[i].h = NULL;
        return GlobalFree(h) == NULL;
    }
    return FALSE;
}
