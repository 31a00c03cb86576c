// ordaskel.exe beside the stand-in KMAPI.DLL, on a cabinet written by gencab,
// driven from outside as a person would drive it.
#include <windows.h>
#include <commctrl.h>

#include "commun.h"
#include "resource.h"

namespace {

const char CABINET[] = "Cabinet A";
const char UTILISATEUR[] = "Dr Martin";

class Fenetre : public ::testing::Test {
protected:
    static std::string cabinets;
    static Attendu zorix;
    static bool pret;

    static void SetUpTestSuite()
    {
        cabinets = dossier_essai("fenetre");
        pret = generer_cabinet(cabinets, CABINET, 7, 3000, 300, UTILISATEUR) &&
               calculer_attendu(cabinets, CABINET, "Zorix", zorix) && !zorix.lignes.empty();
    }

    Outil o;

    void SetUp() override { ASSERT_TRUE(pret) << "gencab could not make the test cabinet"; }

    void ouvrir(const std::string& arguments = "")
    {
        ecrire_registre(cabinets.c_str(), CABINET, UTILISATEUR);
        ASSERT_TRUE(demarrer_outil(o, arguments));
        ASSERT_TRUE(attendre_dialogue(o)) << "no dialog";
    }
};

std::string Fenetre::cabinets;
Attendu Fenetre::zorix;
bool Fenetre::pret;

TEST_F(Fenetre, EtatInitial)
{
    ouvrir();
    ASSERT_TRUE(aucune_boite(o, 200));
    EXPECT_EQ("Zorix", texte_fenetre(o.edition));

    std::vector<Colonne> colonnes;
    ASSERT_TRUE(lire_colonnes(o.pi.hProcess, o.liste, colonnes));
    // clang-format off
    const Colonne attendues[] = {
        {"Nom Patient", 200, LVCFMT_LEFT},
        {"Age", 80, LVCFMT_RIGHT},
        {"Nombre d'occurences", 50, LVCFMT_RIGHT},
        {"Premi\350re occurence", 80, LVCFMT_RIGHT},
        {"Derni\350re occurence", 80, LVCFMT_RIGHT},
    };
    // clang-format on
    ASSERT_EQ(5u, colonnes.size());
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(attendues[i].titre, colonnes[i].titre) << "column " << i;
        EXPECT_EQ(attendues[i].largeur, colonnes[i].largeur) << "column " << i;
        EXPECT_EQ(attendues[i].format, colonnes[i].format) << "column " << i;
    }
    LRESULT n = -1;
    ASSERT_TRUE(envoyer(o.liste, LVM_GETITEMCOUNT, 0, 0, &n));
    EXPECT_EQ(0, n);

    // The window: not resizable, "Lancer" the default button with the focus.
    // (Its icon cannot be read from outside under Wine: WM_GETICON answers 0
    // across processes; the screenshots show it.)
    LONG style = GetWindowLongA(o.dialogue, GWL_STYLE);
    EXPECT_EQ((LONG)(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME |
                       WS_MAXIMIZEBOX));
    LRESULT defaut = 0;
    ASSERT_TRUE(envoyer(o.dialogue, DM_GETDEFID, 0, 0, &defaut));
    EXPECT_EQ(MAKELONG(IDD_START, DC_HASDEFID), (DWORD)defaut);
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    ASSERT_TRUE(GetGUIThreadInfo(o.pi.dwThreadId, &gti));
    EXPECT_EQ(o.lancer, gti.hwndFocus);

