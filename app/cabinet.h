// The cabinet the user last opened in Kalimed, opened for the dialog's life.
#pragma once

#include <windows.h>

// Reads the cabinet from Kalimed's per-user settings and opens it; says so in
// a box owned by hwnd when the host refuses it. Sets cabinet_ouvert.
void initialisation_std_cab(HWND hwnd);
