// A message for the log: its text begins with the local date and time and the
// process and thread identifiers, "2024/03/05 14:07:09 1A2C(09f4) ", which also lets
// the log writer date a file by its first line.
#pragma once

#include "logging/TORMessage.h"

class TORLogMessage : public TORMessage {
public:
    TORLogMessage() = default;

    bool vformat(int32_t code, const char* format, va_list arguments) override;
};
