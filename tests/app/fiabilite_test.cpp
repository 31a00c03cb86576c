// The tool writes nothing anywhere, and holds firm under a storm of clicks,
// keys and close requests during a search.
#include <windows.h>
#include <commctrl.h>

#include <fstream>

#include "commun.h"
#include "resource.h"

namespace {

const char CABINET[] = "Cabinet A";
const char UTILISATEUR[] = "docteur";
const char MEMOIRE[] = "M\351moire insuffisante : la recherche n'a pas pu aboutir";

// Everything the tool could write to: the cabinets, Kalimed's settings, its
// current folder, its TEMP folder and the folder it runs from.
struct Releve {
    std::string cabinets, registre, courant, temp, programmes;
};

Releve relever(const std::string& essai)
{
    return {releve_dossier(essai + "\\cabinets"), releve_registre(),
            releve_dossier(essai + "\\courant"), releve_dossier(essai + "\\temp"),
            releve_dossier(dossier_programmes())};
}

void comparer(const Releve& avant, const Releve& apres)
{
    EXPECT_EQ(avant.cabinets, apres.cabinets) << "the cabinets changed";
    EXPECT_EQ(avant.registre, apres.registre) << "HKCU\\Software\\Velmora changed";
    EXPECT_EQ(avant.courant, apres.courant) << "a file appeared in the current folder";
    EXPECT_EQ(avant.temp, apres.temp) << "a file appeared in TEMP";
    EXPECT_EQ(avant.programmes, apres.programmes) << "the program folder changed";
}

// Searches of every kind, failing ones included, leave no trace; after a
// search that failed the tool is idle again.
TEST(Fiabilite, LectureSeule)
{
    const std::string essai = dossier_essai("lecture_seule");
    const std::string cabinets = essai + "\\cabinets";
    CreateDirectoryA(cabinets.c_str(), NULL);
    CreateDirectoryA((essai + "\\courant").c_str(), NULL);
    CreateDirectoryA((essai + "\\temp").c_str(), NULL);
    ASSERT_TRUE(generer_cabinet(cabinets, CABINET, 21, 2000, 200, UTILISATEUR));
    // A damaged cabinet, which the host refuses to open.
    ASSERT_TRUE(generer_cabinet(cabinets, "Abime", 22, 200, 20, UTILISATEUR));
    {
        std::ofstream f(cabinets + "\\Abime\\dossiers.txt", std::ios::binary | std::ios::app);
        f << "pas une ligne de dossier\n";
    }

    // clang-format off
    const std::string textes[] = {
        "Zorix", "", "zOrIx", "\351", "<text>", "pas dans ce cabinet", std::string(300, 'z'),
        "Dr Marc B\311CHET",
    };
    // clang-format on
    struct Passage {
        const char* cabinet;
        bool ouvert;
        bool liste_refusee = false;  // the list lacks its last column
    } passages[] = {{CABINET, true}, {"Abime", false}, {"Absent", false}, {CABINET, true, true}};

    for (const Passage& p : passages) {
        SCOPED_TRACE(std::string(p.cabinet) + (p.liste_refusee ? ", list refusing rows" : ""));
        ecrire_registre(cabinets.c_str(), p.cabinet, UTILISATEUR);
        Releve avant = relever(essai);
        Outil o;
        ASSERT_TRUE(demarrer_outil(o, "", essai + "\\courant", essai + "\\temp"));
        if (!p.ouvert) {
            HWND b = attendre_boite(o.pi.dwProcessId, 30000);
            ASSERT_TRUE(b);
            EXPECT_EQ("Impossible d'ouvrir le cabinet par d\351faut", texte_boite(b));
            fermer_boite(b);
        }
        ASSERT_TRUE(attendre_dialogue(o));
        // A row whose last cell is refused ends each search that finds someone
        // with the memory box, and no rows.
        ASSERT_TRUE(!p.liste_refusee || envoyer(o.liste, LVM_DELETECOLUMN, 4, 0, NULL));
        for (const std::string& t : textes) {
            Attendu a;
            if (p.ouvert)
                ASSERT_TRUE(calculer_attendu(cabinets, CABINET, t, a));
            else
                a.resume = resume_sans_cabinet("0 occ. - 0 Patients");
            if (p.liste_refusee && !a.lignes.empty())
                a = {Lignes(), MEMOIRE};
            UINT icone = a.resume == MEMOIRE ? MB_ICONERROR
                         : p.ouvert          ? MB_ICONINFORMATION
                                             : MB_ICONWARNING;
            ASSERT_TRUE(saisir(o, t));
            cliquer(o.lancer);
            // One failure is enough: each further search would wait in vain.
            ASSERT_TRUE(resume_attendu(o, a.resume, &a.lignes, icone))
                << "search text \"" << t << "\"";
        }
        EXPECT_TRUE(fermeture_normale(o));
        arreter_outil(o);
        comparer(avant, relever(essai));
    }
}

// Clicks, Enter, Escape, "Exporter" and thousands of close requests flood the
// dialog while one search runs: never two boxes at once, the waiting box once
// for each wave of close requests, one run with the right rows and summary,
// and a normal close afterwards.
TEST(Fiabilite, Tempete)
{
    const std::string cabinets = dossier_essai("tempete");
    ASSERT_TRUE(generer_cabinet(cabinets, CABINET, 31, 5000, 300, UTILISATEUR));
    Attendu a;
    ASSERT_TRUE(calculer_attendu(cabinets, CABINET, "Zorix", a));
    ecrire_registre(cabinets.c_str(), CABINET, UTILISATEUR);
    Outil o;
    ASSERT_TRUE(demarrer_outil(o));
    ASSERT_TRUE(attendre_dialogue(o));

    // All of it is queued behind the first click, so it reaches the dialog
    // through the running search's message pumping.
    cliquer(o.lancer);
    for (int i = 0; i < 4; i++) {
        cliquer(o.lancer);
        touche(o.edition, VK_RETURN);
        touche(o.edition, VK_ESCAPE);
        PostMessageA(o.dialogue, WM_COMMAND, MAKEWPARAM(IDD_START, BN_CLICKED), (LPARAM)o.lancer);
        PostMessageA(o.dialogue, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        cliquer(o.exporter);
        PostMessageA(o.dialogue, WM_KEYDOWN, VK_RETURN, 0);
    }
    // A wave is queued at the start, then right behind the OK of each waiting
    // box but the last: the scan is held while the box is up, so each wave
    // reaches the run before its end.
    const int vagues = 3;
    auto vague = [&] {
        for (int i = 0; i < 1000; i++)
            PostMessageA(o.dialogue, WM_CLOSE, 0, 0);
    };
    vague();

    int attentes = 0, resumes = 0;
    DWORD debut = maintenant();
    DWORD calme = 0;  // since when no box has been shown
    while (maintenant() - debut < 120000) {
        std::vector<HWND> v = boites(o.pi.dwProcessId);
        if (v.size() > 1) {
            ADD_FAILURE() << v.size() << " boxes shown at once";
            break;
        }
        if (v.empty()) {
            if (!calme)
                calme = maintenant();
            // Done once the summary was dismissed and nothing follows.
            if (resumes > 0 && maintenant() - calme > 1500)
                break;
            Sleep(20);
            continue;
        }
        calme = 0;
        HWND b = v[0];
        std::string texte = texte_boite(b);
        bool attente = texte == "Il est n\351cessaire d'attendre la fin de la recherche";
        if (attente) {
            attentes++;
        } else if (texte == a.resume) {
            resumes++;
            EXPECT_TRUE(lignes_attendues(o, a.lignes));
        } else {
            ADD_FAILURE() << "unexpected box: \"" << texte << "\"";
        }
        ASSERT_TRUE(fermer_boite(b));
        if (attente && attentes < vagues)
            vague();
        ASSERT_TRUE(attendre_disparition(b));
    }
    EXPECT_EQ(vagues, attentes);
    EXPECT_EQ(1, resumes);
    EXPECT_TRUE(IsWindowVisible(o.dialogue));
    EXPECT_TRUE(lignes_attendues(o, a.lignes));
    EXPECT_EQ("Zorix", texte_fenetre(o.edition));
    EXPECT_TRUE(fermeture_normale(o));
}

}  // namespace
