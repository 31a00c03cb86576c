// The default cabinet's texts, handed to a host that keeps the pointers rather
// than copy the texts, and clears the fourth: they must outlive the start.
#include "cabinet.h"
#include "essai.h"
#include "hote_simule.h"
#include "kmapi.h"
#include "liste.h"

static void valeur(const char* cle, const char* nom, const char* texte)
{
    HKEY h;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, cle, &h), ERROR_SUCCESS);
    RegSetValueExA(h, nom, 0, REG_SZ, (const BYTE*)texte, lstrlenA(texte) + 1);
    RegCloseKey(h);
}

TEST_F(Recherche, TextesDuCabinetGardesParLHote)
{
    valeur("Software\\Velmora\\Kalimed\\Chemins", "Cabinets", "C:\\Kalimed\\Cabinets");
    valeur("Software\\Velmora\\Kalimed\\Cabinets", "Dernier", "Cabinet A");
    valeur("Software\\Velmora\\Kalimed\\Cabinets", "Cabinet A", "docteur");
    initialisation_std_cab(dialogue_essai());
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmora");
    // Later calls, from a stack the start no longer uses.
    ajouter_ordonnance(1, 1, date_packee(1, 1, 2020), "Zorix");
    lancer_recherche();
    KMCloseCabinet();
    EXPECT_EQ(nombre_appels("KMOpenCabinet"), 1);
    EXPECT_TRUE(cabinet_ouvert);
    EXPECT_EQ(journal_hote.textes_perdus, 0) << "a text the host kept has changed";
}
