// System resources a cabinet holds: read-only file mappings and large blocks.
#include "hote.h"

bool ouvrir_fichier(const char* chemin, FICHIER* f)
{
    f->hFichier = INVALID_HANDLE_VALUE;
    f->hProjection = NULL;
    f->pDonnees = NULL;
    f->cbTaille = 0;

    // Read only, and nobody may write while the cabinet is open: the mapping
    // must not change or shrink under the parsed offsets.
    HANDLE h = CreateFileA(chemin, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    f->hFichier = h;

    LARGE_INTEGER taille;
    if (!GetFileSizeEx(h, &taille) || taille.QuadPart >= 0xFFFFFFFFLL) return false;
    f->cbTaille = (DWORD)taille.QuadPart;
    if (f->cbTaille == 0) return true;  // an empty file cannot be mapped

    f->hProjection = CreateFileMappingA(h, NULL, PAGE_READONLY, 0, 0, NULL);
    if (!f->hProjection) return false;
    f->pDonnees = (const char*)MapViewOfFile(f->hProjection, FILE_MAP_READ, 0, 0, 0);
    return f->pDonnees != NULL;
}

void fermer_fichier(FICHIER* f)
{
    if (f->pDonnees) UnmapViewOfFile(f->pDonnees);
    if (f->hProjection) CloseHandle(f->hProjection);
    if (f->hFichier && f->hFichier != INVALID_HANDLE_VALUE) CloseHandle(f->hFichier);
    f->hFichier = INVALID_HANDLE_VALUE;
    f->hProjection = NULL;
    f->pDonnees = NULL;
    f->cbTaille = 0;
}

void* allouer(SIZE_T nombre, SIZE_T taille)
{
    if (nombre == 0) nombre = 1;
    if (taille != 0 && nombre > (SIZE_T)-1 / taille) return NULL;
    return VirtualAlloc(NULL, nombre * taille, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void liberer(void* p)
{
    if (p) VirtualFree(p, 0, MEM_RELEASE);
}
