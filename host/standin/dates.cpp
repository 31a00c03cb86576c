// Today's date and ages. KMAPI_AUJOURDHUI=JJ/MM/AAAA fixes "today", so that
// tests and demonstrations give the same ages every day.
#include "calendrier.h"
#include "hote.h"

extern "C" DWORD WINAPI Today(void)
{
    char texte[32];
    DWORD lg = GetEnvironmentVariableA("KMAPI_AUJOURDHUI", texte, sizeof(texte));
    if (lg > 0 && lg < sizeof(texte)) {
        const char* suite;
        uint32_t date;
        if (analyser_date(texte, texte + lg, &suite, &date) && suite == texte + lg) return date;
    }
    SYSTEMTIME st;
    GetLocalTime(&st);
    return ((DWORD)st.wYear << 16) | ((DWORD)st.wMonth << 8) | st.wDay;
}

extern "C" DWORD WINAPI GetAge(DWORD dwBirth, DWORD dwReference)
{
    return age_entre(dwBirth, dwReference);
}