    // Tab stops on "Lancer", the edit box and "Exporter" only. The edit box
    // and the list trade their border for a sunken edge when created.
    struct {
        int id;
        bool tabulation;
        LONG styles;
        bool bordure;
        // clang-format off
    } controles[] = {
        {IDD_START, true, BS_DEFPUSHBUTTON, false},
        {IDD_PB, false, WS_CLIPSIBLINGS, false},
        {IDC_LIBELLE, false, WS_GROUP, false},
        {IDD_TXT_ORDO, true, ES_AUTOHSCROLL, true},
        {IDD_LIST, false, LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_EDITLABELS, true},
        {IDC_NOTE_CASSE, false, WS_GROUP, false},
        {IDC_EXPORTER, true, 0, false},
    };
    // clang-format on
    for (const auto& c : controles) {
        HWND h = GetDlgItem(o.dialogue, c.id);
        ASSERT_TRUE(h) << "control " << c.id;
        LONG s = GetWindowLongA(h, GWL_STYLE);
        EXPECT_TRUE(s & WS_VISIBLE) << "control " << c.id;
        EXPECT_EQ(c.tabulation, (s & WS_TABSTOP) != 0) << "control " << c.id;
        EXPECT_EQ(c.styles, s & c.styles) << "control " << c.id;
        bool bordure = (s & WS_BORDER) || (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(c.bordure, bordure) << "control " << c.id;
    }
    EXPECT_EQ(0, GetWindowLongA(o.edition, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ("Texte \340 rechercher dans les ordonnances",
              texte_fenetre(GetDlgItem(o.dialogue, IDC_LIBELLE)));
    EXPECT_EQ("La recherche ne tient pas compte de la casse",
              texte_fenetre(GetDlgItem(o.dialogue, IDC_NOTE_CASSE)));
    EXPECT_EQ("Lancer", texte_fenetre(o.lancer));
    EXPECT_EQ("Exporter", texte_fenetre(o.exporter));

    EXPECT_TRUE(fermeture_normale(o));
}

TEST_F(Fenetre, RechercheEtNouvelleRecherche)
{
    ouvrir();
    cliquer(o.lancer);
    ASSERT_TRUE(resume_attendu(o, zorix.resume, &zorix.lignes));
    EXPECT_TRUE(lignes_attendues(o, zorix.lignes));
    int position = -1, borne = -1;
    ASSERT_TRUE(position_progression(o.barre, position));
    ASSERT_TRUE(borne_progression(o.barre, borne));
    EXPECT_EQ(3000, borne);
    EXPECT_EQ(borne, position);
    EXPECT_TRUE(capture_fenetre(
        o.dialogue, dossier_programmes() + "\\..\\essais\\app\\ordaskel-apres-recherche.bmp"));

    // A second search clears the rows of the first.
    const std::string rien = "pas dans ce cabinet";
    ASSERT_TRUE(saisir(o, rien));
    cliquer(o.lancer);
    ASSERT_TRUE(resume_attendu(o, "0 occ. - 0 Patients", NULL));
    EXPECT_TRUE(lignes_attendues(o, Lignes()));

    // Enter in the edit box runs a search like "Lancer".
    ASSERT_TRUE(saisir(o, "ZORIX"));
    touche(o.edition, VK_RETURN);
    ASSERT_TRUE(resume_attendu(o, zorix.resume, &zorix.lignes));
    EXPECT_TRUE(fermeture_normale(o));
}

TEST_F(Fenetre, DeuxClicsUneSeuleRecherche)
{
    ouvrir();
    cliquer(o.lancer);
    cliquer(o.lancer);
    ASSERT_TRUE(resume_attendu(o, zorix.resume, &zorix.lignes));
    // The second click came during the first run: ignored, not kept for later.
    EXPECT_TRUE(aucune_boite(o, 1500));
    EXPECT_TRUE(lignes_attendues(o, zorix.lignes));
    EXPECT_TRUE(fermeture_normale(o));
}

TEST_F(Fenetre, FermetureRefuseePendantLaRecherche)
{
    ouvrir();
    // The close request is queued behind the click: it arrives at the run's
    // first message pumping, early in the scan.
    cliquer(o.lancer);
    PostMessageA(o.dialogue, WM_CLOSE, 0, 0);

    HWND attente = attendre_boite(o.pi.dwProcessId, 30000);
    ASSERT_TRUE(attente) << "no box after the close request";
    EXPECT_EQ("Il est n\351cessaire d'attendre la fin de la recherche", texte_boite(attente));
    EXPECT_EQ(1, boutons_boite(attente));
    // The scan is held while the box is shown.
    int p1 = -1, p2 = -2, borne = 0;
    ASSERT_TRUE(position_progression(o.barre, p1));
    ASSERT_TRUE(borne_progression(o.barre, borne));
    EXPECT_GT(p1, 0);
    EXPECT_LT(p1, borne);
    Sleep(400);
    ASSERT_TRUE(position_progression(o.barre, p2));
    EXPECT_EQ(p1, p2);
    EXPECT_EQ(1u, boites(o.pi.dwProcessId).size());
    LRESULT n = -1;
    ASSERT_TRUE(envoyer(o.liste, LVM_GETITEMCOUNT, 0, 0, &n));
    EXPECT_EQ(0, n);

    ASSERT_TRUE(fermer_boite(attente));
    ASSERT_TRUE(attendre_disparition(attente));
    ASSERT_TRUE(resume_attendu(o, zorix.resume, &zorix.lignes));
    ASSERT_TRUE(IsWindowVisible(o.dialogue)) << "the dialog closed during the search";
    EXPECT_EQ(-1, attendre_fin(o, 0));
    EXPECT_TRUE(fermeture_normale(o));
}

TEST_F(Fenetre, EchapEtExporterSansEffet)
{
    ouvrir();
    auto rien_ne_se_passe = [&](const Lignes& lignes) {
        touche(o.edition, VK_ESCAPE);
        touche(o.lancer, VK_ESCAPE);
        PostMessageA(o.dialogue, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        cliquer(o.exporter);
        PostMessageA(o.dialogue, WM_COMMAND, MAKEWPARAM(IDC_EXPORTER, BN_CLICKED),
                     (LPARAM)o.exporter);
        EXPECT_TRUE(aucune_boite(o, 300));
        EXPECT_TRUE(IsWindowVisible(o.dialogue));
        EXPECT_EQ(-1, attendre_fin(o, 0));
        EXPECT_TRUE(lignes_attendues(o, lignes));
        EXPECT_EQ("Zorix", texte_fenetre(o.edition));
    };
    rien_ne_se_passe(Lignes());
    cliquer(o.lancer);
    ASSERT_TRUE(resume_attendu(o, zorix.resume));
    rien_ne_se_passe(zorix.lignes);
    EXPECT_TRUE(fermeture_normale(o));
}

TEST_F(Fenetre, LigneDeCommandeIgnoree)
{
    ouvrir("/cabinet Autre --texte Rien C:\\nulle\\part -x");
    ASSERT_TRUE(aucune_boite(o, 200));
    EXPECT_EQ("Zorix", texte_fenetre(o.edition));
    cliquer(o.lancer);
    ASSERT_TRUE(resume_attendu(o, zorix.resume, &zorix.lignes));
    EXPECT_TRUE(fermeture_normale(o));
}

// Pixels of row `ligne`'s first cell that differ from the list's background,
// leaving out what the box covers; -1 when the row is hidden by it.
static int pixels_ecrits(Outil& o, HWND boite, int ligne, COLORREF fond)
{
    RECT r, cache;
    if (!rectangle_ligne(o.pi.hProcess, o.liste, ligne, r))
        return 0;
    MapWindowPoints(o.liste, NULL, (POINT*)&r, 2);
    GetWindowRect(boite, &cache);
    if (r.right > cache.left && r.left < cache.right && r.bottom > cache.top &&
        r.top < cache.bottom)
        r.right = cache.left;
    std::vector<COLORREF> v;
    if (r.right - r.left < 20 || !pixels_ecran(r, v))
        return -1;
    int n = 0;
    for (COLORREF c : v)
        n += c != fond;
    return n;
}

// A search finding thousands of patients: every row and cell is there, the
// scroll bar reaches the last row, and the rows in view are drawn while the
// summary box waits.
TEST_F(Fenetre, MilliersDeLignes)
{
    const char grand[] = "Cabinet G";
    const std::string texte = "Dr ";
    Attendu attendu;
    ASSERT_TRUE(generer_cabinet(cabinets, grand, 11, 20000, 5000, UTILISATEUR));
    ASSERT_TRUE(calculer_attendu(cabinets, grand, texte, attendu));
    ASSERT_GT(attendu.lignes.size(), 2000u);
    ecrire_registre(cabinets.c_str(), grand, UTILISATEUR);
    ASSERT_TRUE(demarrer_outil(o));
    ASSERT_TRUE(attendre_dialogue(o));
    ASSERT_TRUE(saisir(o, texte));
    cliquer(o.lancer);

    HWND boite = attendre_boite(o.pi.dwProcessId, 60000);
    ASSERT_TRUE(boite) << "no summary box";
    LRESULT haut = -1, page = 0, fond = 0;
    ASSERT_TRUE(envoyer(o.liste, LVM_GETTOPINDEX, 0, 0, &haut));
    ASSERT_TRUE(envoyer(o.liste, LVM_GETCOUNTPERPAGE, 0, 0, &page));
    ASSERT_TRUE(envoyer(o.liste, LVM_GETBKCOLOR, 0, 0, &fond));
    EXPECT_EQ(0, haut);
    ASSERT_GT(page, 3);
    // Drawn as the box's own loop lets the list repaint: waited for, not timed.
    int vues = 0, blanches = 0;
    DWORD debut = maintenant();
    do {
        Sleep(50);
        vues = blanches = 0;
        for (int i = 0; i < (int)page; i++) {
            int n = pixels_ecrits(o, boite, i, (COLORREF)fond);
            vues += n >= 0;
            blanches += n == 0;
        }
    } while (blanches > 0 && maintenant() - debut < 20000);
    EXPECT_GT(vues, 3) << "the box hides the rows";
    EXPECT_EQ(0, blanches) << "rows in view not drawn while the summary is shown";

    // Scrolled far past the end, the list stops where its scroll range ends:
    // on the last row. (The range itself cannot be read from another process.)
    const int n = (int)attendu.lignes.size();
    ASSERT_TRUE(envoyer(o.liste, LVM_SCROLL, 0, 100 * n, NULL));
    ASSERT_TRUE(envoyer(o.liste, LVM_GETTOPINDEX, 0, 0, &haut));
    EXPECT_EQ(n - page, haut) << "the scroll range does not cover the " << n << " rows";

    ASSERT_TRUE(resume_attendu(o, attendu.resume, &attendu.lignes));
    EXPECT_TRUE(fermeture_normale(o));
}

// The default cabinet as Kalimed's settings name it; every way of getting it
// wrong gives one error box before the dialog, then the dialog as usual.
struct CasRegistre {
    const char* nom;
    bool chemin;              // the folder of the cabinets is given
    const char* dernier;      // "Dernier", or NULL
    const char* utilisateur;  // the value named after it, or NULL
    bool ouvert;
};

TEST_F(Fenetre, CabinetParDefaut)
{
    const std::string long_nom(300, 'L');
    // clang-format off
    const CasRegistre cas[] = {
        {"the user of the last cabinet", true, CABINET, UTILISATEUR, true},
        {"no settings at all", false, NULL, NULL, false},
        {"no folder", false, CABINET, UTILISATEUR, false},
        {"no last cabinet", true, NULL, UTILISATEUR, false},
        {"unknown cabinet", true, "Cabinet B", UTILISATEUR, false},
        {"no user for the cabinet", true, CABINET, NULL, false},
        {"a user the cabinet does not know", true, CABINET, "docteur", false},
        {"a cabinet name of 300 characters", true, long_nom.c_str(), UTILISATEUR, false},
    };
    // clang-format on
    for (const CasRegistre& c : cas) {
        SCOPED_TRACE(c.nom);
        ecrire_registre(c.chemin ? cabinets.c_str() : NULL, c.dernier, c.utilisateur,
                        c.dernier ? NULL : CABINET);
        ASSERT_TRUE(demarrer_outil(o));
        if (!c.ouvert) {
            HWND b = attendre_boite(o.pi.dwProcessId, 30000);
            ASSERT_TRUE(b) << "no error box";
            EXPECT_EQ("Impossible d'ouvrir le cabinet par d\351faut", texte_boite(b));
            EXPECT_EQ(1, boutons_boite(b));
            EXPECT_TRUE(fenetres_processus(o.pi.dwProcessId, "#32770",
                                           "Ordaskel - Base de d\351monstration")
                            .empty())
                << "the dialog is shown before the error box";
            ASSERT_TRUE(fermer_boite(b));
        }
        ASSERT_TRUE(attendre_dialogue(o));
        EXPECT_TRUE(aucune_boite(o, 300));
        EXPECT_EQ("Zorix", texte_fenetre(o.edition));
        cliquer(o.lancer);
        // Without a cabinet the search still runs and finds nothing, and its
        // summary says that this is no answer.
        const Lignes aucune;
        if (c.ouvert)
            EXPECT_TRUE(resume_attendu(o, zorix.resume, &zorix.lignes));
        else
            EXPECT_TRUE(resume_attendu(o, resume_sans_cabinet("0 occ. - 0 Patients"), &aucune,
                                       MB_ICONWARNING));
        EXPECT_TRUE(fermeture_normale(o));
        arreter_outil(o);

        // What the host was asked: texts too long for their 260 bytes read
        // as empty; the cabinet closed at the end even when it did not open.
        const std::string chemin = c.chemin ? cabinets : "";
        const std::string cabinet = c.dernier && strlen(c.dernier) < MAX_PATH ? c.dernier : "";
        const std::string utilisateur = !cabinet.empty() && c.utilisateur ? c.utilisateur : "";
        const std::string ouverture = "KMOpenCabinet(" + chemin + "|" + cabinet + "|" +
                                      utilisateur + "|) = " + (c.ouvert ? "1" : "0");
        EXPECT_EQ("KMOpenSession(1)\nKMSetPathCabinet(" + chemin + ")\n" + ouverture +
                      "\nKMCloseCabinet()\nKMCloseSession()\n",
                  journal_hote());
    }
}

}  // namespace
