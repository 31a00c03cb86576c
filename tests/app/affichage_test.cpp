// The dialog as a practice sees it: texts that fit their controls at Windows'
// own font metrics, and a word rather than silence when it cannot be shown.
#include <windows.h>
#include <commctrl.h>

#include "commun.h"
#include "resource.h"

namespace {

// Each label and button is wide enough for its text in the dialog's font,
// "Helv" at 8 points, which the test bed's prefix maps to MS Sans Serif
// (13 pixels high, 5 wide on average) as Windows does.
TEST(Affichage, TextesDansLeursControles)
{
    std::string cabinets = dossier_essai("affichage");
    ASSERT_TRUE(generer_cabinet(cabinets, "Cabinet A", 3, 40, 10, "Dr Martin"));
    ecrire_registre(cabinets.c_str(), "Cabinet A", "Dr Martin");
    Outil o;
    ASSERT_TRUE(demarrer_outil(o));
    ASSERT_TRUE(attendre_dialogue(o)) << "no dialog";

    HDC dc = GetDC(NULL);
    HFONT police = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                               FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Helv");
    HGDIOBJ avant = SelectObject(dc, police);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    EXPECT_EQ(13, tm.tmHeight) << "not MS Sans Serif: are Wine's fonts in the prefix?";
    EXPECT_EQ(5, tm.tmAveCharWidth) << "not MS Sans Serif: are Wine's fonts in the prefix?";

    // A button's text is drawn inside its 2-pixel edges.
    const struct {
        int id;
        int marges;
    } controles[] = {{IDC_LIBELLE, 0}, {IDC_NOTE_CASSE, 0}, {IDD_START, 4}, {IDC_EXPORTER, 4}};
    for (const auto& c : controles) {
        HWND h = GetDlgItem(o.dialogue, c.id);
        ASSERT_TRUE(h) << "control " << c.id;
        std::string texte = texte_fenetre(h);
        SIZE taille = {};
        ASSERT_TRUE(GetTextExtentPoint32A(dc, texte.c_str(), (int)texte.size(), &taille));
        RECT r = {};
        GetClientRect(h, &r);
        EXPECT_LE(taille.cx + c.marges, r.right) << "\"" << texte << "\" does not fit";
        EXPECT_LE(taille.cy, r.bottom) << "\"" << texte << "\" does not fit";
    }
    SelectObject(dc, avant);
    DeleteObject(police);
    ReleaseDC(NULL, dc);
    EXPECT_TRUE(fermeture_normale(o));
}

// The screen's scale Windows hands a program without a manifest (XP; 7 at
// 125 %), in dots per inch, which every process reads as it starts; put back
// as it was when this goes out of scope.
struct Echelle {
    HKEY cle = NULL;
    DWORD avant = 0, n = sizeof avant;  // n = 0: there was none

    explicit Echelle(DWORD dpi)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &cle, NULL);
        if (RegQueryValueExA(cle, "LogPixels", NULL, NULL, (BYTE*)&avant, &n) != ERROR_SUCCESS)
            n = 0;
        RegSetValueExA(cle, "LogPixels", 0, REG_DWORD, (const BYTE*)&dpi, sizeof dpi);
    }
    ~Echelle()
    {
        if (n)
            RegSetValueExA(cle, "LogPixels", 0, REG_DWORD, (const BYTE*)&avant, n);
        else
            RegDeleteValueA(cle, "LogPixels");
        RegCloseKey(cle);
    }
};

struct Ecran {
    DWORD dpi;
    int largeurs[5];
};

