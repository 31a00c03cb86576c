// One fault per row, on the same small cabinet: the run must neither crash
// nor read outside a block, must give exactly the tally expected, and must
// hand back every block unlocked and free every block of its own.
#include <climits>
#include <functional>

#include "crochets.h"
#include "essai.h"
#include "hote_simule.h"
#include "controles.h"

static const DWORD AUJOURDHUI = date_packee(15, 6, 2024);
static const char* RIEN = nullptr;  // no box expected of this kind

// Two patients, three matching prescriptions, one entry of another type and
// one prescription without the drug.
static void cabinet_de_base()
{
    ajouter_patient(1, "MARTIN", "Anne", date_packee(15, 3, 1982));
    ajouter_patient(2, "DURAND", "Paul", date_packee(15, 11, 2023));
    ajouter_ordonnance(10, 1, date_packee(12, 3, 2003), "Zorix 25 mg");
    ajouter_ordonnance(20, 1, date_packee(15, 7, 2002), "zorix");
    ajouter_ordonnance(30, 2, date_packee(2, 1, 2004), "ZORIX");
    ajouter_entree(40, 1, 2, date_packee(3, 1, 2004), "<text>Zorix</text>");
    ajouter_ordonnance(50, 1, date_packee(4, 1, 2004), "aspirine");
}

static const Ligne MARTIN = {"MARTIN Anne", "42 ans 03 m", "2", "15/07/2002", "12/03/2003"};
static const Ligne DURAND = {"DURAND Paul", "0 an 07 m", "1", "02/01/2004", "02/01/2004"};
static const Ligne MARTIN_ANONYME = {" ", "", "2", "15/07/2002", "12/03/2003"};
static const Ligne DURAND_ANONYME = {" ", "", "1", "02/01/2004", "02/01/2004"};
static const char* MANQUE = "M\351moire insuffisante : la recherche n'a pas pu aboutir";

static Ligne inconnu(int nb, const char* premiere, const char* derniere)
{
    return {" ", "", std::to_string(nb), premiere, derniere};
}

struct Panne {
    const char* nom;
    std::function<void()> preparer;  // on top of the base cabinet
    const char* resume;              // summary expected, or RIEN
    std::vector<Ligne> lignes;       // "*" stands for any cell
    std::function<void()> verifier;  // further checks, or empty
};

// The list as it may answer when memory runs short: the n-th row or the n-th
// cell of a run refused (counted from 1; 0 refuses none). It may also put
// every row first, as a sorted list would. Whether its redrawing is on is
// known from the last WM_SETREDRAW it was sent.
static int refus_ligne, refus_cellule, lignes_demandees, cellules_demandees;
static bool lignes_en_tete, redessin = true;
static WNDPROC liste_vraie;

static LRESULT CALLBACK liste_essai(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_SETREDRAW)
        redessin = w != 0;
    if (msg == LVM_INSERTITEMA) {
        if (++lignes_demandees == refus_ligne)
            return -1;
        if (lignes_en_tete) {
            LVITEMA item = *(const LVITEMA*)l;
            item.iItem = 0;
            return CallWindowProcA(liste_vraie, h, msg, w, (LPARAM)&item);
        }
    }
    if (msg == LVM_SETITEMA && ++cellules_demandees == refus_cellule)
        return FALSE;
    return CallWindowProcA(liste_vraie, h, msg, w, l);
}

static void liste_essai_installee()
{
    HWND liste = GetDlgItem(dialogue_essai(), IDD_LIST);
    if (!liste_vraie)
        liste_vraie = (WNDPROC)SetWindowLongPtrA(liste, GWLP_WNDPROC, (LONG_PTR)liste_essai);
}

static void texte_sans_nul(LONG cle, WORD fiche, const std::string& texte)
{
    ajouter_entree(cle, 7, fiche, date_packee(1, 1, 2010), texte, TEXTE_SANS_NUL);
}

