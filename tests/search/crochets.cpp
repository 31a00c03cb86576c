#include "crochets.h"

#include <map>
#include <string.h>

std::vector<Liberation> liberations;
int liberations_invalides;
int allocations_locales;
int appels_locaux;
int refus_local_des = -1;

// A block seen through a region whose last readable byte is the block's last:
// the page after it is inaccessible, so a read past the block faults at once.
struct Bloc {
    BYTE* base;    // VirtualAlloc'd region, null until made
    BYTE* octets;  // the block's bytes, ending where that page begins
    SIZE_T taille;
};
static std::map<HGLOBAL, Bloc> surveilles;  // host blocks, mirrored at their first lock
static std::map<HLOCAL, Bloc> locaux;       // the program's fixed local blocks, by address

// Never zero, so that a terminator the program forgot to write is not found
// there by luck.
static const BYTE OCTET_NEUF = 0xA5;

static bool bloc_borde(SIZE_T taille, Bloc& b)
{
    const SIZE_T page = 4096;
    SIZE_T lisible = (taille + page - 1) / page * page;
    b.base = (BYTE*)VirtualAlloc(nullptr, lisible + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (b.base == nullptr)
        return false;
    DWORD ancien;
    VirtualProtect(b.base + lisible, page, PAGE_NOACCESS, &ancien);
    b.octets = b.base + lisible - taille;
    b.taille = taille;
    return true;
}

static LPVOID(WINAPI* vrai_GlobalLock)(HGLOBAL);
static HGLOBAL(WINAPI* vrai_GlobalFree)(HGLOBAL);
static HLOCAL(WINAPI* vrai_LocalAlloc)(UINT, SIZE_T);
static HLOCAL(WINAPI* vrai_LocalReAlloc)(HLOCAL, SIZE_T, UINT);
static HLOCAL(WINAPI* vrai_LocalFree)(HLOCAL);

void crochets_surveiller(HGLOBAL h)
{
    surveilles[h] = Bloc{nullptr, nullptr, 0};
}

static LPVOID WINAPI crochet_GlobalLock(HGLOBAL h)
{
    LPVOID p = vrai_GlobalLock(h);
    auto it = surveilles.find(h);
    if (p == nullptr || it == surveilles.end())
        return p;
    if (it->second.base == nullptr) {
        if (!bloc_borde(GlobalSize(h), it->second))
            return p;
        memcpy(it->second.octets, p, it->second.taille);
    }
    return it->second.octets;
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

// A fixed block is the program's own, made against the inaccessible page;
// a moveable one is the heap's, since its handle must go through LocalLock.
static HLOCAL bloc_local(UINT f, SIZE_T n)
{
    if (f & LMEM_MOVEABLE)
        return vrai_LocalAlloc(f, n);
    Bloc b;
    if (!bloc_borde(n, b))
        return nullptr;
    memset(b.octets, (f & LMEM_ZEROINIT) ? 0 : OCTET_NEUF, n);
    locaux[b.octets] = b;
    return b.octets;
}

static HLOCAL WINAPI crochet_LocalAlloc(UINT f, SIZE_T n)
{
    if (refus())
        return nullptr;
    HLOCAL h = bloc_local(f, n);
    if (h)
        allocations_locales++;
    return h;
}

// A resized block always moves, so that a pointer kept to the old one faults
// too; without LMEM_MOVEABLE it cannot, and the call fails as a full heap's.
static HLOCAL WINAPI crochet_LocalReAlloc(HLOCAL h, SIZE_T n, UINT f)
{
    if (refus())
        return nullptr;
    auto it = locaux.find(h);
    if (it == locaux.end())
        return vrai_LocalReAlloc(h, n, f);
    if (!(f & LMEM_MOVEABLE))
        return nullptr;
    HLOCAL nouveau = bloc_local(f & LMEM_ZEROINIT, n);
    if (nouveau) {
        Bloc ancien = it->second;
        memcpy(nouveau, ancien.octets, ancien.taille < n ? ancien.taille : n);
        locaux.erase(it);
        VirtualFree(ancien.base, 0, MEM_RELEASE);
    }
    return nouveau;
}

static HLOCAL WINAPI crochet_LocalFree(HLOCAL h)
{
    if (h)
        allocations_locales--;
    auto it = locaux.find(h);
    if (it == locaux.end())
        return vrai_LocalFree(h);
    VirtualFree(it->second.base, 0, MEM_RELEASE);
    locaux.erase(it);
    return nullptr;
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
