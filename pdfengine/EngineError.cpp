// The one table that maps what can be thrown inside the engine to its errors.
#include "pdfengine/EngineError.h"

#include <cstring>
#include <new>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

EngineError EngineError::fromCurrentException()
{
    try {
        throw;
    } catch (const EngineError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return EngineError(err::OutOfMemory, "Out of memory");
    } catch (const QPDFSystemError& e) {
        return EngineError(err::System, std::string("System error: ") + e.what());
    } catch (const QPDFExc& e) {
        return EngineError(err::PdfLibrary, std::string("PDF library error: ") + e.what());
    } catch (const std::exception& e) {
        return EngineError(err::Internal, std::string("Internal error: ") + e.what());
    } catch (...) {
        return EngineError(err::Internal, "Internal error: unknown exception");
    }
}

const char* errorTypeName(int type)
{
    switch (type) {
        case PDF_MemoryError:
            return "memory";
        case PDF_IOError:
            return "I/O";
        case PDF_RuntimeError:
            return "runtime";
        case PDF_IndexError:
            return "index";
        case PDF_TypeError:
            return "type";
        case PDF_SyntaxError:
            return "syntax";
        case PDF_ValueError:
            return "value";
        case PDF_SystemError:
            return "system";
        default:
            return "other";
    }
}

std::string systemMessage(int errnum)
{
    // strerrordesc_np gives the English text whatever the locale says.
    const char* text = strerrordesc_np(errnum);
    return text ? text : "error " + std::to_string(errnum);
}

}  // namespace pdfengine
