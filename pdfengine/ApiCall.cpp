#include "pdfengine/ApiCall.h"

namespace pdfengine::api {

void appendArg(std::string& out, int value)
{
    out += std::to_string(value);
}

void appendArg(std::string& out, long value)
{
    out += std::to_string(value);
}

void appendArg(std::string& out, double value)
{
    ApiTrace::appendNumber(out, value);
}

void appendArg(std::string& out, const char* value)
{
    ApiTrace::appendText(out, value);
}

void appendArg(std::string& out, Text value)
{
    if (value.data && value.length > 0)
        ApiTrace::appendText(out, value.data, static_cast<size_t>(value.length));
    else
        ApiTrace::appendText(out, value.data);
}

void appendArg(std::string& out, Bytes value)
{
    out += '[';
    out += std::to_string(value.size);
    out += " bytes]";
}

std::string_view textArg(const char* text, int length)
{
    if (length < 0)
        throw EngineError(err::ArgumentOutOfRange, "Text length " + std::to_string(length) + " is negative");
    if (!text)
        return {};
    return length > 0 ? std::string_view(text, static_cast<size_t>(length)) : std::string_view(text);
}

bool recordFailure(PDF* p, const ApiSpec& spec, const EngineError& error)
{
    bool fatal = true;
    if (error.recoverable()) {
        if (spec.nonFatal == NonFatal::Recoverable ||
            (spec.nonFatal == NonFatal::RecoverableByPolicy && p->engine.settings().errorPolicyReturn))
            fatal = false;
    }
    p->errnum = error.code().number;
    p->errmsg = error.what();
    p->apiname = spec.name;
    if (fatal)
        p->engine.noteFatalError();
    return fatal;
}

namespace {

// A message as a text without its quotes.
void appendUnquoted(std::string& line, const char* text)
{
    std::string escaped;
    ApiTrace::appendText(escaped, text);
    line.append(escaped, 1, escaped.size() - 2);
}

}  // namespace

void appendNote(std::string& line, const std::string& note)
{
    line += " -- ";
    appendUnquoted(line, note.c_str());
}

void writeTraceLine(PDF* p, std::string& line, const EngineError* error, bool fatal)
{
    if (error) {
        line += " -> error ";
        line += std::to_string(error->code().number);
        line += " (";
        line += errorTypeName(error->code().type);
        line += fatal ? "): " : ", non-fatal): ";
        appendUnquoted(line, error->what());
    }
    p->engine.trace().writeLine(line);
}

void callHandler(PDF* p, int type)
{
    // The message stays in the handle, so the pointer is valid while the
    // handler runs and until the next failure.
    p->handler(p, type, p->errmsg.c_str());
}

}  // namespace pdfengine::api
