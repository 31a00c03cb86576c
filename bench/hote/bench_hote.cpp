// Speed and memory of KMAPI.DLL on a large cabinet, through the import
// library as the tool calls it.
//
//   bench_hote CABINET_FOLDER
//   CABINET_FOLDER  an existing cabinet, e.g. written by gencab; its first user
//                   opens it
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "horloge.h"
#include "kmapi.h"

namespace {

// Private bytes. Wine leaves PrivateUsage at 0; its PagefileUsage counts the
// same private memory in use.
double memoire_privee_mo()
{
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS*)&pmc, sizeof(pmc));
    SIZE_T prive = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    return prive / 1048576.0;
}

std::string premier_utilisateur(const std::string& dossier)
{
    char tampon[256] = "";
    DWORD lu = 0;
    HANDLE h = CreateFileA((dossier + "\\utilisateurs.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                           NULL, OPEN_EXISTING, 0, NULL);
    if (h != INVALID_HANDLE_VALUE) {
        ReadFile(h, tampon, sizeof(tampon) - 1, &lu, NULL);
        CloseHandle(h);
    }
    tampon[lu] = '\0';
    return std::string(tampon, strcspn(tampon, "\r\n"));
}

double taille_mo(const std::string& chemin)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(chemin.c_str(), GetFileExInfoStandard, &a))
        return 0;
    return (((ULONGLONG)a.nFileSizeHigh << 32) | a.nFileSizeLow) / 1048576.0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: bench_hote CABINET_FOLDER\n");
        return 2;
    }
    std::string dossier = argv[1];
    while (!dossier.empty() && (dossier.back() == '\\' || dossier.back() == '/'))
        dossier.pop_back();
    size_t sep = dossier.find_last_of("\\/");
    std::string parent = sep == std::string::npos ? "." : dossier.substr(0, sep);
    std::string nom = sep == std::string::npos ? dossier : dossier.substr(sep + 1);
    std::string user = premier_utilisateur(dossier);
    printf("hote_ordonnances_fichier %.1f MB\n", taille_mo(dossier + "\\ordonnances.txt"));

    KMOpenSession(KMOPENSESSION_MODE);
    printf("hote_memoire_avant %.1f MB\n", memoire_privee_mo());
    double pireOuverture = 0;
    for (int cycle = 1; cycle <= 3; cycle++) {
        double t0 = maintenant();
        if (!KMOpenCabinet(parent.c_str(), nom.c_str(), user.c_str(), "")) {
            fprintf(stderr, "bench_hote: the cabinet %s does not open\n", dossier.c_str());
            return 1;
        }
        double ouverture = maintenant() - t0;
        if (ouverture > pireOuverture)
            pireOuverture = ouverture;
        printf("hote_memoire_ouvert_%d %.1f MB\n", cycle, memoire_privee_mo());

        if (cycle == 1) {
            // What a search asks of the host: every key, every header, every text.
            t0 = maintenant();
            HGLOBAL hDossiers = OpenDossiers(OPENDOSSIERS_FICHIER, OPENDOSSIERS_OPTION,
                                             OPENDOSSIERS_OPTION, OPENDOSSIERS_OPTION);
            int n = KMNumberOfKey(KMKEY_INDEX);
            std::vector<LONG> cles;
            cles.reserve(n > 0 ? n : 0);
            char cle[MAX_KEYLEN];
            if (n > 0) {
                cles.push_back(KMFirstKey(KMKEY_INDEX, cle));
                while ((int)cles.size() < n) {
                    LONG k = KMNextKey(KMKEY_INDEX, cle);
                    if (!k)
                        break;
                    cles.push_back(k);
                }
            }
            double tTextes = 0, octets = 0;
            int ordonnances = 0;
            RECOrdonnances ordo;
            for (LONG k : cles) {
                ReadDossiers2(k, &ordo);
                if (ordo.cType != DOSSIERS_ORDONNANCES)
                    continue;
                double t1 = maintenant();
                HGLOBAL h = ReadXMLOrdonnances(k, &ordo);
                if (h) {
                    const char* texte = (const char*)GlobalLock(h);
                    octets += ordo.dwLength;
                    if (texte)
                        GlobalUnlock(h);
                    GlobalFree(h);
                    ordonnances++;
                }
                tTextes += maintenant() - t1;
            }
            CloseDossiers(hDossiers);
            double lecture = maintenant() - t0;
            printf("hote_cles %d\n", (int)cles.size());
            printf("hote_ordonnances %d\n", ordonnances);
            printf("hote_lecture_1M %.3f s\n", lecture);
            printf("hote_texte %.0f MB/s\n", tTextes > 0 ? octets / 1048576.0 / tTextes : 0.0);
        }
        KMCloseCabinet();
        printf("hote_memoire_ferme_%d %.1f MB\n", cycle, memoire_privee_mo());
    }
    printf("hote_ouverture_1M %.3f s\n", pireOuverture);
    KMCloseSession();
    return 0;
}
