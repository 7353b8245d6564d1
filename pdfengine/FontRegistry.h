// The fonts of a handle: PDF_load_font finds a font by name, makes it a handle
// and gives the same handle for the same request again. Font files are read once
// per file and face and shared by every encoding loaded from them. Fonts write
// their dictionaries into the documents that use them: an empty dictionary when a
// document first uses a font, filled at the end of the document, when the subset
// covers everything the document showed.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "pdfengine/FontLocator.h"
#include "pdfengine/LoadedFont.h"
#include "pdfengine/Settings.h"

namespace pdfengine {

class Document;
class FontFile;
class OptionList;

class FontRegistry {
public:
    FontRegistry();
    ~FontRegistry();
    FontRegistry(const FontRegistry&) = delete;
    FontRegistry& operator=(const FontRegistry&) = delete;

    // The handle (0, 1, ...) of the font `name` with `encoding`; options of
    // PDF_load_font. A font that cannot be had is a recoverable EngineError whose
    // message names the font, the encoding and the reason; it is remembered for
    // the error of a later use of handle -1. `document` is the open document, if
    // any, whose version the font must suit.
    int load(std::string_view name, std::string_view encoding, const OptionList& options,
             const Settings& settings, Document* document);

    // The font of a handle; an index error for a handle that is none.
    LoadedFont& get(int handle);

    // The font's dictionary in `document`, made (empty) when the document first
    // uses the font; the first font a document uses installs the end hook that
    // fills them all.
    QPDFObjectHandle dictionaryFor(LoadedFont& font, Document& document);

    // A new document begins: fonts forget what the last one showed.
    void beginDocument();

    // Raises the document's version to what the font needs; a recoverable value
    // error when compatibility was fixed lower.
    static void requireVersion(const LoadedFont& font, Document& document);

private:
    struct Request;
    // What a request resolved to, and how to make the font.
    struct Plan {
        LoadedFont::Description description;
        FontInstance::Factory make;
    };

    Plan create(const Request& request, const Settings& settings);
    Plan fromFile(const Request& request, const std::string& path, int faceIndex);
    std::shared_ptr<const FontFile> fontFile(const std::string& path, int faceIndex);
    void writeFonts(Document& document);

    std::vector<std::unique_ptr<LoadedFont>> fonts_;
    std::map<std::string, std::shared_ptr<FontInstance>> instances_;  // by what they write
    std::unordered_map<std::string, int> byRequest_;                  // name, encoding and options as given
    std::unordered_map<std::string, int> byIdentity_;                 // what the request resolved to
    std::map<std::pair<std::string, int>, std::shared_ptr<const FontFile>> files_;
    FontLocator locator_;
    std::string lastFailure_;
    std::string keyScratch_;
    bool hookInstalled_ = false;
};

}  // namespace pdfengine
