// What an output document has taken from imported documents: each imported page
// as a form XObject, made once per imported document and page number and reused
// for every placement, and whether output intents were copied. The output
// document owns one; it keeps the imported documents it copied from alive,
// because qpdf copies the data of their streams (fonts, images) only when the
// output is written.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "pdfengine/Deflater.h"
#include "pdfengine/ImportedDocument.h"

namespace pdfengine {

class ImportRegistry {
public:
    // output must outlive the registry; write the output before destroying it.
    // The pages' content is compressed by `deflater`, the output's compressor.
    ImportRegistry(QPDF& output, Deflater& deflater) : output_(output), deflater_(deflater) {}
    ImportRegistry(const ImportRegistry&) = delete;
    ImportRegistry& operator=(const ImportRegistry&) = delete;

    // The page as a form XObject of the output document: an indirect stream
    // holding the page's decoded content, /BBox the page's media box (the
    // placement clips to the chosen box). Only the page's content, resources
    // and transparency group are copied, not its annotations or form fields;
    // objects that several pages share are copied once. Throws PdiError
    // (PageOutOfRange, BadPage, Damaged, TooComplex).
    QPDFObjectHandle formXObject(const std::shared_ptr<ImportedDocument>& document, int pageNumber);

    // Copies the catalog's /OutputIntents of the document into the output's
    // catalog, unless the output has output intents already. Returns whether it
    // copied any.
    bool copyOutputIntents(const std::shared_ptr<ImportedDocument>& document);

    // The highest PDF version among the documents copied from ("1.7"), empty
    // when none; the output's version is raised to it unless the user set one.
    std::string highestVersion() const { return highestVersion_; }

    size_t formXObjectCount() const { return forms_.size(); }

private:
    void remember(const std::shared_ptr<ImportedDocument>& document);
    // An object of an imported document as an object of the output.
    QPDFObjectHandle copyAcross(QPDFObjectHandle object);

    QPDF& output_;
    Deflater& deflater_;
    // Keyed by the document's address, which stays unique while `sources_` holds it.
    std::map<std::pair<const ImportedDocument*, int>, QPDFObjectHandle> forms_;
    std::set<std::shared_ptr<ImportedDocument>> sources_;
    std::string highestVersion_;
};

}  // namespace pdfengine
