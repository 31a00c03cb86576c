// Reading the texts of Kalimed's per-user registry settings.
#pragma once

#include <windows.h>

// Reads the value `nom` of the open key `cle` into texte (MAX_PATH bytes),
// always NUL-terminated. No key (NULL), no such value, a read error or a text
// that does not fit with its terminator gives an empty text. Writes nothing.
void lecture_texte_registre(HKEY cle, const char* nom, char* texte);
