// Speed and memory of KMAPI.DLL on a large cabinet, through the import
// library as the tool calls it.
//
//   bench_hote [--garder] [CABINET_FOLDER]
//   CABINET_FOLDER  an existing cabinet (its first user opens it); without it a
//                   cabinet of 1,000,000 chart entries is generated in the
//                   temporary folder (one in five a prescription of about 1 KB)
//   --garder        keeps the generated cabinet and prints its folder on stderr,
//                   e.g. to time `cat ordonnances.txt` on the very same bytes
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kmapi.h"

namespace {

const int NB_ENTREES = 1000000;
const int NB_PATIENTS = 20000;

double maintenant()
{
    static LARGE_INTEGER frequence;
    if (!frequence.QuadPart) QueryPerformanceFrequency(&frequence);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)frequence.QuadPart;
}

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

// Buffered writing: one WriteFile per 4 MB.
struct SORTIE {
    HANDLE h;
    std::string tampon;
};

bool ouvrir_sortie(SORTIE& s, const std::string& chemin)
{
    s.h = CreateFileA(chemin.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    s.tampon.clear();
    return s.h != INVALID_HANDLE_VALUE;
}

void vider(SORTIE& s)
{
    DWORD ecrit;
    if (!s.tampon.empty()) WriteFile(s.h, s.tampon.data(), (DWORD)s.tampon.size(), &ecrit, NULL);
    s.tampon.clear();
}

void ecrire(SORTIE& s, const std::string& texte)
{
    s.tampon += texte;
    if (s.tampon.size() > (4u << 20)) vider(s);
}

void fermer_sortie(SORTIE& s)
{
    vider(s);
    CloseHandle(s.h);
}

// Scrambled, unique, non-zero keys over the whole signed range: multiplying
// by an odd number is a permutation of the 32-bit values.
LONG cle_numero(int i) { return (LONG)((DWORD)(i + 1) * 2654435761u); }

std::string ordonnance(int i)
{
    static const char* const lignes[] = {
        "Parac\xE9tamol 1000 mg : 1 comprim\xE9 matin, midi et soir pendant 5 jours",
        "Amoxicilline 500 mg : 2 g\xE9lules 3 fois par jour pendant 7 jours",
        "Zorix 20 mg : 1 comprim\xE9 le soir au coucher, \xE0 renouveler 3 mois",
        "Om\xE9prazole 20 mg : 1 g\xE9lule le matin \xE0 jeun, QSP 1 mois",
        "Ibuprof\xE8ne 400 mg : 1 comprim\xE9 si douleur, ne pas d\xE9passer 3 par jour",
    };
    std::string texte, rtf;
    for (int k = 0; k < 6; k++) {
        const char* l = lignes[(i + k * 3) % 5];
        texte += l;
        texte += "\r\n";
        rtf += l;
        rtf += "\\par ";
    }
    return "<ordonnance><text>" + texte + "</text><rtf>{\\rtf1\\ansi " + rtf + "}</rtf></ordonnance>";
}

bool generer(const std::string& dossier)
{
    CreateDirectoryA(dossier.c_str(), NULL);
    SORTIE s;
    if (!ouvrir_sortie(s, dossier + "\\utilisateurs.txt")) return false;
    ecrire(s, "docteur\r\n");
    fermer_sortie(s);

    char ligne[256];
    if (!ouvrir_sortie(s, dossier + "\\patients.txt")) return false;
    for (int f = 0; f < NB_PATIENTS; f++) {
        sprintf(ligne, "%d\tNOM%d\tPrenom%d\t%02d/%02d/%d\n", f, f, f, f % 28 + 1, f % 12 + 1,
                1920 + f % 100);
        ecrire(s, ligne);
    }
    fermer_sortie(s);

    SORTIE o;
    if (!ouvrir_sortie(s, dossier + "\\dossiers.txt") ||
        !ouvrir_sortie(o, dossier + "\\ordonnances.txt"))
        return false;
    for (int i = 0; i < NB_ENTREES; i++) {
        int type = i % 5 == 0 ? DOSSIERS_ORDONNANCES : 1 + i % 3;
        sprintf(ligne, "%ld\t%d\t%d\t%02d/%02d/%d\tEntr\xE9" "e %d\n", (long)cle_numero(i), type,
                i % NB_PATIENTS, i % 28 + 1, i % 12 + 1, 1990 + i % 30, i);
        ecrire(s, ligne);
        if (type == DOSSIERS_ORDONNANCES) {
            std::string texte = ordonnance(i);
            sprintf(ligne, "@@ %ld %u\n", (long)cle_numero(i), (unsigned)texte.size());
            ecrire(o, ligne);
            ecrire(o, texte);
            ecrire(o, "\n");
        }
    }
    fermer_sortie(s);
    fermer_sortie(o);
    return true;
}

void supprimer(const std::string& dossier)
{
    for (const char* f : {"utilisateurs.txt", "patients.txt", "dossiers.txt", "ordonnances.txt"})
        DeleteFileA((dossier + "\\" + f).c_str());
    RemoveDirectoryA(dossier.c_str());
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
    if (!GetFileAttributesExA(chemin.c_str(), GetFileExInfoStandard, &a)) return 0;
    return (((ULONGLONG)a.nFileSizeHigh << 32) | a.nFileSizeLow) / 1048576.0;
}

}  // namespace

