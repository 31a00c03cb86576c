// The end-to-end test bed.
#include "banc.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "distant.h"
#include "resource.h"

namespace fs = std::filesystem;

const char AUJOURDHUI[] = "15/06/2024";

std::string dossier_programmes()
{
    char chemin[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, chemin, MAX_PATH);
    std::string s(chemin, n);
    return s.substr(0, s.find_last_of("\\/"));
}

std::string dossier_essai(const std::string& nom)
{
    fs::path d = fs::path(dossier_programmes()).parent_path() / "essais" / "app" / nom;
    std::error_code e;
    fs::remove_all(d, e);
    fs::create_directories(d, e);
    return d.string();
}

static std::string entre_guillemets(const std::string& s)
{
    return "\"" + s + "\"";
}

// The one way the bed starts a program: `exe` (NULL: the first word of
// `ligne`) with this process's environment, its standard output into
// `sortie` when given.
static bool lancer(const char* exe, const std::string& ligne, const std::string& repertoire,
                   HANDLE sortie, Outil& o)
{
    arreter_outil(o);
    std::vector<char> cmd(ligne.begin(), ligne.end());
    cmd.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (sortie) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = sortie;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    return CreateProcessA(exe, cmd.data(), NULL, NULL, sortie != NULL, 0, NULL,
                          repertoire.empty() ? NULL : repertoire.c_str(), &si, &o.pi) != FALSE;
}

bool executer(const std::string& ligne, std::string& sortie, DWORD delai)
{
    sortie.clear();
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE lecture, ecriture;
    if (!CreatePipe(&lecture, &ecriture, &sa, 0))
        return false;
    SetHandleInformation(lecture, HANDLE_FLAG_INHERIT, 0);
    Outil p;
    bool lance = lancer(NULL, ligne, "", ecriture, p);
    CloseHandle(ecriture);
    DWORD debut = maintenant();
    while (lance && maintenant() - debut < delai) {
        DWORD dispo = 0;
        if (!PeekNamedPipe(lecture, NULL, 0, NULL, &dispo, NULL))
            break;  // the program closed its end
        char tampon[65536];
        DWORD lu = 0;
        if (dispo == 0)
            Sleep(5);
        else if (ReadFile(lecture, tampon, std::min<DWORD>(dispo, sizeof tampon), &lu, NULL))
            sortie.append(tampon, lu);
    }
    CloseHandle(lecture);
    // Past its time the program is ended with p.
    return lance && attendre_fin(p, delai - std::min(delai, maintenant() - debut)) == 0;
}

static std::string gencab()
{
    return entre_guillemets(dossier_programmes() + "\\gencab.exe");
}

bool generer_cabinet(const std::string& dossier, const std::string& nom, int graine, int entrees,
                     int patients, const std::string& utilisateur)
{
    std::string sortie;
    return executer(gencab() + " ecrire --dossier " + entre_guillemets(dossier) + " --cabinet " +
                        entre_guillemets(nom) + " --graine " + std::to_string(graine) +
                        " --entrees " + std::to_string(entrees) + " --patients " +
                        std::to_string(patients) + " --utilisateur " +
                        entre_guillemets(utilisateur),
                    sortie);
}

static std::vector<std::string> decouper(const std::string& s, char sep)
{
    std::vector<std::string> v;
    size_t debut = 0;
    for (;;) {
        size_t fin = s.find(sep, debut);
        v.push_back(s.substr(debut, fin == std::string::npos ? std::string::npos : fin - debut));
        if (fin == std::string::npos)
            return v;
        debut = fin + 1;
    }
}