void colonnes_a_l_echelle(Outil& o, const Ecran& e, const Attendu& zorix)
{
    {
        Echelle echelle(e.dpi);
        ASSERT_TRUE(demarrer_outil(o));
        ASSERT_TRUE(attendre_dialogue(o)) << "no dialog";
    }
    std::vector<Colonne> colonnes;
    ASSERT_TRUE(lire_colonnes(o.pi.hProcess, o.liste, colonnes));
    ASSERT_EQ(5u, colonnes.size());
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(e.largeurs[i], colonnes[i].largeur) << "column " << i;

    // Not resume_attendu: the box's icon is drawn at the tool's scale.
    cliquer(o.lancer);
    HWND b = attendre_boite(o.pi.dwProcessId, 60000);
    ASSERT_TRUE(b && fermer_boite(b) && attendre_disparition(b)) << "no summary";
    ASSERT_TRUE(lignes_attendues(o, zorix.lignes));
    // What the list itself needs for the column's widest cell, margins
    // included (a text measure misses them); the tool's width is put back.
    for (int i : {1, 3, 4}) {
        LRESULT mise = 0, juste = 0;
        ASSERT_TRUE(envoyer(o.liste, LVM_GETCOLUMNWIDTH, i, 0, &mise));
        ASSERT_TRUE(envoyer(o.liste, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(LVSCW_AUTOSIZE, 0), NULL));
        ASSERT_TRUE(envoyer(o.liste, LVM_GETCOLUMNWIDTH, i, 0, &juste));
        ASSERT_TRUE(envoyer(o.liste, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(mise, 0), NULL));
        EXPECT_LE(juste, mise) << "column " << i << " cuts its cells";
    }
    EXPECT_TRUE(fermeture_normale(o));
}

// The columns grow with the dialog at the screen's scale: no age or date of
// the results is cut.
TEST(Affichage, ColonnesALEchelle)
{
    std::string cabinets = dossier_essai("echelle");
    Attendu zorix;
    ASSERT_TRUE(generer_cabinet(cabinets, "Cabinet A", 5, 3000, 300, "Dr Martin"));
    ASSERT_TRUE(calculer_attendu(cabinets, "Cabinet A", "Zorix", zorix) && !zorix.lignes.empty());
    ecrire_registre(cabinets.c_str(), "Cabinet A", "Dr Martin");
    // clang-format off
    const Ecran ecrans[] = {
        {120, {250, 100, 63, 100, 100}},
        {144, {300, 120, 75, 120, 120}},
    };
    // clang-format on
    for (const Ecran& e : ecrans) {
        SCOPED_TRACE(std::to_string(e.dpi) + " dpi");
        Outil o;
        colonnes_a_l_echelle(o, e, zorix);
    }
}

// A copy of the tool without its dialog template: DialogBoxParamA fails, and
// the user is told so instead of seeing nothing happen; the exit code says it
// failed.
TEST(Affichage, DialogueImpossible)
{
    std::string d = dossier_essai("sans-dialogue");
    std::string exe = d + "\\ordaskel.exe";
    ASSERT_TRUE(CopyFileA((dossier_programmes() + "\\ordaskel.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((dossier_programmes() + "\\KMAPI.DLL").c_str(),
                          (d + "\\KMAPI.DLL").c_str(), FALSE));
    // Every resource of the copy goes (Wine cannot delete just one).
    HANDLE maj = BeginUpdateResourceA(exe.c_str(), TRUE);
    ASSERT_TRUE(maj);
    ASSERT_TRUE(EndUpdateResourceA(maj, FALSE));
    HMODULE copie = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(copie);
    EXPECT_FALSE(FindResourceA(copie, MAKEINTRESOURCEA(IDD_MAIN), RT_DIALOG))
        << "the template is still there";
    FreeLibrary(copie);

    Outil o;
    ASSERT_TRUE(demarrer_outil(o, "", d, "", exe));
    HWND b = attendre_boite(o.pi.dwProcessId, 30000);
    ASSERT_TRUE(b) << "no box: the tool ended with code " << attendre_fin(o, 0);
    EXPECT_EQ("Impossible d'afficher la fen\352tre d'Ordaskel", texte_boite(b));
    EXPECT_EQ(1, boutons_boite(b));
    EXPECT_EQ((UINT)MB_ICONERROR, icone_boite(b));
    ASSERT_TRUE(fermer_boite(b));
    EXPECT_EQ(1, attendre_fin(o, 30000));
    arreter_outil(o);
    // The session is closed; no cabinet was opened, so none is closed.
    EXPECT_EQ("KMOpenSession(1)\nKMCloseSession()\n", journal_hote());
}

}  // namespace
