// Ordaskel: the entry function and the main dialog, which opens the user's
// default cabinet (cabinet.cpp). Everything runs on the one thread of the
// dialog.
#include <windows.h>

#include "kmapi.h"
#include "pliage.h"
#include "balayage.h"
#include "liste.h"
#include "cabinet.h"
#include "resource.h"
#include "textes.h"

HINSTANCE hInst;
// 1 while a search runs: the search pumps the dialog's messages, so a second
// "Lancer" or a close request reaches Main_Dlg in the middle of it.
int recherche_en_cours;

// Icon and the five empty columns of the result list.
void initialisation_affichage(HWND hwnd)
{
    HICON icone = LoadIconA(hInst, MAKEINTRESOURCEA(IDI_ORDASKEL));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, (LPARAM)icone);
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, (LPARAM)icone);
    initialisation_colonnes(hwnd);
}

INT_PTR CALLBACK Main_Dlg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (msg) {
    case WM_INITDIALOG:
        initialisation_affichage(hwnd);
        initialisation_recherche();
        initialisation_std_cab(hwnd);
        SendDlgItemMessageA(hwnd, IDD_TXT_ORDO, WM_SETTEXT, 0, (LPARAM)TEXTE_DEFAUT);
        recherche_en_cours = 0;
        // The focus goes to the first tab stop, "Lancer".
        return TRUE;

    case WM_COMMAND:
        // "Exporter" and the Escape key's IDCANCEL do nothing; neither does a
        // "Lancer" that arrives through the running search's message pumping.
        if (LOWORD(wParam) == IDD_START && recherche_en_cours == 0) {
            recherche_en_cours = 1;
            recherche_ordonnance(hwnd);
            recherche_en_cours = 0;
        }
        return FALSE;

    case WM_CLOSE:
        if (recherche_en_cours == 1) {
            // Shown from within the search's pumping: the scan waits for the OK.
            // The box's own loop takes further close requests: they are
            // refused without a box inside the box, so a flood of them cannot
            // pile boxes up until the stack runs out.
            static int attente_affichee;
            if (!attente_affichee) {
                attente_affichee = 1;
                MessageBoxA(hwnd, TEXTE_ATTENTE, TITRE, MB_ICONINFORMATION);
                attente_affichee = 0;
            }
            return TRUE;
        }
        KMCloseCabinet();
        EndDialog(hwnd, 0);
        return FALSE;
    }
    return FALSE;
}

// The command line and the show state are not used: the dialog is all there is.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    (void)hPrevInstance;
    (void)lpCmdLine;
    (void)nCmdShow;
    hInst = hInstance;
    // Also registers the list-view and progress-bar classes the dialog uses.
    KMOpenSession(KMOPENSESSION_MODE);
    if (DialogBoxParamA(hInst, MAKEINTRESOURCEA(IDD_MAIN), NULL, Main_Dlg, 0) == -1) {
        // Said, not a silent end: the user double-clicked and expects a window.
        // No cabinet was opened: the dialog's initialisation never ran.
        MessageBoxA(NULL, TEXTE_ECHEC_FENETRE, TITRE, MB_ICONERROR);
        KMCloseSession();
        return 1;
    }
    KMCloseSession();
    return 0;
}
