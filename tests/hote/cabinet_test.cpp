// Opening, refusing and closing cabinets; calls with no cabinet open.
#include "cabinet_ecrit.h"

// Nothing is open: every call answers empty and writes nothing.
static void rien_d_ouvert()
{
    char cle[MAX_KEYLEN] = "x";
    EXPECT_EQ(KMNumberOfKey(34), 0);
    EXPECT_EQ(KMFirstKey(34, cle), 0);
    EXPECT_EQ(KMNextKey(34, cle), 0);
    EXPECT_EQ(KMNextKey(34, cle), 0);

    BYTE rec[sizeof(RECPatients)];
    memset(rec, 0xCC, sizeof(rec));
    rec[474] = 12;
    rec[475] = 0;
    EXPECT_FALSE(ReadDossiers2(500, rec));
    EXPECT_EQ(ReadXMLOrdonnances(500, rec), nullptr);
    EXPECT_FALSE(ReadPatients(rec, PATIENTS_BY_REC));
    for (size_t i = 0; i < sizeof(rec); i++) {
        if (i == 474 || i == 475) continue;
        ASSERT_EQ(rec[i], 0xCC) << "byte " << i;
    }
}

TEST_F(Cabinet, SansCabinetToutEstVideEtInoffensif)
{
    rien_d_ouvert();
    // The two record buffers are plain buffers: they work without a cabinet,
    // and closing one twice or with the wrong call is refused.
    HGLOBAL d = OpenDossiers(1363, 0, 0, 0);
    HGLOBAL p = OpenPatients(0);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(p, nullptr);
    EXPECT_GE(GlobalSize(d), sizeof(RECDossiers));
    EXPECT_GE(GlobalSize(p), sizeof(RECPatients));
    BYTE* rec = (BYTE*)GlobalLock(p);
    ASSERT_NE(rec, nullptr);
    for (size_t i = 0; i < sizeof(RECPatients); i++) ASSERT_EQ(rec[i], 0) << "zeroed";
    GlobalUnlock(p);
    EXPECT_FALSE(CloseDossiers(p));
    EXPECT_TRUE(CloseDossiers(d));
    EXPECT_FALSE(CloseDossiers(d));
    EXPECT_TRUE(ClosePatients(p));
    EXPECT_FALSE(ClosePatients(p));
    EXPECT_FALSE(ClosePatients(nullptr));
    EXPECT_TRUE(KMCloseCabinet());
    rien_d_ouvert();
}

TEST_F(Cabinet, OuvertureRemplaceLaPrecedenteEtFermetureLibere)
{
    FICHIERS_CABINET b;
    b.utilisateurs = "docteur";
    b.patients = "";
    b.dossiers = "9\t1\t3\t01/01/2001\t\n";
    b.ordonnances = "";
    ecrire("Cabinet B", b);

    ASSERT_TRUE(ouvrir("Cabinet A"));
    ASSERT_TRUE(ouvrir("Cabinet B"));
    EXPECT_EQ(toutes_les_cles(), std::vector<LONG>{9});
    BYTE rec[sizeof(RECDossiers)];
    EXPECT_FALSE(ReadDossiers2(500, rec));

    KMCloseCabinet();
    rien_d_ouvert();

    // The path of KMSetPathCabinet serves when the open names no directory.
    EXPECT_TRUE(KMSetPathCabinet((racine + "\\").c_str()));
    EXPECT_TRUE(KMOpenCabinet("", "Cabinet A", "remplacant", ""));
    EXPECT_EQ(KMNumberOfKey(34), 5);
    EXPECT_TRUE(KMCloseSession());
    rien_d_ouvert();
}

