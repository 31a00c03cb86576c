// The registry texts come from another program: none of them is trusted to
// fit or to be terminated.
#include <string.h>

#include "registre.h"

void lecture_texte_registre(HKEY cle, const char* nom, char* texte)
{
    texte[0] = 0;
    if (cle == NULL)
        return;
    DWORD type = REG_SZ;
    DWORD taille = MAX_PATH;
    if (RegQueryValueExA(cle, nom, NULL, &type, (BYTE*)texte, &taille) != ERROR_SUCCESS ||
        taille > MAX_PATH) {
        // ERROR_MORE_DATA among others: whatever was copied is not the value.
        texte[0] = 0;
        return;
    }
    // A value stored without its terminator gets one, if there is room for it.
    if (memchr(texte, 0, taille) == NULL) {
        if (taille < MAX_PATH)
            texte[taille] = 0;
        else
            texte[0] = 0;
    }
}
