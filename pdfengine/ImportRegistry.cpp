#include "pdfengine/ImportRegistry.h"

#include "pdfengine/BoundedSink.h"
#include "pdfengine/PdiError.h"
#include "pdfengine/ReferenceDepth.h"

namespace pdfengine {

namespace {

// Real resource graphs are a few levels deep; qpdf's recursion is safe far
// beyond this.
constexpr size_t maxReferenceDepth = 1000;

void checkDepth(QPDFObjectHandle object, const std::string& what)
{
    if (referenceDepth(object, maxReferenceDepth) > maxReferenceDepth)
        throw PdiError(PdiErrorKind::TooComplex, "The objects of " + what + " are nested more than " +
                                                     std::to_string(maxReferenceDepth) + " levels deep");
}

// Decodes the page's content once, now, so that content which cannot be read
// or would decode to too much fails the import instead of the output's writing.
void checkContent(QPDFObjectHandle form, size_t limit, const std::string& what)
{
    BoundedSink sink(limit, false);
    bool ok = false;
    bool attempted = false;
    std::string reason;
    try {
        ok = form.pipeStreamData(&sink, &attempted, 0, qpdf_dl_none, true);
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (sink.exceeded())
        throw PdiError(PdiErrorKind::TooComplex, "The content of " + what + " decodes to more than " +
                                                     std::to_string(limit) + " bytes");
    if (!ok)
        throw PdiError(PdiErrorKind::Damaged, "The content of " + what + " cannot be read" +
                                                  (reason.empty() ? std::string() : " (" + reason + ")"));
}

}  // namespace

void ImportRegistry::remember(const std::shared_ptr<ImportedDocument>& document)
{
    if (!sources_.insert(document).second)
        return;
    std::string version = document->pdfVersion();
    if (pdfVersionNumbers(version) > pdfVersionNumbers(highestVersion_))
        highestVersion_ = version;
}

QPDFObjectHandle ImportRegistry::formXObject(const std::shared_ptr<ImportedDocument>& document,
                                             int pageNumber)
{
    auto key = std::make_pair(document.get(), pageNumber);
    if (auto it = forms_.find(key); it != forms_.end())
        return it->second;

    const PageNode& page = document->page(pageNumber);
    const PageGeometry& geometry = document->geometry(pageNumber);
    std::string what = document->describePage(pageNumber);
    try {
        // qpdf makes the form from a copy of the page that carries its inherited
        // attributes itself, taken from the tree walk rather than from /Parent
        // links, which damaged files get wrong (qpdf would follow them). The
        // page itself stays as it is, so that queries see the same document
        // before and after an import.
        QPDFObjectHandle dict =
            document->qpdf().makeIndirectObject(QPDFObjectHandle(page.dict).shallowCopy());
        dict.removeKey("/Parent");
        for (const char* name : {"/Resources", "/MediaBox", "/CropBox", "/Rotate"}) {
            QPDFObjectHandle value = page.attribute(name);
            if (!value.isNull())
                dict.replaceKey(name, value);
        }
        if (!dict.getKey("/Resources").isDictionary())
            dict.replaceKey("/Resources", QPDFObjectHandle::newDictionary());

        // The rotation is the placement's business, so qpdf adds no /Matrix.
        QPDFObjectHandle form = QPDFPageObjectHelper(dict).getFormXObjectForPage(false);
        form.getDict().replaceKey("/BBox", geometry.media.toObject());
        checkContent(form, document->options().maxStreamBytes, what);
        checkDepth(form, what);
        // Kept alive from the first copied object on, whatever fails later.
        remember(document);
        QPDFObjectHandle copy = output_.copyForeignObject(form);
        document->checkRepairs();
        forms_.emplace(key, copy);
        return copy;
    } catch (...) {
        rethrowAsPdiError(document->fileName());
    }
}

bool ImportRegistry::copyOutputIntents(const std::shared_ptr<ImportedDocument>& document)
{
    try {
        QPDFObjectHandle outputRoot = output_.getRoot();
        QPDFObjectHandle existing = outputRoot.getKey("/OutputIntents");
        if (existing.isArray() && existing.getArrayNItems() > 0)
            return false;
        QPDFObjectHandle intents = document->qpdf().getRoot().getKey("/OutputIntents");
        if (!intents.isArray())
            return false;
        remember(document);
        QPDFObjectHandle copied = QPDFObjectHandle::newArray();
        for (QPDFObjectHandle intent : intents.aitems()) {
            if (!intent.isDictionary())
                continue;
            // qpdf copies only indirect objects.
            if (!intent.isIndirect())
                intent = document->qpdf().makeIndirectObject(intent);
            checkDepth(intent, "the output intents of PDF file '" + document->fileName() + "'");
            copied.appendItem(output_.copyForeignObject(intent));
        }
        if (copied.getArrayNItems() == 0)
            return false;
        document->checkRepairs();
        outputRoot.replaceKey("/OutputIntents", copied);
        return true;
    } catch (...) {
        rethrowAsPdiError(document->fileName());
    }
}

}  // namespace pdfengine
