// Words of the generated cabinets, in Windows-1252. Drug names are invented.
#include "gencab.h"

#define LISTE(nom, tableau) const Liste nom = {tableau, (int)(sizeof tableau / sizeof tableau[0])}

static const char* const noms_famille[] = {
    "MARTIN", "BERNARD", "DUBOIS", "THOMAS", "ROBERT", "RICHARD", "PETIT", "DURAND",
    "LEROY", "MOREAU", "SIMON", "LAURENT", "LEF\xC8VRE", "MICHEL", "GARCIA", "DAVID",
    "BERTRAND", "ROUX", "VINCENT", "FOURNIER", "MOREL", "GIRARD", "ANDR\xC9", "MERCIER",
    "DUPONT", "LAMBERT", "BONNET", "FRAN\xC7OIS", "MARTINEZ", "LEGRAND", "GARNIER",
    "FAURE", "ROUSSEAU", "BLANC", "GU\xC9RIN", "MULLER", "HENRY", "ROUSSEL", "NICOLAS",
    "PERRIN", "MORIN", "MATHIEU", "CL\xC9MENT", "GAUTHIER", "DUMONT", "LOPEZ",
    "FONTAINE", "CHEVALIER", "ROBIN", "MASSON", "S\xC9GUIN", "N'DIAYE", "DE LA FONTAINE",
    "DELACROIX-MONTFERRAN", "B\xC9RANGER", "L\xC9GER", "\xC9" "BRARD", "CH\xC2TELAIN",
    "BO\xCBL", "NO\xCBL", "LE GOFF", "KERGO\xC2T", "M\xC9NARD", "PR\xC9VOST",
};
LISTE(NOMS_FAMILLE, noms_famille);

static const char* const prenoms[] = {
    "H\xE9l\xE8ne", "Fran\xE7ois", "J\xE9r\xF4me", "No\xEBl", "Ga\xEBlle", "C\xE9line",
    "Ana\xEFs", "Zo\xE9", "Chlo\xE9", "L\xE9" "a", "Beno\xEEt", "Jean-Lo\xEF" "c", "Ma\xEBlys",
    "Agn\xE8s", "Cl\xE9ment", "M\xE9lanie", "St\xE9phane", "Fr\xE9" "d\xE9ric",
    "Th\xE9r\xE8se", "C\xE9" "cile", "Rapha\xEBl", "Jo\xEBl", "Aur\xE9lie", "In\xE8s",
    "Ren\xE9" "e", "Andr\xE9" "e", "\xC9lise", "\xC9mile", "\xC8ve", "Marie-Fran\xE7oise",
    "J\xE9r\xE9mie", "Val\xE9rie", "Ir\xE8ne", "Herv\xE9", "Ren\xE9", "Gis\xE8le",
    "Fran\xE7oise", "Ang\xE9lique", "Ma\xEFt\xE9", "Bj\xF6rn", "Marie", "Pierre", "Paul",
    "Julie", "Camille", "Nicolas", "Sophie", "Lucas", "Manon", "Hugo", "Louis", "Emma",
    "Jean", "Nathalie", "Philippe", "Isabelle", "Sylvie", "Alain", "Christine", "Yves",
};
LISTE(PRENOMS, prenoms);

static const char* const medecins[] = {
    "Dr Anne LEMOINE", "Dr Paul ARNAUD", "Dr Sophie VIDAL", "Dr Marc B\xC9" "CHET",
    "Dr Ir\xE8ne COLAS", "Dr Yann KERV\xC9" "ADEC",
};
LISTE(MEDECINS, medecins);

static const char* const villes[] = {
    "Lyon", "Besan\xE7on", "Orl\xE9" "ans", "N\xEEmes", "Saint-\xC9tienne", "Quimper",
    "Annecy", "P\xE9rigueux",
};
LISTE(VILLES, villes);

