#include "pdfengine/ImageRegistry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "pdfengine/Document.h"
#include "pdfengine/EngineError.h"
#include "pdfengine/ImageLoader.h"
#include "pdfengine/ImageXObject.h"
#include "pdfengine/InputFile.h"
#include "pdfengine/OptionList.h"

#include <qpdf/QPDFCryptoProvider.hh>

namespace pdfengine {

namespace {

constexpr std::string_view typeKeywords[] = {"auto", "jpeg", "png", "gif", "tiff"};
constexpr ImageFormat typeFormats[] = {ImageFormat::Jpeg, ImageFormat::Png, ImageFormat::Gif,
                                       ImageFormat::Tiff};

std::optional<ImageFormat> requestedFormat(std::string_view type)
{
    for (size_t i = 0; i < std::size(typeKeywords); ++i)
        if (equalsNoCase(type, typeKeywords[i]))
            return i == 0 ? std::nullopt : std::optional<ImageFormat>(typeFormats[i - 1]);
    throw EngineError(err::UnknownArgumentKeyword, "Unknown image type '" + std::string(type) +
                                                       "' (expected auto, jpeg, png, gif or tiff)");
}

ErrorCode errorCode(ImageErrorKind kind)
{
    switch (kind) {
        case ImageErrorKind::FileNotFound:
            return err::ImageFileNotFound;
        case ImageErrorKind::CannotRead:
            return err::ImageCannotRead;
        case ImageErrorKind::UnknownFormat:
            return err::ImageUnknownFormat;
        case ImageErrorKind::TypeMismatch:
            return err::ImageTypeMismatch;
        case ImageErrorKind::Unsupported:
            return err::ImageUnsupported;
        case ImageErrorKind::Damaged:
            return err::ImageDamaged;
        case ImageErrorKind::TooLarge:
            return err::ImageTooLarge;
    }
    return err::ImageDamaged;
}

ImageError cannotOpen(const std::string& fileName, ImageErrorKind kind, const std::string& reason)
{
    return ImageError(kind, "Couldn't open image file '" + fileName + "' for reading (" + reason + ")");
}

// An open file descriptor, closed at the end of the scope.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::string sha256(std::string_view bytes)
{
    auto crypto = QPDFCryptoProvider::getImpl();
    crypto->SHA2_init(256);
    crypto->SHA2_update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    crypto->SHA2_finalize();
    return QUtil::hex_encode(crypto->SHA2_digest());
}

// The whole content of an open regular file, refused beyond maxFileBytes.
std::string readWhole(int fd, const struct stat& st, const std::string& name)
{
    const auto tooLarge = [&name](const std::string& size) {
        return ImageError(ImageErrorKind::TooLarge,
                          "Image file '" + name + "' is too large (" + size + "at most 256 MB)");
    };
    if (static_cast<uint64_t>(st.st_size) > ImageLimits::maxFileBytes)
        throw tooLarge(std::to_string(st.st_size >> 20) + " MB; ");
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, static_cast<size_t>(n));
            // A file that grows while it is read is not let past the limit.
            if (bytes.size() > ImageLimits::maxFileBytes)
                throw tooLarge("");
        } else if (n == 0) {
            return bytes;
        } else if (errno != EINTR) {
            throw ImageError(ImageErrorKind::CannotRead,
                             "Couldn't read image file '" + name + "' (" + systemMessage(errno) + ")");
        }
    }
}

}  // namespace

ImageRegistry::FileStamp ImageRegistry::stampOf(const struct stat& st)
{
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec,
            st.st_ctim.tv_sec * 1'000'000'000LL + st.st_ctim.tv_nsec};
}

ImageRegistry::Entry ImageRegistry::known(const struct stat& st) const
{
    Entry entry;
    if (auto known = byFile_.find(stampOf(st)); known != byFile_.end()) {
        entry.image = known->second.image.lock();
        entry.key = known->second.key;
    }
    return entry;
}

