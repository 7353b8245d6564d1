#include "pdfengine/Imports.h"

#include <algorithm>

#include "pdfengine/Document.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/ImportRegistry.h"
#include "pdfengine/InputFile.h"
#include "pdfengine/NumberFormat.h"
#include "pdfengine/OptionList.h"
#include "pdfengine/OptionTables.h"
#include "pdfengine/OutputFile.h"
#include "pdfengine/PagePlacement.h"
#include "pdfengine/PcosQuery.h"
#include "pdfengine/PdfText.h"
#include "pdfengine/PdiError.h"

namespace pdfengine {

namespace {

std::string withoutBom(std::string_view text)
{
    if (startsWithUtf8Bom(text))
        text.remove_prefix(utf8Bom.size());
    return std::string(text);
}

// The passwords to try, in order: qpdf compares the bytes it is given, which
// must be UTF-8 for AES-256 and PDFDocEncoding for the older methods, and we
// do not know the method before the file is open.
std::vector<std::string> passwordCandidates(const OptionList& list, const Settings& settings)
{
    std::string_view given = list.getString("password");
    if (given.empty())
        return {""};
    auto utf8 = hypertextToUtf8(given, settings.hypertextEncoding, list.utf8());
    if (!utf8)
        throw EngineError(err::BadOptionText, "Option 'password' is not valid UTF-8");
    std::vector<std::string> candidates{*utf8};
    std::string pdfDoc;
    if (QUtil::utf8_to_pdf_doc(*utf8, pdfDoc))
        candidates.push_back(pdfDoc);
    candidates.push_back(withoutBom(given));
    std::vector<std::string> unique;
    for (std::string& c : candidates)
        if (std::find(unique.begin(), unique.end(), c) == unique.end())
            unique.push_back(std::move(c));
    return unique;
}

// 17 for "1.7"; the versions the output can take: up to 1.7, or 2.0.
PdfVersion outputVersion(const std::string& text)
{
    auto [major, minor] = pdfVersionNumbers(text);
    PdfVersion version = major * 10 + minor;
    return version > 17 ? 20 : version;
}

EngineError badHandle(ErrorCode code, const char* what, int handle, bool closed, const std::string& failure)
{
    std::string message = std::string(what) + " handle " + std::to_string(handle) + " is not valid";
    if (handle == -1 && !failure.empty())
        message += "; the last " +
                   std::string(code.number == err::BadPdiDocumentHandle.number ? "PDF_open_pdi_document"
                                                                               : "PDF_open_pdi_page") +
                   " failed: " + failure;
    else if (closed)
        message += " (it was closed)";
    return EngineError(code, message);
}

PlacementOptions placementOptions(const OptionList& list)
{
    PlacementOptions o;
    o.adjustPage = list.getBool("adjustpage", false);
    if (list.has("boxsize")) {
        std::vector<double> box = list.getNumbers("boxsize");
        o.boxWidth = box[0];
        o.boxHeight = box[1];
    }
    if (list.has("fitmethod"))
        o.fitMethod = *fitMethodFromKeyword(list.getString("fitmethod"));
    if (list.has("position"))
        o.position = positionOption(list);
    if (list.has("scale")) {
        std::vector<double> scale = list.getNumbers("scale");
        for (double s : scale)
            if (!(s > 0))
                throw EngineError(err::OptionOutOfRange, "Option 'scale' must be above 0, not '" +
                                                             std::string(list.getString("scale")) + "'");
        o.scale = {scale[0], scale.size() > 1 ? scale[1] : scale[0]};
    }
    o.rotate = list.getNumber("rotate", 0);
    if (list.has("orientate"))
        o.orientate = *orientationFromKeyword(list.getString("orientate"));
    return o;
}

}  // namespace

std::shared_ptr<ImportedDocument> Imports::openShared(const std::string& path, const ImportOptions& options)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    Opened stamp{fs::weakly_canonical(path, ec).string(),
                 fs::file_size(path, ec),
                 fs::last_write_time(path, ec),
                 options.password,
                 options.repair,
                 {}};
    const bool stamped = !ec;
    std::erase_if(opened_, [](const Opened& o) { return o.document.expired(); });
    if (stamped) {
        for (const Opened& o : opened_) {
            if (o.path == stamp.path && o.size == stamp.size && o.modified == stamp.modified &&
                o.password == stamp.password && o.repair == stamp.repair)
                if (auto document = o.document.lock())
                    return document;
        }
    }
    auto document = ImportedDocument::open(path, options);
    if (stamped) {
        stamp.document = document;
        opened_.push_back(std::move(stamp));
    }
    return document;
}

int Imports::openDocument(std::string_view fileName, std::string_view optlist, const Settings& settings,
                          const std::string& output)
{
    try {
        const OptionList list = OptionList::parse(optlist, options::openPdiDocument);
        std::string name = withoutBom(fileName);
        if (name.find('\0') != std::string::npos)
            throw EngineError(err::BadFileName, "File name contains a NUL byte");
        ImportOptions options;
        options.repair = list.getKeyword("repair", 1) == 0 ? RepairMode::Never : RepairMode::Auto;
        options.legacyNames = cp932ToUtf8;
        const std::string path = findInputFile(name, settings.searchPath);
        if (!output.empty() && OutputFile::wouldReplace(output, path))
            throw PdiError(PdiErrorKind::CannotRead,
                           "Couldn't open PDF file '" + path + "' for reading (it is the output document)");
        std::vector<std::string> passwords = passwordCandidates(list, settings);
        std::shared_ptr<ImportedDocument> document;
        for (size_t i = 0; !document; ++i) {
            options.password = passwords[i];
            try {
                document = openShared(path, options);
            } catch (const PdiError& e) {
                if (e.kind() != PdiErrorKind::WrongPassword || i + 1 == passwords.size())
                    throw;
            }
        }
        const int handle = nextDocument_++;
        documents_.emplace(handle, std::move(document));
        return handle;
    } catch (...) {
        documentFailure_ = EngineError::fromCurrentException().what();
        throw;
    }
}

