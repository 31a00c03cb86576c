// Resource and control identifiers of the main dialog.
#pragma once

#define IDI_ORDASKEL 102
#define IDD_MAIN 201
#define IDC_NOTE_CASSE 215
#define IDD_LIST 217
#define IDC_EXPORTER 218
#define IDD_START 219
#define IDD_PB 232
#define IDC_LIBELLE 234
#define IDD_TXT_ORDO 235
