// A log file in a fresh folder, lines written through the writer as the run log
// writes them, and the local time fixed by the test.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "logging/TORLogMessage.h"
#include "logging/TORLogging.h"
#include "platform/clock.h"
#include "platform/process_ids.h"
#include "tests/support/TestSupport.h"

namespace logtest {

// " 1A2C(09f4) ": what follows the time in every line this process writes.
inline std::string idsPart()
{
    char ids[32];
    std::snprintf(ids, sizeof ids, " %04X(%04x) ", platform::currentProcessId(), platform::currentThreadId());
    return ids;
}

// The line a message written at time ("2024/03/06 00:00:01") with text gives.
inline std::string lineAt(const std::string& time, const std::string& text)
{
    return time + idsPart() + text + "\r\n";
}

class LogFolder {
public:
    explicit LogFolder(const std::string& name = "app.log") : path(folder.file(name)) {}

    // Starts the log with a line written at time, as an earlier run would have.
    void seed(const std::string& time, const std::string& text = "seeded") const
    {
        testsupport::writeFile(path, lineAt(time, text));
    }

    // One call of the run log: a writer of that type writes one message and goes.
    int write(uint16_t type, const std::string& text, uint32_t sizeLimit = 0x100000) const
    {
        TORLogging writer(path.c_str());
        writer.type = type;
        writer.sizeLimit = sizeLimit;
        auto* message = new TORLogMessage();
        message->format(0, "%s", text.c_str());
        return writer.log(message);
    }

    // The names in the folder, sorted.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    std::string file(const std::string& name) const { return folder.file(name); }
    std::string read(const std::string& name) const { return testsupport::readFile(file(name)); }

    testsupport::TempDir folder;
    std::string path;
};

}  // namespace logtest
