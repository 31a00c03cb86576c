// The RTF reading on its own, the tool's reader and the yardstick's alike, so
// that raw matching cannot hide a broken reader: a row for each rule of
// search/lecture_rtf.cpp's head comment, in its order.
#include "etalon.h"
#include "lecture_rtf.h"
#include "pliage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Lecture {
    std::string rtf;      // the part after its tag
    const char* cherche;  // already folded
    int attendu;
};

// n nested groups around dedans.
std::string groupes(int n, const std::string& dedans)
{
    return std::string(n, '{') + dedans + std::string(n, '}');
}

// n nested groups that each change \uc, around dedans.
std::string changements(int n, const std::string& dedans)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += i % 2 ? "{\\uc3 " : "{\\uc2 ";
    return r + dedans + std::string(n, '}');
}

// clang-format off
const Lecture lectures[] = {
    // 1. The end: the NUL (the search text lies past it), the {\rtf group.
    {"{\\rtf1 a}zorix", "zorix", 0}, {"\r\n{\\rtf1 {a}\\v}zorix", "zorix", 0},
    {"{\\rtf1 a}}zorix", "azorix", 0}, {"{\\b a}zorix", "zorix", 1}, {"{\\rtf1 a\\'", "zorix", 0},
    // 2. Line breaks of the source: inside a word, before a group's first
    // word, inside the stand-ins.
    {"{\\b Zo\r\nrix}", "zorix", 1}, {"{\r\n\\*\\x zorix}", "zorix", 0},
    {"{\n\\fonttbl zorix}", "zorix", 0},
    {"Z\\u246\r\n?rix", "zorix", 1}, {"Z\\uc2\\u246 ?\r\n?rix", "zorix", 1},
    // 3. Groups: a hidden group jumped whole, \binN data in it, at any depth;
    // a word hides its group only as its first token.
    {"{\\*\\x\\bin2 }}Z\\'f6rix}", "zorix", 0},
    {"{\\*\\x\\bing2 }}Z\\'f6rix}", "zorix", 1},
    {"{\\*\\x{{a}{\\v0 b}}zorix}", "zorix", 0},
    {"Zo{\\b\\fonttbl x}rix", "zoxrix", 1},
    {"Zo{\\b\\*\\x}rix", "zorix", 1},
    {groupes(300, "{\\*\\x a}{\\fonttbl b}zorix"), "zorix", 1},
    {groupes(300, "{\\*\\x zorix}"), "zorix", 0},
    // 4. Stand-ins: an escape and a word; a brace ends them; an unknown or
    // known word, a \bin with its data, a run's bytes each count one; a \u
    // without a Windows-1252 byte shows its stand-in.
    {"Z\\uc2\\u246\\'f6\\b0 rix", "zorix", 1},
    {"Z\\uc2\\u246{}rix", "zorix", 1}, {"Z\\uc2\\u246}rix", "zorix", 1},
    {"Z\\u246\\zz rix", "zorix", 1}, {"Z\\u246\\plain rix", "zorix", 1},
    {"Z\\u246\\par rix", "zorix", 1},
    {"Z\\u246\\bin2 {}rix", "zorix", 1}, {"Z\\uc3\\u246 xyzrix", "zorix", 1},
    {"\\uc-1 Z\\u246 rix", "zorix", 1},
    {"Z\\u-65290?rix", "zorix", 1}, {"Z\\u1000 orix", "zorix", 1}, {"Z\\u0 rix", "zix", 1},
    {"\\uc0 Z\\u246\\'f6RIX", "zoorix", 1},
    // 5. Hidden text, \plain, objects and their results.
    {"Zo\\v x\\v0 rix", "zorix", 1}, {"\\v1 zorix", "zorix", 0},
    {"\\v zo\\plain rix", "rix", 1}, {"\\v zo\\plain rix", "zorix", 0},
    {"{\\object\\objemb{\\*\\objclass x}Zo{\\result rix}}", "zorix", 0},
    {"{\\object zo{\\result{\\b rix}}}", "rix", 1},
    {"{\\object{\\result zorix}}", "zorix", 1}, {"{\\object\\v{\\result zorix}}", "zorix", 0},
    {"{\\b\\object zorix}", "zorix", 1}, {"{\\object a}zorix", "zorix", 1},
    // 6. Changes undone at the brace, at any depth; at most 256 groups hold one.
    {groupes(300, "{\\v a}zorix"), "zorix", 1},
    {groupes(300, "{\\uc0 x}\\u233?zorix"), "ezorix", 1},
    {groupes(300, "{\\uc0 x}\\u233?zorix"), "e?zorix", 0},
    {groupes(300, "\\v a") + "zorix", "zorix", 1},
    {groupes(300, "{\\v a\\v0 zorix}"), "zorix", 1},
    {changements(255, "{\\v zorix}"), "zorix", 0},
    {changements(256, "{\\v zorix}"), "zorix", 1},
    {changements(256, "\\v zorix"), "zorix", 0},
    {changements(300, "") + "\\v zorix", "zorix", 0},
    // 7. What is shown.
    {"D\\'c9p\\ulnone akine", "depakine", 1},
    {"Zo\\'00rix", "zorix", 1},
    {"\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\endash\\emdash\\emspace\\enspace\\qmspace",
     "\221\222\223\224\225\226\227   ", 1},
    {"a\\tab b\\par c\\line d\\cell e\\row f", "a\tb\r\nc\r\nd\r\ne\r\nf", 1},
    {"a\\~b\\_c\\{\\}\\\\\\\r\nd\\-e\\:f", "a\240b-c{}\\\r\ndef", 1},
    {"{\\b D\\'e9pakine}\\b0  Chrono", "depakine chrono", 1},
    {"{\\pntext 1.}Zorix", "1.zorix", 1},
    {"{\\listtext a}Zorix", "azorix", 1},
    {"{\\field{\\*\\fldinst x}{\\fldrslt Zorix}}", "zorix", 1},
    // 8. \binN data, never read.
    {"Zo\\bin3 {}xrix", "zorix", 1},
    {"Zo\\bin3 {}xrix", "xrix", 0},
    {"Zo\\bin-1 rix", "zorix", 1},
    // Choices: \' with fewer than two hex digits, a backslash at the end.
    {"Zo\\'rix", "zorix", 1}, {"Zo\\'9rix", "zo9rix", 1}, {"zorix\\", "zorix", 1},
};
// clang-format on

