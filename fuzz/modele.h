// Reference model of the matchers for the fuzz targets, written apart from
// both the fast code and the plain test versions: whole texts are folded
// into copies and searched with the standard library.
#pragma once

#include <string>

// Leftmost position of s in the folded copy of buf, or -1. Empty s: -1.
long modele_strxstr(const std::string& buf, const std::string& s);

// Leftmost position of n in h, both upper-cased for a-z only, or -1.
long modele_stristr(const std::string& h, const std::string& n);

// The decision on text, a C string (no NUL inside); apres receives the text
// as the decision leaves it, its cuts written.
int modele_ordonnance(const std::string& text, const std::string& s, std::string& apres);
