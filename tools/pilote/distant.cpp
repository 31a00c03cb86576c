// Driving a running ordaskel.exe from another process.
#include "distant.h"

#include <commctrl.h>
#include <string.h>

#include <fstream>

#include "resource.h"
#include "textes.h"

static const DWORD PAS = 20;  // polling step, ms

DWORD maintenant()
{
    return GetTickCount();
}

// Captions and static texts are read from the window itself, without a
// message, so that a busy tool does not hold the driver up.
static std::string texte_interne(HWND h)
{
    char texte[1024];
    int n = GetWindowTextA(h, texte, sizeof texte);
    return std::string(texte, n > 0 ? n : 0);
}

static std::string classe_de(HWND h)
{
    char classe[128];
    int n = GetClassNameA(h, classe, sizeof classe);
    return std::string(classe, n > 0 ? n : 0);
}

namespace {
struct Filtre {
    DWORD pid;
    const char* classe;
    const char* titre;
    bool cachees;
    std::vector<HWND> trouvees;
};
}  // namespace

static BOOL CALLBACK filtrer(HWND h, LPARAM l)
{
    Filtre* f = reinterpret_cast<Filtre*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || (!f->cachees && !IsWindowVisible(h)))
        return TRUE;
    if (f->classe && classe_de(h) != f->classe)
        return TRUE;
    if (f->titre && texte_interne(h) != f->titre)
        return TRUE;
    f->trouvees.push_back(h);
    return TRUE;
}

std::vector<HWND> fenetres_processus(DWORD pid, const char* classe, const char* titre, bool cachees)
{
    Filtre f = {pid, classe, titre, cachees, {}};
    EnumWindows(filtrer, reinterpret_cast<LPARAM>(&f));
    return f.trouvees;
}

HWND attendre_fenetre(DWORD pid, const char* classe, const char* titre, DWORD delai)
{
    DWORD debut = maintenant();
    for (;;) {
        std::vector<HWND> v = fenetres_processus(pid, classe, titre);
        if (!v.empty())
            return v[0];
        if (maintenant() - debut >= delai)
            return NULL;
        Sleep(PAS);
    }
}

std::vector<HWND> boites(DWORD pid)
{
    return fenetres_processus(pid, "#32770", TITRE);
}

HWND attendre_boite(DWORD pid, DWORD delai)
{
    return attendre_fenetre(pid, "#32770", TITRE, delai);
}

bool envoyer(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* resultat, DWORD delai)
{
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(h, msg, w, l, SMTO_NORMAL, delai, &r))
        return false;
    if (resultat)
        *resultat = (LRESULT)r;
    return true;
}

// WM_GETTEXT is carried across processes by the system, buffer included.
std::string texte_fenetre(HWND h, DWORD delai)
{
    char texte[1024];
    LRESULT n = 0;
    if (!envoyer(h, WM_GETTEXT, sizeof texte, (LPARAM)texte, &n, delai) || n < 0)
        return std::string();
    return std::string(texte, (size_t)n);
}

namespace {
struct Enfants {
    std::vector<HWND> v;
};
}  // namespace

static BOOL CALLBACK ajouter_enfant(HWND h, LPARAM l)
{
    reinterpret_cast<Enfants*>(l)->v.push_back(h);
    return TRUE;
}

static std::vector<HWND> enfants(HWND parent)
{
    Enfants e;
    EnumChildWindows(parent, ajouter_enfant, reinterpret_cast<LPARAM>(&e));
    return e.v;
}

