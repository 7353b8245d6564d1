// Appends lines to one log file and rotates it by period or size. Each line opens,
// checks, perhaps rotates, appends to and closes the file, so nothing stays open
// between lines. A file is dated by its first line, which every log message begins
// with its time; when now (or the file's size) has left that file's period, the file
// is renamed to an archive name built from the first line's time and a new file
// starts with the line that found it out.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORContainer.h"
#include "foundation/TORObject.h"
#include "logging/TORMessage.h"

class TORLogging : public virtual TORObject {
public:
    // The period, in the low four bits of type.
    static constexpr uint16_t hourly = 1;
    static constexpr uint16_t dayly = 2;
    static constexpr uint16_t weekly = 3;  // weeks begin on Sunday
    static constexpr uint16_t monthly = 4;
    static constexpr uint16_t quarter = 5;  // three months from the file's first month
    static constexpr uint16_t yearly = 6;
    static constexpr uint16_t sizely = 7;  // when the file has reached sizeLimit bytes
    static constexpr uint16_t periodMask = 0x0F;
    // Recorded only: a rotation always renames.
    static constexpr uint16_t renameFlag = 0x10;
    // The archive is deleted right after a successful rotation.
    static constexpr uint16_t eraseFlag = 0x20;
    // Pruning of this log's old archives, with keepCount years, months or days.
    static constexpr uint16_t pruneYears = 0x100;
    static constexpr uint16_t pruneMonths = 0x200;
    static constexpr uint16_t pruneDays = 0x400;

    explicit TORLogging(const char* path);
    ~TORLogging() override;
    TORLogging(const TORLogging&) = delete;
    TORLogging& operator=(const TORLogging&) = delete;

    // Writes the queued messages in order; the sum of the writeLine results. Written
    // messages leave the queue, those whose line could not be written stay.
    virtual int32_t flush();
    // Checks rotation, then appends text and CR LF: 1 when the line was written.
    virtual int32_t writeLine(const char* text);
    // "HOURLY" ... "SIZELY" set the period (and clear every flag), "RENAME" and
    // "ERASE" add theirs; other texts change nothing. Returns the new type.
    virtual uint16_t setType(const char* keyword);
    // Deletes the queued messages.
    virtual void clear();
    // Takes the message over. Unbuffered: writes what is queued and then the message;
    // the number of lines written. Buffered: queues it (dropping the oldest when the
    // queue is at queueLimit) and returns 0.
    virtual int32_t log(TORMessage* message);

    OwnedText path;
    // One-shot: the next line on an existing file is written without a rotation test.
    uint8_t skipCheck = 0;
    std::unique_ptr<TORContainer> queue;
    uint16_t type = weekly | eraseFlag;
    uint32_t sizeLimit = 0x100000;
    uint8_t buffered = 0;
    // Years, months or days of archives kept when pruning; 0 or less: no pruning.
    int32_t keepCount = 0;
    int32_t queueLimit = 0;
    int32_t dropCount = 0;
};
