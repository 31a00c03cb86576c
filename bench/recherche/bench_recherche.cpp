// Whole searches on a generated cabinet, each phase timed at its boundaries
// inside the run itself, next to the same work done alone.
//
//   bench_recherche --dossier DIR --cabinet NAME [--texte TEXT] [--rare TEXT]
//                   [--absent TEXT] [--tours N]
//
// The marks: the run's start; the progress bar's range (the list is cleared,
// the scan begins); its last position (the scan is over); the summary box
// created (the rows are listed) and shown. The progress bar gets about fifty
// messages a run, so marking them costs nothing the figures would show.
// Each tour lists 20,000 patients directly (liste_20000), then runs a search
// found nowhere, which first clears those rows (vide_effacement) and scans
// without listing (vide_balayage), then the host's scan calls alone, a search
// for TEXT (default "Zorix", about 12% of the prescriptions), one for RARE
// (default "Zorix LP") and one for ABSENT, a drug found in no prescription
// (default "D\351pakine": the worst case, every <rtf> part read a second time
// for the words it shows), then the list alone and the patient reads alone on
// 20,000 rows. N tours (5 by default); each figure is printed as its minimum
// and median, each ratio from medians of the same tours.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "horloge.h"
#include "kmapi.h"
#include "ordonnance.h"
#include "balayage.h"
#include "pliage.h"
#include "liste.h"
#include "resource.h"

#define LIGNES_DIRECTES 20000

static HWND dialogue;
static HHOOK crochet;
static WNDPROC proc_barre;
static char resume[256];

// Marks of the run in progress.
static struct {
    double debut, balayage, fin_balayage, boite_creee, boite_montree;
} m;

static INT_PTR CALLBACK proc_banc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// The range is set once the list is cleared; the last position is the end of
// the scan.
static LRESULT CALLBACK barre(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == PBM_SETRANGE32)
        m.balayage = maintenant();
    else if (msg == PBM_SETPOS)
        m.fin_balayage = maintenant();
    return CallWindowProcA(proc_barre, h, msg, w, l);
}

