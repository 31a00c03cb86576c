// Identifiers of the main dialog's controls that a search run talks to; the
// dialog's resources take them from here.
#pragma once

#define IDD_LIST 217
#define IDD_PB 232
#define IDD_TXT_ORDO 235
