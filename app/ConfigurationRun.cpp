#include "app/ConfigurationRun.h"

#include <cstdio>

// Configuration mode arrives with the configuration loader and the renderer.
void runConfiguration(const char* path, const char* flags)
{
    (void)flags;
    std::fprintf(stderr, "\r\nERROR: configuration mode is not available yet (%s)\r\n", path);
}
