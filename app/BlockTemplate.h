// Template mode: prints a skeleton configuration for the blocks of a PDF.
#pragma once

// Given the completed path of the PDF. Reports engine errors on standard output.
void printBlockTemplate(const char* path);
