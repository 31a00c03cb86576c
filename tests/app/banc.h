// The test bed of the end-to-end tests: cabinets made by gencab, the answers
// gencab computes, Kalimed's registry values, and the tool's process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

typedef std::vector<std::vector<std::string>> Lignes;

// "Today" of every test, for reproducible ages.
extern const char AUJOURDHUI[];

// Folder of the build's programs (ordaskel.exe, KMAPI.DLL, gencab.exe).
std::string dossier_programmes();
// A fresh, empty folder <build>/essais/app/<nom>.
std::string dossier_essai(const std::string& nom);

// Runs a console program of the build folder and collects its output; false
// when it could not start, did not end within `delai` ms or did not exit 0.
bool executer(const std::string& ligne, std::string& sortie, DWORD delai = 120000);

// A cabinet `nom` written by gencab in the folder `dossier`.
bool generer_cabinet(const std::string& dossier, const std::string& nom, int graine, int entrees,
                     int patients, const std::string& utilisateur);

// What a search for `texte` must show: rows of five cells and the summary.
struct Attendu {
    Lignes lignes;
    std::string resume;
};
bool calculer_attendu(const std::string& dossier, const std::string& nom, const std::string& texte,
                      Attendu& a);

// Kalimed's per-user values; NULL leaves a value out. `utilisateur` goes in the
// value named after `dernier` (or `nom_utilisateur` when given).
void ecrire_registre(const char* chemin, const char* dernier, const char* utilisateur,
                     const char* nom_utilisateur = NULL);
void effacer_registre();
// Every key and value under HKCU\Software\Velmora, as text.
std::string releve_registre();

// Every file under `dossier`: relative name, size, write time and a digest.
std::string releve_dossier(const std::string& dossier);

// One run of ordaskel.exe, ended when it goes out of scope: a test that fails
// half-way leaves no tool running.
struct Outil {
    PROCESS_INFORMATION pi = {};
    HWND dialogue = NULL;
    HWND liste = NULL, barre = NULL, edition = NULL, lancer = NULL, exporter = NULL;
    Outil() = default;
    Outil(const Outil&) = delete;
    Outil& operator=(const Outil&) = delete;
    ~Outil();
};

// The session and cabinet calls the stand-in host saw from the last tool
// started, one line each (KMAPI_JOURNAL).
std::string journal_hote();
// Starts the tool (or the copy `exe`) with KMAPI_AUJOURDHUI and KMAPI_JOURNAL
// set, ending the one `o` ran before; `repertoire` (the current folder) and
// `temp` (TEMP and TMP) may be empty for the defaults.
bool demarrer_outil(Outil& o, const std::string& arguments = "", const std::string& repertoire = "",
                    const std::string& temp = "", const std::string& exe = "");
// The main dialog once it is shown (after any box of its initialisation).
bool attendre_dialogue(Outil& o, DWORD delai = 30000);
// Ends the tool if it still runs and releases its handles.
void arreter_outil(Outil& o);
// Waits for the tool's end; its exit code, or -1 when it did not end in time.
long attendre_fin(Outil& o, DWORD delai);
