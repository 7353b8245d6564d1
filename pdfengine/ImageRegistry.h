// The images of one PDF handle: PDF_load_image reads a file into a LoadedImage
// and gives a handle to it; placing an image makes its XObject in the open
// document the first time and refers to that one object ever after, however
// often and on however many pages it is placed.
//
// Images are known by their content. Loading the same file again (or another
// file with the same bytes) while the first copy is still in use, by a handle
// or by the open document, shares it instead of decoding again, so a job that
// loads, places and closes a logo on each of 1,000 pages decodes it once and
// writes it once. A file whose device, inode, size and times are unchanged is
// not even opened again: one stat tells, so a file changed between two loads
// is read again, and its new content used.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "pdfengine/ImagePlacement.h"
#include "pdfengine/LoadedImage.h"

namespace pdfengine {

class Document;

class ImageRegistry {
public:
    // type: auto, jpeg, png, gif or tiff, in any case; other words are a
    // fatal error (5003). The file is looked up as given, then on the search
    // path. Returns a new handle (1, 2, ...). Throws EngineError, recoverable
    // (2401-2407) when the file cannot be found, read or decoded.
    int load(std::string_view type, std::string_view fileName, const std::vector<std::string>& searchPath);

    // Throws EngineError (4301) for a handle that is not open.
    void close(int handle);

    // The image of an open handle; throws EngineError (4301), for -1 saying
    // why the last load failed.
    const std::shared_ptr<const LoadedImage>& image(int handle) const;

    // The image's XObject in document, made on first use.
    QPDFObjectHandle xobject(Document& document, int handle);

    // Draws the image on the document's open page in `box` (in the space that
    // `outer` maps to the page, or the page's own). Throws EngineError.
    void place(Document& document, int handle, const PdfRect& box, const ImageFit& fit,
               const QPDFMatrix* outer = nullptr);

private:
    struct Entry {
        std::shared_ptr<const LoadedImage> image;
        std::string key;  // of the content, the document's shared-object key
    };
    // What tells one version of a file from another without reading it.
    using FileStamp = std::tuple<dev_t, ino_t, off_t, long long, long long>;
    struct Known {
        std::string key;
        std::weak_ptr<const LoadedImage> image;
    };

    const Entry& entry(int handle) const;
    static FileStamp stampOf(const struct stat& st);
    // The image of a file of that stamp that is still in use, or none.
    Entry known(const struct stat& st) const;
    // Opens the file, checks it, and reads and decodes it unless its stamp or
    // its content is known. Throws ImageError.
    Entry read(const std::string& path, const std::string& name, std::optional<ImageFormat> requested);

    std::map<int, Entry> handles_;
    int nextHandle_ = 1;
    std::string lastFailure_;
    // Images still in use somewhere, by content key and by file stamp.
    std::map<std::string, std::weak_ptr<const LoadedImage>> byContent_;
    std::map<FileStamp, Known> byFile_;
};

}  // namespace pdfengine
