#include "pdfengine/PdiError.h"

#include <new>

#include "pdfengine/Qpdf.h"

namespace pdfengine {

PdiError damagedError(const std::string& fileName, const std::string& detail)
{
    return PdiError(PdiErrorKind::Damaged, "PDF file '" + fileName + "' is damaged (" + detail + ")");
}

void rethrowAsPdiError(const std::string& fileName)
{
    try {
        throw;
    } catch (const PdiError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const QPDFExc& e) {
        std::string detail = e.getMessageDetail();
        switch (e.getErrorCode()) {
            case qpdf_e_password:
                throw PdiError(PdiErrorKind::WrongPassword, "Wrong password for PDF file '" + fileName + "'");
            case qpdf_e_unsupported:
                throw PdiError(
                    PdiErrorKind::Unsupported,
                    "PDF file '" + fileName + "' uses a feature that cannot be read (" + detail + ")");
            case qpdf_e_system:
                throw PdiError(PdiErrorKind::CannotRead,
                               "Couldn't read PDF file '" + fileName + "' (" + detail + ")");
            default:
                throw damagedError(fileName, detail);
        }
    } catch (const QPDFSystemError& e) {
        throw PdiError(PdiErrorKind::CannotRead,
                       "Couldn't read PDF file '" + fileName + "' (" + e.what() + ")");
    } catch (const std::exception& e) {
        throw damagedError(fileName, e.what());
    }
}

}  // namespace pdfengine