static const char* const medicaments[] = {
    "P\xE9nicilline V 1 MUI", "Calvexine 500 mg", "Dorm\xE9line 10 mg", "F\xE9" "brinol 1 g",
    "Tussiflorane sirop", "Gastrol\xE8ne 20 mg", "Nasoviral", "Cort\xE9valine 5 mg",
    "Ibralgine 400 mg", "Lipovane 20 mg", "S\xE9" "dalix 15 mg", "Myopl\xE8ne 4 mg",
    "H\xE9patrol", "Cardios\xE8ne 75 mg", "Vertigalon 24 mg", "Brontaze 100 \xB5g",
    "Kalif\xE8ne 600 mg", "Ost\xE9oplexine 70 mg", "Dermacilane cr\xE8me",
    "Quivane 2,5 mg", "Pulmoc\xE9" "da 250 \xB5g", "Glyc\xE9rane 850 mg", "Thyrovane 75 \xB5g",
    "Anxiol\xE8ne 0,25 mg", "Spasmodal 80 mg", "Migral\xEFne 2,5 mg", "Allergox 10 mg",
    "Colitrane", "Urivane 3 g", "Optalg\xE9sine", "Dermaflore pommade", "Bronchal\xE8ne",
    "Hydrocort\xE9lis 1 %", "Soleva vitamine D3", "Magn\xE9sium Orlane", "Parac\xE9tamol 1 g",
    "Amoxicilline 1 g", "Ibuprof\xE8ne 200 mg", "\x8Csoprane 20 mg", "\xC6therol gouttes",
    "Zolvane 7,5 mg", "Zoribane 5 mg",
};
LISTE(MEDICAMENTS, medicaments);

static const char* const formes[] = {
    "comprim\xE9", "g\xE9lule", "sachet", "ampoule buvable", "cuill\xE8re-mesure",
    "application", "pulv\xE9risation", "suppositoire", "dose",
};
LISTE(FORMES, formes);

static const char* const posologies[] = {
    "le matin", "matin et soir", "matin, midi et soir", "par jour au cours des repas",
    "au coucher", "si douleur, 4 par jour au maximum", "toutes les 6 heures",
    "tous les 8 jours",
};
LISTE(POSOLOGIES, posologies);

static const char* const zorix_trouves[] = {
    "ZORIX 25 mg", "Zorix 50 mg", "zorix", "Zorix LP 100 mg", "Z\xD6RIX 25 mg", "Z\xF6rix",
    "ZOR\xCFX", "z\xF4rix 10 mg", "Zor\xEDx", "ZORIX\xAE 25 mg", "Z\xD2R\xCCX LP", "zoRIX",
};
LISTE(ZORIX_TROUVES, zorix_trouves);

static const char* const zorix_manques[] = {
    "Zori x 25 mg", "Zorax 25 mg", "Zorrix", "Z-orix", "Zor1x", "Zoryx LP", "Zo rix",
    "Zor\xADix", "\x8Eorix",
};
LISTE(ZORIX_MANQUES, zorix_manques);

static const char* const titres_consultation[] = {
    "Consultation", "Consultation de suivi", "Visite \xE0 domicile", "Certificat", "",
};
LISTE(TITRES_CONSULTATION, titres_consultation);

static const char* const titres_courrier[] = {
    "Courrier au confr\xE8re", "Lettre de liaison", "Compte rendu d'hospitalisation",
};
LISTE(TITRES_COURRIER, titres_courrier);

static const char* const titres_resultat[] = {
    "Bilan sanguin", "NFS", "R\xE9sultats d'analyses", "Radiographie thorax",
};
LISTE(TITRES_RESULTAT, titres_resultat);

static const char* const titres_ordonnance[] = {
    "Ordonnance", "Renouvellement", "Ordonnance bizone", "",
};
LISTE(TITRES_ORDONNANCE, titres_ordonnance);

static const char* const titres_zorix[] = {
    "Intol\xE9rance au Zorix", "Suivi traitement ZORIX", "Bilan sous z\xF6rix",
    "Arr\xEAt du Zorix",
};
LISTE(TITRES_ZORIX, titres_zorix);

const char* mot_au_hasard(Hasard& h, const Liste& l)
{
    return l.mots[hasard_borne(h, (uint32_t)l.nombre)];
}
