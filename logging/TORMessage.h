// A small owned text with a numeric code, built printf-style, or with a format taken
// by number from a resource file shared by all messages.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>

#include "foundation/OwnedText.h"
#include "foundation/TORObject.h"
#include "foundation/TORResource.h"

class TORMessage : public virtual TORObject {
public:
    TORMessage();
    ~TORMessage() override;
    TORMessage(const TORMessage&) = delete;
    TORMessage& operator=(const TORMessage&) = delete;

    // Replaces code and text; false (and the message left empty) without a format.
    virtual bool vformat(int32_t code, const char* format, va_list arguments);
    virtual bool format(int32_t code, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // Formats with the resource file's text for id ("unknown resource" when the file
    // has none). The first call with a file name loads the table that every message
    // then shares; false when there is no table yet and no file name.
    virtual bool formatResource(int32_t id, const char* fileName, ...);

    int32_t getCode() const { return code; }
    const char* getText() const { return text.get(); }
    void reset();

    // Size of the scratch buffer texts are formatted into; a longer text is kept
    // whole in a buffer of its own.
    static int32_t bufferSize;
    static int32_t getInstanceCount() { return instanceCount; }
    static const TORResource* getSharedResources() { return sharedResources.get(); }

protected:
    // Stores code and the text prefix followed by the formatted arguments.
    bool build(int32_t code, const char* prefix, const char* format, va_list arguments);

private:
    int32_t code = 0;
    OwnedText text;

    // Live messages of every class; the shared table goes with the last of them.
    static int32_t instanceCount;
    static std::unique_ptr<TORResource> sharedResources;
};
