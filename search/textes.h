// Every text the tool shows the user, in Windows-1252, in one place: the
// dialog's code and resources and the search take them from here, and so does
// the driver that finds the tool's windows (tools/pilote). Plain #defines, so
// that the resource compiler reads this file too.
#pragma once

#define TITRE "Ordaskel"  // every message box
#define TITRE_DIALOGUE "Ordaskel - Base de d\351monstration"
#define TEXTE_DEFAUT "Zorix"  // in the search box at start

#define COLONNE_NOM "Nom Patient"
#define COLONNE_AGE "Age"
#define COLONNE_NOMBRE "Nombre d'occurences"
#define COLONNE_PREMIERE "Premi\350re occurence"
#define COLONNE_DERNIERE "Derni\350re occurence"

#define TEXTE_ATTENTE "Il est n\351cessaire d'attendre la fin de la recherche"
#define TEXTE_ECHEC_CABINET "Impossible d'ouvrir le cabinet par d\351faut"
#define TEXTE_ECHEC_FENETRE "Impossible d'afficher la fen\352tre d'Ordaskel"
#define TEXTE_MEMOIRE "M\351moire insuffisante : la recherche n'a pas pu aboutir"
#define FORMAT_RESUME "%d occ. - %d Patients"
// After the summary, past a blank line, when the default cabinet did not open.
#define TEXTE_AVERTISSEMENT_CABINET \
    "Le cabinet par d\351faut n'a pas pu \352tre ouvert : ce r\351sultat peut \352tre incomplet."