bool calculer_attendu(const std::string& dossier, const std::string& nom, const std::string& texte,
                      Attendu& a)
{
    a = Attendu();
    std::string hex;
    for (unsigned char c : texte) {
        char h[3];
        snprintf(h, sizeof h, "%02X", c);
        hex += h;
    }
    std::string sortie;
    if (!executer(gencab() + " attendu --dossier " + entre_guillemets(dossier) + " --cabinet " +
                      entre_guillemets(nom) + " --texte-hex " + entre_guillemets(hex) +
                      " --aujourdhui " + AUJOURDHUI,
                  sortie))
        return false;
    for (std::string ligne : decouper(sortie, '\n')) {
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        if (ligne.empty())
            continue;
        std::vector<std::string> champs = decouper(ligne, '\t');
        if (champs.size() == 2 && champs[0] == "RESUME") {
            a.resume = champs[1];
        } else if (champs.size() == 6) {
            a.lignes.push_back(std::vector<std::string>(champs.begin() + 1, champs.end()));
        } else {
            return false;
        }
    }
    return !a.resume.empty();
}

// ---- Kalimed's registry values --------------------------------------------

static const char VELMORA[] = "Software\\Velmora";
static const char CHEMINS[] = "Software\\Velmora\\Kalimed\\Chemins";
static const char CABINETS[] = "Software\\Velmora\\Kalimed\\Cabinets";

static void ecrire_valeur(const char* cle, const char* nom, const char* valeur)
{
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, cle, 0, NULL, 0, KEY_WRITE, NULL, &h, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(h, nom, 0, REG_SZ, (const BYTE*)valeur, (DWORD)strlen(valeur) + 1);
    RegCloseKey(h);
}

void effacer_registre()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, VELMORA);
    RegDeleteKeyA(HKEY_CURRENT_USER, VELMORA);
}

void ecrire_registre(const char* chemin, const char* dernier, const char* utilisateur,
                     const char* nom_utilisateur)
{
    effacer_registre();
    if (chemin)
        ecrire_valeur(CHEMINS, "Cabinets", chemin);
    if (dernier)
        ecrire_valeur(CABINETS, "Dernier", dernier);
    const char* nom = nom_utilisateur ? nom_utilisateur : dernier;
    if (utilisateur && nom)
        ecrire_valeur(CABINETS, nom, utilisateur);
}

