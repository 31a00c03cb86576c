// Time of one whole search on a generated cabinet, and the share of it that
// is the tool's own: the same host calls are then made and timed alone.
//
//   bench_recherche --dossier DIR --cabinet NAME [--texte TEXT]
//
// recherche_sans_resultat times one more run with a text found nowhere: the
// scan alone, without rows to list. recherche_liste times the list control
// alone receiving the same rows and cells, to tell its cost from the tool's.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "kmapi.h"
#include "ordonnance.h"
#include "recherche.h"
#include "resource.h"

static HWND dialogue;
static HHOOK crochet;
static char resume[256];

static double maintenant()
{
    static LARGE_INTEGER frequence;
    if (!frequence.QuadPart)
        QueryPerformanceFrequency(&frequence);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)frequence.QuadPart;
}

static INT_PTR CALLBACK proc_banc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// Notes and answers the summary box as soon as it shows.
static LRESULT CALLBACK cbt(int code, WPARAM w, LPARAM l)
{
    HWND h = (HWND)w;
    char classe[16];
    if (code == HCBT_ACTIVATE && h != dialogue && GetClassNameA(h, classe, sizeof classe) &&
        strcmp(classe, "#32770") == 0) {
        GetDlgItemTextA(h, 0xFFFF, resume, sizeof resume);
        PostMessageA(h, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(crochet, code, w, l);
}

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
    int annonce = KMNumberOfKey(34);
    if (annonce > 0) {
        cles.reserve(annonce);
        cles.push_back(KMFirstKey(34, cle_dossier));
        while ((int)cles.size() < annonce) {
            LONG cle = KMNextKey(34, cle_dossier);
            if (cle == 0)
                break;
            cles.push_back(cle);
        }
    }
    qsort(cles.data(), cles.size(), sizeof(LONG), compar);
    return cles;
}

// Untimed: which patients the search lists, for the host-only pass to read
// the same ones.
static std::vector<WORD> fiches_trouvees(const char* texte)
{
    char str_srch[260];
    lstrcpynA(str_srch, texte, sizeof str_srch);
    for (unsigned char* p = (unsigned char*)str_srch; *p; p++)
        *p = recherche_lower[*p];
    std::vector<bool> trouve(MAX_DOSSIERS);
    HGLOBAL Dossier = OpenDossiers(1363, 0, 0, 0);
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
    std::vector<WORD> fiches;
    for (int f = 0; f < MAX_DOSSIERS; f++)
        if (trouve[f])
            fiches.push_back((WORD)f);
    return fiches;
}

// The host calls of a search, with none of the tool's own work between them.
static void appels_hote_seuls(const std::vector<WORD>& fiches)
{
    HGLOBAL Dossier = OpenDossiers(1363, 0, 0, 0);
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

    HGLOBAL Patient = OpenPatients(0);
    RECPatients* patient = (RECPatients*)GlobalLock(Patient);
    for (WORD f : fiches) {
        patient->uFiche = f;
        ReadPatients(patient, PATIENTS_BY_REC);
        GetAge(patient->DateNai, Today());
    }
    GlobalUnlock(Patient);
    ClosePatients(Patient);
}

// The list view's own cost: as many rows of five cells as the search listed,
// sent the same way, with none of the search's work.
static double lignes_seules(int lignes)
{
    SendDlgItemMessageA(dialogue, IDD_LIST, LVM_DELETEALLITEMS, 0, 0);
    char tmp[64] = "DUPONT Marie";
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = tmp;
    double t0 = maintenant();
    for (item.iItem = 0; item.iItem < lignes; item.iItem++) {
        item.iSubItem = 0;
        SendDlgItemMessageA(dialogue, IDD_LIST, LVM_INSERTITEMA, 0, (LPARAM)&item);
        for (item.iSubItem = 1; item.iSubItem < 5; item.iSubItem++)
            SendDlgItemMessageA(dialogue, IDD_LIST, LVM_SETITEMA, 0, (LPARAM)&item);
    }
    double duree = maintenant() - t0;
    SendDlgItemMessageA(dialogue, IDD_LIST, LVM_DELETEALLITEMS, 0, 0);
    return duree;
}

int main(int argc, char** argv)
{
    const char* dossier = NULL;
    const char* cabinet = NULL;
    const char* texte = "Zorix";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--dossier") == 0)
            dossier = argv[i + 1];
        else if (strcmp(argv[i], "--cabinet") == 0)
            cabinet = argv[i + 1];
        else if (strcmp(argv[i], "--texte") == 0)
            texte = argv[i + 1];
    }
    if (!dossier || !cabinet) {
        fprintf(stderr, "usage: bench_recherche --dossier DIR --cabinet NAME [--texte TEXT]\n");
        return 2;
    }

    KMOpenSession(1);
    KMSetPathCabinet(dossier);
    std::string utilisateur = premier_utilisateur(dossier, cabinet);
    if (!KMOpenCabinet(dossier, cabinet, utilisateur.c_str(), "")) {
        fprintf(stderr, "bench_recherche: cannot open cabinet %s in %s\n", cabinet, dossier);
        KMCloseSession();
        return 1;
    }

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    initialisation_recherche();
    cabinet_ouvert = TRUE;
    dialogue = CreateDialogParamA(GetModuleHandleA(NULL), "BANC", NULL, proc_banc, 0);
    for (int c = 0; c < 5; c++) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = (char*)"";
        col.cx = 80;
        SendDlgItemMessageA(dialogue, IDD_LIST, LVM_INSERTCOLUMNA, c, (LPARAM)&col);
    }
    SetDlgItemTextA(dialogue, IDD_TXT_ORDO, texte);
    crochet = SetWindowsHookExA(WH_CBT, cbt, NULL, GetCurrentThreadId());

    // Also brings the cabinet's data in before either timing.
    std::vector<WORD> fiches = fiches_trouvees(texte);

    double t0 = maintenant();
    recherche_ordonnance(dialogue);
    double totale = maintenant() - t0;

    t0 = maintenant();
    appels_hote_seuls(fiches);
    double hote = maintenant() - t0;

    int lignes = (int)SendDlgItemMessageA(dialogue, IDD_LIST, LVM_GETITEMCOUNT, 0, 0);
    fprintf(stderr, "bench_recherche: \"%s\", %d rows, %u patients read alone\n", resume, lignes,
            (unsigned)fiches.size());

    // The same run with a text found nowhere: the scan without the rows.
    SetDlgItemTextA(dialogue, IDD_TXT_ORDO, "#aucun#resultat#");
    t0 = maintenant();
    recherche_ordonnance(dialogue);
    double sans_resultat = maintenant() - t0;

    t0 = maintenant();
    appels_hote_seuls(std::vector<WORD>());
    double hote_balayage = maintenant() - t0;
    double liste = lignes_seules(lignes);

    printf("recherche_totale %.3f s\n", totale);
    printf("recherche_hote %.3f s\n", hote);
    printf("recherche_part_outil %.1f %%\n", totale > 0 ? 100.0 * (totale - hote) / totale : 0.0);
    printf("recherche_liste %.3f s\n", liste);
    printf("recherche_part_outil_hors_liste %.1f %%\n",
           totale > 0 ? 100.0 * (totale - hote - liste) / totale : 0.0);
    printf("recherche_sans_resultat %.3f s\n", sans_resultat);
    printf("recherche_sans_resultat_part_outil %.1f %%\n",
           sans_resultat > 0 ? 100.0 * (sans_resultat - hote_balayage) / sans_resultat : 0.0);

    UnhookWindowsHookEx(crochet);
    DestroyWindow(dialogue);
    KMCloseCabinet();
    KMCloseSession();
    return lignes == (int)fiches.size() ? 0 : 1;
}