// Both readers, with the search text past the part's NUL and a brace after
// it, where a reading past the NUL would find it and stop.
void verifier(const std::string& rtf, const char* cherche, int attendu)
{
    const std::string buf = rtf + '\0' + cherche + '}';
    EXPECT_EQ(rtf_correspond(buf.c_str(), cherche), attendu) << rtf << " / " << cherche;
    EXPECT_EQ(etalon_rtf(buf.c_str(), cherche), attendu)
        << rtf << " / " << cherche << ", yardstick";
}

class LectureRtf : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initialisation_recherche(); }
};

TEST_F(LectureRtf, Regles)
{
    for (const Lecture& l : lectures)
        verifier(l.rtf, l.cherche, l.attendu);
}

TEST_F(LectureRtf, DestinationsCachees)
{
    // clang-format off
    const char* const noms[] = {
        "fonttbl", "colortbl", "stylesheet", "listtable", "listoverridetable", "rsidtbl", "revtbl",
        "info", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
        "footerf", "footnote", "fldinst", "tc", "xe", "bkmkstart", "bkmkend", "pn", "annotation",
        "atnid", "atnauthor",
    };
    // clang-format on
    for (const char* nom : noms) {
        verifier(std::string("Dolip{\\") + nom + " x}rane", "doliprane", 1);
        verifier(std::string("Dolip{\\*\\") + nom + " x}rane", "doliprane", 1);
    }
}

TEST_F(LectureRtf, FenetreAuDelaDeSesBords)
{
    // Every shown byte may start the search text, written as escapes: the
    // bytes go through the window, which fills and carries its last ones
    // over, the match straddling each of its boundaries in turn.
    for (const char* cherche : {"ab", "aab", "aaaaaaaaaaaaaaaaab"}) {
        std::string rtf;
        for (size_t n = 1; n < 6200; ++n) {
            rtf += "\\'61";
            verifier(rtf + "\\'62", cherche, n + 1 >= strlen(cherche) ? 1 : 0);
            if (HasFailure())
                return;
        }
    }
}

}  // namespace
