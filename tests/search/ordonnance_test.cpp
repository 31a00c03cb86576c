// The per-prescription decision: which parts are searched and where they are
// cut.
#include "ordonnance.h"
#include "pliage.h"
#include "seize_octets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Cas {
    const char* texte;
    const char* cherche;  // already folded
    int attendu;
    const char* coupe;  // the text afterwards, '|' where a NUL was written
};

const Cas cas[] = {
    // The usual shape: both parts searched, both cut at their closing tag.
    {"<ordonnance><text>Zorix 25 mg</text><rtf>{\\rtf1 Zorix}</rtf></ordonnance>", "zorix", 1,
     "<ordonnance><text>Zorix 25 mg|/text><rtf>{\\rtf1 Zorix}|/rtf></ordonnance>"},
    {"<text>rien</text><rtf>{\\b ZORIX}</rtf>", "zorix", 1,
     "<text>rien|/text><rtf>{\\b ZORIX}|/rtf>"},
    {"<text>rien</text><rtf>rien</rtf>", "zorix", 0, "<text>rien|/text><rtf>rien|/rtf>"},
    // Tags in any ASCII case; an accented or spaced tag is no tag.
    {"<TEXT>zorix</Text>", "zorix", 1, "<TEXT>zorix|/Text>"},
    {"<Rtf>x</rTF>", "rtf", 1, "<Rtf>x|/rTF>"},
    {"<t\350xt>zorix</t\350xt>", "zorix", 0, "<t\350xt>zorix</t\350xt>"},
    {"<text >zorix</text>", "zorix", 0, "<text >zorix</text>"},
    // Outside both parts nothing counts.
    {"<ordonnance zorix><text>a</text><rtf>b</rtf></ordonnance>zorix", "zorix", 0,
     "<ordonnance zorix><text>a|/text><rtf>b|/rtf></ordonnance>zorix"},
    {"zorix", "zorix", 0, "zorix"},
    // Missing closing tags: a part runs to the next cut or to the end.
    {"<text>abc zorix", "zorix", 1, "<text>abc zorix"},
    {"<text>abc <rtf>x</rtf> zorix", "zorix", 0, "<text>abc <rtf>x|/rtf> zorix"},
    {"<rtf>a</rtf><text>b zorix", "zorix", 1, "<rtf>a|/rtf><text>b zorix"},
    {"<rtf>a zorix", "zorix", 1, "<rtf>a zorix"},
    // Only the first opening tags count, and a closing tag before its
    // opening tag is no end.
    {"<text>a</text><text>zorix</text>", "zorix", 0, "<text>a|/text><text>zorix</text>"},
    {"<rtf>a</rtf><rtf>zorix</rtf>", "zorix", 0, "<rtf>a|/rtf><rtf>zorix</rtf>"},
    {"</text><text>zorix", "zorix", 1, "</text><text>zorix"},
    {"</rtf><rtf>zorix</rtf>", "zorix", 1, "</rtf><rtf>zorix|/rtf>"},
    // A part begins with its own tag.
    {"<text></text>", "text", 1, "<text>|/text>"},
    {"<rtf></rtf>", "rtf", 1, "<rtf>|/rtf>"},
    {"<RTF></RTF><text></text>", "rtf", 1, "<RTF>|/RTF><text>|/text>"},
    {"<TEXT>x</TEXT>", "<text>", 1, "<TEXT>x|/TEXT>"},
    // One part inside the other: the inner closing tag cuts both.
    {"<text>a <rtf>b</rtf> zorix</text>", "zorix", 0, "<text>a <rtf>b|/rtf> zorix|/text>"},
    {"<rtf>x <text>zorix</text> y</rtf>", "zorix", 1, "<rtf>x <text>zorix|/text> y|/rtf>"},
    {"<text><rtf>zo</text>rix</rtf>", "zorix", 0, "<text><rtf>zo|/text>rix|/rtf>"},
    // The search text never runs over a cut.
    {"<text>zorix</text>", "x</text>", 0, "<text>zorix|/text>"},
    {"<text>zorix</text><rtf>zorix</text></rtf>", "x</text>", 1,
     "<text>zorix|/text><rtf>zorix</text>|/rtf>"},
    // An empty search text matches nothing, but the parts are still cut.
    {"<text>zorix</text><rtf></rtf>", "", 0, "<text>zorix|/text><rtf>|/rtf>"},
    {"", "zorix", 0, ""},
    // Several places, and both parts: still one match.
    {"<text>zorix zorix</text><rtf>ZORIX</rtf>", "zorix", 1,
     "<text>zorix zorix|/text><rtf>ZORIX|/rtf>"},
    // The <rtf> part, once cut, is also read for the words it shows: only it
    // (lecture_rtf_test.cpp holds the reader's own rules), and never its tag.
    {"<rtf>{\\rtf1 D\\'e9pakine}</rtf>", "depakine", 1, "<rtf>{\\rtf1 D\\'e9pakine}|/rtf>"},
    {"<text>Z\\'f6rix</text>", "zorix", 0, "<text>Z\\'f6rix|/text>"},
    {"<rtf>Z\\'f6</rtf>rix", "zorix", 0, "<rtf>Z\\'f6|/rtf>rix"},
    {"<rtf>Z\\'f6<text>rix</text></rtf>", "zorix", 0, "<rtf>Z\\'f6<text>rix|/text>|/rtf>"},
    {"<rtf>{}x</rtf>", "<rtf>x", 0, "<rtf>{}x|/rtf>"},
};

class Ordonnance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initialisation_recherche(); }
};

TEST_F(Ordonnance, PartiesEtCoupes)
{
    // Read a block at a time where the processor has SSE2, and as without it.
    const bool sse2 = avec_sse2;
    for (const bool voie : {sse2, false}) {
        avec_sse2 = voie;
        for (const Cas& c : cas) {
            std::string texte = c.texte;
            // Past the NUL: what a part read too far would match or cut.
            const std::string loin = std::string(c.cherche) + "</text></rtf>";
            std::vector<char> buf(texte.begin(), texte.end());
            buf.push_back(0);
            buf.insert(buf.end(), loin.begin(), loin.end());
            EXPECT_EQ(ordonnance_correspond(buf.data(), c.cherche), c.attendu)
                << c.texte << " / " << c.cherche << (avec_sse2 ? "" : ", without SSE2");
            std::string apres(buf.begin(), buf.begin() + texte.size());
            for (char& b : apres)
                if (b == 0)
                    b = '|';
            EXPECT_EQ(apres, c.coupe) << c.texte;
            EXPECT_EQ(std::string(buf.end() - loin.size(), buf.end()), loin) << c.texte;
        }
    }
    avec_sse2 = sse2;
}

TEST_F(Ordonnance, AccentsDuTexteCherche)
{
    char texte[] = "<text>P\351nicilline 1 MUI</text>";
    EXPECT_EQ(ordonnance_correspond(texte, "penicilline"), 1);
}

}  // namespace
