// Session and cabinet: which cabinet is open, opening and closing it.
// Nothing needs a session: the calls work, or answer empty, without one.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "hote.h"

#include <commctrl.h>

CABINET g_cabinet;
bool g_ouvert = false;
DWORD g_curseur = 0;

static char g_chemin[MAX_PATH];  // from KMSetPathCabinet

// KMAPI_JOURNAL names a file to which the session and cabinet calls are
// appended, one line each with their arguments, so that a test can see what
// a program asked of its host. Unset, nothing is written.
static void journal(const char* format, ...)
{
    char chemin[MAX_PATH];
    DWORD lg = GetEnvironmentVariableA("KMAPI_JOURNAL", chemin, sizeof(chemin));
    if (lg == 0 || lg >= sizeof(chemin)) return;
    char ligne[4 * MAX_PATH + 64];
    va_list args;
    va_start(args, format);
    vsnprintf(ligne, sizeof(ligne), format, args);
    va_end(args);
    HANDLE f = CreateFileA(chemin, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD ecrits;
    WriteFile(f, ligne, lstrlenA(ligne), &ecrits, NULL);
    WriteFile(f, "\r\n", 2, &ecrits, NULL);
    CloseHandle(f);
}

static const char* ou_nul(const char* texte) { return texte ? texte : "(null)"; }

static void fermer_cabinet()
{
    if (g_ouvert) liberer_cabinet(&g_cabinet);
    g_ouvert = false;
    g_curseur = 0;
}

// A cabinet is one folder inside the cabinets directory, never a path.
static bool nom_de_cabinet_sur(const char* nom)
{
    if (!nom[0] || strcmp(nom, ".") == 0 || strcmp(nom, "..") == 0) return false;
    return strpbrk(nom, "\\/:") == NULL;
}

extern "C" BOOL WINAPI KMOpenSession(int nMode)
{
    journal("KMOpenSession(%d)", nMode);  // the mode selects nothing here
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&icc);
}

extern "C" BOOL WINAPI KMCloseSession(void)
{
    journal("KMCloseSession()");
    fermer_cabinet();
    return TRUE;
}

extern "C" BOOL WINAPI KMSetPathCabinet(const char* pszDir)
{
    journal("KMSetPathCabinet(%s)", ou_nul(pszDir));
    if (!pszDir || lstrlenA(pszDir) >= MAX_PATH) {
        g_chemin[0] = '\0';
        return FALSE;
    }
    lstrcpynA(g_chemin, pszDir, MAX_PATH);
    return TRUE;
}

// Opening always ends the cabinet open before, even when the new one is
// refused: after a 0 nothing is open, so no caller reads the old cabinet
// believing it has the new one. The new one is read into a fresh state and
// becomes current only when complete.
static BOOL ouvrir_cabinet(const char* pszDir, const char* pszCabinet, const char* pszUser)
{
    fermer_cabinet();
    if (!pszCabinet || !pszUser || !nom_de_cabinet_sur(pszCabinet)) return FALSE;

    const char* base = (pszDir && pszDir[0]) ? pszDir : g_chemin;
    size_t lgBase = strlen(base), lgCabinet = strlen(pszCabinet);
    if (lgBase == 0 || lgBase + 1 + lgCabinet >= MAX_PATH) return FALSE;
    char dossier[MAX_PATH];
    memcpy(dossier, base, lgBase);
    if (base[lgBase - 1] != '\\' && base[lgBase - 1] != '/') dossier[lgBase++] = '\\';
    memcpy(dossier + lgBase, pszCabinet, lgCabinet + 1);

    CABINET nouveau;
    memset(&nouveau, 0, sizeof(nouveau));
    if (!charger_cabinet(dossier, pszUser, &nouveau)) {
        liberer_cabinet(&nouveau);
        return FALSE;
    }
    g_cabinet = nouveau;
    g_ouvert = true;
    g_curseur = 0;
    return TRUE;
}

extern "C" BOOL WINAPI KMOpenCabinet(const char* pszDir, const char* pszCabinet,
                                     const char* pszUser, const char* pszExtra)
{
    BOOL ouvert = ouvrir_cabinet(pszDir, pszCabinet, pszUser);
    journal("KMOpenCabinet(%s|%s|%s|%s) = %d", ou_nul(pszDir), ou_nul(pszCabinet), ou_nul(pszUser),
            ou_nul(pszExtra), ouvert);
    return ouvert;
}

extern "C" BOOL WINAPI KMCloseCabinet(void)
{
    journal("KMCloseCabinet()");
    fermer_cabinet();
    return TRUE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD raison, LPVOID reserve)
{
    (void)hinst;
    // Unloaded by FreeLibrary (not at process exit): give the cabinet back.
    if (raison == DLL_PROCESS_DETACH && reserve == NULL) fermer_cabinet();
    return TRUE;
}