TEST_F(Cabinet, CabinetFauxRefuseEtRienNeResteOuvert)
{
    FICHIERS_CABINET ref = cabinet_de_reference();
    struct { const char* quoi; FICHIERS_CABINET f; bool avecOrdonnances; } cas[] = {
        {"dossier line with a missing field", ref, true},
        {"duplicate key", ref, true},
        {"key 0", ref, true},
        {"record for an unknown key", ref, true},
        {"record for a consultation", ref, true},
        {"two records for one key", ref, true},
        {"truncated record", ref, true},
        {"record length beyond the file", ref, true},
        {"duplicate fiche", ref, true},
        {"name longer than 20 bytes", ref, true},
        {"birth date out of range", ref, true},
        {"blank line", ref, true},
        {"no ordonnances.txt", ref, false},
    };
    cas[0].f.dossiers += "77\t1\t12\t01/01/2001\n";
    cas[1].f.dossiers += "-7\t1\t12\t01/01/2001\t\n";
    cas[2].f.dossiers += "0\t1\t12\t01/01/2001\t\n";
    cas[3].f.ordonnances += enregistrement(501, "x");
    cas[4].f.ordonnances += enregistrement(-7, "x");
    cas[5].f.ordonnances += enregistrement(500, "x");
    cas[6].f.dossiers += "43\t7\t0\t01/01/2001\t\n";
    cas[6].f.ordonnances = ref.ordonnances + "@@ 43 10\nabc";
    cas[7].f.dossiers += "43\t7\t0\t01/01/2001\t\n";
    cas[7].f.ordonnances = ref.ordonnances + "@@ 43 4000000000\nabc\n";
    cas[8].f.patients += "\n12\tAUTRE\tPierre\t01/01/1990\n";
    cas[9].f.patients += "\n13\tABCDEFGHIJKLMNOPQRSTU\tX\t01/01/1990\n";
    cas[10].f.patients += "\n13\tX\tY\t01/13/70000\n";
    cas[11].f.dossiers += "\n";

    ASSERT_TRUE(ouvrir("Cabinet A"));
    for (auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        ecrire("Faux", c.f, c.avecOrdonnances);
        ASSERT_TRUE(ouvrir("Cabinet A"));
        EXPECT_FALSE(ouvrir("Faux"));
        rien_d_ouvert();
    }
    // Unknown cabinet, user or path: refused the same way.
    struct { const char* cabinet; const char* user; } refus[] = {
        {"Absent", "docteur"}, {"Cabinet A", "inconnu"}, {"Cabinet A", ""},
        {"Cabinet A", "Docteur"}, {"", "docteur"}, {"..\\Cabinet A", "docteur"},
    };
    for (auto& r : refus) {
        SCOPED_TRACE(std::string(r.cabinet) + " / " + r.user);
        ASSERT_TRUE(ouvrir("Cabinet A"));
        EXPECT_FALSE(ouvrir(r.cabinet, r.user));
        rien_d_ouvert();
    }
    EXPECT_FALSE(KMOpenCabinet(racine.c_str(), "Cabinet A", nullptr, ""));
    EXPECT_FALSE(KMOpenCabinet(racine.c_str(), nullptr, "docteur", ""));
    // A good cabinet still opens after all that.
    EXPECT_TRUE(ouvrir("Cabinet A"));
    EXPECT_EQ(KMNumberOfKey(34), 5);
}

struct ETAT_FICHIER {
    std::string nom, contenu;
    FILETIME ecriture;
    bool operator==(const ETAT_FICHIER& o) const
    {
        return nom == o.nom && contenu == o.contenu && CompareFileTime(&ecriture, &o.ecriture) == 0;
    }
};

static std::vector<ETAT_FICHIER> photographier(const std::string& dossier)
{
    std::vector<ETAT_FICHIER> etat;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dossier + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return etat;
    do {
        etat.push_back({fd.cFileName, lire_fichier(dossier + "\\" + fd.cFileName), fd.ftLastWriteTime});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return etat;
}

TEST_F(Cabinet, LectureCompleteNeModifieRienDuCabinet)
{
    std::string dossier = racine + "\\Cabinet A";
    std::vector<ETAT_FICHIER> avant = photographier(dossier);
    ASSERT_EQ(avant.size(), 6u);  // ".", ".." and the four files

    ASSERT_TRUE(ouvrir("Cabinet A"));
    RECOrdonnances rec;
    for (LONG cle : toutes_les_cles()) {
        ReadDossiers2(cle, &rec);
        if (HGLOBAL h = ReadXMLOrdonnances(cle, &rec)) GlobalFree(h);
    }
    HGLOBAL hp = OpenPatients(0);
    RECPatients* p = (RECPatients*)GlobalLock(hp);
    for (WORD fiche : {0, 12, 65535}) {
        p->uFiche = fiche;
        ReadPatients(p, PATIENTS_BY_REC);
    }
    GlobalUnlock(hp);
    ClosePatients(hp);
    // Reading is allowed to others while the cabinet is open.
    EXPECT_EQ(lire_fichier(dossier + "\\ordonnances.txt"), cabinet_de_reference().ordonnances);
    KMCloseCabinet();

    EXPECT_TRUE(photographier(dossier) == avant);
}
