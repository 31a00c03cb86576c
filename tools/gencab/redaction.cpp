// The text of one prescription, in the XML form the host hands out: a plain
// <text> part and the same lines again as RTF.
#include "gencab.h"

static const char CHIFFRES_HEX[] = "0123456789abcdef";

// The RTF form of Windows-1252 text: accents as \'xx, lines as \par.
static void ajouter_rtf_octets(std::string& sortie, const char* debut, const char* fin)
{
    for (const char* p = debut; p < fin; ++p) {
        unsigned char c = (unsigned char)*p;
        if (c == '\r')
            continue;
        if (c == '\n') {
            sortie += "\\par\r\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            sortie += '\\';
            sortie += (char)c;
        } else if (c >= 0x80) {
            sortie += "\\'";
            sortie += CHIFFRES_HEX[c >> 4];
            sortie += CHIFFRES_HEX[c & 15];
        } else {
            sortie += (char)c;
        }
    }
}

// Windows-1252 upper and lower case, accents kept (é <-> É).
static char majuscule(char c)
{
    unsigned char u = (unsigned char)c;
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return (char)(u - 0x20);
    return c;
}

static char minuscule(char c)
{
    unsigned char u = (unsigned char)c;
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return (char)(u + 0x20);
    return c;
}

// A prescription line; the first `gras` bytes (the drug) are bold in the RTF.
struct Ligne {
    std::string texte;
    size_t gras;
};

static void ajouter_ligne_medicament(Hasard& h, std::vector<Ligne>& lignes, const char* nom,
                                     bool varier_casse)
{
    Ligne l;
    l.texte = nom;
    if (varier_casse) {
        uint32_t casse = hasard_borne(h, 20);
        for (size_t i = 0; i < l.texte.size(); ++i) {
            if (casse < 3)
                l.texte[i] = majuscule(l.texte[i]);
            else if (casse < 5)
                l.texte[i] = minuscule(l.texte[i]);
        }
    }
    l.gras = l.texte.size();
    l.texte += " : ";
    ajouter_entier(l.texte, 1 + hasard_borne(h, 3));
    l.texte += ' ';
    l.texte += mot_au_hasard(h, FORMES);
    l.texte += ' ';
    l.texte += mot_au_hasard(h, POSOLOGIES);
    switch (hasard_borne(h, 4)) {
    case 0:
        l.texte += ", pendant ";
        ajouter_entier(l.texte, 3 + hasard_borne(h, 28));
        l.texte += " jours";
        break;
    case 1:
        l.texte += ", QSP ";
        ajouter_entier(l.texte, 1 + hasard_borne(h, 6));
        l.texte += " mois";
        break;
    case 2:
        l.texte += ", \340 renouveler ";
        ajouter_entier(l.texte, 1 + hasard_borne(h, 3));
        l.texte += " fois";
        break;
    default:
        break;
    }
    lignes.push_back(l);
}

static void ajouter_ligne_simple(std::vector<Ligne>& lignes, const std::string& texte)
{
    Ligne l;
    l.texte = texte;
    l.gras = 0;
    lignes.push_back(l);
}

void rediger_ordonnance(Hasard& h, const Ordonnance& o, std::string& sortie)
{
    std::vector<Ligne> lignes;
    ajouter_ligne_simple(lignes, mot_au_hasard(h, MEDECINS));
    std::string ligne = mot_au_hasard(h, VILLES);
    ligne += ", le ";
    ajouter_date(ligne, o.date);
    ajouter_ligne_simple(lignes, ligne);
    ligne = o.nom;
    ligne += ' ';
    ligne += o.prenom;
    ajouter_ligne_simple(lignes, ligne);
    ajouter_ligne_simple(lignes, std::string());

    int nombre = 2 + (int)hasard_borne(h, 6);
    int place_zorix = (o.drapeaux & ORDO_ZORIX) ? (int)hasard_borne(h, (uint32_t)nombre) : -1;
    int place_manque =
        (o.drapeaux & ORDO_ZORIX_MANQUE) ? (int)hasard_borne(h, (uint32_t)nombre) : -1;
    int fois_zorix = (o.drapeaux & ORDO_ZORIX_DEUX) ? 2 : 1;
    for (int i = 0; i < nombre; ++i) {
        for (int k = 0; i == place_zorix && k < fois_zorix; ++k)
            ajouter_ligne_medicament(h, lignes, mot_au_hasard(h, ZORIX_TROUVES), false);
        if (i == place_manque)
            ajouter_ligne_medicament(h, lignes, mot_au_hasard(h, ZORIX_MANQUES), false);
        ajouter_ligne_medicament(h, lignes, mot_au_hasard(h, MEDICAMENTS), true);
    }
    if (hasard_pour_mille(h, 300))
        ajouter_ligne_simple(lignes, "Ne pas substituer");

    bool maj = (o.drapeaux & ORDO_BALISES_MAJ) != 0;
    std::string partie_texte, partie_rtf;
    if (!(o.drapeaux & ORDO_SANS_TEXT)) {
        partie_texte = maj ? "<TEXT>" : "<text>";
        for (size_t i = 0; i < lignes.size(); ++i) {
            if (i > 0)
                partie_texte += "\r\n";
            partie_texte += lignes[i].texte;
        }
        if (!(o.drapeaux & ORDO_TEXT_OUVERT))
            partie_texte += maj ? "</Text>" : "</text>";
    }
    if (!(o.drapeaux & ORDO_SANS_RTF)) {
        partie_rtf = maj ? "<RTF>" : "<rtf>";
        partie_rtf +=
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 ";
        for (size_t i = 0; i < lignes.size(); ++i) {
            const Ligne& l = lignes[i];
            const char* d = l.texte.data();
            if (l.gras > 0) {
                partie_rtf += "{\\b ";
                ajouter_rtf_octets(partie_rtf, d, d + l.gras);
                partie_rtf += '}';
            }
            ajouter_rtf_octets(partie_rtf, d + l.gras, d + l.texte.size());
            partie_rtf += "\\par\r\n";
        }
        partie_rtf += '}';
        partie_rtf += maj ? "</Rtf>" : "</rtf>";
    }

    sortie += "<ordonnance>";
    if (o.drapeaux & ORDO_ZORIX_DEHORS) {
        sortie += "<titre>";
        sortie += mot_au_hasard(h, ZORIX_TROUVES);
        sortie += "</titre>";
    }
    if (o.drapeaux & ORDO_RTF_AVANT) {
        sortie += partie_rtf;
        sortie += partie_texte;
    } else {
        sortie += partie_texte;
        sortie += partie_rtf;
    }
    sortie += "</ordonnance>";
}
