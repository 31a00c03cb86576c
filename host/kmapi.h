// Operations and records of the host library KMAPI.DLL, as the tool calls them.
// Every operation is __stdcall, exported under its plain name; every argument
// and result is 32 bits on i686. The records are packed and little-endian.
#pragma once

#include <windows.h>
#include <cstddef>

#define DOSSIERS_ORDONNANCES 7  // chart-entry type of a prescription
#define MAX_KEYLEN 64           // size of the key-enumeration buffer
#define MAX_DOSSIERS 65536      // one tally entry per possible file number
#define PATIENTS_BY_REC 1       // ReadPatients mode: look up by uFiche

// The numbers the tool passes where a call takes one it does not explain.
// What each selects is the host's own; the names say only where each goes.
#define KMOPENSESSION_MODE 1       // KMOpenSession
#define OPENDOSSIERS_FICHIER 1363  // OpenDossiers, first argument
#define OPENDOSSIERS_OPTION 0      // OpenDossiers, each of the other three
#define KMKEY_INDEX 34             // KMNumberOfKey, KMFirstKey, KMNextKey
#define OPENPATIENTS_MODE 0        // OpenPatients

#pragma pack(push, 1)

struct RECDossiers {
    DWORD dwIdent;
    WORD wStatus;
    DWORD dwLength;
    signed char cType;
    WORD uFiche;
    DWORD Date;
    DWORD Time;
    char szUser[16];
    short nWarning;
    WORD uRecLen;
    WORD uTextLen;
};

struct RECOrdonnances {
    DWORD dwIdent;
    WORD wStatus;
    DWORD dwLength;
    signed char cType;
    WORD uFiche;
    DWORD Date;
    DWORD Time;
    char szUser[16];
    short nWarning;
    WORD uRecLen;
    WORD uTextLen;
    short bType;
    char szTitle[81];
    WORD uStartOfText;
    WORD uEndOfText;
    BYTE Extension[12];
};

struct RECPatients {
    WORD wStatus;
    short bDeleted;
    char szDossier[16];
    char szNom[21];
    char szPrenom[21];
    char szNomJF[21];
    signed char cSexe;
    signed char cSitFam;
    DWORD DateNai;
    char szLieuNai[41];
    char szAdresse[81];
    char szCPostal[6];
    char szVille[21];
    char szTelPerso[12];
    char szTelPro[12];
    short nEnfants;
    short nTaille;
    short nPoids;
    char szGroupe[11];
    char szProfession[41];
    char szNumSS[31];
    char szCaisse[21];
    char szTiers[21];
    char szRemarque[81];
    WORD uFiche;
    char szUser[16];
    DWORD DateFiche;
    DWORD DateConsulte;
    short nCourrier;
    short nOrdonnance;
    char szMedecin[81];
    char szLibZone1[11];
    char szLibZone2[11];
    char szLibZone3[11];
    char szLibZone4[11];
    char szZone1[25];
    char szZone2[25];
    char szZone3[25];
    char szZone4[25];
    char szLibCZone1[11];
    char szLibCZone2[11];
    char szLibCZone3[11];
    char szLibCZone4[11];
    BYTE cMaskEvent;
    BYTE cSeparatorPos;
    WORD nItems;
    DWORD DateDeces;
    DWORD uIDIMS;
    WORD uTraitementID;
    signed char cRangGemellaire;
    BYTE Extension2[1];
};

#pragma pack(pop)

static_assert(sizeof(RECDossiers) == 43, "RECDossiers is 43 bytes");
static_assert(sizeof(RECOrdonnances) == 142, "RECOrdonnances is 142 bytes");
static_assert(sizeof(RECPatients) == 789, "RECPatients is 789 bytes");
static_assert(offsetof(RECDossiers, cType) == 10, "cType");
static_assert(offsetof(RECDossiers, uFiche) == 11, "uFiche");
static_assert(offsetof(RECDossiers, Date) == 13, "Date");
static_assert(offsetof(RECDossiers, szUser) == 21, "szUser");
static_assert(offsetof(RECDossiers, uTextLen) == 41, "uTextLen");
static_assert(offsetof(RECOrdonnances, cType) == 10, "cType");
static_assert(offsetof(RECOrdonnances, uFiche) == 11, "uFiche");
static_assert(offsetof(RECOrdonnances, Date) == 13, "Date");
static_assert(offsetof(RECOrdonnances, bType) == 43, "bType");
static_assert(offsetof(RECOrdonnances, szTitle) == 45, "szTitle");
static_assert(offsetof(RECOrdonnances, uStartOfText) == 126, "uStartOfText");
static_assert(offsetof(RECOrdonnances, Extension) == 130, "Extension");
static_assert(offsetof(RECPatients, szNom) == 20, "szNom");
static_assert(offsetof(RECPatients, szPrenom) == 41, "szPrenom");
static_assert(offsetof(RECPatients, DateNai) == 85, "DateNai");
static_assert(offsetof(RECPatients, szRemarque) == 393, "szRemarque");
static_assert(offsetof(RECPatients, uFiche) == 474, "uFiche");
static_assert(offsetof(RECPatients, szMedecin) == 504, "szMedecin");
static_assert(offsetof(RECPatients, DateDeces) == 777, "DateDeces");
static_assert(offsetof(RECPatients, Extension2) == 788, "Extension2");

// No dllimport: the tool calls through the import library's thunks, so a test
// can link its own definitions in place of the DLL.
extern "C" {
BOOL WINAPI KMOpenSession(int nMode);
BOOL WINAPI KMCloseSession(void);
BOOL WINAPI KMSetPathCabinet(const char* pszDir);
BOOL WINAPI KMOpenCabinet(const char* pszDir, const char* pszCabinet, const char* pszUser,
                          const char* pszExtra);
BOOL WINAPI KMCloseCabinet(void);
HGLOBAL WINAPI OpenDossiers(int nFichier, int nOption1, int nOption2, int nOption3);
int WINAPI KMNumberOfKey(int nIndex);
LONG WINAPI KMFirstKey(int nIndex, char* pszKey);
LONG WINAPI KMNextKey(int nIndex, char* pszKey);
BOOL WINAPI ReadDossiers2(LONG lKey, void* pRecord);
HGLOBAL WINAPI ReadXMLOrdonnances(LONG lKey, void* pRecord);
BOOL WINAPI KMMessageLoop(HWND hwnd);
BOOL WINAPI CloseDossiers(HGLOBAL hDossiers);
HGLOBAL WINAPI OpenPatients(int nMode);
BOOL WINAPI ReadPatients(void* pRecord, int nMode);
BOOL WINAPI ClosePatients(HGLOBAL hPatients);
DWORD WINAPI Today(void);
DWORD WINAPI GetAge(DWORD dwBirth, DWORD dwReference);
}
