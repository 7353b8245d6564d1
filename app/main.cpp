#include "app/EntryPoint.h"
#include "pdfengine/Engine.h"

int main(int argc, char** argv)
{
    // The process ends right after its one document is written.
    pdfengine::Engine::keepWrittenDocumentsUntilExit();
    return quillonMain(argc, argv);
}
