// The tool's own dialog, with its columns, a catcher for the message boxes a
// run shows, and read-back of the list and the progress bar.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct Boite {
    std::string texte, titre;
    bool proprietaire_dialogue;
    UINT icone;               // MB_ICONINFORMATION, MB_ICONERROR, or 0 if neither
    int lignes;               // rows in the list when it showed
    int allocations_locales;  // local blocks held when it showed
    size_t appels;            // host calls made before it showed
};

extern std::vector<Boite> boites;

HWND dialogue_essai();
void texte_recherche(const std::string& texte);
void vider_messages();
// One whole run on the test dialog; its boxes are answered OK at once.
void lancer_recherche();

typedef std::vector<std::string> Ligne;
std::vector<Ligne> lignes_liste();
PBRANGE plage_progression();
int position_progression();

// The run's state reset before each test: scripted host, hooks, boxes,
// the search text "Zorix".
class Recherche : public ::testing::Test {
protected:
    void SetUp() override;
};

// Every text block the host handed out was freed once, with no lock left,
// and the two record buffers were closed unlocked.
void verifier_memoire(bool patients_attendus = true);
