// pilote: the demonstration's hands and eyes on a running Ordaskel (used by
// scripts/run). Finds the main dialog by its caption.
//   pilote attendre [s]    waits for the dialog
//   pilote dessinee [s]    waits until the dialog and its boxes are drawn
//   pilote position        screen position of the centre of "Lancer": X Y
//   pilote lancer          clicks "Lancer"
//   pilote boite [s]       waits for a message box and prints its text
//   pilote ok              dismisses the message box
//   pilote lignes          prints the column headings and every row, TAB-separated
//   pilote fermer [s]      asks the dialog to close and waits for the tool's end
// Texts are printed as the tool holds them, in Windows-1252. Exit code 0 on success.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "distant.h"
#include "resource.h"
#include "textes.h"

static HWND trouver_dialogue(DWORD delai)
{
    DWORD debut = maintenant();
    for (;;) {
        HWND h = FindWindowA("#32770", TITRE_DIALOGUE);
        if (h && IsWindowVisible(h))
            return h;
        if (maintenant() - debut >= delai)
            return NULL;
        Sleep(50);
    }
}

static int echec(const char* raison)
{
    fprintf(stderr, "pilote: %s\n", raison);
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return echec(
            "usage: pilote attendre|dessinee|position|lancer|boite|ok|lignes|fermer [secondes]");
    std::string commande = argv[1];
    DWORD delai = argc > 2 ? (DWORD)atoi(argv[2]) * 1000 : 30000;

    HWND dialogue = trouver_dialogue(commande == "attendre" ? delai : 2000);
    if (!dialogue)
        return echec("no Ordaskel dialog");
    DWORD pid = 0;
    GetWindowThreadProcessId(dialogue, &pid);

    if (commande == "attendre")
        return 0;
    if (commande == "dessinee")
        return attendre_dessin(dialogue, delai) ? 0 : echec("the windows were not drawn");
    if (commande == "position") {
        RECT r;
        if (!GetWindowRect(GetDlgItem(dialogue, IDD_START), &r))
            return echec("no \"Lancer\" button");
        printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return 0;
    }
    if (commande == "lancer") {
        cliquer(GetDlgItem(dialogue, IDD_START));
        return 0;
    }
    if (commande == "boite") {
        HWND b = attendre_boite(pid, delai);
        if (!b)
            return echec("no message box");
        printf("%s\n", texte_boite(b).c_str());
        return 0;
    }
    if (commande == "ok") {
        std::vector<HWND> v = boites(pid);
        if (v.empty() || !fermer_boite(v[0]))
            return echec("no message box to dismiss");
        DWORD debut = maintenant();
        while (IsWindow(v[0]) && IsWindowVisible(v[0]) && maintenant() - debut < 10000)
            Sleep(20);
        return 0;
    }
    if (commande == "lignes") {
        HANDLE p = OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, pid);
        std::vector<Colonne> colonnes;
        std::vector<std::vector<std::string>> lignes;
        HWND liste = GetDlgItem(dialogue, IDD_LIST);
        if (!p || !lire_colonnes(p, liste, colonnes) ||
            !lire_lignes(p, liste, (int)colonnes.size(), lignes))
            return echec("the list could not be read");
        CloseHandle(p);
        for (size_t i = 0; i < colonnes.size(); i++)
            printf("%s%s", i ? "\t" : "", colonnes[i].titre.c_str());
        printf("\n");
        for (const std::vector<std::string>& l : lignes) {
            for (size_t i = 0; i < l.size(); i++)
                printf("%s%s", i ? "\t" : "", l[i].c_str());
            printf("\n");
        }
        return 0;
    }
    if (commande == "fermer") {
        HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (!p)
            return echec("the tool's process cannot be watched");
        PostMessageA(dialogue, WM_CLOSE, 0, 0);
        DWORD code = 1;
        if (WaitForSingleObject(p, delai) != WAIT_OBJECT_0)
            return echec("the tool did not end");
        GetExitCodeProcess(p, &code);
        CloseHandle(p);
        printf("%lu\n", (unsigned long)code);
        return code == 0 ? 0 : 1;
    }
    return echec("unknown command");
}