// clang-format off
static const Panne pannes[] = {
    {"OpenDossiers NULL", [] { script_hote.bloc_dossiers = BLOC_ABSENT; },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"OpenDossiers inverrouillable", [] { script_hote.bloc_dossiers = BLOC_INVERROUILLABLE; },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"ReadDossiers2 rend 0", [] { script_hote.entrees[30].lecture_ratee = true; },
     "2 occ. - 1 Patients", {MARTIN},
     [] { EXPECT_EQ(journal_hote.positions_boucle, (std::vector<int>{0, 1, 2, 3, 4})); }},
    {"resultats ignores: 0", [] { script_hote.resultat_ignore = [] { return (BOOL)0; }; },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"resultats ignores: -1", [] { script_hote.resultat_ignore = [] { return (BOOL)-1; }; },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"resultats ignores: un par appel",
     [] {
         static BOOL n;
         script_hote.resultat_ignore = [] { return n++ * 7919 - 2; };
     },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"texte NULL", [] { script_hote.entrees[30].forme = TEXTE_ABSENT; },
     "2 occ. - 1 Patients", {MARTIN}, {}},
    {"texte inverrouillable", [] { script_hote.entrees[30].forme = TEXTE_INVERROUILLABLE; },
     "2 occ. - 1 Patients", {MARTIN}, {}},
    {"OpenPatients NULL", [] { script_hote.bloc_patients = BLOC_ABSENT; },
     "3 occ. - 2 Patients", {MARTIN_ANONYME, DURAND_ANONYME}, {}},
    {"OpenPatients inverrouillable", [] { script_hote.bloc_patients = BLOC_INVERROUILLABLE; },
     "3 occ. - 2 Patients", {MARTIN_ANONYME, DURAND_ANONYME}, {}},
    {"OpenPatients trop court", [] { script_hote.bloc_patients = BLOC_COURT; },
     "3 occ. - 2 Patients", {MARTIN_ANONYME, DURAND_ANONYME}, {}},
    {"compte annonce negatif",
     [] { script_hote.annonce_fixee = true; script_hote.annonce = -5; },
     "0 occ. - 0 Patients", {},
     [] {
         EXPECT_EQ(nombre_appels("KMFirstKey"), 0);
         EXPECT_EQ(plage_progression().iHigh, 0);
     }},
    {"cles en double", [] { script_hote.cles.push_back(10); },
     "4 occ. - 2 Patients", {{"MARTIN Anne", "42 ans 03 m", "3", "15/07/2002", "12/03/2003"}, DURAND},
     {}},
    {"cles negatives",
     [] {
         ajouter_ordonnance(-7, 1, date_packee(1, 1, 2000), "Zorix");
         ajouter_ordonnance(INT_MIN, 1, date_packee(31, 12, 2010), "Zorix");
     },
     "5 occ. - 2 Patients", {{"MARTIN Anne", "42 ans 03 m", "4", "01/01/2000", "31/12/2010"}, DURAND},
     [] { EXPECT_EQ(journal_hote.lus.front(), INT_MIN); }},
    {"cle 0 en premier", [] { script_hote.cles.insert(script_hote.cles.begin(), 0); },
     "3 occ. - 2 Patients", {MARTIN, DURAND},
     [] { EXPECT_EQ(journal_hote.lus.front(), 0); EXPECT_EQ(journal_hote.lus.size(), 6u); }},
    {"plus de cles qu'annoncees",
     [] { script_hote.annonce_fixee = true; script_hote.annonce = 2; },
     "2 occ. - 1 Patients", {MARTIN},
     [] { EXPECT_EQ(journal_hote.lus, (std::vector<LONG>{10, 20})); }},
    {"annonce 2^31-1 pour dix cles",
     [] {
         script_hote.annonce_fixee = true;
         script_hote.annonce = INT_MAX;
         for (LONG cle = 60; cle < 65; cle++)
             ajouter_entree(cle, 2, 1, AUJOURDHUI, "");
     },
     "3 occ. - 2 Patients", {MARTIN, DURAND},
     [] {
         EXPECT_EQ(journal_hote.lus.size(), 10u);
         EXPECT_EQ(plage_progression().iHigh, INT_MAX);
         EXPECT_EQ(position_progression(), 10);
     }},
    {"texte sans balises", [] { ajouter_entree(60, 7, 3, AUJOURDHUI, "Zorix Zorix"); },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"</text> avant <text>",
     [] {
         ajouter_entree(60, 7, 3, AUJOURDHUI, "</text>Zorix<text>rien</text>");
         ajouter_entree(61, 7, 4, date_packee(8, 8, 2008), "</text><text>Zorix</text>");
     },
     "4 occ. - 3 Patients", {MARTIN, DURAND, inconnu(1, "08/08/2008", "08/08/2008")}, {}},
    {"balises imbriquees et repetees",
     [] {
         ajouter_entree(60, 7, 3, date_packee(3, 3, 2003), "<text><text>Zorix</text></text>");
         ajouter_entree(61, 7, 4, AUJOURDHUI, "<text>rien</text><text>Zorix</text>");
         ajouter_entree(62, 7, 5, AUJOURDHUI, "<rtf><text>x</rtf>Zorix</text>");
         ajouter_entree(63, 7, 6, date_packee(6, 6, 2006), "<TEXT>Zorix</Text><rtf><rtf></rtf>");
     },
     "5 occ. - 4 Patients",
     {MARTIN, DURAND, inconnu(1, "03/03/2003", "03/03/2003"), inconnu(1, "06/06/2006", "06/06/2006")},
     {}},
    {"texte de 0 octet",
     [] {
         ajouter_entree(60, 7, 3, AUJOURDHUI, "", TEXTE_BLOC_VIDE);
         ajouter_entree(61, 7, 4, AUJOURDHUI, "");
     },
     "3 occ. - 2 Patients", {MARTIN, DURAND}, {}},
    {"texte de 1 Mo",
     [] {
         ajouter_entree(60, 7, 3, date_packee(1, 2, 2003),
                        "<rtf>" + std::string(1 << 20, 'z') + "Zorix</rtf>");
     },
     "4 occ. - 3 Patients", {MARTIN, DURAND, inconnu(1, "01/02/2003", "01/02/2003")}, {}},
    {"octets 0x80-0xFF partout",
     [] {
         std::string hauts;
         for (int c = 0x80; c <= 0xFF; c++)
             hauts += (char)c;
         ajouter_entree(60, 7, 3, AUJOURDHUI, "<text>" + hauts + "</text><rtf>" + hauts + "</rtf>");
         ajouter_entree(61, 7, 4, date_packee(4, 4, 2004), hauts + "<text>\377\376Z\326RIX\200</text>");
         ajouter_patient(4, "\311LO\317SE", "\200\234\377", date_packee(15, 3, 1982));
     },
     "4 occ. - 3 Patients",
     {MARTIN, DURAND, {"\311LO\317SE \200\234\377", "42 ans 03 m", "1", "04/04/2004", "04/04/2004"}}, {}},
    {"noms de 21 octets sans NUL",
     [] {
         ajouter_entree(60, 7, 3, date_packee(1, 1, 2001), "<text>Zorix</text>");
         ajouter_patient(3, std::string(21, 'N'), std::string(21, 'P'), date_packee(15, 3, 1982));
         script_hote.patients[3].nom_jf = "JEUNEFILLE";
     },
     "4 occ. - 3 Patients",
     {MARTIN, DURAND,
      {std::string(21, 'N') + " " + std::string(21, 'P'), "42 ans 03 m", "1", "01/01/2001", "01/01/2001"}},
     {}},
    {"fiches 0 et 65535",
     [] {
         ajouter_ordonnance(60, 65535, date_packee(9, 9, 2009), "Zorix");
         ajouter_ordonnance(61, 0, date_packee(1, 1, 2001), "Zorix");
     },
     "5 occ. - 4 Patients",
     {inconnu(1, "01/01/2001", "01/01/2001"), MARTIN, DURAND, inconnu(1, "09/09/2009", "09/09/2009")},
     {}},
    {"dates extremes",
     [] {
         ajouter_ordonnance(60, 3, 0, "Zorix");
         ajouter_ordonnance(61, 3, date_packee(255, 255, 65535), "Zorix");
         ajouter_ordonnance(62, 3, date_packee(0, 0, 2000), "Zorix");
     },
     "6 occ. - 3 Patients", {MARTIN, DURAND, inconnu(3, "00/00/   0", "255/255/65535")}, {}},
    {"patient ne apres aujourd'hui",
     [] {
         ajouter_ordonnance(60, 3, AUJOURDHUI, "Zorix");
         ajouter_patient(3, "FUTUR", "Felix", date_packee(1, 1, 2030));
     },
     "4 occ. - 3 Patients", {MARTIN, DURAND, {"FUTUR Felix", "*", "1", "15/06/2024", "15/06/2024"}}, {}},
    {"bloc de texte sans NUL",
     [] {
         texte_sans_nul(60, 3, "<text>Zorix</text>");
         texte_sans_nul(61, 4, "<text>Zor");
         texte_sans_nul(62, 5, "<rtf>ZORIX");
     },
     "5 occ. - 4 Patients",
     {MARTIN, DURAND, inconnu(1, "01/01/2010", "01/01/2010"), inconnu(1, "01/01/2010", "01/01/2010")},
     {}},
    {"memoire: liste des cles", [] { refus_local_des = 0; }, RIEN, {},
     [] { EXPECT_TRUE(journal_hote.lus.empty()); }},
    {"memoire: croissance de la liste",
     [] {
         for (LONG cle = 1000; cle < 6000; cle++)
             ajouter_entree(cle, 1, 1, AUJOURDHUI, "");
         refus_local_des = 1;
     },
     RIEN, {}, [] { EXPECT_TRUE(journal_hote.lus.empty()); }},
    {"memoire: copie d'un texte sans NUL",
     [] {
         texte_sans_nul(25, 3, "<text>Zorix</text>");
         refus_local_des = 1;
     },
     RIEN, {}, [] { EXPECT_EQ(journal_hote.lus.back(), 25); }},
    {"liste: rangs choisis par la liste", [] { lignes_en_tete = true; },
     "3 occ. - 2 Patients", {DURAND, MARTIN}, {}},
    {"liste: une ligne refusee",
     [] {
         ajouter_ordonnance(60, 3, AUJOURDHUI, "Zorix");
         refus_ligne = 2;
     },
     RIEN, {}, [] { EXPECT_EQ(lignes_demandees, 2); }},
    {"liste: une cellule refusee",
     [] {
         ajouter_ordonnance(60, 3, AUJOURDHUI, "Zorix");
         refus_cellule = 6;
     },
     RIEN, {},
     [] {
         EXPECT_EQ(lignes_demandees, 2);
         EXPECT_EQ(cellules_demandees, 6);
     }},
};
// clang-format on

