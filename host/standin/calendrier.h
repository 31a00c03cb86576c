// Calendar arithmetic on packed dates (day in bits 0-7, month in bits 8-15,
// year in bits 16-31). Pure code: no Windows header, unit-tested on its own.
#pragma once

#include <cstdint>

bool annee_bissextile(uint32_t annee);

// Days of a month of the Gregorian calendar; 0 for a month outside 1..12.
uint32_t jours_du_mois(uint32_t mois, uint32_t annee);

// A real calendar day (stored dates may hold 00/00/0 and other odd values).
bool date_valide(uint32_t date);

// Age at `reference` of someone born on `naissance`: (years << 16) | (months << 8).
// A month is complete once the day of the birth date is reached, that day
// being cut to the last day of a shorter month (born 31/01: one month on 28/02,
// born 29/02: one year on 28/02 of a common year). A birth after the reference
// or a date that is not a calendar day gives 0.
uint32_t age_entre(uint32_t naissance, uint32_t reference);

// Reads "JJ/MM/AAAA" at p (day 0..255, month 0..255, year 0..65535, any number
// of digits per field) into a packed date; *suite gets the first byte after it.
// No range check against the calendar: stored dates may be odd.
bool analyser_date(const char* p, const char* fin, const char** suite, uint32_t* date);
