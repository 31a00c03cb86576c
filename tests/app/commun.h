// Checks shared by the end-to-end tests: each one acts on the running tool as
// a person would and reports what it saw on failure.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "banc.h"
#include "distant.h"

// The five cells of every row of the result list.
::testing::AssertionResult lire_resultats(Outil& o, Lignes& lignes);
// The rows are exactly those expected, in order.
::testing::AssertionResult lignes_attendues(Outil& o, const Lignes& attendu);
// The summary box shows up with this text and icon, titled "Ordaskel" with one
// button; it is then dismissed. `rows` (when not NULL) are checked while it is
// shown.
::testing::AssertionResult resume_attendu(Outil& o, const std::string& resume,
                                          const Lignes* lignes = NULL,
                                          UINT icone = MB_ICONINFORMATION, DWORD delai = 60000);
// The summary of a search made when the default cabinet did not open.
std::string resume_sans_cabinet(const std::string& resume);
// Once every queued message is handled, no box is shown and none appears
// within `duree` ms.
::testing::AssertionResult aucune_boite(Outil& o, DWORD duree);
// A close request while idle ends the process with exit code 0.
::testing::AssertionResult fermeture_normale(Outil& o);
// The search text, as if typed.
::testing::AssertionResult saisir(Outil& o, const std::string& texte);
// Waits for the box `b` to go away.
bool attendre_disparition(HWND b, DWORD delai = 10000);