ImageRegistry::Entry ImageRegistry::read(const std::string& path, const std::string& name,
                                         std::optional<ImageFormat> requested)
{
    // Opening must not block on a FIFO; anything but a regular file is refused below.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat st;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        const int error = errno;
        throw cannotOpen(name, error == ENOENT ? ImageErrorKind::FileNotFound : ImageErrorKind::CannotRead,
                         error == ENOENT   ? "file not found"
                         : error == EACCES ? "permission denied"
                                           : systemMessage(error));
    }
    if (S_ISDIR(st.st_mode))
        throw cannotOpen(name, ImageErrorKind::CannotRead, "it is a folder");
    if (!S_ISREG(st.st_mode))
        throw cannotOpen(name, ImageErrorKind::CannotRead, "not a regular file");

    // The file may have been replaced by one seen before since it was looked at.
    Entry entry = known(st);
    if (entry.image)
        return entry;
    std::string bytes = readWhole(file.fd, st, name);
    entry.key = sha256(bytes) + ":" + std::to_string(bytes.size());
    if (auto known = byContent_.find(entry.key); known != byContent_.end())
        entry.image = known->second.lock();
    if (!entry.image)
        entry.image = ImageLoader::load(std::move(bytes), name, requested);
    byContent_[entry.key] = entry.image;
    byFile_[stampOf(st)] = Known{entry.key, entry.image};
    return entry;
}

int ImageRegistry::load(std::string_view type, std::string_view fileName,
                        const std::vector<std::string>& searchPath)
{
    const std::optional<ImageFormat> requested = requestedFormat(type);
    if (fileName.find('\0') != std::string_view::npos)
        throw EngineError(err::BadFileName, "Image file name contains a NUL byte");
    const std::string name(fileName);
    try {
        const std::string path = findInputFile(name, searchPath);
        std::erase_if(byFile_, [](const auto& known) { return known.second.image.expired(); });
        std::erase_if(byContent_, [](const auto& known) { return known.second.expired(); });
        // A regular file seen before and unchanged since is known by its stamp
        // alone, without opening it again.
        struct stat st;
        Entry entry;
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            entry = known(st);
        if (!entry.image)
            entry = read(path, name, requested);
        // An image found again was loaded by a call that may have named another type.
        if (requested && entry.image->format != *requested)
            throw typeMismatch(name, entry.image->format, *requested);
        const int handle = nextHandle_++;
        handles_.emplace(handle, std::move(entry));
        return handle;
    } catch (const ImageError& e) {
        lastFailure_ = e.what();
        throw EngineError(errorCode(e.kind()), e.what(), true);
    }
}

void ImageRegistry::close(int handle)
{
    entry(handle);
    handles_.erase(handle);
}

const ImageRegistry::Entry& ImageRegistry::entry(int handle) const
{
    auto it = handles_.find(handle);
    if (it != handles_.end())
        return it->second;
    std::string message = "image handle " + std::to_string(handle) + " is not valid";
    if (handle == -1 && !lastFailure_.empty())
        message += "; the last image load failed: " + lastFailure_;
    throw EngineError(err::BadImageHandle, message);
}

const std::shared_ptr<const LoadedImage>& ImageRegistry::image(int handle) const
{
    return entry(handle).image;
}

QPDFObjectHandle ImageRegistry::xobject(Document& document, int handle)
{
    const Entry& loaded = entry(handle);
    const std::string key = "image:" + loaded.key;
    QPDFObjectHandle object = document.shared().find(key);
    if (!object.isInitialized()) {
        object = ImageXObject::make(document.pdf(), loaded.image, document.version());
        document.shared().add(key, object);
    }
    return object;
}

void ImageRegistry::place(Document& document, int handle, const PdfRect& box, const ImageFit& fit,
                          const QPDFMatrix* outer)
{
    const LoadedImage& loaded = *image(handle);
    const ImagePlacement placement =
        ImagePlacement::compute(loaded.naturalWidth(), loaded.naturalHeight(), box, fit);
    const std::string name = document.page().useResource(ResourceType::XObject, xobject(document, handle));
    placement.write(document.page().content(), name, outer);
}

}  // namespace pdfengine
