#include "logging/TORLogging.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "logging/TORFileList.h"
#include "logging/tr_datetime.h"
#include "platform/append_file.h"
#include "platform/current_directory.h"
#include "platform/file_rename.h"

namespace {

constexpr char separator = platform::pathSeparator;

std::string lineOf(const char* text)
{
    std::string line(text);
    line += "\r\n";
    return line;
}

// Where the file name begins in path.
size_t nameStart(const std::string& path)
{
    size_t slash = path.rfind(separator);
    return slash == std::string::npos ? 0 : slash + 1;
}

// The path without the extension of its file name. A dot in a folder name is not an
// extension: cutting there would move the archive out of the log's folder.
std::string stemOf(const std::string& path)
{
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart(path))
        return path;
    return path.substr(0, dot);
}

std::string archiveName(const std::string& path, int period, const tr_datetime& first)
{
    char suffix[64];
    switch (period) {
        case TORLogging::hourly:
            std::snprintf(suffix, sizeof suffix, ".%04d%02d%02d.%02d.log", first.year, first.month, first.day,
                          first.hour);
            break;
        case TORLogging::dayly:
        case TORLogging::weekly:
            std::snprintf(suffix, sizeof suffix, ".%04d%02d%02d.log", first.year, first.month, first.day);
            break;
        case TORLogging::sizely:
            std::snprintf(suffix, sizeof suffix, ".%04d%02d%02d.%02d%02d.log", first.year, first.month,
                          first.day, first.hour, first.minute);
            break;
        default:  // monthly, quarter, yearly
            std::snprintf(suffix, sizeof suffix, ".%04d%02d.log", first.year, first.month);
            break;
    }
    return stemOf(path) + suffix;
}

// Whether a file dated first is still the current file at now (with size bytes).
bool isCurrent(int period, const tr_datetime& first, const tr_datetime& now, uint64_t size,
               uint32_t sizeLimit)
{
    switch (period) {
        case TORLogging::hourly:
            return now.isSameDate(first) && now.hour == first.hour;
        case TORLogging::dayly:
            return now.isSameDate(first);
        case TORLogging::weekly: {
            // Unsigned, so a clock that went back counts as a new week.
            auto days = static_cast<uint32_t>(dayNumber(now) - dayNumber(first));
            return days < 7 && weekday(now) >= weekday(first);
        }
        case TORLogging::monthly:
            return now.year == first.year && now.month == first.month;
        case TORLogging::quarter:
            return now.year == first.year && now.month - first.month < 3;
        case TORLogging::yearly:
            return now.year == first.year;
        case TORLogging::sizely:
            return size < sizeLimit;
        default:
            return true;
    }
}