static void relever_cle(HKEY parent, const std::string& nom, std::vector<std::string>& lignes)
{
    HKEY h;
    if (RegOpenKeyExA(parent, nom.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return;
    lignes.push_back("[" + nom + "]");
    for (DWORD i = 0;; i++) {
        char valeur[16384];
        BYTE donnees[4096];
        DWORD nv = sizeof valeur, nd = sizeof donnees, type = 0;
        if (RegEnumValueA(h, i, valeur, &nv, NULL, &type, donnees, &nd) != ERROR_SUCCESS)
            break;
        std::string l =
            "[" + nom + "] " + std::string(valeur, nv) + " type " + std::to_string(type) + " =";
        for (DWORD k = 0; k < nd; k++) {
            char x[4];
            snprintf(x, sizeof x, " %02X", donnees[k]);
            l += x;
        }
        lignes.push_back(l);
    }
    std::vector<std::string> sous;
    for (DWORD i = 0;; i++) {
        char sc[1024];
        DWORD n = sizeof sc;
        if (RegEnumKeyExA(h, i, sc, &n, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        sous.push_back(std::string(sc, n));
    }
    RegCloseKey(h);
    for (const std::string& s : sous)
        relever_cle(parent, nom + "\\" + s, lignes);
}

std::string releve_registre()
{
    std::vector<std::string> lignes;
    relever_cle(HKEY_CURRENT_USER, VELMORA, lignes);
    std::sort(lignes.begin(), lignes.end());
    std::string s;
    for (const std::string& l : lignes)
        s += l + "\n";
    return s;
}

// ---- Folders ------------------------------------------------------------------

static unsigned long long empreinte(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    unsigned long long h = 1469598103934665603ULL;  // FNV-1a
    char tampon[65536];
    while (f.read(tampon, sizeof tampon) || f.gcount() > 0) {
        for (std::streamsize i = 0; i < f.gcount(); i++)
            h = (h ^ (unsigned char)tampon[i]) * 1099511628211ULL;
    }
    return h;
}

std::string releve_dossier(const std::string& dossier)
{
    std::vector<std::string> lignes;
    std::error_code e;
    for (fs::recursive_directory_iterator it(dossier, e), fin; !e && it != fin; it.increment(e)) {
        const fs::path& p = it->path();
        std::string l = fs::relative(p, dossier, e).string();
        if (it->is_regular_file(e)) {
            l += " " + std::to_string(it->file_size(e)) + " " +
                 std::to_string(fs::last_write_time(p, e).time_since_epoch().count()) + " " +
                 std::to_string(empreinte(p));
        } else {
            l += " (dossier)";
        }
        lignes.push_back(l);
    }
    std::sort(lignes.begin(), lignes.end());
    std::string s;
    for (const std::string& l : lignes)
        s += l + "\n";
    return s;
}

// ---- The tool's process ----------------------------------------------------------

static std::string fichier_journal()
{
    return (fs::path(dossier_programmes()).parent_path() / "essais" / "journal_hote.txt").string();
}

std::string journal_hote()
{
    std::ifstream f(fichier_journal(), std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
}

bool demarrer_outil(Outil& o, const std::string& arguments, const std::string& repertoire,
                    const std::string& temp, const std::string& exe)
{
    const std::string programme = exe.empty() ? dossier_programmes() + "\\ordaskel.exe" : exe;
    const std::string ligne =
        entre_guillemets(programme) + (arguments.empty() ? "" : " " + arguments);

    // The child inherits this environment: set what it needs, then put it back.
    char ancien_temp[MAX_PATH] = "", ancien_tmp[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", ancien_temp, MAX_PATH);
    GetEnvironmentVariableA("TMP", ancien_tmp, MAX_PATH);
    SetEnvironmentVariableA("KMAPI_AUJOURDHUI", AUJOURDHUI);
    DeleteFileA(fichier_journal().c_str());
    SetEnvironmentVariableA("KMAPI_JOURNAL", fichier_journal().c_str());
    if (!temp.empty()) {
        SetEnvironmentVariableA("TEMP", temp.c_str());
        SetEnvironmentVariableA("TMP", temp.c_str());
    }
    bool ok = lancer(programme.c_str(), ligne, repertoire, NULL, o);
    if (!temp.empty()) {
        SetEnvironmentVariableA("TEMP", ancien_temp);
        SetEnvironmentVariableA("TMP", ancien_tmp);
    }
    return ok;
}

bool attendre_dialogue(Outil& o, DWORD delai)
{
    o.dialogue =
        attendre_fenetre(o.pi.dwProcessId, "#32770", "Ordaskel - Base de d\351monstration", delai);
    if (!o.dialogue)
        return false;
    o.liste = GetDlgItem(o.dialogue, IDD_LIST);
    o.barre = GetDlgItem(o.dialogue, IDD_PB);
    o.edition = GetDlgItem(o.dialogue, IDD_TXT_ORDO);
    o.lancer = GetDlgItem(o.dialogue, IDD_START);
    o.exporter = GetDlgItem(o.dialogue, IDC_EXPORTER);
    return o.liste && o.barre && o.edition && o.lancer && o.exporter;
}

long attendre_fin(Outil& o, DWORD delai)
{
    if (!o.pi.hProcess || WaitForSingleObject(o.pi.hProcess, delai) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(o.pi.hProcess, &code);
    return (long)code;
}

void arreter_outil(Outil& o)
{
    if (o.pi.hProcess) {
        if (WaitForSingleObject(o.pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(o.pi.hProcess, 99);
            WaitForSingleObject(o.pi.hProcess, 10000);
        }
        CloseHandle(o.pi.hProcess);
        CloseHandle(o.pi.hThread);
    }
    o.pi = PROCESS_INFORMATION();
    o.dialogue = o.liste = o.barre = o.edition = o.lancer = o.exporter = NULL;
}

Outil::~Outil()
{
    arreter_outil(*this);
}
