// Opens the cabinet the user last opened in Kalimed, as its per-user settings
// record it. The settings are only read, never written.
#include "cabinet.h"

#include "kmapi.h"
#include "liste.h"
#include "registre.h"
#include "textes.h"

// Everything handed to the host lives as long as the session: nothing says it
// copies a text rather than keep the pointer. The fourth text is the tool's
// own and writable, in case the host clears or fills it.
static char path[MAX_PATH];
static char cabinet[MAX_PATH];
static char user[MAX_PATH];
static char vide[MAX_PATH];

void initialisation_std_cab(HWND hwnd)
{
    HKEY cle;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Kalimed\\Chemins", &cle) !=
        ERROR_SUCCESS)
        cle = NULL;
    lecture_texte_registre(cle, "Cabinets", path);
    if (cle)
        RegCloseKey(cle);

    if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Velmora\\Kalimed\\Cabinets", &cle) !=
        ERROR_SUCCESS)
        cle = NULL;
    lecture_texte_registre(cle, "Dernier", cabinet);
    // The user is the value named after the cabinet; with no cabinet there is
    // none (an empty name would read the key's default value).
    lecture_texte_registre(cabinet[0] ? cle : NULL, cabinet, user);
    if (cle)
        RegCloseKey(cle);

    KMSetPathCabinet(path);
    vide[0] = 0;
    cabinet_ouvert = KMOpenCabinet(path, cabinet, user, vide) != 0;
    if (!cabinet_ouvert)
        MessageBoxA(hwnd, TEXTE_ECHEC_CABINET, TITRE, MB_ICONERROR);
}
