#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/profile_parse.h"

namespace platform {

namespace {

using profile_detail::ProfileData;

// What tells one version of a file from another without reading it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    explicit FileStamp(const struct stat& st)
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim), changed(st.st_ctim)
    {
    }
    bool operator==(const FileStamp& other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

int64_t nanoseconds(const timespec& t)
{
    return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

// File times advance in clock ticks (up to 10 ms apart), so a file read within a tick
// of its last change could be rewritten, with the same size, without its stamp
// changing. Such a file is compared byte for byte when it is next looked at.
bool mayChangeUnseen(const FileStamp& stamp, const timespec& readStart)
{
    constexpr int64_t tick = 20'000'000, clockSkew = 1'000'000'000;
    int64_t modified = nanoseconds(stamp.modified), start = nanoseconds(readStart);
    // A time far in the future comes from another machine's clock; nothing helps then.
    return start < modified + tick && modified < start + clockSkew;
}

struct CachedFile {
    FileStamp stamp;
    std::shared_ptr<const ProfileData> data;
    std::string bytes;  // kept only while the file may change unseen
    bool racy = false;
    uint64_t scope = 0;  // the read scope in which it was last checked
    uint64_t lastUse = 0;
};

// A process reads few configuration files; the cache keeps the most recent ones.
constexpr size_t cachedFilesKept = 16;

struct PathHash {
    using is_transparent = void;
    size_t operator()(std::string_view path) const { return std::hash<std::string_view>{}(path); }
};

std::mutex cacheMutex;
std::unordered_map<std::string, CachedFile, PathHash, std::equal_to<>> cache;
std::atomic<uint64_t> nextScope{1};
uint64_t useCounter = 0;
thread_local uint64_t activeScope = 0;
thread_local int scopeDepth = 0;

// Reads a regular file whole; false when it is missing, not a regular file or cannot
// be read. The stamp is the one of the file that was read.
bool readRegularFile(const char* path, std::string& bytes, struct stat& st)
{
    // Opening a FIFO must not block; a FIFO or a device is then refused, since reading
    // it might never end.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    bytes.clear();
    if (ok)
        bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    while (ok) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0)
            bytes.append(chunk, static_cast<size_t>(n));
        else if (n == 0)
            break;
        else if (errno != EINTR)
            ok = false;
    }
    ::close(fd);
    return ok;
}

// The parsed file at path, read again when it has changed; none when it cannot be
// read. Called with cacheMutex held.
std::shared_ptr<const ProfileData> profileOf(const char* path)
{
    auto it = cache.find(std::string_view(path));
    if (it != cache.end())
        it->second.lastUse = ++useCounter;
    if (it != cache.end() && activeScope != 0 && it->second.scope == activeScope)
        return it->second.data;

    struct stat st;
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (it != cache.end())
            cache.erase(it);
        return nullptr;
    }
    if (it != cache.end() && it->second.stamp == FileStamp(st) && !it->second.racy) {
        it->second.scope = activeScope;
        return it->second.data;
    }

    timespec readStart{};
    clock_gettime(CLOCK_REALTIME, &readStart);
    std::string bytes;
    if (!readRegularFile(path, bytes, st)) {
        if (it != cache.end())
            cache.erase(it);
        return nullptr;
    }
    if (it == cache.end()) {
        if (cache.size() >= cachedFilesKept) {
            auto oldest = std::min_element(cache.begin(), cache.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
            cache.erase(oldest);
        }
        it = cache.emplace(path, CachedFile{FileStamp(st), nullptr, {}, false, 0, ++useCounter}).first;
    }
    CachedFile& entry = it->second;
    bool racy = mayChangeUnseen(FileStamp(st), readStart);
    if (!entry.data || !(entry.stamp == FileStamp(st)) || bytes != entry.bytes)
        entry.data = std::make_shared<const ProfileData>(racy ? bytes : std::move(bytes));
    entry.stamp = FileStamp(st);
    entry.racy = racy;
    entry.bytes = racy ? std::move(bytes) : std::string();
    entry.scope = activeScope;
    return entry.data;
}

// The longest start of text that fits a buffer of size bytes with its terminator:
// at most size - 1 bytes, whole characters only.
std::string_view bounded(std::string_view text, uint32_t size)
{
    // Most values fit whole; only a value that is cut needs its characters told apart.
    if (text.size() <= size - 1)
        return text;
    size_t used = 0;
    while (used + profile_detail::characterLength(text, used) <= size - 1)
        used += profile_detail::characterLength(text, used);
    return text.substr(0, used);
}

// The default as it is handed out: trailing spaces and a quote pair removed.
std::string_view defaultText(const char* defaultValue)
{
    std::string_view text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return profile_detail::stripQuotePair(text);
}

// Optional blanks and sign, a base prefix, digits of that base; modulo 2^32.
int32_t parseInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        char marker = text[i + 1];
        base = marker == 'x' ? 16 : marker == 'o' ? 8 : marker == 'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                         : c >= 'a' && c <= 'f' ? static_cast<uint32_t>(c - 'a' + 10)
                         : c >= 'A' && c <= 'F' ? static_cast<uint32_t>(c - 'A' + 10)
                                                : base;
        if (digit >= base)
            break;
        value = value * base + digit;  // unsigned arithmetic wraps modulo 2^32
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// An integer value is read as text first, as far as its first 29 characters; an
// empty text gives the default.
constexpr uint32_t integerTextSize = 30;

}  // namespace

