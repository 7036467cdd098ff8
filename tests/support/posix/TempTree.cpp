#include "TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace ombrix::test {

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

TempTree::TempTree()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/ombrix-test-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    root_ = pattern;
    ::chmod(root_.c_str(), 0755);
}

TempTree::~TempTree()
{
    // rm copes with trees deeper than PATH_MAX and with folders without permissions.
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("rm", "rm", "-rf", "--", root_.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    int status = 0;
    if (child > 0)
        ::waitpid(child, &status, 0);
}

void TempTree::makeParents(std::string_view relative) const
{
    for (auto slash = relative.find('/'); slash != std::string_view::npos; slash = relative.find('/', slash + 1))
        ::mkdir(path(relative.substr(0, slash)).c_str(), 0755);
}

std::string TempTree::blockingFile() const
{
    fifo("blocking-fifo");
    return path("blocking-fifo");
}

void TempTree::dir(std::string_view relative) const
{
    makeParents(relative);
    check(::mkdir(path(relative).c_str(), 0755) == 0 || errno == EEXIST, "mkdir");
}

void TempTree::symlink(std::string_view relative, const std::string& target) const
{
    makeParents(relative);
    check(::symlink(target.c_str(), path(relative).c_str()) == 0, "symlink");
}

void TempTree::fifo(std::string_view relative) const
{
    makeParents(relative);
    check(::mkfifo(path(relative).c_str(), 0644) == 0, "mkfifo");
}

bool TempTree::exists(std::string_view relative) const
{
    struct stat st;
    return ::lstat(path(relative).c_str(), &st) == 0;
}

void writeFile(const std::string& path, std::string_view content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(fd >= 0, "open " + path);
    check(::write(fd, content.data(), content.size()) == ssize_t(content.size()), "write");
    ::close(fd);
}

}  // namespace ombrix::test
