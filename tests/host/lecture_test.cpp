// Reading an open cabinet through KMAPI.DLL, exactly as the tool calls it.
#include "cabinet_ecrit.h"

static WORD mot(const BYTE* p)
{
    return (WORD)(p[0] | (p[1] << 8));
}
static DWORD dmot(const BYTE* p)
{
    return mot(p) | ((DWORD)mot(p + 2) << 16);
}

TEST_F(Cabinet, EnumereChaqueCleUneFoisDansLOrdreDuFichierPuisZero)
{
    ASSERT_TRUE(ouvrir("Cabinet A"));
    EXPECT_EQ(KMNumberOfKey(34), 5);
    std::vector<LONG> attendues = {500, -7, 2147483647, (LONG)0x80000000, 42};
    EXPECT_EQ(toutes_les_cles(), attendues);

    char cle[MAX_KEYLEN];
    EXPECT_EQ(KMNextKey(34, cle), 0);
    EXPECT_EQ(KMNextKey(34, cle), 0);
    // A new enumeration starts over; the key buffer holds the key as text.
    EXPECT_EQ(KMFirstKey(34, cle), 500);
    EXPECT_STREQ(cle, "500");
    EXPECT_EQ(KMNextKey(34, cle), -7);
    EXPECT_STREQ(cle, "-7");
}

TEST_F(Cabinet, EnteteDeDossierAuxBonsDecalagesSansToucherLaSuite)
{
    ASSERT_TRUE(ouvrir("Cabinet A"));
    BYTE rec[sizeof(RECOrdonnances)];
    // clang-format off
    struct { LONG cle; signed char type; WORD fiche; DWORD date; } cas[] = {
        {500, 7, 12, date(12, 3, 2003)},
        {-7, 1, 12, date(1, 2, 2003)},
        {(LONG)0x80000000, 7, 65535, 0},
        {42, 2, 0, date(15, 7, 2002)},
    };
    // clang-format on
    for (auto& c : cas) {
        memset(rec, 0xCC, sizeof(rec));
        EXPECT_TRUE(ReadDossiers2(c.cle, rec)) << c.cle;
        EXPECT_EQ(dmot(rec + 0), (DWORD)c.cle);
        EXPECT_EQ((signed char)rec[10], c.type) << c.cle;
        EXPECT_EQ(mot(rec + 11), c.fiche) << c.cle;
        EXPECT_EQ(dmot(rec + 13), c.date) << c.cle;
        EXPECT_STREQ((const char*)rec + 21, "docteur");
        for (size_t i = sizeof(RECDossiers); i < sizeof(rec); i++)
            ASSERT_EQ(rec[i], 0xCC) << "byte " << i << " of key " << c.cle;
    }
    // Unknown keys, 0 included, leave the record alone.
    for (LONG inconnue : {0L, 1L, 501L, -8L}) {
        memset(rec, 0xCC, sizeof(rec));
        EXPECT_FALSE(ReadDossiers2(inconnue, rec));
        for (BYTE b : rec)
            ASSERT_EQ(b, 0xCC) << inconnue;
    }
}