// The file functions read one key through a section reader: one set of rules for both.
uint32_t getPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const char* path)
{
    return ProfileSection(path, section).getString(key, defaultValue, buffer, size);
}

int32_t getPrivateProfileInt(const char* section, const char* key, int32_t defaultValue, const char* path)
{
    return ProfileSection(path, section).getInt(key, defaultValue);
}

namespace {

// The file a thread read last within its read scope, which is not checked again until
// the scope ends.
struct ScopeFile {
    uint64_t scope = 0;
    std::string path;
    std::shared_ptr<const ProfileData> data;
};
thread_local ScopeFile scopeFile;

std::shared_ptr<const ProfileData> openProfile(const char* path)
{
    if (activeScope != 0 && scopeFile.scope == activeScope && std::strcmp(scopeFile.path.c_str(), path) == 0)
        return scopeFile.data;
    std::shared_ptr<const ProfileData> data;
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        data = profileOf(path);
    }
    if (activeScope != 0 && data) {
        scopeFile.scope = activeScope;
        scopeFile.path = path;
        scopeFile.data = data;
    }
    return data;
}

// The section a thread opened last: the readers of one object open its section a few
// times in a row, and it is then neither looked up nor read again.
struct LastSection {
    std::weak_ptr<const ProfileData> data;
    std::string name;  // as given
    const profile_detail::ProfileSectionSpan* section = nullptr;
    std::shared_ptr<profile_detail::ProfileKeyTable> keys;
};
thread_local LastSection lastSection;

}  // namespace

ProfileSection::ProfileSection(const char* path, const char* section)
{
    if (!path || !section)
        return;
    data_ = openProfile(path);
    if (!data_)
        return;
    LastSection& last = lastSection;
    // The same owner means the same file: a file let go meanwhile cannot share it.
    bool sameFile = !last.data.owner_before(data_) && !data_.owner_before(last.data);
    if (!sameFile || std::strcmp(last.name.c_str(), section) != 0) {
        // Section names need no folding: the table compares them with their letters folded.
        last.section = data_->section(profile_detail::trimBlanks(section));
        // A reader asks for a dozen keys of a section: its lines are read once, here,
        // into the table of the last section when no reader holds it any more.
        if (!last.section || ProfileData::isLong(*last.section)) {
            last.keys.reset();
        } else {
            if (!last.keys || last.keys.use_count() > 1)
                last.keys = std::make_shared<profile_detail::ProfileKeyTable>();
            data_->keys(*last.section, *last.keys);
        }
        last.data = data_;
        last.name = section;
    }
    section_ = last.section;
    keys_ = last.keys;
}

ProfileSection::~ProfileSection() = default;

std::optional<std::string_view> ProfileSection::find(const profile_detail::KeyName& key) const
{
    if (!section_ || !key.present)
        return std::nullopt;
    if (!keys_)
        return data_->find(*section_, profile_detail::foldLetters(key.name));
    return keys_->find(key);
}

std::string_view ProfileSection::getView(const profile_detail::KeyName& key, const char* defaultValue,
                                         uint32_t size) const
{
    std::optional<std::string_view> value = find(key);
    return bounded(value ? *value : defaultText(defaultValue), size > 0 ? size : 1);
}

uint32_t ProfileSection::getString(const profile_detail::KeyName& key, const char* defaultValue, char* buffer,
                                   uint32_t size) const
{
    if (!buffer || size == 0)
        return 0;
    std::string_view value = getView(key, defaultValue, size);
    value.copy(buffer, value.size());
    buffer[value.size()] = '\0';
    return static_cast<uint32_t>(value.size());
}

int32_t ProfileSection::getInt(const profile_detail::KeyName& key, int32_t defaultValue) const
{
    // A missing key reads as an empty text: the default.
    std::optional<std::string_view> value = find(key);
    std::string_view text = value ? bounded(*value, integerTextSize) : std::string_view();
    return text.empty() ? defaultValue : parseInteger(text);
}

std::vector<std::string> getPrivateProfileSectionNames(const char* path)
{
    std::vector<std::string> names;
    if (!path)
        return names;
    std::lock_guard<std::mutex> lock(cacheMutex);
    if (std::shared_ptr<const ProfileData> data = profileOf(path))
        names = data->sectionNames();
    return names;
}

ProfileReadScope::ProfileReadScope()
{
    if (scopeDepth++ == 0)
        activeScope = nextScope++;
}

ProfileReadScope::ProfileReadScope(uint64_t shared)
{
    if (scopeDepth++ != 0)
        return;
    owner_ = shared == 0;
    activeScope = owner_ ? nextScope++ : shared;
}

ProfileReadScope::~ProfileReadScope()
{
    if (--scopeDepth != 0)
        return;
    scopeFile = ScopeFile();
    if (owner_) {
        // A scope reads a file for one purpose, such as loading a whole configuration;
        // its parsed copy (twice the file's size) would otherwise stay for the rest of
        // the process. A later look-up reads the file again.
        std::lock_guard<std::mutex> lock(cacheMutex);
        std::erase_if(cache, [](const auto& entry) { return entry.second.scope == activeScope; });
    }
    activeScope = 0;
}

uint64_t ProfileReadScope::current()
{
    return activeScope;
}

}  // namespace platform
