// Thirty searches in one session on a large cabinet: the same rows every time,
// and the tool's memory and handles stay where the first search left them.
// (Its GDI and USER objects are not counted: Wine, the one bed, reports 0.)
// 100,000 chart entries but only 200 patients: under Wine the list control is
// slow to fill, and the rows are not what this test is about.
#include <windows.h>
#include <psapi.h>

#include <algorithm>

#include "commun.h"

namespace {

struct Mesure {
    SIZE_T prive;
    DWORD handles;
};

Mesure mesurer(HANDLE p)
{
    Mesure m = {};
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    // Wine leaves PrivateUsage at 0; its PagefileUsage counts the same thing.
    if (GetProcessMemoryInfo(p, (PROCESS_MEMORY_COUNTERS*)&pmc, sizeof pmc))
        m.prive = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    GetProcessHandleCount(p, &m.handles);
    return m;
}

TEST(Endurance, TrenteRecherches)
{
    const std::string cabinets = dossier_essai("endurance");
    ASSERT_TRUE(generer_cabinet(cabinets, "Grand cabinet", 41, 100000, 200, "docteur"));
    Attendu a;
    ASSERT_TRUE(calculer_attendu(cabinets, "Grand cabinet", "Zorix", a));
    ecrire_registre(cabinets.c_str(), "Grand cabinet", "docteur");
    Outil o;
    ASSERT_TRUE(demarrer_outil(o));
    ASSERT_TRUE(attendre_dialogue(o));

    Mesure premiere = {}, pire = {};
    for (int i = 1; i <= 30; i++) {
        SCOPED_TRACE("search " + std::to_string(i));
        DWORD debut = maintenant();
        cliquer(o.lancer);
        ASSERT_TRUE(resume_attendu(o, a.resume, NULL, MB_ICONINFORMATION, 120000));
        DWORD duree = maintenant() - debut;
        ASSERT_TRUE(lignes_attendues(o, a.lignes));
        ASSERT_TRUE(synchroniser(o.dialogue, 30000));
        Mesure m = mesurer(o.pi.hProcess);
        printf("search %2d: %5lu ms, private %8lu KB, handles %lu\n", i, (unsigned long)duree,
               (unsigned long)(m.prive / 1024), (unsigned long)m.handles);
        if (i == 1) {
            premiere = pire = m;
        } else {
            pire.prive = std::max(pire.prive, m.prive);
            pire.handles = std::max(pire.handles, m.handles);
        }
    }
    // A search that kept its key list (400 KB here) would pass these bounds
    // within three runs.
    EXPECT_LE(pire.prive, premiere.prive + 1024 * 1024);
    EXPECT_LE(pire.handles, premiere.handles + 4);
    EXPECT_TRUE(fermeture_normale(o));
}

}  // namespace
