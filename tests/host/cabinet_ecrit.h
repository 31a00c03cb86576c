// Small cabinets written into a temporary folder, and the fixture that owns it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gencab.h"
#include "kmapi.h"

struct FICHIERS_CABINET {
    std::string utilisateurs, patients, dossiers, ordonnances;
};

inline DWORD date(unsigned j, unsigned m, unsigned a)
{
    return (a << 16) | (m << 8) | j;
}

extern const char* const TEXTE_500;  // text of the prescription with key 500
extern const char* const TEXTE_MAX;  // text of the prescription with key 2147483647

// The reference cabinet: three patients (fiches 12, 0, 65535), five chart
// entries in a scrambled key order, two prescription texts, one prescription
// without a text.
FICHIERS_CABINET cabinet_de_reference();

std::string lire_fichier(const std::string& chemin);
void ecrire_fichier(const std::string& chemin, const std::string& contenu);

class Cabinet : public ::testing::Test {
protected:
    std::string racine;  // the cabinets directory

    void SetUp() override;
    void TearDown() override;

    // Writes <racine>/<nom>/; without ordonnances.txt if asked.
    void ecrire(const char* nom, const FICHIERS_CABINET& f, bool avecOrdonnances = true);
    BOOL ouvrir(const char* nom, const char* user = "docteur")
    {
        return KMOpenCabinet(racine.c_str(), nom, user, "");
    }
    std::vector<LONG> toutes_les_cles();
};
