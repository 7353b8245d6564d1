#include "app/EntryPoint.h"

int main(int argc, char** argv) { return quillonMain(argc, argv); }
