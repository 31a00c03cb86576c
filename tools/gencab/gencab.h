// gencab: demonstration cabinets and the answers a search must give on them.
// Plain functions over plain records; everything is Windows-1252 bytes.
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

// ---- Pseudo-random numbers (hasard.cpp) ------------------------------------
// Integer-only so that the same seed gives the same cabinet on every build.
struct Hasard {
    uint64_t etat;
};

void hasard_semer(Hasard& h, uint64_t graine);
uint64_t hasard_suivant(Hasard& h);
uint32_t hasard_borne(Hasard& h, uint32_t n);       // 0..n-1, n > 0
bool hasard_pour_mille(Hasard& h, uint32_t p);      // true p times in 1000
uint32_t melange_cle(uint32_t x, uint64_t graine);  // bijection of 32-bit values

// ---- Dates (calendrier.cpp) --------------------------------------------------
// Packed date: year << 16 | month << 8 | day.
uint32_t date_packee(int jour, int mois, int annee);
int jour_de(uint32_t d);
int mois_de(uint32_t d);
int annee_de(uint32_t d);
bool annee_bissextile(int annee);
int jours_dans_mois(int mois, int annee);
int32_t jours_depuis_origine(int jour, int mois, int annee);  // valid dates only
uint32_t date_du_jour_numero(int32_t n);
// JJ/MM/AAAA with day and month 0..255, year 0..65535; digits only, any number.
bool lire_date(const char* s, size_t n, uint32_t& date);
void ajouter_date(std::string& s, uint32_t date);  // "%02d/%02d/%4d"
// Completed years and months from birth to reference; 0, 0 when born later or
// when either date is no calendar day.
void calculer_age(uint32_t naissance, uint32_t reference, int& ans, int& mois);
uint32_t date_locale_du_jour(void);

// ---- Appending text without the C library's formatting -----------------------
void ajouter_entier(std::string& s, long long v);

// ---- Names, drugs and phrases of the generated cabinets (lexique.cpp) -------
struct Liste {
    const char* const* mots;
    int nombre;
};
extern const Liste NOMS_FAMILLE;
extern const Liste PRENOMS;
extern const Liste MEDECINS;
extern const Liste VILLES;
extern const Liste MEDICAMENTS;
extern const Liste FORMES;
extern const Liste POSOLOGIES;
extern const Liste ZORIX_TROUVES;  // spellings a search for "Zorix" finds
extern const Liste ZORIX_MANQUES;  // near misses it must not find
extern const Liste TITRES_CONSULTATION;
extern const Liste TITRES_COURRIER;
extern const Liste TITRES_RESULTAT;
extern const Liste TITRES_ORDONNANCE;
extern const Liste TITRES_ZORIX;  // titles that mention the drug
const char* mot_au_hasard(Hasard& h, const Liste& l);

// ---- Prescription text (redaction.cpp) ----------------------------------------
enum {
    ORDO_SANS_RTF = 1,        // no <rtf> part
    ORDO_SANS_TEXT = 2,       // no <text> part
    ORDO_BALISES_MAJ = 4,     // tags in mixed case: <TEXT>...</Text>
    ORDO_RTF_AVANT = 8,       // <rtf> part before <text>
    ORDO_TEXT_OUVERT = 16,    // <text> never closed
    ORDO_ZORIX = 32,          // names the drug in one of its found spellings
    ORDO_ZORIX_MANQUE = 64,   // holds a near miss
    ORDO_ZORIX_DEHORS = 128,  // names the drug outside both parts only
    ORDO_ZORIX_DEUX = 256,    // names it on a second line too
    ORDO_ZORIX_ACCENT = 512,  // in a spelling with an accented letter
};

struct Ordonnance {
    const char* nom;
    const char* prenom;
    uint32_t date;
    unsigned drapeaux;
    uint64_t graine_rtf;  // seeds the RTF's styling, apart from the cabinet's stream
};

// Appends the whole XML form of one prescription to sortie. Its <rtf> part
// shows the same lines as its <text> part, written as a rich-edit control
// writes them; every choice of form comes from o.graine_rtf, none from h.
void rediger_ordonnance(Hasard& h, const Ordonnance& o, std::string& sortie);

// ---- Writing a cabinet (ecriture.cpp) -------------------------------------------
struct ParametresCabinet {
    std::string dossier;
    std::string cabinet;
    std::string utilisateur;
    uint64_t graine;
    long long entrees;
    long patients;
    // The hard cases, more often: file number 65535 among the patients (its
    // prescription has only an <rtf> part, the drug spelt with an accent),
    // prescriptions with only an <rtf> part or the drug on two lines, entries
    // on the same day. Off, the same seed writes the same cabinet as ever.
    bool difficiles = false;
};

bool ecrire_cabinet(const ParametresCabinet& p, std::string& erreur);
// One record of ordonnances.txt: "@@ <cle> <length>", the text, each ended by
// fin ("\n", or "\r\n" which the host reads as well).
void ajouter_enregistrement(std::string& sortie, int32_t cle, const std::string& texte,
                            const char* fin = "\n");
std::string enregistrement(int32_t cle, const std::string& texte, const char* fin = "\n");
std::string chemin_fichier(const std::string& dossier, const std::string& cabinet,
                           const char* fichier);

// ---- Reading a cabinet back (lecture.cpp) ---------------------------------------
struct FichePatient {
    uint16_t fiche;
    std::string nom;
    std::string prenom;
    uint32_t naissance;
};

struct EntreeDossier {
    int32_t cle;
    int type;
    uint16_t fiche;
    uint32_t date;
    bool a_texte;  // a record in ordonnances.txt
    size_t debut;  // offset of its bytes in CabinetLu::ordonnances
    size_t longueur;
};

struct CabinetLu {
    std::vector<std::string> utilisateurs;
    std::vector<FichePatient> patients;  // ascending file number
    std::vector<EntreeDossier> entrees;  // ascending key
    std::string ordonnances;             // ordonnances.txt as read
};

// Reads and checks the four files; false with a reason when the cabinet is
// corrupt (the host would refuse to open it).
bool lire_cabinet(const std::string& dossier, const std::string& nom, CabinetLu& c,
                  std::string& erreur);
bool lire_fichier(const std::string& chemin, std::string& contenu);

// ---- Expected answer of a search (attendu.cpp) -----------------------------------
// Whether the prescription text (cut at its first NUL) matches the search text.
bool ordonnance_attendue(const std::string& texte, const std::string& recherche);
// One line per listed patient, "fiche\tnom\tage\tnb\tpremiere\tderniere\n",
// then "RESUME\t%d occ. - %d Patients\n".
std::string calculer_attendu(const CabinetLu& c, const std::string& recherche, uint32_t aujourdhui);

// ---- Command line (commande.cpp) --------------------------------------------------
int gencab_principal(int argc, char** argv);