static bool cellules_egales(const Ligne& lue, const Ligne& attendue)
{
    if (lue.size() != attendue.size())
        return false;
    for (size_t c = 0; c < lue.size(); c++)
        if (attendue[c] != "*" && attendue[c] != lue[c])
            return false;
    return true;
}

static std::string montrer(const std::vector<Ligne>& lignes)
{
    std::string s;
    for (const Ligne& l : lignes) {
        s += "\n ";
        for (const std::string& c : l)
            s += " [" + c + "]";
    }
    return s;
}

TEST_F(Recherche, Pannes)
{
    liste_essai_installee();
    for (const Panne& p : pannes) {
        SCOPED_TRACE(p.nom);
        hote_remise_a_zero();
        crochets_remise_a_zero();
        boites.clear();
        refus_ligne = refus_cellule = lignes_demandees = cellules_demandees = 0;
        lignes_en_tete = false;
        cabinet_de_base();
        p.preparer();
        lancer_recherche();
        bool liste_refusee = refus_ligne || refus_cellule;

        ASSERT_EQ(boites.size(), 1u);
        const Boite& b = boites[0];
        EXPECT_EQ(b.titre, "Ordaskel");
        EXPECT_TRUE(b.proprietaire_dialogue);
        if (p.resume) {
            EXPECT_EQ(b.texte, p.resume);
            EXPECT_EQ(b.icone, (UINT)MB_ICONINFORMATION);
        } else {
            EXPECT_EQ(b.texte, MANQUE);
            EXPECT_EQ(b.icone, (UINT)MB_ICONERROR);
            EXPECT_EQ(b.lignes, 0) << "a partial list under the error";
            EXPECT_EQ(nombre_appels("OpenPatients"), liste_refusee ? 1 : 0);
        }
        EXPECT_TRUE(redessin) << "the list's redrawing left off";

        std::vector<Ligne> lues = lignes_liste();
        bool egales = lues.size() == p.lignes.size();
        for (size_t i = 0; egales && i < lues.size(); i++)
            egales = cellules_egales(lues[i], p.lignes[i]);
        EXPECT_TRUE(egales) << "rows:" << montrer(lues) << "\nexpected:" << montrer(p.lignes);

        EXPECT_EQ(journal_hote.xml_hors_ordonnance, 0);
        EXPECT_EQ(journal_hote.ordo_non_vierge, 0) << "stale bytes handed to the host";
        verifier_memoire(p.resume != nullptr || liste_refusee);
        if (p.verifier)
            p.verifier();
    }
}
