// Words of the generated cabinets, in Windows-1252. Drug names are invented.
#include "gencab.h"

#define LISTE(nom, tableau) const Liste nom = {tableau, (int)(sizeof tableau / sizeof tableau[0])}

// The word lists are laid out by hand, several words a line.
// clang-format off
static const char* const noms_famille[] = {
    "MARTIN", "BERNARD", "DUBOIS", "THOMAS", "ROBERT", "RICHARD", "PETIT", "DURAND",
    "LEROY", "MOREAU", "SIMON", "LAURENT", "LEF\310VRE", "MICHEL", "GARCIA", "DAVID",
    "BERTRAND", "ROUX", "VINCENT", "FOURNIER", "MOREL", "GIRARD", "ANDR\311", "MERCIER",
    "DUPONT", "LAMBERT", "BONNET", "FRAN\307OIS", "MARTINEZ", "LEGRAND", "GARNIER",
    "FAURE", "ROUSSEAU", "BLANC", "GU\311RIN", "MULLER", "HENRY", "ROUSSEL", "NICOLAS",
    "PERRIN", "MORIN", "MATHIEU", "CL\311MENT", "GAUTHIER", "DUMONT", "LOPEZ",
    "FONTAINE", "CHEVALIER", "ROBIN", "MASSON", "S\311GUIN", "N'DIAYE", "DE LA FONTAINE",
    "DELACROIX-MONTFERRAN", "B\311RANGER", "L\311GER", "\311BRARD", "CH\302TELAIN",
    "BO\313L", "NO\313L", "LE GOFF", "KERGO\302T", "M\311NARD", "PR\311VOST",
};
LISTE(NOMS_FAMILLE, noms_famille);

static const char* const prenoms[] = {
    "H\351l\350ne", "Fran\347ois", "J\351r\364me", "No\353l", "Ga\353lle", "C\351line",
    "Ana\357s", "Zo\351", "Chlo\351", "L\351a", "Beno\356t", "Jean-Lo\357c", "Ma\353lys",
    "Agn\350s", "Cl\351ment", "M\351lanie", "St\351phane", "Fr\351d\351ric",
    "Th\351r\350se", "C\351cile", "Rapha\353l", "Jo\353l", "Aur\351lie", "In\350s",
    "Ren\351e", "Andr\351e", "\311lise", "\311mile", "\310ve", "Marie-Fran\347oise",
    "J\351r\351mie", "Val\351rie", "Ir\350ne", "Herv\351", "Ren\351", "Gis\350le",
    "Fran\347oise", "Ang\351lique", "Ma\357t\351", "Bj\366rn", "Marie", "Pierre", "Paul",
    "Julie", "Camille", "Nicolas", "Sophie", "Lucas", "Manon", "Hugo", "Louis", "Emma",
    "Jean", "Nathalie", "Philippe", "Isabelle", "Sylvie", "Alain", "Christine", "Yves",
};
LISTE(PRENOMS, prenoms);

static const char* const medecins[] = {
    "Dr Anne LEMOINE", "Dr Paul ARNAUD", "Dr Sophie VIDAL", "Dr Marc B\311CHET",
    "Dr Ir\350ne COLAS", "Dr Yann KERV\311ADEC",
};
LISTE(MEDECINS, medecins);

static const char* const villes[] = {
    "Lyon", "Besan\347on", "Orl\351ans", "N\356mes", "Saint-\311tienne", "Quimper",
    "Annecy", "P\351rigueux",
};
LISTE(VILLES, villes);

static const char* const medicaments[] = {
    "P\351nicilline V 1 MUI", "Calvexine 500 mg", "Dorm\351line 10 mg", "F\351brinol 1 g",
    "Tussiflorane sirop", "Gastrol\350ne 20 mg", "Nasoviral", "Cort\351valine 5 mg",
    "Ibralgine 400 mg", "Lipovane 20 mg", "S\351dalix 15 mg", "Myopl\350ne 4 mg",
    "H\351patrol", "Cardios\350ne 75 mg", "Vertigalon 24 mg", "Brontaze 100 \265g",
    "Kalif\350ne 600 mg", "Ost\351oplexine 70 mg", "Dermacilane cr\350me",
    "Quivane 2,5 mg", "Pulmoc\351da 250 \265g", "Glyc\351rane 850 mg", "Thyrovane 75 \265g",
    "Anxiol\350ne 0,25 mg", "Spasmodal 80 mg", "Migral\357ne 2,5 mg", "Allergox 10 mg",
    "Colitrane", "Urivane 3 g", "Optalg\351sine", "Dermaflore pommade", "Bronchal\350ne",
    "Hydrocort\351lis 1 %", "Soleva vitamine D3", "Magn\351sium Orlane", "Parac\351tamol 1 g",
    "Amoxicilline 1 g", "Ibuprof\350ne 200 mg", "\214soprane 20 mg", "\306therol gouttes",
    "Zolvane 7,5 mg", "Zoribane 5 mg",
};
LISTE(MEDICAMENTS, medicaments);

static const char* const formes[] = {
    "comprim\351", "g\351lule", "sachet", "ampoule buvable", "cuill\350re-mesure",
    "application", "pulv\351risation", "suppositoire", "dose",
};
LISTE(FORMES, formes);

static const char* const posologies[] = {
    "le matin", "matin et soir", "matin, midi et soir", "par jour au cours des repas",
    "au coucher", "si douleur, 4 par jour au maximum", "toutes les 6 heures",
    "tous les 8 jours",
};
LISTE(POSOLOGIES, posologies);

static const char* const zorix_trouves[] = {
    "ZORIX 25 mg", "Zorix 50 mg", "zorix", "Zorix LP 100 mg", "Z\326RIX 25 mg", "Z\366rix",
    "ZOR\317X", "z\364rix 10 mg", "Zor\355x", "ZORIX\256 25 mg", "Z\322R\314X LP", "zoRIX",
};
LISTE(ZORIX_TROUVES, zorix_trouves);

static const char* const zorix_manques[] = {
    "Zori x 25 mg", "Zorax 25 mg", "Zorrix", "Z-orix", "Zor1x", "Zoryx LP", "Zo rix",
    "Zor\255ix", "\216orix",
};
LISTE(ZORIX_MANQUES, zorix_manques);

static const char* const titres_consultation[] = {
    "Consultation", "Consultation de suivi", "Visite \340 domicile", "Certificat", "",
};
LISTE(TITRES_CONSULTATION, titres_consultation);

static const char* const titres_courrier[] = {
    "Courrier au confr\350re", "Lettre de liaison", "Compte rendu d'hospitalisation",
};
LISTE(TITRES_COURRIER, titres_courrier);

static const char* const titres_resultat[] = {
    "Bilan sanguin", "NFS", "R\351sultats d'analyses", "Radiographie thorax",
};
LISTE(TITRES_RESULTAT, titres_resultat);

static const char* const titres_ordonnance[] = {
    "Ordonnance", "Renouvellement", "Ordonnance bizone", "",
};
LISTE(TITRES_ORDONNANCE, titres_ordonnance);

static const char* const titres_zorix[] = {
    "Intol\351rance au Zorix", "Suivi traitement ZORIX", "Bilan sous z\366rix",
    "Arr\352t du Zorix",
};
LISTE(TITRES_ZORIX, titres_zorix);
// clang-format on

const char* mot_au_hasard(Hasard& h, const Liste& l)
{
    return l.mots[hasard_borne(h, (uint32_t)l.nombre)];
}
