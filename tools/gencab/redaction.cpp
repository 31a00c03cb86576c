// The text of one prescription, in the XML form the host hands out: a plain
// <text> part and the same lines again as RTF.
#include "gencab.h"

#include <algorithm>

static const char CHIFFRES_HEX[] = "0123456789abcdef";

// The characters of Windows-1252 bytes 0x80-0x9F, written as \uN; 0 where a
// byte has none.
// clang-format off
static const uint16_t UNICODE_80_9F[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

// RTF as a rich-edit control writes it, being written.
struct Rtf {
    std::string texte;
    Hasard style;           // every choice of form, apart from the cabinet's stream
    size_t colonne;         // bytes since the last line break of the source
    size_t largeur;         // where the source's lines are broken, mid-word or not
    bool delimiteur;        // the last control word still wants its space
    uint32_t pour_mille_u;  // how often an accent is written \uN with a stand-in
    bool repli_hex;         // the stand-in is \'xx rather than ?
};

// Control words or braces: text after a word needs the space that ends it.
static void ecrire_mots(Rtf& r, const char* mots)
{
    std::string m = mots;
    r.texte += m;
    r.colonne += m.size();
    unsigned char fin = (unsigned char)m.back();
    r.delimiteur = (fin >= 'a' && fin <= 'z') || (fin >= '0' && fin <= '9');
}

static void ajouter_hex(std::string& s, unsigned char c)
{
    s += "\\'";
    s += CHIFFRES_HEX[c >> 4];
    s += CHIFFRES_HEX[c & 15];
}

// One byte of text; long source lines are broken before it.
static void ecrire_octet(Rtf& r, unsigned char c)
{
    std::string forme;
    uint32_t u = c >= 0x80 && c < 0xA0 ? UNICODE_80_9F[c - 0x80] : c;
    if (c >= 0x80 && u != 0 && hasard_pour_mille(r.style, r.pour_mille_u)) {
        forme = "\\u";
        ajouter_entier(forme, u);
        if (r.repli_hex)
            ajouter_hex(forme, c);
        else
            forme += '?';
    } else if (c >= 0x80 || c < 0x20) {
        ajouter_hex(forme, c);
    } else if (c == '\\' || c == '{' || c == '}') {
        forme = '\\';
        forme += (char)c;
    } else {
        forme = (char)c;
    }
    if (r.colonne >= r.largeur) {
        r.texte += r.delimiteur ? " \r\n" : "\r\n";
        r.colonne = 0;
        r.delimiteur = false;
    }
    if (r.delimiteur && forme[0] != '\\')
        r.texte += ' ';
    r.delimiteur = false;
    r.texte += forme;
    r.colonne += forme.size();
}

// Control words to put before the byte at `place` of a line (at its end when
// place is its length).
struct Marque {
    size_t place;
    const char* mots;
};

// A run of formatting from debut to fin, either ends possibly inside a word.
static void marquer(std::vector<Marque>& m, size_t debut, size_t fin, const char* ouvre,
                    const char* ferme)
{
    m.push_back(Marque{debut, ouvre});
    m.push_back(Marque{fin, ferme});
}

// A line's text with its drug in bold (the first `gras` bytes, give or take)
// and now and then a run underlined, in italics or in colour, then \par.
static void ecrire_ligne_rtf(Rtf& r, const std::string& ligne, size_t gras)
{
    std::vector<Marque> marques;
    size_t n = ligne.size();
    if (gras > 0) {
        size_t fin =
            hasard_pour_mille(r.style, 400) ? 1 + hasard_borne(r.style, (uint32_t)n) : gras;
        size_t debut = hasard_pour_mille(r.style, 300) ? hasard_borne(r.style, (uint32_t)fin) : 0;
        if (hasard_pour_mille(r.style, 500))
            marquer(marques, debut, fin, "{\\b", "}");
        else
            marquer(marques, debut, fin, "\\b", "\\b0");
    }
    static const struct {
        uint32_t pour_mille;
        const char* ouvre;
        const char* ferme;
    } courses[] = {
        {150, "\\ul", "\\ulnone"},
        {50, "\\i", "\\i0"},
        {50, "\\cf1", "\\cf0"},
        {20, "\\f1", "\\f0"},
    };
    for (const auto& c : courses) {
        if (n == 0 || !hasard_pour_mille(r.style, c.pour_mille))
            continue;
        size_t debut = hasard_borne(r.style, (uint32_t)n);
        size_t fin = debut + 1 + hasard_borne(r.style, (uint32_t)(n - debut));
        marquer(marques, debut, fin, c.ouvre, c.ferme);
    }
    std::stable_sort(marques.begin(), marques.end(),
                     [](const Marque& a, const Marque& b) { return a.place < b.place; });
    size_t k = 0;
    for (size_t i = 0; i <= n; ++i) {
        for (; k < marques.size() && marques[k].place == i; ++k)
            ecrire_mots(r, marques[k].mots);
        if (i < n)
            ecrire_octet(r, (unsigned char)ligne[i]);
    }
    ecrire_mots(r, "\\par");
    r.texte += "\r\n";
    r.colonne = 0;
    r.delimiteur = false;
}

// The header a rich-edit control writes: font and colour tables and the
// writer's name, none of it shown.
static void ecrire_entete_rtf(Rtf& r)
{
    static const char* const polices[] = {"\\fswiss Arial", "\\fnil Calibri",
                                          "\\froman Times New Roman"};
    static const char* const tailles[] = {"\\fs20", "\\fs22", "\\fs24"};
    r.texte = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0";
    r.texte += polices[hasard_borne(r.style, 3)];
    r.texte +=
        ";}{\\f1\\fmodern Courier New;}}\r\n"
        "{\\colortbl ;\\red192\\green0\\blue0;}\r\n"
        "{\\*\\generator Scribelle 2.4;}\\viewkind4\\uc1\\pard\\f0";
    r.colonne = r.texte.size() - (r.texte.rfind('\n') + 1);
    ecrire_mots(r, tailles[hasard_borne(r.style, 3)]);
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

// A found spelling of the drug; with `accent`, the first one from the drawn
// place on that has an accented letter, for the same single draw.
static const char* zorix_au_hasard(Hasard& h, bool accent)
{
    uint32_t k = hasard_borne(h, (uint32_t)ZORIX_TROUVES.nombre);
    for (uint32_t essais = 0; accent && essais < (uint32_t)ZORIX_TROUVES.nombre; ++essais) {
        for (const char* c = ZORIX_TROUVES.mots[k]; *c; ++c)
            if ((unsigned char)*c >= 0xC0)
                return ZORIX_TROUVES.mots[k];
        k = (k + 1) % (uint32_t)ZORIX_TROUVES.nombre;
    }
    return ZORIX_TROUVES.mots[k];
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
            ajouter_ligne_medicament(
                h, lignes, zorix_au_hasard(h, (o.drapeaux & ORDO_ZORIX_ACCENT) != 0), false);
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
        Rtf r = {};
        hasard_semer(r.style, o.graine_rtf);
        r.largeur = 30 + hasard_borne(r.style, 120);
        static const uint32_t frequences_u[] = {0, 0, 500, 1000};
        r.pour_mille_u = frequences_u[hasard_borne(r.style, 4)];
        r.repli_hex = hasard_pour_mille(r.style, 500);
        ecrire_entete_rtf(r);
        for (const Ligne& l : lignes)
            ecrire_ligne_rtf(r, l.texte, l.gras);
        partie_rtf = maj ? "<RTF>" : "<rtf>";
        partie_rtf += r.texte;
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
