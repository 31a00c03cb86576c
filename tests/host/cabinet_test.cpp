// Opening, refusing and closing cabinets; calls with no cabinet open.
#include "cabinet_ecrit.h"

#include <algorithm>

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
        if (i == 474 || i == 475)
            continue;
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
    for (size_t i = 0; i < sizeof(RECPatients); i++)
        ASSERT_EQ(rec[i], 0) << "zeroed";
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

// What a reader keeps of a cabinet: each chart entry in key order with its
// text, then each patient.
static std::string lu_par_l_hote(std::vector<LONG> cles)
{
    std::sort(cles.begin(), cles.end());
    std::string s;
    for (LONG cle : cles) {
        RECOrdonnances rec = {};
        ReadDossiers2(cle, &rec);
        s += std::to_string(cle) + " " + std::to_string(rec.cType) + " " +
             std::to_string(rec.uFiche) + " " + std::to_string(rec.Date);
        if (HGLOBAL h = ReadXMLOrdonnances(cle, &rec)) {
            s += " [" + std::string((const char*)GlobalLock(h), rec.dwLength) + "]";
            GlobalUnlock(h);
            GlobalFree(h);
        }
        s += "\n";
    }
    HGLOBAL hp = OpenPatients(0);
    RECPatients* p = (RECPatients*)GlobalLock(hp);
    for (DWORD fiche = 0; fiche < 65536; fiche++) {
        p->uFiche = (WORD)fiche;
        if (ReadPatients(p, PATIENTS_BY_REC))
            s += std::to_string(fiche) + " " + p->szNom + " " + p->szPrenom + " " +
                 std::to_string(p->DateNai) + "\n";
    }
    GlobalUnlock(hp);
    ClosePatients(hp);
    return s;
}

static std::string lu_par_gencab(const CabinetLu& c)
{
    std::string s;
    for (const EntreeDossier& e : c.entrees) {
        s += std::to_string(e.cle) + " " + std::to_string(e.type) + " " + std::to_string(e.fiche) +
             " " + std::to_string(e.date);
        if (e.a_texte)
            s += " [" + c.ordonnances.substr(e.debut, e.longueur) + "]";
        s += "\n";
    }
    for (const FichePatient& p : c.patients)
        s += std::to_string(p.fiche) + " " + p.nom + " " + p.prenom + " " +
             std::to_string(p.naissance) + "\n";
    return s;
}

