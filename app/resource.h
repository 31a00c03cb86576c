// Resource and control identifiers of the main dialog.
#pragma once

#include "controles.h"

#define IDI_ORDASKEL 102
#define IDD_MAIN 201
#define IDC_NOTE_CASSE 215
#define IDC_EXPORTER 218
#define IDD_START 219
#define IDC_LIBELLE 234
