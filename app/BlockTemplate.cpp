#include "app/BlockTemplate.h"

#include <cstdio>

// Template mode arrives with page import and the engine's object queries.
void printBlockTemplate(const char* path) { std::printf("ERROR: template mode is not available yet (%s)\n", path); }
