#include "pdfengine/Encryption.h"

#include "pdfengine/EngineError.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/Qpdf.h"

namespace pdfengine {

namespace {

enum Permission {
    NoPrint,
    NoHiresPrint,
    NoCopy,
    NoAccessible,
    NoModify,
    NoAssemble,
    NoForms,
    NoAnnots,
    PlainMetadata,
    PermissionCount
};

std::string versionText(PdfVersion version)
{
    return std::to_string(version / 10) + "." + std::to_string(version % 10);
}

// The lowest version whose encryption method can express a permission.
PdfVersion minimumVersion(size_t permission)
{
    switch (permission) {
        case NoPrint:
        case NoCopy:
        case NoModify:
        case NoAnnots:
            return 13;
        case PlainMetadata:
            return 16;  // /EncryptMetadata exists from the AES methods on
        default:
            return 14;
    }
}

// Passwords are PDFDocEncoding up to 32 bytes for the RC4 and AES-128
// methods, UTF-8 up to 127 bytes for AES-256.
std::string encodePassword(const OptionList& options, std::string_view option, HypertextEncoding encoding,
                           PdfVersion version)
{
    auto utf8 = hypertextToUtf8(options.getString(option), encoding, options.utf8());
    if (!utf8)
        throw EngineError(err::BadOptionText, "Option '" + std::string(option) + "' is not valid UTF-8");
    std::string encoded;
    size_t limit = 127;
    if (version < 20) {
        limit = 32;
        if (!QUtil::utf8_to_pdf_doc(*utf8, encoded))
            throw EngineError(err::PasswordNotEncodable,
                              "Option '" + std::string(option) + "' has characters that compatibility " +
                                  versionText(version) + " cannot use in a password (compatibility 2.0 can)");
    } else {
        encoded = *utf8;
    }
    if (encoded.size() > limit)
        throw EngineError(err::PasswordTooLong,
                          "Option '" + std::string(option) + "' is longer than " + std::to_string(limit) +
                              " bytes, the limit of compatibility " + versionText(version));
    return encoded;
}

}  // namespace

Encryption::Encryption(const OptionList& options, HypertextEncoding encoding, PdfVersion version)
    : version_(version), denied_(PermissionCount, false)
{
    const bool hasMaster = !options.getString("masterpassword").empty();
    const bool hasUser = !options.getString("userpassword").empty();
    const auto permissions = options.getKeywords("permissions");
    if (!hasMaster) {
        if (hasUser)
            throw EngineError(err::OptionNeedsOption, "Option 'userpassword' needs option 'masterpassword'");
        if (!permissions.empty())
            throw EngineError(err::OptionNeedsOption, "Option 'permissions' needs option 'masterpassword'");
        return;
    }
    for (size_t permission : permissions) {
        if (version < minimumVersion(permission))
            throw EngineError(err::PermissionNeedsVersion,
                              "Permission '" + std::string(options::permissionKeywords[permission]) +
                                  "' needs compatibility " + versionText(minimumVersion(permission)) +
                                  " or higher, not " + versionText(version));
        denied_[permission] = true;
    }
    master_ = encodePassword(options, "masterpassword", encoding, version);
    if (hasUser)
        user_ = encodePassword(options, "userpassword", encoding, version);
    if (user_ == master_)
        throw EngineError(err::PasswordsEqual, "Options 'userpassword' and 'masterpassword' must differ");
    enabled_ = true;
}

void Encryption::apply(QPDFWriter& writer) const
{
    if (!enabled_)
        return;
    const char* user = user_.c_str();
    const char* owner = master_.c_str();
    const bool print = !denied_[NoPrint];
    const bool modify = !denied_[NoModify];
    const bool copy = !denied_[NoCopy];
    const bool annotate = !denied_[NoAnnots];
    if (version_ == 13) {
        writer.setR2EncryptionParametersInsecure(user, owner, print, modify, copy, annotate);
        return;
    }
    const qpdf_r3_print_e printing = !print                  ? qpdf_r3p_none
                                     : denied_[NoHiresPrint] ? qpdf_r3p_low
                                                             : qpdf_r3p_full;
    const bool accessibility = !denied_[NoAccessible];
    const bool assemble = !denied_[NoAssemble];
    const bool forms = !denied_[NoForms];
    const bool encryptMetadata = !denied_[PlainMetadata];
    if (version_ <= 15)
        writer.setR3EncryptionParametersInsecure(user, owner, accessibility, copy, assemble, annotate, forms,
                                                 modify, printing);
    else if (version_ <= 17)
        writer.setR4EncryptionParametersInsecure(user, owner, accessibility, copy, assemble, annotate, forms,
                                                 modify, printing, encryptMetadata, true);
    else
        writer.setR6EncryptionParameters(user, owner, accessibility, copy, assemble, annotate, forms, modify,
                                         printing, encryptMetadata);
}

}  // namespace pdfengine