TEST_F(Cabinet, TexteDOrdonnanceDansUnBlocMobileAUtiliserEtLiberer)
{
    ASSERT_TRUE(ouvrir("Cabinet A"));
    // clang-format off
    struct { LONG cle; const char* texte; const char* titre; } cas[] = {
        {500, TEXTE_500, "Ordonnance Zorix"},
        {2147483647, TEXTE_MAX, ""},  // record ended by CR LF: no CR in the text
    };
    // clang-format on
    for (auto& c : cas) {
        RECOrdonnances rec;
        memset(&rec, 0xCC, sizeof(rec));
        HGLOBAL h = ReadXMLOrdonnances(c.cle, &rec);
        ASSERT_NE(h, nullptr) << c.cle;
        EXPECT_GE(GlobalSize(h), strlen(c.texte) + 1);
        char* texte = (char*)GlobalLock(h);
        ASSERT_NE(texte, nullptr);
        EXPECT_NE((void*)texte, (void*)h) << "a movable block";
        EXPECT_STREQ(texte, c.texte);
        EXPECT_STREQ(rec.szTitle, c.titre);
        EXPECT_EQ(rec.cType, DOSSIERS_ORDONNANCES);
        texte[5] = '\0';  // the tool cuts the text in place
        EXPECT_FALSE(GlobalUnlock(h));
        EXPECT_EQ(GlobalFree(h), nullptr);
    }

    // Each call gives a fresh copy: the cut above is not seen again.
    HGLOBAL h = ReadXMLOrdonnances(500, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ((const char*)GlobalLock(h), TEXTE_500);
    GlobalUnlock(h);
    GlobalFree(h);

    // No text: a prescription without a record, other types, unknown keys.
    for (LONG cle : {(LONG)0x80000000, -7L, 42L, 0L, 499L}) {
        BYTE rec[sizeof(RECOrdonnances)];
        memset(rec, 0xCC, sizeof(rec));
        EXPECT_EQ(ReadXMLOrdonnances(cle, rec), nullptr) << cle;
        for (BYTE b : rec)
            ASSERT_EQ(b, 0xCC) << cle;
    }
}

TEST_F(Cabinet, TitreLongCoupeDansSonChamp)
{
    FICHIERS_CABINET f = cabinet_de_reference();
    f.dossiers += "43\t7\t0\t15/07/2002\t" + std::string(100, 'T') + "\n";
    f.ordonnances += enregistrement(43, "");
    ecrire("Titres", f);
    ASSERT_TRUE(ouvrir("Titres"));
    RECOrdonnances rec;
    memset(&rec, 0xCC, sizeof(rec));
    HGLOBAL h = ReadXMLOrdonnances(43, &rec);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ((const char*)GlobalLock(h), "");  // an empty text is still a text
    GlobalUnlock(h);
    GlobalFree(h);
    EXPECT_EQ(std::string(rec.szTitle), std::string(80, 'T'));
}

TEST_F(Cabinet, PatientLuParNumeroDeFiche)
{
    ASSERT_TRUE(ouvrir("Cabinet A"));
    HGLOBAL hp = OpenPatients(0);
    ASSERT_NE(hp, nullptr);
    BYTE* p = (BYTE*)GlobalLock(hp);
    ASSERT_NE(p, nullptr);

    // clang-format off
    struct { WORD fiche; const char* nom; const char* prenom; DWORD nai; } cas[] = {
        {12, "MARTIN", "Jeanne", date(15, 7, 1950)},
        {0, "DUPONT", "Andr\351", date(29, 2, 1980)},
        {65535, "ABCDEFGHIJKLMNOPQRST", "abcdefghijklmnopqrst", date(1, 1, 2000)},
    };
    // clang-format on
    for (auto& c : cas) {
        memset(p, 0xCC, sizeof(RECPatients));
        p[474] = (BYTE)c.fiche;
        p[475] = (BYTE)(c.fiche >> 8);
        p[20] = p[41] = 0;
        EXPECT_TRUE(ReadPatients(p, PATIENTS_BY_REC)) << c.fiche;
        EXPECT_STREQ((const char*)p + 20, c.nom);
        EXPECT_STREQ((const char*)p + 41, c.prenom);
        EXPECT_EQ(p[40], 0);  // 20-byte names end inside their 21 bytes
        EXPECT_EQ(p[61], 0);
        EXPECT_EQ(dmot(p + 85), c.nai);
        EXPECT_EQ(mot(p + 474), c.fiche);
    }

    // Unknown file number: FALSE, and not one byte changed.
    memset(p, 0xCC, sizeof(RECPatients));
    p[474] = 13;
    p[475] = 0;
    BYTE avant[sizeof(RECPatients)];
    memcpy(avant, p, sizeof(avant));
    EXPECT_FALSE(ReadPatients(p, PATIENTS_BY_REC));
    EXPECT_EQ(memcmp(avant, p, sizeof(avant)), 0);

    GlobalUnlock(hp);
    EXPECT_TRUE(ClosePatients(hp));
}
