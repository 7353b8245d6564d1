#include "tests/support/TestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quillon-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed: " + std::string(std::strerror(errno)));
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Tests may leave read-only files or folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return (path_ / name).string(); }

namespace {

// Reads a whole file descriptor until end of file.
std::string drain(int fd)
{
    std::string data;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            data.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return data;
}

}  // namespace

RunResult run(const std::vector<std::string>& argv, const std::string& cwd, const std::string& stdinText)
{
    if (argv.empty())
        throw std::invalid_argument("run: empty argument vector");
    // Output goes to unlinked temporary files, so a chatty child never blocks on a pipe.
    char outName[] = "/tmp/quillon-run-out-XXXXXX";
    char errName[] = "/tmp/quillon-run-err-XXXXXX";
    char inName[] = "/tmp/quillon-run-in-XXXXXX";
    int outFd = mkstemp(outName), errFd = mkstemp(errName), inFd = mkstemp(inName);
    if (outFd < 0 || errFd < 0 || inFd < 0)
        throw std::runtime_error("run: cannot make temporary files");
    unlink(outName);
    unlink(errName);
    unlink(inName);
    if (!stdinText.empty() &&
        ::write(inFd, stdinText.data(), stdinText.size()) != static_cast<ssize_t>(stdinText.size()))
        throw std::runtime_error("run: cannot write standard input");
    lseek(inFd, 0, SEEK_SET);

    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("run: fork failed");
    if (pid == 0) {
        dup2(inFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(126);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    lseek(outFd, 0, SEEK_SET);
    lseek(errFd, 0, SEEK_SET);
    result.out = drain(outFd);
    result.err = drain(errFd);
    close(outFd);
    close(errFd);
    close(inFd);
    return result;
}

std::string quillonExe() { return QUILLON_EXE; }

std::string sourcePath(const std::string& relative) { return std::string(QUILLON_SOURCE_DIR) + "/" + relative; }

bool haveTool(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return false;
    std::stringstream dirs(path);
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace testsupport
