// Throughput of the per-prescription decision over a generated corpus of
// 200,000 prescriptions of about 1 KB, next to the plain yardstick of gencab
// and to the RTF reader alone over the <rtf> parts (a text found in none),
// timed in turn: one line per tour and version (scripts/bench keeps the best
// and the median, and interleaves grep on the same bytes).
//
//   bench_texte [--corpus PATH] [--grep] [--lire PATH]
//   --corpus PATH  also writes the corpus, one prescription per line, so that
//                  grep can be timed on the very same bytes
//   --grep         writes the corpus (to PATH, or texte_corpus.txt) and prints
//                  nothing but its path
//   --lire PATH    reads the corpus so written instead of making it, and times
//                  one tour only
#include "etalon.h"
#include "horloge.h"
#include "lecture_rtf.h"
#include "ordonnance.h"
#include "pliage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int NB_ORDONNANCES = 200000;
const int TOURS = 5;

unsigned int graine = 20240611u;
unsigned int hasard(unsigned int n)
{
    graine ^= graine << 13;
    graine ^= graine >> 17;
    graine ^= graine << 5;
    return graine % n;
}

// Windows-1252 words of a prescription; \351 and the like are the accents.
// clang-format off
const char* const mots[] = {
    "Parac\351tamol", "1000 mg", "comprim\351", "g\351lule", "sachet", "sirop",
    "matin", "midi", "soir", "au coucher", "pendant", "jours", "semaines",
    "apr\350s", "les repas", "si douleur", "ou fi\350vre", "\340 renouveler",
    "cuill\350re-mesure", "Amoxicilline", "500 mg", "Ibuprof\350ne", "400 mg",
    "Om\351prazole", "20 mg", "L\351vothyroxine", "75 \265g", "M\352me traitement",
    "ne pas d\351passer", "6 par jour", "QSP", "3 mois", "bo\356te", "flacon",
    "\351ventuellement", "cr\350me", "application", "locale", "deux fois",
};
// clang-format on
const int NB_MOTS = sizeof mots / sizeof mots[0];
const char* const zorix[] = {"Zorix", "ZORIX", "zorix"};

// An accented byte as an RTF escape, everything else as it is.
void en_rtf(std::string& rtf, const std::string& ligne)
{
    static const char hex[] = "0123456789abcdef";
    for (unsigned char c : ligne) {
        if (c >= 0x80) {
            rtf += "\\'";
            rtf += hex[c >> 4];
            rtf += hex[c & 15];
        } else {
            rtf += (char)c;
        }
    }
}

std::string ordonnance(bool avec_zorix)
{
    std::vector<std::string> lignes;
    int nb_lignes = 4 + hasard(2);
    for (int l = 0; l < nb_lignes; ++l) {
        std::string ligne;
        int nb = 6 + hasard(6);
        for (int m = 0; m < nb; ++m) {
            if (m)
                ligne += ' ';
            ligne += mots[hasard(NB_MOTS)];
        }
        lignes.push_back(ligne);
    }
    // Mostly in both parts, sometimes in the RTF part only.
    int ou = hasard(nb_lignes);
    bool rtf_seul = avec_zorix && hasard(4) == 0;
    std::string z = std::string(zorix[hasard(3)]) + " 25 mg";

    std::string t = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><ordonnance><text>";
    for (int l = 0; l < nb_lignes; ++l) {
        if (avec_zorix && !rtf_seul && l == ou)
            t += z + " ";
        t += lignes[l];
        t += ". ";
    }
    t += "</"
         "text><rtf>{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{"
         "\\f0\\fswiss\\fcharset0 Arial;}}"
         "{\\colortbl ;\\red0\\green0\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\f0\\fs20 ";
    for (int l = 0; l < nb_lignes; ++l) {
        if (avec_zorix && l == ou)
            t += "\\b " + z + "\\b0  ";
        en_rtf(t, lignes[l]);
        t += "\\par ";
    }
    t += "\\par }</rtf></ordonnance>";
    return t;
}

// One pass over a fresh copy of the corpus; returns MB/s.
double mesure(int (*correspond)(char*, const char*), const std::vector<char>& corpus,
              const std::vector<size_t>& debuts, std::vector<char>& copie, const char* cherche,
              int& trouvees)
{
    memcpy(copie.data(), corpus.data(), corpus.size());
    int n = 0;
    double debut = maintenant();
    for (size_t d : debuts)
        n += correspond(copie.data() + d, cherche);
    double s = maintenant() - debut;
    trouvees = n;
    // Every byte of the texts, NULs excluded.
    return (corpus.size() - debuts.size()) / s / 1e6;
}