// Marks the summary box when created and when shown, notes its text and
// answers it.
static LRESULT CALLBACK cbt(int code, WPARAM w, LPARAM l)
{
    HWND h = (HWND)w;
    char classe[16];
    if ((code == HCBT_CREATEWND || code == HCBT_ACTIVATE) && h != dialogue &&
        GetClassNameA(h, classe, sizeof classe) && strcmp(classe, "#32770") == 0) {
        double t = maintenant();
        if (code == HCBT_CREATEWND) {
            if (!m.boite_creee)
                m.boite_creee = t;
        } else if (!m.boite_montree) {
            m.boite_montree = t;
            GetDlgItemTextA(h, 0xFFFF, resume, sizeof resume);
            PostMessageA(h, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(crochet, code, w, l);
}

static int lignes_liste()
{
    return (int)SendDlgItemMessageA(dialogue, IDD_LIST, LVM_GETITEMCOUNT, 0, 0);
}

// ---- Figures ------------------------------------------------------------------

struct Mesure {
    std::string nom;
    const char* unite;
    double echelle;  // from seconds
    std::vector<double> valeurs;
};
static std::vector<Mesure> mesures;

static Mesure& mesure(const std::string& nom, const char* unite = "s", double echelle = 1)
{
    for (Mesure& x : mesures)
        if (x.nom == nom)
            return x;
    mesures.push_back({nom, unite, echelle, {}});
    return mesures.back();
}

static void noter(const std::string& nom, double secondes, const char* unite = "s",
                  double echelle = 1)
{
    mesure(nom, unite, echelle).valeurs.push_back(secondes * echelle);
}

static double mediane(const char* nom)
{
    std::vector<double> v = mesure(nom).valeurs;
    std::sort(v.begin(), v.end());
    return v.empty()      ? 0
           : v.size() % 2 ? v[v.size() / 2]
                          : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

static void imprimer()
{
    for (const Mesure& x : mesures) {
        double p = *std::min_element(x.valeurs.begin(), x.valeurs.end());
        const char* format = strcmp(x.unite, "s") == 0 ? "%s_%s %.3f %s\n" : "%s_%s %.1f %s\n";
        printf(format, x.nom.c_str(), "min", p, x.unite);
        printf(format, x.nom.c_str(), "mediane", mediane(x.nom.c_str()), x.unite);
    }
}

static void rapport(const char* nom, const char* num, const char* denom)
{
    double d = mediane(denom);
    printf("%s %.2f x\n", nom, d > 0 ? mediane(num) / d : 0.0);
}

// ---- The host's work alone ------------------------------------------------------

static std::string premier_utilisateur(const std::string& dossier, const std::string& cabinet)
{
    std::string chemin = dossier + "\\" + cabinet + "\\utilisateurs.txt";
    FILE* f = fopen(chemin.c_str(), "rb");
    char ligne[256] = "";
    if (f) {
        if (!fgets(ligne, sizeof ligne, f))
            ligne[0] = 0;
        fclose(f);
    }
    ligne[strcspn(ligne, "\r\n")] = 0;
    return ligne;
}

static std::vector<LONG> cles_triees()
{
    char cle_dossier[MAX_KEYLEN];
    std::vector<LONG> cles;
    int annonce = KMNumberOfKey(KMKEY_INDEX);
    if (annonce > 0) {
        cles.reserve(annonce);
        cles.push_back(KMFirstKey(KMKEY_INDEX, cle_dossier));
        while ((int)cles.size() < annonce) {
            LONG cle = KMNextKey(KMKEY_INDEX, cle_dossier);
            if (cle == 0)
                break;
            cles.push_back(cle);
        }
    }
    qsort(cles.data(), cles.size(), sizeof(LONG), compar);
    return cles;
}

// Untimed: how many patients the search must list.
static int patients_trouves(const char* texte)
{
    char str_srch[260];
    lstrcpynA(str_srch, texte, sizeof str_srch);
    plier_texte(str_srch);
    std::vector<bool> trouve(MAX_DOSSIERS);
    HGLOBAL Dossier = OpenDossiers(OPENDOSSIERS_FICHIER, OPENDOSSIERS_OPTION, OPENDOSSIERS_OPTION,
                                   OPENDOSSIERS_OPTION);
    RECOrdonnances ordo;
    for (LONG cle : cles_triees()) {
        if (!ReadDossiers2(cle, &ordo) || ordo.cType != DOSSIERS_ORDONNANCES)
            continue;
        HGLOBAL h = ReadXMLOrdonnances(cle, &ordo);
        if (!h)
            continue;
        char* text = (char*)GlobalLock(h);
        if (text && ordonnance_correspond(text, str_srch))
            trouve[ordo.uFiche] = true;
        if (text)
            GlobalUnlock(h);
        GlobalFree(h);
    }
    CloseDossiers(Dossier);
    return (int)std::count(trouve.begin(), trouve.end(), true);
}

// The host calls of a scan, with none of the tool's own work between them.
static double balayage_hote_seul()
{
    double t0 = maintenant();
    HGLOBAL Dossier = OpenDossiers(OPENDOSSIERS_FICHIER, OPENDOSSIERS_OPTION, OPENDOSSIERS_OPTION,
                                   OPENDOSSIERS_OPTION);
    GlobalLock(Dossier);
    std::vector<LONG> cles = cles_triees();
    int pas = (int)cles.size() / 50 + 1;
    RECOrdonnances ordo;
    for (size_t i = 0; i < cles.size(); i++) {
        if (ReadDossiers2(cles[i], &ordo) && ordo.cType == DOSSIERS_ORDONNANCES) {
            HGLOBAL h = ReadXMLOrdonnances(cles[i], &ordo);
            if (h) {
                if (GlobalLock(h))
                    GlobalUnlock(h);
                GlobalFree(h);
            }
        }
        if ((i + 1) % pas == 0)
            KMMessageLoop(dialogue);
    }
    GlobalUnlock(Dossier);
    CloseDossiers(Dossier);
    return maintenant() - t0;
}

// The patient reads of a listing alone.
static double patients_hote_seul(const PATIENT_ENTRY* patlist)
{
    double t0 = maintenant();
    HGLOBAL Patient = OpenPatients(OPENPATIENTS_MODE);
    RECPatients* patient = (RECPatients*)GlobalLock(Patient);
    for (int f = 0; f < MAX_DOSSIERS; f++) {
        if (patlist[f].nb <= 0)
            continue;
        patient->uFiche = (WORD)f;
        ReadPatients(patient, PATIENTS_BY_REC);
        GetAge(patient->DateNai, Today());
    }
    GlobalUnlock(Patient);
    ClosePatients(Patient);
    return maintenant() - t0;
}

// The list alone: as many rows of five cells, sent to its handle as one
// batch; then cleared. Returns the two times.
static void liste_seule(int lignes, double& remplissage, double& effacement)
{
    HWND liste = GetDlgItem(dialogue, IDD_LIST);
    char tmp[64] = "DUPONT Marie";
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = tmp;
    double t0 = maintenant();
    SendMessageA(liste, WM_SETREDRAW, FALSE, 0);
    for (item.iItem = 0; item.iItem < lignes; item.iItem++) {
        item.iSubItem = 0;
        SendMessageA(liste, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (item.iSubItem = 1; item.iSubItem < 5; item.iSubItem++)
            SendMessageA(liste, LVM_SETITEMA, 0, (LPARAM)&item);
    }
    SendMessageA(liste, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(liste, NULL, TRUE);
    double t1 = maintenant();
    SendMessageA(liste, LVM_DELETEALLITEMS, 0, 0);
    remplissage = t1 - t0;
    effacement = maintenant() - t1;
}

// ---- The tool's runs ----------------------------------------------------------------

// One whole search for `texte`, phases noted under `nom`; false when the rows
// or the summary are not those expected.
static bool recherche(const char* nom, const char* texte, int attendus)
{
    SetDlgItemTextA(dialogue, IDD_TXT_ORDO, texte);
    memset(&m, 0, sizeof m);
    resume[0] = 0;
    m.debut = maintenant();
    recherche_ordonnance(dialogue);
    int lignes = lignes_liste();
    int occ = -1, patients = -1;
    sscanf(resume, "%d occ. - %d Patients", &occ, &patients);
    if (!m.balayage || !m.fin_balayage || !m.boite_montree || lignes != attendus ||
        patients != attendus) {
        fprintf(stderr, "bench_recherche: \"%s\": %d rows, %d expected, summary \"%s\"\n", texte,
                lignes, attendus, resume);
        return false;
    }
    std::string n = nom;
    noter(n + "_totale", m.boite_montree - m.debut);
    noter(n + "_effacement", m.balayage - m.debut);
    noter(n + "_balayage", m.fin_balayage - m.balayage);
    noter(n + "_liste", m.boite_creee - m.fin_balayage);
    if (lignes > 0)
        noter(n + "_liste_par_ligne", (m.boite_creee - m.fin_balayage) / lignes, "us", 1e6);
    noter(n + "_resume", m.boite_montree - m.boite_creee, "ms", 1e3);
    return true;
}

int main(int argc, char** argv)
{
    const char* dossier = NULL;
    const char* cabinet = NULL;
    const char* texte = "Zorix";
    const char* rare = "Zorix LP";
    const char* nulle_part = "#aucun#resultat#";
    const char* absent = "D\351pakine";
    int tours = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--dossier") == 0)
            dossier = argv[i + 1];
        else if (strcmp(argv[i], "--cabinet") == 0)
            cabinet = argv[i + 1];
        else if (strcmp(argv[i], "--texte") == 0)
            texte = argv[i + 1];
        else if (strcmp(argv[i], "--rare") == 0)
            rare = argv[i + 1];
        else if (strcmp(argv[i], "--absent") == 0)
            absent = argv[i + 1];
        else if (strcmp(argv[i], "--tours") == 0)
            tours = atoi(argv[i + 1]);
    }
    if (!dossier || !cabinet || tours < 1) {
        fprintf(stderr,
                "usage: bench_recherche --dossier DIR --cabinet NAME [--texte TEXT] "
                "[--rare TEXT] [--absent TEXT] [--tours N]\n");
        return 2;
    }

    KMOpenSession(KMOPENSESSION_MODE);
    KMSetPathCabinet(dossier);
    std::string utilisateur = premier_utilisateur(dossier, cabinet);
    if (!KMOpenCabinet(dossier, cabinet, utilisateur.c_str(), "")) {
        fprintf(stderr, "bench_recherche: cannot open cabinet %s in %s\n", cabinet, dossier);
        KMCloseSession();
        return 1;
    }

    // KMOpenSession registered the list's and the progress bar's classes.
    initialisation_recherche();
    cabinet_ouvert = TRUE;
    dialogue =
        CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN), NULL, proc_banc, 0);
    initialisation_colonnes(dialogue);
    UpdateWindow(dialogue);
    proc_barre =
        (WNDPROC)SetWindowLongPtrA(GetDlgItem(dialogue, IDD_PB), GWLP_WNDPROC, (LONG_PTR)barre);
    crochet = SetWindowsHookExA(WH_CBT, cbt, NULL, GetCurrentThreadId());

    // Also brings the cabinet's data in before any timing.
    int attendus = patients_trouves(texte);
    int attendus_rares = patients_trouves(rare);
    fprintf(stderr, "bench_recherche: \"%s\" lists %d patients, \"%s\" %d\n", texte, attendus, rare,
            attendus_rares);

    // A listing of exactly LIGNES_DIRECTES patients, every one known to the host
    // when the cabinet has enough of them.
    static PATIENT_ENTRY patlist[MAX_DOSSIERS];
    for (int i = 0; i < LIGNES_DIRECTES; i++) {
        PATIENT_ENTRY& e = patlist[i * 3];
        e.nb = 1 + i % 4;
        e.first = (2019u << 16) | (3u << 8) | 14u;
        e.last = (2024u << 16) | (6u << 8) | 1u;
    }

    bool juste = true;
    for (int t = 0; juste && t < tours; t++) {
        SendDlgItemMessageA(dialogue, IDD_LIST, LVM_DELETEALLITEMS, 0, 0);
        double t0 = maintenant();
        int n = liste_patients(dialogue, patlist);
        double duree = maintenant() - t0;
        noter("liste_20000", duree);
        noter("liste_20000_par_ligne", duree / LIGNES_DIRECTES, "us", 1e6);
        juste = n == LIGNES_DIRECTES && lignes_liste() == n;
        // The next run clears them first; it then scans without listing.
        juste = juste && recherche("vide", nulle_part, 0);
        noter("balayage_hote_seul", balayage_hote_seul());
        juste = juste && recherche("recherche", texte, attendus);
        juste = juste && recherche("recherche_rare", rare, attendus_rares);
        juste = juste && recherche("absente", absent, 0);
        SendDlgItemMessageA(dialogue, IDD_LIST, LVM_DELETEALLITEMS, 0, 0);
        double remplissage, effacement;
        liste_seule(LIGNES_DIRECTES, remplissage, effacement);
        double patients = patients_hote_seul(patlist);
        noter("liste_20000_controle_seul", remplissage);
        noter("liste_20000_patients_hote_seul", patients);
        noter("liste_20000_controle_et_hote", remplissage + patients);
        noter("effacement_20000_controle_seul", effacement);
    }
    if (!juste) {
        fprintf(stderr, "bench_recherche: a run did not give the expected rows\n");
        return 1;
    }
    fprintf(stderr, "bench_recherche: %d tours; last summary \"%s\"\n", tours, resume);

    imprimer();
    rapport("liste_20000_sur_controle_et_hote", "liste_20000", "liste_20000_controle_et_hote");
    rapport("effacement_20000_sur_controle_seul", "vide_effacement",
            "effacement_20000_controle_seul");
    rapport("recherche_balayage_sur_hote_seul", "recherche_balayage", "balayage_hote_seul");
    rapport("vide_balayage_sur_hote_seul", "vide_balayage", "balayage_hote_seul");
    rapport("absente_balayage_sur_hote_seul", "absente_balayage", "balayage_hote_seul");

    UnhookWindowsHookEx(crochet);
    DestroyWindow(dialogue);
    KMCloseCabinet();
    KMCloseSession();
    return 0;
}