// Renames path to archive, or when that name is taken to archive with 000 ... 999
// before its ".log"; archive becomes the name used. False when no rename succeeded.
bool moveToArchive(const char* path, std::string& archive)
{
    if (platform::renameNoReplace(path, archive.c_str()))
        return true;
    if (errno != EEXIST)
        return false;
    std::string base = archive.substr(0, archive.size() - 4);  // without ".log"
    for (int n = 0; n < 1000; ++n) {
        char numbered[16];
        std::snprintf(numbered, sizeof numbered, "%03d.log", n);
        std::string candidate = base + numbered;
        if (platform::renameNoReplace(path, candidate.c_str())) {
            archive = candidate;
            return true;
        }
        // Only a taken name is worth another try.
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool allDigits(const std::string& text, size_t from, size_t count)
{
    if (from + count > text.size())
        return false;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// Whether name is one of the archive names this writer gives a log whose file name
// without extension is stem: stem.YYYYMM, .YYYYMMDD, .YYYYMMDD.HH or .YYYYMMDD.HHNN,
// each perhaps followed by the three digits of a taken name, then ".log".
bool isArchiveOf(const std::string& name, const std::string& stem)
{
    const std::string head = stem + ".";
    const std::string tail = ".log";
    if (name.size() < head.size() + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    std::string middle = name.substr(head.size(), name.size() - head.size() - tail.size());
    size_t dot = middle.find('.');
    std::string date = middle.substr(0, dot);
    if (!allDigits(date, 0, date.size()))
        return false;
    if (dot == std::string::npos)
        return date.size() == 6 || date.size() == 8 || date.size() == 9 || date.size() == 11;
    std::string time = middle.substr(dot + 1);
    return date.size() == 8 && allDigits(time, 0, time.size()) &&
           (time.size() == 2 || time.size() == 4 || time.size() == 5 || time.size() == 7);
}

// Deletes this log's archives last written on or before the cutoff: keepCount years,
// months or days before today. Only names this writer gives its own archives are
// candidates, so other files of the folder are never touched.
void pruneArchives(const std::string& path, uint16_t type, int32_t keepCount, const tr_datetime& now)
{
    size_t start = nameStart(path);
    if (start == 0)
        return;  // no folder part: pruning needs one
    std::string folder = path.substr(0, start - 1);
    if (folder.empty())
        folder = std::string(1, separator);
    std::string stem = stemOf(path).substr(start);

    tr_datetime cutoff(now);
    cutoff.hour = cutoff.minute = cutoff.second = 0;
    if (type & TORLogging::pruneYears)
        cutoff.year = static_cast<uint16_t>(cutoff.year - keepCount);
    else if (type & TORLogging::pruneMonths)
        cutoff.addMonths(-keepCount);
    else
        cutoff.addDays(-keepCount);

    TORFileList listing(folder.c_str(), (stem + ".*.log").c_str());
    listing.scan();
    std::string prefix = folder.back() == separator ? folder : folder + separator;
    for (int32_t i = 0; i < listing.getCount(); ++i) {
        const TORFile* file = listing.getFile(i);
        if (!file || (file->getAttributes() & platform::fileAttributeDirectory) ||
            !isArchiveOf(file->getName(), stem) || !file->getLastWriteTime().isOnOrBefore(&cutoff))
            continue;
        std::remove((prefix + file->getName()).c_str());
    }
}

}  // namespace

TORLogging::TORLogging(const char* logPath) : path(logPath), queue(std::make_unique<TORContainer>(1024, 512))
{
}

TORLogging::~TORLogging()
{
    // Not through the table: a derived part is already gone here.
    TORLogging::flush();
}

int32_t TORLogging::flush()
{
    if (!queue)
        return 0;
    int32_t total = 0;
    std::vector<bool> written(static_cast<size_t>(queue->getCount()), false);
    for (int32_t i = 0; i < queue->getCount(); ++i) {
        auto* message = dynamic_cast<TORMessage*>(queue->get(i));
        if (!message)
            continue;
        int32_t result = writeLine(message->getText());
        written[static_cast<size_t>(i)] = result > 0;
        total += result;
    }
    if (total > 0) {
        // A message whose line did not reach the file stays for the next flush.
        for (int32_t i = queue->getCount() - 1; i >= 0; --i) {
            bool keep = !written[static_cast<size_t>(i)] && dynamic_cast<TORMessage*>(queue->get(i));
            if (!keep)
                delete queue->removeAt(i);
        }
    }
    skipCheck = 0;
    return total;
}

int32_t TORLogging::writeLine(const char* text)
{
    tr_datetime now(0);
    if (!path.present() || !text)
        return 0;
    const int period = type & periodMask;
    const std::string line = lineOf(text);

    platform::AppendFile file;
    if (!file.openExisting(path.get())) {
        // A new file, dated by this line. Appending, not truncating: a file that
        // exists but could not be opened for reading keeps what it holds.
        if (!file.openForAppend(path.get()))
            return 0;
        if (period != sizely)
            skipCheck = 1;
        return file.append(line) && file.close() ? 1 : 0;
    }

    const std::string firstLine = file.readFirstLine(511);
    if (!firstLine.empty()) {
        tr_datetime first;
        parseDateTime(&first, firstLine.c_str(), "YYYYMMDDHHNNSS");
        if (!first.isValid())
            first = now;
        if (skipCheck) {
            skipCheck = 0;
        } else if (isCurrent(period, first, now, file.size(), sizeLimit)) {
            skipCheck = 1;
        } else {
            std::string archive = archiveName(path.get(), period, first);
            file.append("... rename from " + std::string(path.get()) + " to " + archive + "\r\n");
            file.close();
            // When every name is taken the line still goes to the old file, whose
            // unchanged first line makes the next line try again.
            bool renamed = moveToArchive(path.get(), archive);
            if (!file.openForAppend(path.get()))
                return 0;
            if (renamed && (type & eraseFlag))
                std::remove(archive.c_str());
            if ((type & (pruneYears | pruneMonths | pruneDays)) && keepCount > 0)
                pruneArchives(path.get(), type, keepCount, now);
        }
    }
    return file.append(line) && file.close() ? 1 : 0;
}

uint16_t TORLogging::setType(const char* keyword)
{
    if (!keyword)
        return type;
    static const char* const periods[] = {"HOURLY",  "DAYLY",  "WEEKLY", "MONTHLY",
                                          "QUARTER", "YEARLY", "SIZELY"};
    for (uint16_t i = 0; i < 7; ++i) {
        if (std::strcmp(keyword, periods[i]) == 0)
            type = static_cast<uint16_t>(i + 1);
    }
    if (std::strcmp(keyword, "RENAME") == 0)
        type |= renameFlag;
    if (std::strcmp(keyword, "ERASE") == 0)
        type |= eraseFlag;
    return type;
}

void TORLogging::clear()
{
    if (queue)
        queue->removeAll();
}

int32_t TORLogging::log(TORMessage* message)
{
    if (!buffered) {
        int32_t result = flush();
        if (message) {
            result += writeLine(message->getText());
            delete message;
        }
        skipCheck = 0;
        return result;
    }
    if (!queue)
        queue = std::make_unique<TORContainer>(1024, 512);
    if (!message)
        return 0;
    if (queueLimit > 0 && dropCount > 0 && queue->getCount() >= queueLimit) {
        for (int32_t i = 0; i < dropCount && queue->getCount() > 0; ++i) {
            if (!dynamic_cast<TORMessage*>(queue->get(0)))
                break;
            delete queue->removeAt(0);
        }
    }
    if (queue->add(message) < 0)
        delete message;
    return 0;
}