// The <rtf> parts alone, from after their tag to their closing tag, each
// ended by a NUL.
void parties_rtf(const std::vector<char>& corpus, const std::vector<size_t>& debuts,
                 std::vector<char>& parties, std::vector<size_t>& debuts_rtf)
{
    for (size_t d : debuts) {
        const char* t = corpus.data() + d;
        const char* a = strstr(t, "<rtf>");
        if (!a)
            continue;
        a += strlen("<rtf>");
        const char* b = strstr(a, "</rtf>");
        debuts_rtf.push_back(parties.size());
        parties.insert(parties.end(), a, b ? b : a + strlen(a));
        parties.push_back(0);
    }
}

int lecture_rtf(char* rtf, const char* cherche)
{
    return rtf_correspond(rtf, cherche);
}

}  // namespace

int main(int argc, char** argv)
{
    const char* chemin = nullptr;
    const char* lire = nullptr;
    bool grep = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--corpus") && i + 1 < argc)
            chemin = argv[++i];
        else if (!strcmp(argv[i], "--lire") && i + 1 < argc)
            lire = argv[++i];
        else if (!strcmp(argv[i], "--grep"))
            grep = true;
        else {
            fprintf(stderr, "usage: bench_texte [--corpus PATH] [--grep] [--lire PATH]\n");
            return 2;
        }
    }
    if (grep && !chemin)
        chemin = "texte_corpus.txt";

    initialisation_recherche();
    char cherche[] = "Zorix";
    plier_texte(cherche);

    // All prescriptions back to back, each ended by its NUL.
    std::vector<char> corpus;
    std::vector<size_t> debuts;
    corpus.reserve((size_t)NB_ORDONNANCES * 1100);
    if (lire) {
        FILE* f = fopen(lire, "rb");
        if (!f) {
            fprintf(stderr, "bench_texte: cannot read %s\n", lire);
            return 1;
        }
        debuts.push_back(0);
        int c;
        while ((c = getc(f)) != EOF) {
            if (c == '\n') {
                corpus.push_back(0);
                debuts.push_back(corpus.size());
            } else {
                corpus.push_back((char)c);
            }
        }
        fclose(f);
        debuts.pop_back();
    } else {
        for (int i = 0; i < NB_ORDONNANCES; ++i) {
            std::string o = ordonnance(hasard(100) == 0);
            debuts.push_back(corpus.size());
            corpus.insert(corpus.end(), o.begin(), o.end());
            corpus.push_back(0);
        }
    }

    if (chemin) {
        FILE* f = fopen(chemin, "wb");
        if (!f) {
            fprintf(stderr, "bench_texte: cannot write %s\n", chemin);
            return 1;
        }
        for (size_t i = 0; i < debuts.size(); ++i) {
            fputs(corpus.data() + debuts[i], f);
            fputc('\n', f);
        }
        fclose(f);
        if (grep) {
            printf("%s\n", chemin);
            return 0;
        }
    }

    std::vector<char> parties;
    std::vector<size_t> debuts_rtf;
    parties_rtf(corpus, debuts, parties, debuts_rtf);
    std::vector<char> copie_rtf(parties.size());
    char absent[] = "depakine";  // folded, in no part

    int trouvees = 0, trouvees_simple = 0, trouvees_rtf = 0;
    std::vector<char> copie(corpus.size());
    printf("texte_corpus %.1f MB\n", (corpus.size() - debuts.size()) / 1e6);
    for (int tour = 0; tour < (lire ? 1 : TOURS); ++tour) {
        printf("texte_procedure %.0f MB/s\n",
               mesure(ordonnance_correspond, corpus, debuts, copie, cherche, trouvees));
        printf("texte_plain %.0f MB/s\n",
               mesure(etalon_ordonnance, corpus, debuts, copie, cherche, trouvees_simple));
        printf("texte_rtf %.0f MB/s\n",
               mesure(lecture_rtf, parties, debuts_rtf, copie_rtf, absent, trouvees_rtf));
    }
    printf("texte_matches %d prescriptions\n", trouvees);
    if (trouvees != trouvees_simple) {
        fprintf(stderr, "bench_texte: %d matches, plain version %d\n", trouvees, trouvees_simple);
        return 1;
    }
    if (trouvees_rtf != 0) {
        fprintf(stderr, "bench_texte: \"%s\" found in %d <rtf> parts\n", absent, trouvees_rtf);
        return 1;
    }
    return 0;
}
