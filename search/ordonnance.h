// The decision for one prescription text.
#pragma once

// Whether a prescription text matches the folded search text: finds the first
// <text> and <rtf> parts, cuts each at its closing tag by writing a NUL in
// place, and searches both, then the words the <rtf> part shows. text is
// NUL-terminated and writable.
int ordonnance_correspond(char* text, const char* str_srch);