const ImportedDocument* Imports::replacedBy(const std::string& target) const
{
    for (const auto& [handle, document] : documents_)
        if (OutputFile::wouldReplace(target, document->fileName()))
            return document.get();
    return nullptr;
}

int Imports::openPage(int documentHandle, int number, std::string_view optlist)
{
    try {
        const OptionList list = OptionList::parse(optlist, options::openPdiPage);
        const std::shared_ptr<ImportedDocument>& source = document(documentHandle);
        const PageBox box =
            list.has("pdiusebox") ? *pageBoxFromKeyword(list.getString("pdiusebox")) : PageBox::Crop;
        // Reads the boxes now, so that a page that cannot be placed fails here.
        source->geometry(number);
        const int handle = nextPage_++;
        pages_.emplace(handle, OpenPage{documentHandle, source, number, box});
        return handle;
    } catch (...) {
        pageFailure_ = EngineError::fromCurrentException().what();
        throw;
    }
}

void Imports::closeDocument(int handle)
{
    if (handle > 0 && handle < nextDocument_ && !documents_.contains(handle))
        return;
    document(handle);
    std::erase_if(pages_, [handle](const auto& entry) { return entry.second.document == handle; });
    documents_.erase(handle);
}

void Imports::closePage(int handle)
{
    if (handle > 0 && handle < nextPage_ && !pages_.contains(handle))
        return;
    page(handle);
    pages_.erase(handle);
}

const std::shared_ptr<ImportedDocument>& Imports::document(int handle) const
{
    auto it = documents_.find(handle);
    if (it == documents_.end())
        throw badHandle(err::BadPdiDocumentHandle, "PDI document", handle,
                        handle > 0 && handle < nextDocument_, documentFailure_);
    return it->second;
}

const Imports::OpenPage& Imports::page(int handle) const
{
    auto it = pages_.find(handle);
    if (it == pages_.end())
        throw badHandle(err::BadPdiPageHandle, "PDI page", handle, handle > 0 && handle < nextPage_,
                        pageFailure_);
    return it->second;
}

void Imports::fitPage(int handle, double x, double y, std::string_view optlist, Document& output)
{
    const OpenPage& imported = page(handle);
    const OptionList list = OptionList::parse(optlist, options::fitPdiPage);
    requireFinite(x, "x");
    requireFinite(y, "y");
    const PagePlacement placement = PagePlacement::compute(imported.source->geometry(imported.number),
                                                           imported.box, x, y, placementOptions(list));
    // Everything that can fail comes before the first change of the page.
    auto size = placement.pageSize();
    if (size)
        Page::checkSize(size->first, size->second);
    ImportRegistry& registry = output.importRegistry();
    QPDFObjectHandle form = registry.formXObject(imported.source, imported.number);
    output.raiseVersion(outputVersion(registry.highestVersion()));
    Page& page = output.page();
    const std::string name = page.useResource(ResourceType::XObject, form);
    if (size)
        page.setSize(size->first, size->second);
    placement.write(page.content(), name);
    page.notePlacement(handle, placement.matrix());
}

const PageBlocks& Imports::blocks(int handle) const
{
    const OpenPage& imported = page(handle);
    return imported.source->pageBlocks(imported.number);
}

std::string Imports::describePage(int handle) const
{
    const OpenPage& imported = page(handle);
    return imported.source->describePage(imported.number);
}

int Imports::process(int documentHandle, int pageHandle, std::string_view optlist, Document& output)
{
    const std::shared_ptr<ImportedDocument>& source = document(documentHandle);
    if (pageHandle != -1)
        page(pageHandle);
    const OptionList list = OptionList::parse(optlist, options::processPdi);
    if (!list.has("action"))
        throw EngineError(err::BadOptionValue, "PDF_process_pdi needs option 'action'");
    // copyoutputintent, the one action: a document without output intents, or
    // an output that has them already, is left as it is.
    ImportRegistry& registry = output.importRegistry();
    if (registry.copyOutputIntents(source))
        output.raiseVersion(outputVersion(registry.highestVersion()));
    return 1;
}

double Imports::pcosNumber(int handle, std::string_view path)
{
    const std::shared_ptr<ImportedDocument>& source = document(handle);
    return PcosQuery(*source).number(path);
}

const std::string& Imports::pcosString(int handle, std::string_view path)
{
    const std::shared_ptr<ImportedDocument>& source = document(handle);
    string_ = PcosQuery(*source).string(path);
    return string_;
}

const std::string& Imports::pcosStream(int handle, std::string_view path, std::string_view optlist)
{
    const std::shared_ptr<ImportedDocument>& source = document(handle);
    OptionList::parse(optlist, options::none);
    stream_ = PcosQuery(*source).stream(path);
    return stream_;
}

}  // namespace pdfengine