std::string texte_boite(HWND boite)
{
    std::string meilleur;
    for (HWND h : enfants(boite)) {
        if (_stricmp(classe_de(h).c_str(), "Static") != 0)
            continue;
        if ((GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        std::string t = texte_interne(h);
        if (t.size() > meilleur.size())
            meilleur = t;
    }
    return meilleur;
}

// The icon drawn over a plain `fond`, cx by cy, as colours from the top row
// down, as pixels_ecran gives the screen's.
static std::vector<COLORREF> icone_dessinee(HICON icone, COLORREF fond, int cx, int cy)
{
    HDC ecran = GetDC(NULL);
    HDC memoire = CreateCompatibleDC(ecran);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP image = CreateDIBSection(memoire, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    std::vector<COLORREF> v;
    if (image) {
        HGDIOBJ avant = SelectObject(memoire, image);
        HBRUSH pinceau = CreateSolidBrush(fond);
        RECT r = {0, 0, cx, cy};
        FillRect(memoire, &r, pinceau);
        DeleteObject(pinceau);
        DrawIconEx(memoire, 0, 0, icone, cx, cy, 0, NULL, DI_NORMAL);
        GdiFlush();
        for (const DWORD* p = (const DWORD*)bits; p < (const DWORD*)bits + cx * cy; p++)
            v.push_back(RGB((*p >> 16) & 0xFF, (*p >> 8) & 0xFF, *p & 0xFF));
        SelectObject(memoire, avant);
        DeleteObject(image);
    }
    DeleteDC(memoire);
    ReleaseDC(NULL, ecran);
    return v;
}

// An icon handle means nothing in another process, and the box's icon cannot
// be read through it: the icon is recognised on the screen instead, against
// the system's own icons drawn here. Only the pixels an icon covers fully
// (the same over black and over white) are compared.
UINT icone_boite(HWND boite, DWORD delai)
{
    HWND statique = NULL;
    for (HWND h : enfants(boite))
        if (_stricmp(classe_de(h).c_str(), "Static") == 0 &&
            (GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            statique = h;
    if (!statique)
        return 0;
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    static const struct {
        LPCSTR id;
        UINT drapeau;
    } systeme[] = {{IDI_WARNING, MB_ICONWARNING},
                   {IDI_INFORMATION, MB_ICONINFORMATION},
                   {IDI_ERROR, MB_ICONERROR},
                   {IDI_QUESTION, MB_ICONQUESTION}};
    struct Reference {
        std::vector<COLORREF> noir, blanc;
    } references[4];
    for (int i = 0; i < 4; i++) {
        HICON icone = LoadIconA(NULL, systeme[i].id);
        references[i] = {icone_dessinee(icone, RGB(0, 0, 0), cx, cy),
                         icone_dessinee(icone, RGB(255, 255, 255), cx, cy)};
    }
    DWORD debut = maintenant();
    for (;;) {
        // The box may not be painted yet.
        RECT r;
        if (!GetWindowRect(statique, &r))
            return 0;
        r.right = r.left + cx;
        r.bottom = r.top + cy;
        std::vector<COLORREF> vu;
        if (!pixels_ecran(r, vu))
            return 0;
        for (int i = 0; i < 4; i++) {
            const Reference& ref = references[i];
            if (ref.noir.size() != vu.size() || ref.blanc.size() != vu.size())
                return 0;
            size_t couverts = 0, egaux = 0;
            for (size_t p = 0; p < vu.size(); p++) {
                if (ref.noir[p] != ref.blanc[p])
                    continue;
                couverts++;
                egaux += ref.noir[p] == vu[p];
            }
            if (couverts > 0 && egaux == couverts)
                return systeme[i].drapeau;
        }
        if (maintenant() - debut >= delai)
            return 0;
        Sleep(PAS);
    }
}

static std::vector<HWND> boutons_visibles(HWND boite)
{
    std::vector<HWND> v;
    for (HWND h : enfants(boite))
        if (_stricmp(classe_de(h).c_str(), "Button") == 0 && IsWindowVisible(h))
            v.push_back(h);
    return v;
}

int boutons_boite(HWND boite)
{
    return (int)boutons_visibles(boite).size();
}

bool fermer_boite(HWND boite)
{
    std::vector<HWND> v = boutons_visibles(boite);
    if (v.size() != 1)
        return false;
    cliquer(v[0]);
    return true;
}

void cliquer(HWND bouton)
{
    PostMessageA(bouton, BM_CLICK, 0, 0);
}

void touche(HWND fenetre, UINT vk)
{
    LPARAM balayage = (LPARAM)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    PostMessageA(fenetre, WM_KEYDOWN, vk, balayage | 1);
    PostMessageA(fenetre, WM_KEYUP, vk, balayage | 1 | (LPARAM)0xC0000000u);
}

bool synchroniser(HWND dialogue, DWORD delai)
{
    HWND edition = GetDlgItem(dialogue, IDD_TXT_ORDO);
    LRESULT limite = 0;
    if (!edition || !envoyer(edition, EM_GETLIMITTEXT, 0, 0, &limite, delai))
        return false;
    // Any large limit will do: the tool reads at most 259 bytes of the text.
    LRESULT repere = limite == 30000 ? 30001 : 30000;
    PostMessageA(edition, EM_SETLIMITTEXT, (WPARAM)repere, 0);
    DWORD debut = maintenant();
    for (;;) {
        if (envoyer(edition, EM_GETLIMITTEXT, 0, 0, &limite, delai) && limite == repere)
            return true;
        if (maintenant() - debut >= delai)
            return false;
        Sleep(PAS);
    }
}

static bool a_peindre(HWND fenetre)
{
    if (GetUpdateRect(fenetre, NULL, FALSE))
        return true;
    for (HWND h : enfants(fenetre))
        if (GetUpdateRect(h, NULL, FALSE))
            return true;
    return false;
}

bool attendre_dessin(HWND dialogue, DWORD delai)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(dialogue, &pid);
    DWORD debut = maintenant();
    // Painting comes after every queued message, and a paint under way ends
    // before the next message: two synchronised passes in a row that find
    // nothing left to paint.
    for (int propres = 0; propres < 2;) {
        bool reste = !synchroniser(dialogue, delai);
        for (HWND h : fenetres_processus(pid, NULL, NULL))
            reste = reste || a_peindre(h);
        propres = reste ? 0 : propres + 1;
        if (reste && maintenant() - debut >= delai)
            return false;
        if (reste)
            Sleep(PAS);
    }
    return true;
}

// A page of the tool's memory holding one list record and its text buffer.
namespace {
struct Page {
    HANDLE processus;
    char* base;
};
const SIZE_T TAILLE_TEXTE = 1024;
}  // namespace

static bool ouvrir_page(HANDLE processus, Page& p)
{
    p.processus = processus;
    p.base = (char*)VirtualAllocEx(processus, NULL, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    return p.base != NULL;
}

static void fermer_page(Page& p)
{
    VirtualFreeEx(p.processus, p.base, 0, MEM_RELEASE);
}

static bool ecrire(Page& p, const void* donnees, SIZE_T n)
{
    SIZE_T fait = 0;
    return WriteProcessMemory(p.processus, p.base, donnees, n, &fait) && fait == n;
}

static bool lire(Page& p, SIZE_T decalage, void* donnees, SIZE_T n)
{
    SIZE_T fait = 0;
    return ReadProcessMemory(p.processus, p.base + decalage, donnees, n, &fait) && fait == n;
}

bool lire_colonnes(HANDLE processus, HWND liste, std::vector<Colonne>& colonnes)
{
    colonnes.clear();
    Page p;
    if (!ouvrir_page(processus, p))
        return false;
    bool ok = true;
    for (int i = 0; ok && i < 64; i++) {
        LVCOLUMNA c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = p.base + 512;
        c.cchTextMax = (int)TAILLE_TEXTE;
        char texte[TAILLE_TEXTE + 1] = {};
        LRESULT r = 0;
        ok = ecrire(p, &c, sizeof c) && envoyer(liste, LVM_GETCOLUMNA, i, (LPARAM)p.base, &r);
        if (!ok || !r)
            break;
        ok = lire(p, 0, &c, sizeof c) && lire(p, 512, texte, TAILLE_TEXTE);
        if (ok)
            colonnes.push_back({texte, c.cx, c.fmt & LVCFMT_JUSTIFYMASK});
    }
    fermer_page(p);
    return ok;
}

bool lire_lignes(HANDLE processus, HWND liste, int ncolonnes,
                 std::vector<std::vector<std::string>>& lignes)
{
    lignes.clear();
    LRESULT n = 0;
    if (!envoyer(liste, LVM_GETITEMCOUNT, 0, 0, &n))
        return false;
    Page p;
    if (!ouvrir_page(processus, p))
        return false;
    bool ok = true;
    for (int i = 0; ok && i < (int)n; i++) {
        std::vector<std::string> ligne;
        for (int j = 0; ok && j < ncolonnes; j++) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.iSubItem = j;
            item.pszText = p.base + 512;
            item.cchTextMax = (int)TAILLE_TEXTE;
            char texte[TAILLE_TEXTE + 1] = {};
            LRESULT longueur = 0;
            ok = ecrire(p, &item, sizeof item) &&
                 envoyer(liste, LVM_GETITEMTEXTA, i, (LPARAM)p.base, &longueur) &&
                 lire(p, 512, texte, TAILLE_TEXTE);
            ligne.push_back(std::string(texte, strnlen(texte, TAILLE_TEXTE)));
        }
        lignes.push_back(ligne);
    }
    fermer_page(p);
    return ok;
}

bool position_progression(HWND barre, int& position)
{
    LRESULT r = 0;
    if (!envoyer(barre, PBM_GETPOS, 0, 0, &r))
        return false;
    position = (int)r;
    return true;
}

bool borne_progression(HWND barre, int& borne)
{
    LRESULT r = 0;
    if (!envoyer(barre, PBM_GETRANGE, FALSE, 0, &r))
        return false;
    borne = (int)r;
    return true;
}

bool rectangle_ligne(HANDLE processus, HWND liste, int ligne, RECT& r)
{
    Page p;
    if (!ouvrir_page(processus, p))
        return false;
    r = RECT();
    r.left = LVIR_LABEL;
    LRESULT ok = 0;
    bool lu = ecrire(p, &r, sizeof r) &&
              envoyer(liste, LVM_GETITEMRECT, ligne, (LPARAM)p.base, &ok) && ok &&
              lire(p, 0, &r, sizeof r);
    fermer_page(p);
    return lu;
}

// The screen's pixels in r, bottom row first, 24 bits each, rows padded to 4
// bytes.
static bool pixels(const RECT& r, BITMAPINFOHEADER& bi, std::vector<char>& octets)
{
    int l = r.right - r.left, hauteur = r.bottom - r.top;
    if (l <= 0 || hauteur <= 0)
        return false;
    HDC ecran = GetDC(NULL);
    HDC memoire = CreateCompatibleDC(ecran);
    HBITMAP image = CreateCompatibleBitmap(ecran, l, hauteur);
    HGDIOBJ avant = SelectObject(memoire, image);
    BitBlt(memoire, 0, 0, l, hauteur, ecran, r.left, r.top, SRCCOPY);
    SelectObject(memoire, avant);

    bi = BITMAPINFOHEADER();
    bi.biSize = sizeof bi;
    bi.biWidth = l;
    bi.biHeight = hauteur;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    DWORD ligne = ((DWORD)l * 3 + 3) & ~3u;
    bi.biSizeImage = ligne * (DWORD)hauteur;
    octets.assign(bi.biSizeImage, 0);
    int lues = GetDIBits(memoire, image, 0, (UINT)hauteur, octets.data(), (BITMAPINFO*)&bi,
                         DIB_RGB_COLORS);
    DeleteObject(image);
    DeleteDC(memoire);
    ReleaseDC(NULL, ecran);
    return lues == hauteur;
}

bool pixels_ecran(const RECT& r, std::vector<COLORREF>& couleurs)
{
    BITMAPINFOHEADER bi;
    std::vector<char> octets;
    couleurs.clear();
    if (!pixels(r, bi, octets))
        return false;
    DWORD ligne = bi.biSizeImage / (DWORD)bi.biHeight;
    for (int y = bi.biHeight - 1; y >= 0; y--) {
        const unsigned char* p = (const unsigned char*)octets.data() + (DWORD)y * ligne;
        for (int x = 0; x < bi.biWidth; x++, p += 3)
            couleurs.push_back(RGB(p[2], p[1], p[0]));
    }
    return true;
}

bool capture_fenetre(HWND h, const std::string& chemin)
{
    RECT r;
    BITMAPINFOHEADER bi;
    std::vector<char> octets;
    if (!GetWindowRect(h, &r) || !pixels(r, bi, octets))
        return false;
    BITMAPFILEHEADER bf = {};
    bf.bfType = 0x4D42;
    bf.bfOffBits = sizeof bf + sizeof bi;
    bf.bfSize = bf.bfOffBits + bi.biSizeImage;
    std::ofstream f(chemin, std::ios::binary);
    f.write((const char*)&bf, sizeof bf);
    f.write((const char*)&bi, sizeof bi);
    f.write(octets.data(), (std::streamsize)octets.size());
    return (bool)f;
}
