#include "crochets.h"

#include <map>
#include <string.h>

std::vector<Liberation> liberations;
int liberations_invalides;
int allocations_locales;
int appels_locaux;
int refus_local_des = -1;

struct Miroir {
    BYTE* base;   // VirtualAlloc'd region, last page inaccessible
    BYTE* copie;  // the block's bytes, ending where that page begins
};
static std::map<HGLOBAL, Miroir> surveilles;

static LPVOID(WINAPI* vrai_GlobalLock)(HGLOBAL);
static HGLOBAL(WINAPI* vrai_GlobalFree)(HGLOBAL);
static HLOCAL(WINAPI* vrai_LocalAlloc)(UINT, SIZE_T);
static HLOCAL(WINAPI* vrai_LocalReAlloc)(HLOCAL, SIZE_T, UINT);
static HLOCAL(WINAPI* vrai_LocalFree)(HLOCAL);

void crochets_surveiller(HGLOBAL h)
{
    surveilles[h] = Miroir{nullptr, nullptr};
}

static LPVOID WINAPI crochet_GlobalLock(HGLOBAL h)
{
    LPVOID p = vrai_GlobalLock(h);
    auto it = surveilles.find(h);
    if (p == nullptr || it == surveilles.end())
        return p;
    if (it->second.base == nullptr) {
        SIZE_T taille = GlobalSize(h);
        const SIZE_T page = 4096;
        SIZE_T lisible = (taille + page - 1) / page * page;
        BYTE* base =
            (BYTE*)VirtualAlloc(nullptr, lisible + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (base == nullptr)
            return p;
        DWORD ancien;
        VirtualProtect(base + lisible, page, PAGE_NOACCESS, &ancien);
        it->second.base = base;
        it->second.copie = base + lisible - taille;
        memcpy(it->second.copie, p, taille);
    }
    return it->second.copie;
}

size_t blocs_surveilles()
{
    return surveilles.size();
}

static HGLOBAL WINAPI crochet_GlobalFree(HGLOBAL h)
{
    UINT etat = GlobalFlags(h);
    if (h && etat == GMEM_INVALID_HANDLE)
        liberations_invalides++;
    auto it = surveilles.find(h);
    if (it != surveilles.end()) {
        liberations.push_back({h, etat & GMEM_LOCKCOUNT});
        if (it->second.base)
            VirtualFree(it->second.base, 0, MEM_RELEASE);
        surveilles.erase(it);
    }
    return vrai_GlobalFree(h);
}

static bool refus()
{
    return refus_local_des >= 0 && appels_locaux++ >= refus_local_des;
}

static HLOCAL WINAPI crochet_LocalAlloc(UINT f, SIZE_T n)
{
    if (refus())
        return nullptr;
    HLOCAL h = vrai_LocalAlloc(f, n);
    if (h)
        allocations_locales++;
    return h;
}

static HLOCAL WINAPI crochet_LocalReAlloc(HLOCAL h, SIZE_T n, UINT f)
{
    if (refus())
        return nullptr;
    return vrai_LocalReAlloc(h, n, f);
}

static HLOCAL WINAPI crochet_LocalFree(HLOCAL h)
{
    if (h)
        allocations_locales--;
    return vrai_LocalFree(h);
}

void crochets_remise_a_zero()
{
    liberations.clear();
    liberations_invalides = 0;
    allocations_locales = 0;
    appels_locaux = 0;
    refus_local_des = -1;
}

// The import slot of kernel32's `nom` in this program, or null.
static void** emplacement(const char* nom)
{
    BYTE* base = (BYTE*)GetModuleHandleA(nullptr);
    auto dos = (IMAGE_DOS_HEADER*)base;
    auto nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& rep =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto imp = (IMAGE_IMPORT_DESCRIPTOR*)(base + rep.VirtualAddress); imp->Name; imp++) {
        if (lstrcmpiA((const char*)(base + imp->Name), "kernel32.dll") != 0)
            continue;
        auto noms = (IMAGE_THUNK_DATA*)(base + imp->OriginalFirstThunk);
        auto iat = (IMAGE_THUNK_DATA*)(base + imp->FirstThunk);
        for (; noms->u1.AddressOfData; noms++, iat++) {
            if (IMAGE_SNAP_BY_ORDINAL(noms->u1.Ordinal))
                continue;
            auto n = (IMAGE_IMPORT_BY_NAME*)(base + noms->u1.AddressOfData);
            if (strcmp((const char*)n->Name, nom) == 0)
                return (void**)&iat->u1.Function;
        }
    }
    return nullptr;
}

template <typename F>
static bool detourner(const char* nom, F crochet, F* vrai)
{
    void** slot = emplacement(nom);
    if (slot == nullptr)
        return false;
    DWORD ancien;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &ancien))
        return false;
    *vrai = (F)*slot;
    *slot = (void*)crochet;
    VirtualProtect(slot, sizeof *slot, ancien, &ancien);
    return true;
}

bool crochets_installer()
{
    static bool fait = false;
    if (fait)
        return true;
    fait = detourner("GlobalLock", crochet_GlobalLock, &vrai_GlobalLock) &&
           detourner("GlobalFree", crochet_GlobalFree, &vrai_GlobalFree) &&
           detourner("LocalAlloc", crochet_LocalAlloc, &vrai_LocalAlloc) &&
           detourner("LocalReAlloc", crochet_LocalReAlloc, &vrai_LocalReAlloc) &&
           detourner("LocalFree", crochet_LocalFree, &vrai_LocalFree);
    return fait;
}
