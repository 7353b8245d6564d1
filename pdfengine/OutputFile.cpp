#include "pdfengine/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "pdfengine/EngineError.h"

namespace pdfengine {

namespace {

EngineError createError(const std::string& target, int errnum)
{
    return EngineError(err::CannotCreateOutput,
                       "Couldn't open PDF file '" + target + "' for writing (" + systemMessage(errnum) + ")",
                       true);
}

EngineError writeError(const std::string& target, int errnum)
{
    return EngineError(err::CannotWriteOutput,
                       "Couldn't write PDF file '" + target + "' (" + systemMessage(errnum) + ")");
}

std::string folderOf(const std::string& target)
{
    std::string folder = std::filesystem::path(target).parent_path().string();
    return folder.empty() ? "." : folder;
}

// The file a symbolic link points to is the one written, so the link stays.
std::string resolvedPath(const std::string& target)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error))
        return target;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved.string();
}

}  // namespace

// Buffers the writer's many small writes into large write() calls. A failed
// write is held, not thrown: qpdf writes some parts (object streams among them)
// where an exception cannot pass and would end the process. Once a write has
// failed the rest is dropped; commit() reports the failure after qpdf returned.
class OutputFile::FilePipeline : public Pipeline {
public:
    FilePipeline(int fd, OutputFault fault) : Pipeline("output file", nullptr), fd_(fd), fault_(fault)
    {
        buffer_.reserve(capacity);
    }

    void write(unsigned char const* data, size_t length) override
    {
        if (error_ != 0)
            return;
        if (buffer_.size() + length > capacity)
            flush();
        if (length >= capacity)
            writeAll(reinterpret_cast<const char*>(data), length);
        else
            buffer_.append(reinterpret_cast<const char*>(data), length);
    }

    void finish() override { flush(); }

    void flush()
    {
        writeAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    // The errno of the first write that failed, 0 when none did.
    int error() const { return error_; }

private:
    static constexpr size_t capacity = 1 << 16;

    void writeAll(const char* data, size_t length)
    {
        if (error_ != 0)
            return;
        if (fault_ == OutputFault::Write && length > 0) {
            error_ = ENOSPC;
            return;
        }
        while (length > 0) {
            ssize_t written = ::write(fd_, data, length);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                error_ = errno;
                return;
            }
            data += written;
            length -= static_cast<size_t>(written);
        }
    }

    int fd_;
    OutputFault fault_;
    int error_ = 0;
    std::string buffer_;
};

void OutputFile::checkTarget(const std::string& target)
{
    const std::string path = resolvedPath(target);
    const std::string folder = folderOf(path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        throw createError(target, errno);
    if (!S_ISDIR(info.st_mode))
        throw createError(target, ENOTDIR);
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        throw createError(target, errno);
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            throw createError(target, EISDIR);
        // A file the user may not write is not replaced behind their back, and
        // neither is one marked read-only for everybody, which root may write.
        if ((info.st_mode & 0222) == 0)
            throw createError(target, EACCES);
        if (::access(path.c_str(), W_OK) != 0)
            throw createError(target, errno);
    }
}

bool OutputFile::wouldReplace(const std::string& target, const std::string& input)
{
    struct stat written {
    }, read{};
    return ::stat(resolvedPath(target).c_str(), &written) == 0 && ::stat(input.c_str(), &read) == 0 &&
           written.st_dev == read.st_dev && written.st_ino == read.st_ino;
}

OutputFile::OutputFile(std::string target, OutputFault fault)
    : target_(std::move(target)), path_(resolvedPath(target_)), fault_(fault)
{
    checkTarget(target_);
    if (fault_ == OutputFault::Create)
        throw createError(target_, EACCES);
    const std::filesystem::path path(path_);
    const std::string stem = folderOf(path_) + "/." + path.filename().string() + ".";
    // O_EXCL makes the name ours; the kernel applies the umask as for any new file.
    for (unsigned attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = stem + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt >= 1000))
            throw createError(target_, errno);
    }
    // A replaced file keeps its permissions.
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::fchmod(fd_, info.st_mode & 07777);
    pipeline_ = std::make_unique<FilePipeline>(fd_, fault_);
}

OutputFile::~OutputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(temporary_.c_str());
}

Pipeline& OutputFile::pipeline()
{
    return *pipeline_;
}

void OutputFile::commit()
{
    pipeline_->flush();
    if (pipeline_->error() != 0)
        throw writeError(target_, pipeline_->error());
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        throw writeError(target_, errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw writeError(target_, errno);
    if (fault_ == OutputFault::Close)
        throw writeError(target_, EIO);
    int renameError = EIO;
    if (fault_ != OutputFault::Rename) {
        if (std::rename(temporary_.c_str(), path_.c_str()) == 0) {
            committed_ = true;
            return;
        }
        renameError = errno;
    }
    throw EngineError(err::CannotRenameOutput, "Couldn't rename the temporary file to '" + target_ + "' (" +
                                                   systemMessage(renameError) + ")");
}

}  // namespace pdfengine
