#include "essai.h"

#include <string.h>

#include "crochets.h"
#include "hote_simule.h"
#include "pliage.h"
#include "balayage.h"
#include "liste.h"
#include "resource.h"

std::vector<Boite> boites;

static HWND dialogue;
static HHOOK crochet_cbt;

static INT_PTR CALLBACK proc_essai(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

static bool est_boite(HWND h)
{
    char classe[16];
    return h != dialogue && GetClassNameA(h, classe, sizeof classe) &&
           strcmp(classe, "#32770") == 0;
}

static void relever(HWND h)
{
    Boite b;
    char buf[1024];
    GetDlgItemTextA(h, 0xFFFF, buf, sizeof buf);
    b.texte = buf;
    GetWindowTextA(h, buf, sizeof buf);
    b.titre = buf;
    b.proprietaire_dialogue = GetWindow(h, GW_OWNER) == dialogue;
    b.icone = 0;
    for (int id : {0x440, 0x14}) {
        HICON icone = (HICON)SendDlgItemMessageA(h, id, STM_GETICON, 0, 0);
        if (icone && icone == LoadIconA(NULL, IDI_INFORMATION))
            b.icone = MB_ICONINFORMATION;
        else if (icone && icone == LoadIconA(NULL, IDI_ERROR))
            b.icone = MB_ICONERROR;
    }
    b.lignes = (int)SendDlgItemMessageA(dialogue, IDD_LIST, LVM_GETITEMCOUNT, 0, 0);
    b.allocations_locales = allocations_locales;
    b.appels = journal_hote.appels.size();
    boites.push_back(b);
    PostMessageA(h, WM_COMMAND, IDOK, 0);
}

static LRESULT CALLBACK cbt(int code, WPARAM w, LPARAM l)
{
    if (code == HCBT_ACTIVATE && est_boite((HWND)w))
        relever((HWND)w);
    return CallNextHookEx(crochet_cbt, code, w, l);
}

// Should the hook miss a box, this closes it after a while so that no run
// waits for ever; the test then fails on the box's missing record.
static BOOL CALLBACK fermer_boite(HWND h, LPARAM)
{
    if (est_boite(h))
        PostMessageA(h, WM_COMMAND, IDOK, 0);
    return TRUE;
}

static void CALLBACK filet(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), fermer_boite, 0);
}

HWND dialogue_essai()
{
    if (dialogue)
        return dialogue;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    initialisation_recherche();
    cabinet_ouvert = TRUE;
    dialogue =
        CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_MAIN), NULL, proc_essai, 0);
    initialisation_colonnes(dialogue);
    // Hidden: painting the list of every run would triple the varied hosts'
    // time; the end-to-end tests see it shown.
    ShowWindow(dialogue, SW_HIDE);
    crochet_cbt = SetWindowsHookExA(WH_CBT, cbt, NULL, GetCurrentThreadId());
    SetTimer(NULL, 0, 5000, filet);
    return dialogue;
}

void texte_recherche(const std::string& texte)
{
    SetDlgItemTextA(dialogue_essai(), IDD_TXT_ORDO, texte.c_str());
}

void vider_messages()
{
    MSG msg;
    for (int n = 0; n < 1000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); n++) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void lancer_recherche()
{
    vider_messages();
    recherche_ordonnance(dialogue_essai());
    vider_messages();
}

std::vector<Ligne> lignes_liste()
{
    HWND liste = GetDlgItem(dialogue_essai(), IDD_LIST);
    int n = (int)SendMessageA(liste, LVM_GETITEMCOUNT, 0, 0);
    std::vector<Ligne> lignes;
    for (int i = 0; i < n; i++) {
        Ligne ligne;
        for (int c = 0; c < 5; c++) {
            char buf[512] = "";
            LVITEMA item = {};
            item.iSubItem = c;
            item.pszText = buf;
            item.cchTextMax = sizeof buf;
            SendMessageA(liste, LVM_GETITEMTEXTA, i, (LPARAM)&item);
            ligne.push_back(buf);
        }
        lignes.push_back(ligne);
    }
    return lignes;
}

PBRANGE plage_progression()
{
    PBRANGE plage = {-1, -1};
    SendDlgItemMessageA(dialogue_essai(), IDD_PB, PBM_GETRANGE, TRUE, (LPARAM)&plage);
    return plage;
}

int position_progression()
{
    return (int)SendDlgItemMessageA(dialogue_essai(), IDD_PB, PBM_GETPOS, 0, 0);
}

void Recherche::SetUp()
{
    ASSERT_TRUE(crochets_installer());
    ASSERT_NE(dialogue_essai(), nullptr);
    hote_remise_a_zero();
    crochets_remise_a_zero();
    boites.clear();
    texte_recherche("Zorix");
}

void verifier_memoire(bool patients_attendus)
{
    size_t textes = 0;
    for (HGLOBAL h : journal_hote.textes)
        textes += h != NULL;
    EXPECT_EQ(blocs_surveilles(), 0u) << "host blocks never freed";
    EXPECT_EQ(liberations.size(), textes + journal_hote.blocs_patients);
    for (const Liberation& l : liberations)
        EXPECT_EQ(l.verrous, 0u) << "block freed while locked";
    EXPECT_EQ(liberations_invalides, 0) << "block freed twice";
    EXPECT_EQ(journal_hote.fermetures_dossiers, 1);
    EXPECT_LE(journal_hote.verrous_dossiers, 0);
    EXPECT_EQ(journal_hote.fermetures_patients, patients_attendus ? 1 : 0);
    EXPECT_LE(journal_hote.verrous_patients, 0);
    EXPECT_EQ(allocations_locales, 0) << "local blocks left after the run";
}
