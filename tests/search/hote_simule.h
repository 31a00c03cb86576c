// A host library played from a script, linked in place of KMAPI.DLL: the
// keys, entries, texts and patients it gives, the failures it shows, and a
// journal of every call the search made.
#pragma once

#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gencab.h"

enum FormeTexte {
    TEXTE_NORMAL,           // moveable block, the text and its NUL
    TEXTE_ABSENT,           // ReadXMLOrdonnances gives NULL
    TEXTE_INVERROUILLABLE,  // a discarded block: GlobalLock gives NULL
    TEXTE_SANS_NUL,         // the bytes of the text and no NUL at all
    TEXTE_BLOC_VIDE,        // a fixed block of 0 bytes
};

enum FormeBloc { BLOC_NORMAL, BLOC_ABSENT, BLOC_INVERROUILLABLE, BLOC_COURT };

struct EntreeSimulee {
    signed char type;
    WORD fiche;
    DWORD date;
    std::string texte;
    FormeTexte forme;
    bool lecture_ratee;  // ReadDossiers2 writes nothing and gives 0
};

struct PatientSimule {
    std::string nom, prenom;  // up to 21 bytes each; 21 leave no NUL
    DWORD naissance;
    std::string nom_jf;  // the field after szPrenom
};

struct ScriptHote {
    std::vector<LONG> cles;  // enumeration order; then KMNextKey gives 0
    bool annonce_fixee;
    int annonce;  // KMNumberOfKey; the number of keys unless fixed
    std::map<LONG, EntreeSimulee> entrees;
    std::map<WORD, PatientSimule> patients;
    FormeBloc bloc_dossiers, bloc_patients;
    DWORD aujourdhui;
    std::function<void(HWND)> pendant_boucle;  // runs inside KMMessageLoop
    // What every call whose result the tool must ignore gives; empty: the
    // host's own answer.
    std::function<BOOL()> resultat_ignore;
};

struct Appel {
    std::string nom;
    long long arg;
};

struct JournalHote {
    std::vector<Appel> appels;
    std::vector<LONG> lus;              // keys given to ReadDossiers2, in order
    std::vector<int> positions_boucle;  // progress position at each KMMessageLoop
    std::vector<HGLOBAL> textes;        // every text block handed out
    int blocs_patients;                 // patient buffers handed out (not NULL)
    int xml_hors_ordonnance;  // ReadXMLOrdonnances not after a good read of a prescription
    int ordo_non_vierge;      // ReadXMLOrdonnances given a record with a byte after
                              // the header that ReadDossiers2 did not clear
    int verrous_dossiers, verrous_patients;  // lock count when closed; -1 if not closed
    int fermetures_dossiers, fermetures_patients;
    int curseur_perdu;  // calls that found the key buffer not as the host last wrote it
    int textes_perdus;  // calls that found a text KMOpenCabinet kept changed
};

extern ScriptHote script_hote;
extern JournalHote journal_hote;

void hote_remise_a_zero();
// From here on the host draws from the seed whatever the contract leaves open:
// the keys' order and announced count, every ignored result, noise in the
// fields the tool does not read, the text blocks' kind and slack, whether
// KMMessageLoop dispatches, and it keeps the key buffer as its cursor. Ages
// are gencab's. Returns what it drew, for a failure's message.
std::string hote_varie(uint64_t graine);

// An entry, its key appended to the enumeration.
void ajouter_entree(LONG cle, signed char type, WORD fiche, DWORD date, const std::string& texte,
                    FormeTexte forme = TEXTE_NORMAL);
// A prescription whose text part holds `mots`.
void ajouter_ordonnance(LONG cle, WORD fiche, DWORD date, const std::string& mots);
void ajouter_patient(WORD fiche, const std::string& nom, const std::string& prenom,
                     DWORD naissance);

int nombre_appels(const char* nom);
