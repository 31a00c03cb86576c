// Reference versions of the matchers, written as plainly as possible: the
// fast ones in search/ must give the same result for every input.
#pragma once

char* simple_strxstr(const char* buf, const char* s);
char* simple_stristr(const char* h, const char* n);
int simple_ordonnance(char* text, const char* str_srch);
