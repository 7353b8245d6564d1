// The one table that maps what can be thrown inside the engine to its errors.
#include "pdfengine/EngineError.h"

#include <cstring>
#include <new>

#include "pdfengine/PdiError.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

namespace {

// Failures of an imported file are recoverable: PDF_open_pdi_document and
// PDF_open_pdi_page report them by returning -1. Mistakes in a call (a bad
// pCOS path, a bad placement value) are not.
EngineError fromPdiError(const PdiError& e)
{
    switch (e.kind()) {
        case PdiErrorKind::FileNotFound:
            return EngineError(err::PdiFileNotFound, e.what(), true);
        case PdiErrorKind::CannotRead:
            return EngineError(err::PdiCannotRead, e.what(), true);
        case PdiErrorKind::NotPdf:
            return EngineError(err::PdiNotPdf, e.what(), true);
        case PdiErrorKind::PasswordRequired:
            return EngineError(err::PdiPasswordRequired, e.what(), true);
        case PdiErrorKind::WrongPassword:
            return EngineError(err::PdiWrongPassword, e.what(), true);
        case PdiErrorKind::Unsupported:
            return EngineError(err::PdiUnsupported, e.what(), true);
        case PdiErrorKind::Damaged:
            return EngineError(err::PdiDamaged, e.what(), true);
        case PdiErrorKind::TooComplex:
            return EngineError(err::PdiTooComplex, e.what(), true);
        case PdiErrorKind::PageOutOfRange:
            return EngineError(err::PdiPageOutOfRange, e.what(), true);
        case PdiErrorKind::BadPage:
            return EngineError(err::PdiBadPage, e.what(), true);
        case PdiErrorKind::BadValue:
            return EngineError(err::ArgumentOutOfRange, e.what());
        case PdiErrorKind::PathSyntax:
            return EngineError(err::PcosBadPath, e.what());
        case PdiErrorKind::PathNotFound:
            return EngineError(err::PcosPathNotFound, e.what());
        case PdiErrorKind::WrongType:
            return EngineError(err::PcosWrongType, e.what());
    }
    return EngineError(err::Internal, std::string("Internal error: ") + e.what());
}

}  // namespace

EngineError EngineError::fromCurrentException()
{
    try {
        throw;
    } catch (const EngineError& e) {
        return e;
    } catch (const PdiError& e) {
        return fromPdiError(e);
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
