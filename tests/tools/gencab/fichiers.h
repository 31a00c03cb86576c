// Small file helpers for the gencab tests: each test works in a folder of its
// own under the test's working directory.
#pragma once

#include <stdio.h>
#include <string>
#include <windows.h>

inline std::string dossier_essai(const char* nom)
{
    CreateDirectoryA("essais_gencab", nullptr);
    std::string d = std::string("essais_gencab\\") + nom;
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

inline bool ecrire_octets(const std::string& chemin, const std::string& octets)
{
    FILE* f = fopen(chemin.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(octets.data(), 1, octets.size(), f) == octets.size();
    return fclose(f) == 0 && ok;
}

// Writes the four files of a cabinet named `nom` inside `dossier`.
inline bool ecrire_cabinet_essai(const std::string& dossier, const std::string& nom,
                                 const std::string& patients, const std::string& dossiers,
                                 const std::string& ordonnances)
{
    std::string c = dossier + "\\" + nom;
    CreateDirectoryA(c.c_str(), nullptr);
    return ecrire_octets(c + "\\utilisateurs.txt", "docteur\r\n") &&
           ecrire_octets(c + "\\patients.txt", patients) &&
           ecrire_octets(c + "\\dossiers.txt", dossiers) &&
           ecrire_octets(c + "\\ordonnances.txt", ordonnances);
}
