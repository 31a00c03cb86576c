// Command line of gencab. Exit codes: 0 done, 1 failed, 2 bad arguments.
#include "gencab.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char USAGE[] =
    "usage:\n"
    "  gencab ecrire --dossier DIR --cabinet NOM --graine N --entrees N --patients N\n"
    "                [--utilisateur NOM] [--difficiles 1]\n"
    "  gencab attendu --dossier DIR --cabinet NOM (--texte TEXTE | --texte-hex HEX)\n"
    "                [--aujourdhui JJ/MM/AAAA]\n";

static int mauvais_arguments(const char* raison)
{
    fprintf(stderr, "gencab: %s\n%s", raison, USAGE);
    return 2;
}

// The value following each known option; false on an unknown or repeated one.
static bool lire_options(int argc, char** argv, const char* const* noms, int nombre,
                         const char** valeurs)
{
    for (int k = 0; k < nombre; ++k)
        valeurs[k] = nullptr;
    for (int i = 2; i < argc; i += 2) {
        int k = 0;
        while (k < nombre && strcmp(argv[i], noms[k]) != 0)
            ++k;
        if (k == nombre || i + 1 >= argc || valeurs[k])
            return false;
        valeurs[k] = argv[i + 1];
    }
    return true;
}

static bool lire_naturel(const char* s, unsigned long long max, unsigned long long& v)
{
    if (!s || !*s)
        return false;
    v = 0;
    for (; *s; ++s) {
        if (*s < '0' || *s > '9')
            return false;
        unsigned chiffre = (unsigned)(*s - '0');
        if (v > (max - chiffre) / 10)
            return false;
        v = v * 10 + chiffre;
    }
    return true;
}

static bool lire_hex(const char* s, std::string& octets)
{
    octets.clear();
    size_t n = strlen(s);
    if (n % 2 != 0)
        return false;
    for (size_t i = 0; i < n; i += 2) {
        int v = 0;
        for (size_t j = i; j < i + 2; ++j) {
            char c = s[j];
            int chiffre = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
            if (chiffre < 0)
                return false;
            v = v * 16 + chiffre;
        }
        octets += (char)v;
    }
    return true;
}

static int commande_ecrire(int argc, char** argv)
{
    static const char* const noms[] = {"--dossier",  "--cabinet",     "--graine",    "--entrees",
                                       "--patients", "--utilisateur", "--difficiles"};
    const char* v[7];
    if (!lire_options(argc, argv, noms, 7, v))
        return mauvais_arguments("option inconnue, en double ou sans valeur");
    unsigned long long graine, entrees, patients;
    if (!v[0] || !v[1] || !lire_naturel(v[2], ~0ULL, graine) ||
        !lire_naturel(v[3], 100000000ULL, entrees) || !lire_naturel(v[4], 65536ULL, patients) ||
        patients == 0 || !*v[0] || !*v[1] || (v[6] && strcmp(v[6], "0") && strcmp(v[6], "1")))
        return mauvais_arguments(
            "--dossier, --cabinet, --graine, --entrees, --patients ou --difficiles invalide");
    ParametresCabinet p;
    p.dossier = v[0];
    p.cabinet = v[1];
    p.utilisateur = v[5] ? v[5] : "docteur";
    p.graine = graine;
    p.entrees = (long long)entrees;
    p.patients = (long)patients;
    p.difficiles = v[6] && strcmp(v[6], "1") == 0;
    std::string erreur;
    if (!ecrire_cabinet(p, erreur)) {
        fprintf(stderr, "gencab: %s\n", erreur.c_str());
        return 1;
    }
    return 0;
}

static int commande_attendu(int argc, char** argv)
{
    static const char* const noms[] = {"--dossier", "--cabinet", "--texte", "--texte-hex",
                                       "--aujourdhui"};
    const char* v[5];
    if (!lire_options(argc, argv, noms, 5, v))
        return mauvais_arguments("option inconnue, en double ou sans valeur");
    if (!v[0] || !v[1] || (!v[2] && !v[3]))
        return mauvais_arguments("--dossier, --cabinet et --texte ou --texte-hex sont requis");
    // The hex form wins: the plain one may have lost its accents on the way.
    std::string recherche;
    if (v[3]) {
        if (!lire_hex(v[3], recherche))
            return mauvais_arguments("--texte-hex invalide");
    } else {
        recherche = v[2];
    }
    uint32_t aujourdhui;
    if (v[4]) {
        if (!lire_date(v[4], strlen(v[4]), aujourdhui))
            return mauvais_arguments("--aujourdhui invalide");
    } else {
        // Same reference as the stand-in host when tests pin it.
        const char* env = getenv("KMAPI_AUJOURDHUI");
        if (!env || !lire_date(env, strlen(env), aujourdhui))
            aujourdhui = date_locale_du_jour();
    }
    CabinetLu c;
    std::string erreur;
    if (!lire_cabinet(v[0], v[1], c, erreur)) {
        fprintf(stderr, "gencab: cabinet corrompu: %s\n", erreur.c_str());
        return 1;
    }
    std::string reponse = calculer_attendu(c, recherche, aujourdhui);
    _setmode(_fileno(stdout), _O_BINARY);
    if (fwrite(reponse.data(), 1, reponse.size(), stdout) != reponse.size() || fflush(stdout) != 0)
        return 1;
    return 0;
}

int gencab_principal(int argc, char** argv)
{
    if (argc < 2)
        return mauvais_arguments("commande manquante");
    if (strcmp(argv[1], "ecrire") == 0)
        return commande_ecrire(argc, argv);
    if (strcmp(argv[1], "attendu") == 0)
        return commande_attendu(argc, argv);
    return mauvais_arguments("commande inconnue");
}
