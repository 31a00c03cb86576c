#include "cabinet_ecrit.h"

const char* const TEXTE_500 =
    "<ordonnance><text>Zorix 20 mg\r\n1 cp/j</text><rtf>{\\rtf1 Zorix}</rtf></ordonnance>";
const char* const TEXTE_MAX = "<ordonnance><text>Parac\351tamol</text></ordonnance>";

FICHIERS_CABINET cabinet_de_reference()
{
    FICHIERS_CABINET f;
    f.utilisateurs = "remplacant\r\ndocteur\r\n";
    f.patients =
        "12\tMARTIN\tJeanne\t15/07/1950\n"
        "0\tDUPONT\tAndr\351\t29/02/1980\r\n"
        "65535\tABCDEFGHIJKLMNOPQRST\tabcdefghijklmnopqrst\t1/1/2000";  // no final newline
    f.dossiers =
        "500\t7\t12\t12/03/2003\tOrdonnance Zorix\n"
        "-7\t1\t12\t01/02/2003\tConsultation\r\n"
        "2147483647\t7\t0\t02/01/2004\t\n"
        "-2147483648\t7\t65535\t00/00/0\tsans texte\n"
        "42\t2\t0\t15/07/2002\t" +
        std::string(100, 'T') + "\n";
    f.ordonnances = enregistrement(500, TEXTE_500) + enregistrement(2147483647, TEXTE_MAX, "\r\n");
    return f;
}

std::string lire_fichier(const std::string& chemin)
{
    std::string contenu;
    HANDLE h =
        CreateFileA(chemin.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<absent>";
    char tampon[65536];
    DWORD lu;
    while (ReadFile(h, tampon, sizeof(tampon), &lu, NULL) && lu)
        contenu.append(tampon, lu);
    CloseHandle(h);
    return contenu;
}

void ecrire_fichier(const std::string& chemin, const std::string& contenu)
{
    HANDLE h = CreateFileA(chemin.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << chemin;
    DWORD ecrit = 0;
    WriteFile(h, contenu.data(), (DWORD)contenu.size(), &ecrit, NULL);
    CloseHandle(h);
    ASSERT_EQ(ecrit, contenu.size());
}

static void supprimer_arbre(const std::string& dossier)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dossier + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string nom = fd.cFileName;
            if (nom == "." || nom == "..")
                continue;
            std::string chemin = dossier + "\\" + nom;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                supprimer_arbre(chemin);
            else
                DeleteFileA(chemin.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dossier.c_str());
}

void Cabinet::SetUp()
{
    static int compteur = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    racine = std::string(temp) + "hote-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++compteur);
    ASSERT_TRUE(CreateDirectoryA(racine.c_str(), NULL)) << racine;
    ecrire("Cabinet A", cabinet_de_reference());
}

void Cabinet::TearDown()
{
    KMCloseCabinet();
    supprimer_arbre(racine);
}

void Cabinet::ecrire(const char* nom, const FICHIERS_CABINET& f, bool avecOrdonnances)
{
    std::string d = racine + "\\" + nom;
    CreateDirectoryA(d.c_str(), NULL);
    ecrire_fichier(d + "\\utilisateurs.txt", f.utilisateurs);
    ecrire_fichier(d + "\\patients.txt", f.patients);
    ecrire_fichier(d + "\\dossiers.txt", f.dossiers);
    if (avecOrdonnances)
        ecrire_fichier(d + "\\ordonnances.txt", f.ordonnances);
    else
        DeleteFileA((d + "\\ordonnances.txt").c_str());
}

std::vector<LONG> Cabinet::toutes_les_cles()
{
    std::vector<LONG> cles;
    char cle[MAX_KEYLEN];
    int n = KMNumberOfKey(34);
    if (n < 1)
        return cles;
    cles.push_back(KMFirstKey(34, cle));
    for (int i = 1; i < n + 2; i++) {  // bounded: two more calls than announced
        LONG k = KMNextKey(34, cle);
        if (k == 0)
            break;
        cles.push_back(k);
    }
    return cles;
}