int main(int argc, char** argv)
{
    bool garder = false;
    std::string dossier;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--garder") == 0)
            garder = true;
        else
            dossier = argv[i];
    }
    bool genere = dossier.empty();
    if (genere) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dossier = std::string(temp) + "bench-hote-" + std::to_string(GetCurrentProcessId());
        double t0 = maintenant();
        if (!generer(dossier)) {
            fprintf(stderr, "bench_hote: cannot write %s\n", dossier.c_str());
            return 1;
        }
        printf("hote_generation_1M %.2f s\n", maintenant() - t0);
    }
    while (!dossier.empty() && (dossier.back() == '\\' || dossier.back() == '/')) dossier.pop_back();
    size_t sep = dossier.find_last_of("\\/");
    std::string parent = sep == std::string::npos ? "." : dossier.substr(0, sep);
    std::string nom = sep == std::string::npos ? dossier : dossier.substr(sep + 1);
    std::string user = premier_utilisateur(dossier);
    printf("hote_ordonnances_fichier %.1f MB\n", taille_mo(dossier + "\\ordonnances.txt"));

    KMOpenSession(1);
    printf("hote_memoire_avant %.1f MB\n", memoire_privee_mo());
    double pireOuverture = 0;
    for (int cycle = 1; cycle <= 3; cycle++) {
        double t0 = maintenant();
        if (!KMOpenCabinet(parent.c_str(), nom.c_str(), user.c_str(), "")) {
            fprintf(stderr, "bench_hote: the cabinet %s does not open\n", dossier.c_str());
            return 1;
        }
        double ouverture = maintenant() - t0;
        if (ouverture > pireOuverture) pireOuverture = ouverture;
        printf("hote_memoire_ouvert_%d %.1f MB\n", cycle, memoire_privee_mo());

        if (cycle == 1) {
            // What a search asks of the host: every key, every header, every text.
            t0 = maintenant();
            HGLOBAL hDossiers = OpenDossiers(1363, 0, 0, 0);
            int n = KMNumberOfKey(34);
            std::vector<LONG> cles;
            cles.reserve(n > 0 ? n : 0);
            char cle[MAX_KEYLEN];
            if (n > 0) {
                cles.push_back(KMFirstKey(34, cle));
                while ((int)cles.size() < n) {
                    LONG k = KMNextKey(34, cle);
                    if (!k) break;
                    cles.push_back(k);
                }
            }
            double tTextes = 0, octets = 0;
            int ordonnances = 0;
            RECOrdonnances ordo;
            for (LONG k : cles) {
                ReadDossiers2(k, &ordo);
                if (ordo.cType != DOSSIERS_ORDONNANCES) continue;
                double t1 = maintenant();
                HGLOBAL h = ReadXMLOrdonnances(k, &ordo);
                if (h) {
                    const char* texte = (const char*)GlobalLock(h);
                    octets += ordo.dwLength;
                    if (texte) GlobalUnlock(h);
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

    if (genere) {
        if (garder)
            fprintf(stderr, "bench_hote: cabinet kept in %s\n", dossier.c_str());
        else
            supprimer(dossier);
    }
    return 0;
}