// gencab works its expected answers out on what it reads itself: it must open
// and refuse exactly the cabinets the stand-in does, and read the same.
TEST_F(Cabinet, GencabLitLeCabinetCommeLHote)
{
    const FICHIERS_CABINET ref = cabinet_de_reference();
    const std::string SANS = "-2147483648";  // a prescription without a record
    // One file of the reference cabinet replaced; no file: no ordonnances.txt.
    // clang-format off
    struct { const char* quoi; std::string FICHIERS_CABINET::*fichier; std::string contenu; bool ouvert; } cas[] = {
        {"reference cabinet", &FICHIERS_CABINET::utilisateurs, ref.utilisateurs, true},
        {"user on a last line ended by CR", &FICHIERS_CABINET::utilisateurs, "docteur\r", true},
        {"user not listed", &FICHIERS_CABINET::utilisateurs, "remplacant\r\n\r\nDocteur\r\n", false},

        {"duplicate fiche", &FICHIERS_CABINET::patients, ref.patients + "\n12\tAUTRE\tPierre\t01/01/1990\n", false},
        {"fiche beyond 65535", &FICHIERS_CABINET::patients, ref.patients + "\n65536\tX\tY\t01/01/1990\n", false},
        {"fiche -0", &FICHIERS_CABINET::patients, ref.patients + "\n-0\tX\tY\t01/01/1990\n", false},
        {"name longer than 20 bytes", &FICHIERS_CABINET::patients, ref.patients + "\n13\tABCDEFGHIJKLMNOPQRSTU\tX\t01/01/1990\n", false},
        {"NUL in a name", &FICHIERS_CABINET::patients, ref.patients + std::string("\n13\tA\0B\tX\t01/01/1990\n", 21), false},
        {"CR inside a name", &FICHIERS_CABINET::patients, ref.patients + "\n13\tA\rB\tX\t01/01/1990\n", false},
        {"birth date out of range", &FICHIERS_CABINET::patients, ref.patients + "\n13\tX\tY\t01/13/70000\n", false},
        {"blank line among patients", &FICHIERS_CABINET::patients, ref.patients + "\n\n13\tX\tY\t01/01/1990", false},

        {"dossier line with a missing field", &FICHIERS_CABINET::dossiers, ref.dossiers + "77\t1\t12\t01/01/2001\n", false},
        {"TAB in a title", &FICHIERS_CABINET::dossiers, ref.dossiers + "77\t1\t12\t01/01/2001\tun\tdeux\n", false},
        {"NUL in a title", &FICHIERS_CABINET::dossiers, ref.dossiers + std::string("77\t1\t12\t01/01/2001\ta\0b\n", 23), false},
        {"CR inside a title", &FICHIERS_CABINET::dossiers, ref.dossiers + "77\t1\t12\t01/01/2001\ta\rb\n", false},
        {"CR ending the file", &FICHIERS_CABINET::dossiers, ref.dossiers + "77\t1\t12\t01/01/2001\tx\r", false},
        {"blank line at the end", &FICHIERS_CABINET::dossiers, ref.dossiers + "\n", false},
        {"duplicate key", &FICHIERS_CABINET::dossiers, ref.dossiers + "-7\t1\t12\t01/01/2001\t\n", false},
        {"key 0", &FICHIERS_CABINET::dossiers, ref.dossiers + "0\t1\t12\t01/01/2001\t\n", false},
        {"key beyond 32 bits", &FICHIERS_CABINET::dossiers, ref.dossiers + "2147483648\t1\t12\t01/01/2001\t\n", false},
        {"day beyond 255", &FICHIERS_CABINET::dossiers, ref.dossiers + "77\t1\t12\t256/01/2001\t\n", false},
        {"date without a year", &FICHIERS_CABINET::dossiers, ref.dossiers + "77\t1\t12\t01/13\t\n", false},
        {"numbers with leading zeros", &FICHIERS_CABINET::dossiers, ref.dossiers + "0000000000000077\t-0\t00012\t0001/0002/000003\t\n", true},

        {"empty ordonnances.txt", &FICHIERS_CABINET::ordonnances, "", true},
        {"record holding a record header", &FICHIERS_CABINET::ordonnances, ref.ordonnances + enregistrement(INT32_MIN, "a\n@@ 500 3\nb"), true},
        {"empty record", &FICHIERS_CABINET::ordonnances, ref.ordonnances + enregistrement(INT32_MIN, "", "\r\n"), true},
        {"record for an unknown key", &FICHIERS_CABINET::ordonnances, ref.ordonnances + enregistrement(501, "x"), false},
        {"record for a consultation", &FICHIERS_CABINET::ordonnances, ref.ordonnances + enregistrement(-7, "x"), false},
        {"two records for one key", &FICHIERS_CABINET::ordonnances, ref.ordonnances + enregistrement(500, "x"), false},
        {"truncated record", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "@@ " + SANS + " 10\nabc", false},
        {"record length beyond the file", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "@@ " + SANS + " 4000000000\nabc\n", false},
        {"record longer than its length", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "@@ " + SANS + " 2\nabc\n", false},
        {"negative length", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "@@ " + SANS + " -1\n\n", false},
        {"record without its last line break", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "@@ " + SANS + " 3\nabc", false},
        {"header without @@", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "@ " + SANS + " 2\nab\n", false},
        {"blank line after the records", &FICHIERS_CABINET::ordonnances, ref.ordonnances + "\n", false},
        {"no ordonnances.txt", nullptr, "", false},
    };
    // clang-format on

    for (auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        FICHIERS_CABINET f = ref;
        if (c.fichier)
            f.*c.fichier = c.contenu;
        ecrire("Faux", f, c.fichier != nullptr);
        ASSERT_TRUE(ouvrir("Cabinet A"));
        EXPECT_EQ(ouvrir("Faux"), c.ouvert);
        std::string hote = c.ouvert ? lu_par_l_hote(toutes_les_cles()) : "";
        if (!c.ouvert)
            rien_d_ouvert();
        KMCloseCabinet();  // its files are written again for the next case

        CabinetLu lu;
        std::string erreur;
        bool gencab = lire_cabinet(racine, "Faux", lu, erreur);
        gencab = gencab && std::count(lu.utilisateurs.begin(), lu.utilisateurs.end(), "docteur");
        EXPECT_EQ(gencab, c.ouvert) << erreur;
        if (c.ouvert && gencab) {
            EXPECT_EQ(lu_par_gencab(lu), hote);
        }
    }
}

TEST_F(Cabinet, CabinetFauxRefuseEtRienNeResteOuvert)
{
    // Unknown cabinet, user or path: refused, and nothing stays open.
    // clang-format off
    struct { const char* cabinet; const char* user; } refus[] = {
        {"Absent", "docteur"}, {"Cabinet A", "inconnu"}, {"Cabinet A", ""},
        {"Cabinet A", "Docteur"}, {"", "docteur"}, {"..\\Cabinet A", "docteur"},
    };
    // clang-format on
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
    if (h == INVALID_HANDLE_VALUE)
        return etat;
    do {
        etat.push_back(
            {fd.cFileName, lire_fichier(dossier + "\\" + fd.cFileName), fd.ftLastWriteTime});
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
        if (HGLOBAL h = ReadXMLOrdonnances(cle, &rec))
            GlobalFree(h);
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
