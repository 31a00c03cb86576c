// Checks shared by the end-to-end tests.
#include "commun.h"

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

static std::string ligne_texte(const std::vector<std::string>& l)
{
    std::string s;
    for (const std::string& c : l)
        s += (s.empty() ? "" : " | ") + c;
    return s;
}

AssertionResult lire_resultats(Outil& o, Lignes& lignes)
{
    if (!lire_lignes(o.pi.hProcess, o.liste, 5, lignes))
        return AssertionFailure() << "the result list could not be read";
    return AssertionSuccess();
}

AssertionResult lignes_attendues(Outil& o, const Lignes& attendu)
{
    Lignes vues;
    AssertionResult r = lire_resultats(o, vues);
    if (!r)
        return r;
    for (size_t i = 0; i < vues.size() && i < attendu.size(); i++)
        if (vues[i] != attendu[i])
            return AssertionFailure() << "row " << i << " shows [" << ligne_texte(vues[i])
                                      << "], expected [" << ligne_texte(attendu[i]) << "]";
    if (vues.size() != attendu.size())
        return AssertionFailure() << vues.size() << " rows shown, " << attendu.size()
                                  << " expected";
    return AssertionSuccess();
}

bool attendre_disparition(HWND b, DWORD delai)
{
    DWORD debut = maintenant();
    while (IsWindow(b) && IsWindowVisible(b)) {
        if (maintenant() - debut >= delai)
            return false;
        Sleep(10);
    }
    return true;
}

static const char* nom_icone(UINT icone)
{
    switch (icone) {
    case MB_ICONINFORMATION:
        return "information";
    case MB_ICONWARNING:
        return "warning";
    case MB_ICONERROR:
        return "error";
    case MB_ICONQUESTION:
        return "question";
    default:
        return "unknown";
    }
}

AssertionResult resume_attendu(Outil& o, const std::string& resume, const Lignes* lignes,
                               UINT icone, DWORD delai)
{
    HWND b = attendre_boite(o.pi.dwProcessId, delai);
    if (!b)
        return AssertionFailure() << "no summary box within " << delai << " ms";
    std::string texte = texte_boite(b);
    if (texte != resume)
        return AssertionFailure() << "the box says \"" << texte << "\", expected \"" << resume
                                  << "\"";
    if (boutons_boite(b) != 1)
        return AssertionFailure() << "the summary box has " << boutons_boite(b) << " buttons";
    UINT vue = icone_boite(b);
    if (vue != icone)
        return AssertionFailure() << "the summary box shows the " << nom_icone(vue)
                                  << " icon, expected the " << nom_icone(icone) << " one";
    if (boites(o.pi.dwProcessId).size() != 1)
        return AssertionFailure() << "more than one box is shown";
    if (lignes) {
        AssertionResult r = lignes_attendues(o, *lignes);
        if (!r)
            return r << " (read while the summary is shown)";
    }
    if (!fermer_boite(b) || !attendre_disparition(b))
        return AssertionFailure() << "the summary box could not be dismissed";
    return AssertionSuccess();
}

std::string resume_sans_cabinet(const std::string& resume)
{
    return resume +
           "\n\n"
           "Le cabinet par d\351faut n'a pas pu \352tre ouvert : ce r\351sultat peut \352tre "
           "incomplet.";
}

AssertionResult aucune_boite(Outil& o, DWORD duree)
{
    if (!synchroniser(o.dialogue, 30000))
        return AssertionFailure() << "the dialog does not answer";
    DWORD debut = maintenant();
    do {
        std::vector<HWND> v = boites(o.pi.dwProcessId);
        if (!v.empty())
            return AssertionFailure() << "a box says \"" << texte_boite(v[0]) << "\"";
        Sleep(20);
    } while (maintenant() - debut < duree);
    return AssertionSuccess();
}

AssertionResult fermeture_normale(Outil& o)
{
    AssertionResult r = aucune_boite(o, 0);
    if (!r)
        return r;
    PostMessageA(o.dialogue, WM_CLOSE, 0, 0);
    long code = attendre_fin(o, 20000);
    if (code == -1)
        return AssertionFailure() << "the tool did not end after a close request";
    if (code != 0)
        return AssertionFailure() << "the tool ended with code " << code;
    return AssertionSuccess();
}

AssertionResult saisir(Outil& o, const std::string& texte)
{
    LRESULT ok = 0;
    if (!envoyer(o.edition, WM_SETTEXT, 0, (LPARAM)texte.c_str(), &ok) || !ok)
        return AssertionFailure() << "the search text could not be typed";
    return AssertionSuccess();
}
