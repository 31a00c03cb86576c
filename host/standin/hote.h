// Inner state of the stand-in host library: the open cabinet and what its
// files hold once read. Every file is mapped read-only; offsets are 32-bit,
// so a cabinet file must stay under 4 GB.
#pragma once

#include <windows.h>

#include "kmapi.h"

// A cabinet file mapped read-only for as long as the cabinet is open.
struct FICHIER {
    HANDLE hFichier;
    HANDLE hProjection;
    const char* pDonnees;  // NULL for an empty file
    DWORD cbTaille;
};

// One chart entry (24 bytes; a million of them make a large cabinet).
struct ENTREE {
    LONG cle;
    DWORD Date;
    DWORD offTitre;  // in dossiers.txt
    DWORD offTexte;  // in ordonnances.txt; 0: no prescription text
    DWORD lgTexte;
    WORD uFiche;
    signed char cType;
    BYTE lgTitre;  // already cut to what szTitle holds
};

struct PATIENT {
    char szNom[21];
    char szPrenom[21];
    WORD uFiche;
    DWORD DateNai;
};

#define LG_TITRE_MAX 80
#define LG_NOM_MAX 20
#define NB_FICHES 65536

struct CABINET {
    FICHIER dossiers;
    FICHIER ordonnances;
    ENTREE* entrees;  // in the order of dossiers.txt, which is the key order
    DWORD nEntrees;
    DWORD* table;  // open addressing on the key: entry index + 1, 0 = free
    DWORD masque;  // table size - 1 (a power of two)
    PATIENT* patients;
    DWORD* indexPatients;  // NB_FICHES slots: patient index + 1, 0 = unknown fiche
    char szUser[16];
};

// session.cpp: the open cabinet, if any.
extern CABINET g_cabinet;
extern bool g_ouvert;
extern DWORD g_curseur;  // next entry that KMNextKey gives

// ressources.cpp: mapped files and large zeroed blocks (VirtualAlloc, so that
// closing a cabinet gives all of it back to the system).
bool ouvrir_fichier(const char* chemin, FICHIER* f);
void fermer_fichier(FICHIER* f);
void* allouer(SIZE_T nombre, SIZE_T taille);
void liberer(void* p);

// chargement.cpp: reads the cabinet folder into a fresh state; on failure the
// caller releases whatever was filled in.
bool charger_cabinet(const char* dossier, const char* user, CABINET* c);
void liberer_cabinet(CABINET* c);

// index.cpp
bool preparer_index(CABINET* c, DWORD nMax);
bool indexer_entree(CABINET* c, DWORD i);  // false: key already there
ENTREE* trouver_entree(const CABINET* c, LONG cle);

// dossiers.cpp: the chart-entry header as ReadDossiers2 and ReadXMLOrdonnances fill it.
void remplir_entete(const ENTREE* e, RECDossiers* r);

// tampons.cpp: the plain record buffers of OpenDossiers and OpenPatients.
enum { TAMPON_DOSSIERS = 1, TAMPON_PATIENTS = 2 };
HGLOBAL ouvrir_tampon(int genre, SIZE_T cb);
BOOL fermer_tampon(int genre, HGLOBAL h);
