// The one path every PDF_ function takes: check the scope, run the core,
// and turn what it throws into the error protocol. A failure is recorded
// (number, message, API name), the document is marked failed, the trace line
// is written, and only then, with the handle consistent, is the error handler
// called; it may throw through us. Non-fatal failures are only recorded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "pdfengine/EngineError.h"
#include "pdfengine/Handle.h"

namespace pdfengine::api {

// Which recoverable failures (EngineError::recoverable) return -1 instead
// of calling the error handler.
enum class NonFatal { Never, Recoverable, RecoverableByPolicy };

struct ApiSpec {
    const char* name;
    unsigned scopes;
    NonFatal nonFatal = NonFatal::Never;
};

// A text argument with its length; 0 means NUL-terminated.
struct Text {
    const char* data;
    int length;
};

// The result of a function without one.
struct Nothing {};

// The result of PDF_get_buffer, traced by its size.
struct Bytes {
    const char* data;
    long size;
};

void appendArg(std::string& out, int value);
void appendArg(std::string& out, long value);
void appendArg(std::string& out, double value);
void appendArg(std::string& out, const char* value);
void appendArg(std::string& out, Text value);
void appendArg(std::string& out, Bytes value);

// A text argument as a view; a null text is empty. Throws EngineError for a
// negative length.
std::string_view textArg(const char* text, int length = 0);

// Records the failure and says whether it is fatal.
bool recordFailure(PDF* p, const ApiSpec& spec, const EngineError& error);
// Appends " -- NOTE" to a trace line, the note escaped like a text without its quotes.
void appendNote(std::string& line, const std::string& note);
// Appends the error to a trace line and writes the line.
void writeTraceLine(PDF* p, std::string& line, const EngineError* error, bool fatal);
// Calls the handler with the recorded error.
void callHandler(PDF* p, int type);

template <typename... Args>
std::string callText(const char* name, const Args&... args)
{
    std::string line = name;
    line += '(';
    bool first = true;
    ((first ? void() : void(line += ", "), first = false, appendArg(line, args)), ...);
    line += ')';
    return line;
}

// For functions with a result: returns the body's result, or `failure`.
template <typename R, typename Body, typename... Args>
R call(PDF* p, const ApiSpec& spec, R failure, Body&& body, const Args&... args)
{
    if (!p)
        return failure;
    std::optional<EngineError> error;
    R result = failure;
    try {
        p->engine.requireScope(spec.name, spec.scopes);
        result = body(p->engine);
    } catch (...) {
        error.emplace(EngineError::fromCurrentException());
    }
    const bool fatal = error && recordFailure(p, spec, *error);
    std::string note = p->engine.takeTraceNote();
    if (p->engine.trace().enabled()) {
        std::string line = callText(spec.name, args...);
        if constexpr (!std::is_same_v<R, Nothing>) {
            if (!fatal) {
                line += " = ";
                appendArg(line, result);
            }
        }
        if (!note.empty())
            appendNote(line, note);
        writeTraceLine(p, line, error ? &*error : nullptr, fatal);
    }
    if (fatal)
        callHandler(p, error->code().type);
    return result;
}

// For functions without a result.
template <typename Body, typename... Args>
void run(PDF* p, const ApiSpec& spec, Body&& body, const Args&... args)
{
    call(
        p, spec, Nothing{},
        [&](Engine& engine) {
            body(engine);
            return Nothing{};
        },
        args...);
}

}  // namespace pdfengine::api
