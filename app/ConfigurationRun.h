// Configuration mode: load the configuration file, render the PDF, log the run.
#pragma once

// Given the completed path of the .conf file and the flags text (empty when absent).
// Reports every error itself and raises nothing.
void runConfiguration(const char* path, const char* flags);
