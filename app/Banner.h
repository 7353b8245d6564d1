// The banner: two lines, the program and engine versions and the maker's notice. It is
// printed at start, is the default "creator" of a document and the first log line of
// a configuration run.
#pragma once

// Formats the banner; called once at start, before anything reads it.
void formatBannerText();
// The banner, without a trailing newline.
const char* bannerText();
