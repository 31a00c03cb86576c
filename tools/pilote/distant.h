// Driving a running ordaskel.exe from another process, as a person would:
// finding its windows, pressing its buttons, reading its boxes and its list.
// Shared by the end-to-end tests and the demonstration helper (pilote.exe).
// The tool and the driver are built for the same architecture, so the list
// records written into the tool's memory have the same layout on both sides.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Milliseconds since an arbitrary start, for time limits.
DWORD maintenant();

// Top-level windows of process `pid` with this window class and caption
// (either may be NULL for any), in z-order. Hidden ones only if `cachees`.
std::vector<HWND> fenetres_processus(DWORD pid, const char* classe, const char* titre,
                                     bool cachees = false);
// The first such visible window appearing within `delai` ms, or NULL.
HWND attendre_fenetre(DWORD pid, const char* classe, const char* titre, DWORD delai);
// A message box ("#32770" titled "Ordaskel") of the process, or NULL.
HWND attendre_boite(DWORD pid, DWORD delai);
// The process's message boxes shown right now.
std::vector<HWND> boites(DWORD pid);

// Window text read with a time limit (the tool answers only when it pumps).
std::string texte_fenetre(HWND h, DWORD delai = 5000);
// Text of a message box: its longest static text.
std::string texte_boite(HWND boite);
// Number of push buttons in a box.
int boutons_boite(HWND boite);
// The icon a box shows, as its MB_ICON* flag (MB_ICONWARNING,
// MB_ICONINFORMATION, MB_ICONERROR or MB_ICONQUESTION), 0 when none of them is
// seen within `delai` ms.
UINT icone_boite(HWND boite, DWORD delai = 5000);
// Presses OK (the box's one button).
bool fermer_boite(HWND boite);

// A button clicked by the mouse: the click is queued behind whatever the
// driver queued before.
void cliquer(HWND bouton);
// A key pressed and released in a window of the tool (queued, like the mouse).
void touche(HWND fenetre, UINT vk);

// Waits until the dialog's thread has handled every message queued to it so
// far; false after `delai` ms. Works by queueing a harmless selection change
// to the edit box and waiting to see it done.
bool synchroniser(HWND dialogue, DWORD delai);
// Waits until the dialog's thread is idle with nothing left to paint in any of
// its process's windows (the dialog, its boxes and all their controls); false
// after `delai` ms.
bool attendre_dessin(HWND dialogue, DWORD delai);

// Sends a message with a time limit; false when it timed out.
bool envoyer(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* resultat, DWORD delai = 5000);

struct Colonne {
    std::string titre;
    int largeur;
    int format;  // LVCFMT_LEFT / LVCFMT_RIGHT ...
};

// The result list as the tool shows it. `processus` needs the rights to
// allocate, write and read memory in the tool.
bool lire_colonnes(HANDLE processus, HWND liste, std::vector<Colonne>& colonnes);
bool lire_lignes(HANDLE processus, HWND liste, int ncolonnes,
                 std::vector<std::vector<std::string>>& lignes);

// Where row `ligne`'s first cell is drawn, in the list's client coordinates.
bool rectangle_ligne(HANDLE processus, HWND liste, int ligne, RECT& r);

// Progress bar position and upper bound.
bool position_progression(HWND barre, int& position);
bool borne_progression(HWND barre, int& borne);

// The screen's pixels in r (screen coordinates), row by row from the top.
bool pixels_ecran(const RECT& r, std::vector<COLORREF>& couleurs);
// The dialog as shown on the screen, saved as a 24-bit BMP.
bool capture_fenetre(HWND h, const std::string& chemin);
