// Passwords and permissions of an output document, checked against its PDF
// version and handed to qpdf's writer, which encrypts with the strongest
// method the version allows: 1.3 RC4 40-bit, 1.4-1.5 RC4 128-bit,
// 1.6-1.7 AES-128, 2.0 AES-256.
#pragma once

#include <string>
#include <vector>

#include "pdfengine/TextEncoding.h"

class QPDFWriter;

namespace pdfengine {

class OptionList;

// A PDF header version as major * 10 + minor: 13 ... 17, 20.
using PdfVersion = int;

class Encryption {
public:
    // Reads masterpassword, userpassword and permissions of PDF_begin_document's
    // options. Throws EngineError (12xx) when they cannot be honoured in
    // `version`: a user password or permissions without a master password,
    // equal passwords, a permission the version's method cannot express, a
    // password too long or not encodable for the method.
    Encryption(const OptionList& options, HypertextEncoding encoding, PdfVersion version);

    bool enabled() const { return enabled_; }
    // AES needs a fixed initialisation vector in the deterministic mode.
    bool usesAes() const { return version_ >= 16; }
    void apply(QPDFWriter& writer) const;

private:
    bool enabled_ = false;
    PdfVersion version_;
    std::string master_;
    std::string user_;
    std::vector<bool> denied_;  // by index of options::permissionKeywords
};

}  // namespace pdfengine
