// The second reading of a prescription's <rtf> part: the words it shows.
// Pure code without any Windows header, so it also builds natively.
#pragma once

// Whether the text an RTF reader shows of rtf holds the folded search text
// (at most 259 bytes, as the search box gives it). rtf starts right after the
// part's opening tag and ends at its first NUL, never read past; it is only
// read. An empty search text matches nothing.
int rtf_correspond(const char* rtf, const char* str_srch);
