#include "app/Banner.h"

#include <cstdio>

namespace {

constexpr int versionMajor = 4, versionMinor = 0, versionRevision = 2;
// The engine interface version the program was written against.
constexpr const char* pdflibVersion = "9.1.1p3";
constexpr const char* makerNotice = " Copyright (C) The Quillon developers";

char banner[256];

}  // namespace

void formatBannerText()
{
    std::snprintf(banner, sizeof banner, "Quillon v%d.%d.%d for PDFlib %s\n%s", versionMajor, versionMinor,
                  versionRevision, pdflibVersion, makerNotice);
}

const char* bannerText()
{
    if (!banner[0])
        formatBannerText();
    return banner;
}
