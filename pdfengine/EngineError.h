// Errors as data: every failure of the engine is an EngineError carrying an
// ErrorCode (the number callers read with PDF_get_errnum and the error type
// handed to the error handler) and a message naming the offending value.
// The numbers are grouped by area; pdfengine/README.md lists them.
#pragma once

#include <stdexcept>
#include <string>

#include "pdfengine/pdf_api.h"

namespace pdfengine {

struct ErrorCode {
    int number;
    int type;  // PDF_MemoryError ... PDF_UnknownError
};

namespace err {
// 1xxx option lists: their syntax, types, ranges and combinations.
inline constexpr ErrorCode UnknownOption{1101, PDF_SyntaxError};
inline constexpr ErrorCode UnbalancedBraces{1102, PDF_SyntaxError};
inline constexpr ErrorCode MissingValue{1103, PDF_SyntaxError};
inline constexpr ErrorCode MissingOptionName{1104, PDF_SyntaxError};
inline constexpr ErrorCode NotANumber{1105, PDF_SyntaxError};
inline constexpr ErrorCode NotABoolean{1106, PDF_SyntaxError};
inline constexpr ErrorCode NotAnInteger{1107, PDF_SyntaxError};
inline constexpr ErrorCode OptionOutOfRange{1108, PDF_ValueError};
inline constexpr ErrorCode UnknownKeyword{1109, PDF_ValueError};
inline constexpr ErrorCode WrongItemCount{1110, PDF_SyntaxError};
inline constexpr ErrorCode NotAColor{1111, PDF_SyntaxError};
inline constexpr ErrorCode BadOptionText{1112, PDF_ValueError};
inline constexpr ErrorCode BadOptionValue{1113, PDF_ValueError};
inline constexpr ErrorCode OptionNeedsOption{1201, PDF_ValueError};
inline constexpr ErrorCode PasswordsEqual{1202, PDF_ValueError};
inline constexpr ErrorCode PermissionNeedsVersion{1203, PDF_ValueError};
inline constexpr ErrorCode PasswordTooLong{1204, PDF_ValueError};
inline constexpr ErrorCode PasswordNotEncodable{1205, PDF_ValueError};

// 2xxx files: output documents and the trace file (20xx), finishing a
// document (21xx), imported PDFs and pCOS queries (22xx).
inline constexpr ErrorCode CannotCreateOutput{2001, PDF_IOError};
inline constexpr ErrorCode CannotWriteOutput{2002, PDF_IOError};
inline constexpr ErrorCode CannotRenameOutput{2003, PDF_IOError};
inline constexpr ErrorCode CannotOpenTrace{2004, PDF_IOError};
inline constexpr ErrorCode BadFileName{2005, PDF_ValueError};
// Callers that open a document only to read imported PDFs end it without
// pages and expect exactly this error (type and number).
inline constexpr ErrorCode NoPages{2106, PDF_UnknownError};
inline constexpr ErrorCode PdiFileNotFound{2201, PDF_IOError};
inline constexpr ErrorCode PdiCannotRead{2202, PDF_IOError};
inline constexpr ErrorCode PdiNotPdf{2203, PDF_IOError};
inline constexpr ErrorCode PdiPasswordRequired{2204, PDF_IOError};
inline constexpr ErrorCode PdiWrongPassword{2205, PDF_ValueError};
inline constexpr ErrorCode PdiUnsupported{2206, PDF_IOError};
inline constexpr ErrorCode PdiDamaged{2207, PDF_IOError};
inline constexpr ErrorCode PdiTooComplex{2208, PDF_IOError};
inline constexpr ErrorCode PdiBadPage{2209, PDF_ValueError};
inline constexpr ErrorCode PcosBadPath{2210, PDF_SyntaxError};
inline constexpr ErrorCode PcosPathNotFound{2211, PDF_SyntaxError};
inline constexpr ErrorCode PcosWrongType{2212, PDF_TypeError};

// 24xx image files; PDF_load_image reports them by returning -1.
inline constexpr ErrorCode ImageFileNotFound{2401, PDF_IOError};
inline constexpr ErrorCode ImageCannotRead{2402, PDF_IOError};
inline constexpr ErrorCode ImageUnknownFormat{2403, PDF_IOError};
inline constexpr ErrorCode ImageTypeMismatch{2404, PDF_ValueError};
inline constexpr ErrorCode ImageUnsupported{2405, PDF_IOError};
inline constexpr ErrorCode ImageDamaged{2406, PDF_IOError};
inline constexpr ErrorCode ImageTooLarge{2407, PDF_IOError};

// 3xxx scopes and state.
inline constexpr ErrorCode WrongScope{3001, PDF_RuntimeError};
inline constexpr ErrorCode RestoreWithoutSave{3002, PDF_RuntimeError};
inline constexpr ErrorCode UnmatchedSave{3003, PDF_RuntimeError};
inline constexpr ErrorCode NoBuffer{3004, PDF_RuntimeError};

// 4xxx handles and indices (fonts, imported documents and pages, images).
inline constexpr ErrorCode BadPdiDocumentHandle{4101, PDF_IndexError};
inline constexpr ErrorCode BadPdiPageHandle{4102, PDF_IndexError};
inline constexpr ErrorCode PdiPageOutOfRange{4103, PDF_IndexError};
inline constexpr ErrorCode BadImageHandle{4301, PDF_IndexError};

// 5xxx values of function arguments.
inline constexpr ErrorCode PageSizeOutOfRange{5001, PDF_ValueError};
inline constexpr ErrorCode NotFinite{5002, PDF_ValueError};
inline constexpr ErrorCode UnknownArgumentKeyword{5003, PDF_ValueError};
inline constexpr ErrorCode ArgumentOutOfRange{5004, PDF_ValueError};
inline constexpr ErrorCode BadInfoKey{5005, PDF_ValueError};
inline constexpr ErrorCode BadText{5006, PDF_ValueError};

// Fonts and text, numbered in the ranges of their kinds: a font that cannot be
// found, read or embedded (23xx), text without a font (31xx), font handles
// (40xx), encodings and versions a font cannot take (51xx).
inline constexpr ErrorCode FontUnavailable{2301, PDF_IOError};
inline constexpr ErrorCode NoFont{3101, PDF_RuntimeError};
inline constexpr ErrorCode BadFontHandle{4001, PDF_IndexError};
inline constexpr ErrorCode UnknownEncoding{5101, PDF_ValueError};
inline constexpr ErrorCode FontNeedsVersion{5102, PDF_ValueError};

// 9xxx failures of the machine or of the engine itself.
inline constexpr ErrorCode OutOfMemory{9001, PDF_MemoryError};
inline constexpr ErrorCode Internal{9002, PDF_UnknownError};
inline constexpr ErrorCode PdfLibrary{9003, PDF_UnknownError};
inline constexpr ErrorCode System{9004, PDF_SystemError};
}  // namespace err

class EngineError : public std::runtime_error {
public:
    // recoverable: a failure of the kind the handle-returning calls report by
    // returning -1 (a file that cannot be opened, a font that cannot be had)
    // rather than through the error handler.
    EngineError(ErrorCode code, std::string message, bool recoverable = false)
        : std::runtime_error(std::move(message)), code_(code), recoverable_(recoverable)
    {
    }

    ErrorCode code() const { return code_; }
    bool recoverable() const { return recoverable_; }

    // Turns whatever was thrown inside the engine (our own errors, qpdf's,
    // the standard library's) into an EngineError. Call only from a catch block.
    static EngineError fromCurrentException();

private:
    ErrorCode code_;
    bool recoverable_;
};

// The English name of an error type ("syntax", "I/O"...), used by the trace.
const char* errorTypeName(int type);

// The text of an errno value, without the locale's translation.
std::string systemMessage(int errnum);

}  // namespace pdfengine
