// Kalimed's registry texts as the tool reads them: whatever another program
// left there, the tool gets a terminated text of at most 259 characters.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "registre.h"

namespace {

const char CLE[] = "Software\\Ordaskel essais\\registre";

struct Cas {
    const char* nom;
    DWORD type;
    std::string donnees;  // stored as is, terminator included or not
    std::string attendu;
};

class Registre : public ::testing::Test {
protected:
    HKEY cle = NULL;
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, CLE);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, CLE, 0, NULL, 0,
                                                 KEY_READ | KEY_WRITE, NULL, &cle, NULL));
    }
    void TearDown() override
    {
        if (cle)
            RegCloseKey(cle);
        RegDeleteTreeA(HKEY_CURRENT_USER, CLE);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ordaskel essais");
    }
    void ecrire(const Cas& c)
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(cle, c.nom, 0, c.type, (const BYTE*)c.donnees.data(),
                                 (DWORD)c.donnees.size()));
    }
    // Reads into a buffer full of garbage, and checks the terminator.
    std::string lire(HKEY h, const char* nom)
    {
        char texte[MAX_PATH];
        memset(texte, 'x', sizeof texte);
        lecture_texte_registre(h, nom, texte);
        size_t n = strnlen(texte, sizeof texte);
        EXPECT_LT(n, sizeof texte) << nom << ": not terminated within its 260 bytes";
        return std::string(texte, n < sizeof texte ? n : 0);
    }
};

TEST_F(Registre, TextesLusOuVides)
{
    const std::string t259(259, 'a'), t260(260, 'b');
    auto sz = [](const std::string& t) { return t + '\0'; };  // with its terminator
    const Cas cas[] = {
        {"Dernier", REG_SZ, sz("Cabinet A"), "Cabinet A"},
        {"Cabinet A", REG_SZ, sz("docteur"), "docteur"},
        {"Cabinets", REG_SZ, sz("Z:\\cabinets\\"), "Z:\\cabinets\\"},
        {"accents", REG_SZ, sz("D\351monstration \311t\351"), "D\351monstration \311t\351"},
        {"vide", REG_SZ, sz(""), ""},
        {"259 caracteres", REG_SZ, sz(t259), t259},
        {"260 caracteres", REG_SZ, sz(t260), ""},
        {"tres long", REG_SZ, sz(std::string(5000, 'c')), ""},
        {"extensible", REG_EXPAND_SZ, sz("%TEMP%"), "%TEMP%"},
        {"binaire court", REG_BINARY, "abc", "abc"},
        {"binaire plein", REG_BINARY, t260, ""},
        {"binaire 259", REG_BINARY, t259, t259},
        {"zero au milieu", REG_BINARY, std::string("ab\0cd", 5), "ab"},
        {"rien", REG_BINARY, "", ""},
    };
    for (const Cas& c : cas)
        ecrire(c);
    for (const Cas& c : cas)
        EXPECT_EQ(c.attendu, lire(cle, c.nom)) << c.nom;
}

TEST_F(Registre, ValeurOuCleAbsente)
{
    EXPECT_EQ("", lire(cle, "absente"));
    EXPECT_EQ("", lire(NULL, "Dernier"));
}

// A string stored without its terminator (the size given without it).
TEST_F(Registre, TexteSansZeroFinal)
{
    const char sans_zero[] = "docteurX";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(cle, "sans zero", 0, REG_SZ, (const BYTE*)sans_zero, 7));
    EXPECT_EQ("docteur", lire(cle, "sans zero"));
}

// The reader writes nothing: the key holds what it held.
TEST_F(Registre, LectureSansEcriture)
{
    ecrire({"Dernier", REG_SZ, std::string("Cabinet A") + '\0', "Cabinet A"});
    FILETIME avant, apres;
    DWORD nv_avant = 0, nv_apres = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(cle, NULL, NULL, NULL, NULL, NULL, NULL, &nv_avant,
                                              NULL, NULL, NULL, &avant));
    lire(cle, "Dernier");
    lire(cle, "absente");
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(cle, NULL, NULL, NULL, NULL, NULL, NULL, &nv_apres,
                                              NULL, NULL, NULL, &apres));
    EXPECT_EQ(nv_avant, nv_apres);
    EXPECT_EQ(0, CompareFileTime(&avant, &apres));
}

}  // namespace
