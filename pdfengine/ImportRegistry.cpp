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

// The page's content, decoded and joined as qpdf joins a content array. Taken
// now, so that content which cannot be read or would decode to too much fails
// the import rather than the writing of the output.
std::string pageContent(QPDFObjectHandle page, size_t limit, const std::string& what)
{
    BoundedSink sink(limit, true);
    std::string reason;
    try {
        QPDFPageObjectHelper(page).pipeContents(&sink);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (sink.exceeded())
        throw PdiError(PdiErrorKind::TooComplex, "The content of " + what + " decodes to more than " +
                                                     std::to_string(limit) + " bytes");
    if (!reason.empty())
        throw PdiError(PdiErrorKind::Damaged, "The content of " + what + " cannot be read (" + reason + ")");
    return std::move(sink.data());
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
        // The form is made in the output document itself: its content is the
        // page's decoded content, its resources and group are copied by qpdf.
        // Nothing is added to the imported document, because the first new
        // object there would make qpdf read every object of the file.
        QPDFObjectHandle resources = page.attribute("/Resources");
        QPDFObjectHandle group = QPDFObjectHandle(page.dict).getKey("/Group");
        checkDepth(resources, what);
        checkDepth(group, what);
        std::string content = pageContent(page.dict, document->options().maxStreamBytes, what);
        // Kept alive from the first copied object on, whatever fails later.
        remember(document);
        // Compressed here, like the pages' own content, rather than by qpdf's
        // writer, which would set up a compressor of its own for it.
        QPDFObjectHandle form = output_.newStream();
        form.replaceStreamData(deflater_.compress(content), QPDFObjectHandle::newName("/FlateDecode"),
                               QPDFObjectHandle::newNull());
        QPDFObjectHandle dict = form.getDict();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        dict.replaceKey("/BBox", geometry.media.toObject());
        QPDFObjectHandle copiedResources = resources.isDictionary() ? copyAcross(resources) : resources;
        dict.replaceKey("/Resources",
                        copiedResources.isDictionary() ? copiedResources : QPDFObjectHandle::newDictionary());
        if (QPDFObjectHandle copiedGroup = group.isDictionary() ? copyAcross(group) : group;
            copiedGroup.isDictionary())
            dict.replaceKey("/Group", copiedGroup);
        document->checkRepairs();
        forms_.emplace(key, form);
        return form;
    } catch (...) {
        rethrowAsPdiError(document->fileName());
    }
}

QPDFObjectHandle ImportRegistry::copyAcross(QPDFObjectHandle object)
{
    // qpdf copies indirect objects, with everything they refer to, once per
    // imported document; direct containers are rebuilt around their copies.
    // A page tree node is never copied: qpdf leaves it out when it is reached
    // from inside, but handed one directly it returns an uninitialised handle
    // that crashes the output document later. Such a reference is damage, and
    // becomes null as it does one level down.
    if (object.isIndirect())
        return object.isPagesObject() ? QPDFObjectHandle::newNull() : output_.copyForeignObject(object);
    if (object.isArray()) {
        QPDFObjectHandle copy = QPDFObjectHandle::newArray();
        for (QPDFObjectHandle item : object.aitems())
            copy.appendItem(copyAcross(item));
        return copy;
    }
    if (object.isDictionary()) {
        QPDFObjectHandle copy = QPDFObjectHandle::newDictionary();
        for (auto& [key, value] : object.ditems())
            copy.replaceKey(key, copyAcross(value));
        return copy;
    }
    return object.shallowCopy();
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
            checkDepth(intent, "the output intents of PDF file '" + document->fileName() + "'");
            copied.appendItem(copyAcross(intent));
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
