#include "app/EntryPoint.h"

#include <cstdio>
#include <strings.h>

#include "app/Banner.h"
#include "app/BlockTemplate.h"
#include "app/ConfigurationRun.h"
#include "foundation/TORPDFException.h"
#include "pdfengine/pdf_api.h"
#include "platform/current_directory.h"

// "コンフィグレーションファイルが指定されていません\r\n  使い方: Quillon configuration.conf\r\n"
const char usageMessage[] =
    "\x83R\x83\x93\x83t\x83" "B\x83O\x83\x8C\x81[\x83V\x83\x87\x83\x93\x83t\x83@\x83" "C\x83\x8B\x82\xAA\x8Ew"
    "\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\r\n  \x8Eg\x82\xA2\x95\xFB: Quillon "
    "configuration.conf\r\n";

namespace {

[[noreturn]] void raiseUsageError() { throw TORException(-1, usageMessage, -1); }

void printEngineVersion()
{
    PDF* p = PDF_new();
    const char* version = p ? PDF_get_string(p, 0, "version") : "";
    std::printf(" DLL version %s\n", version ? version : "");
    if (p)
        PDF_delete(p);
}

int run(int argc, char** argv)
{
    printEngineVersion();
    if (argc < 2)
        raiseUsageError();

    std::string directory;
    bool haveDirectory = platform::getCurrentDirectory(directory);
    std::string path;
    if (!completePath(argv[1], haveDirectory, directory, path))
        raiseUsageError();

    switch (modeOfPath(path)) {
    case RunMode::Configuration:
        runConfiguration(path.c_str(), argc >= 3 ? argv[2] : "");
        break;
    case RunMode::Template:
        printBlockTemplate(path.c_str());
        break;
    case RunMode::None:
        raiseUsageError();
    }
    return 0;
}

int report(const TORException& error)
{
    std::fflush(stdout);
    const char* message = error.getMessage();
    std::fprintf(stderr, "\r\nERROR: %s\r\n", message ? message : "");
    return error.getCode();
}

}  // namespace

bool completePath(const std::string& argument, bool haveDirectory, const std::string& currentDirectory,
                  std::string& completed)
{
    if (argument.find(platform::pathSeparator) != std::string::npos) {
        completed = argument;
        return true;
    }
    if (!haveDirectory)
        return false;
    bool endsInSeparator = !currentDirectory.empty() && currentDirectory.back() == platform::pathSeparator;
    completed = currentDirectory + (endsInSeparator ? "" : std::string(1, platform::pathSeparator)) + argument;
    return true;
}

RunMode modeOfPath(const std::string& path)
{
    size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return RunMode::None;
    const char* extension = path.c_str() + dot;
    if (strcasecmp(extension, ".conf") == 0)
        return RunMode::Configuration;
    if (strcasecmp(extension, ".pdf") == 0)
        return RunMode::Template;
    return RunMode::None;
}

int quillonMain(int argc, char** argv)
{
    formatBannerText();
    std::printf("%s\n", bannerText());
    try {
        return run(argc, argv);
    } catch (const TORPDFException& error) {
        return report(error);
    } catch (const TORException& error) {
        return report(error);
    }
}
