#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace ombrix::test {

namespace {

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void redirect(int target, const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, target);
    ::close(fd);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& outputPrefix, Options options)
    : outputPrefix_(outputPrefix)
{
    std::vector<char*> args;
    for (const auto& word : argv)
        args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ != 0)
        return;
    if (options.stdoutFd >= 0)
        ::dup2(options.stdoutFd, STDOUT_FILENO);
    else
        redirect(STDOUT_FILENO, outputPrefix + ".out");
    redirect(STDERR_FILENO, outputPrefix + ".err");
    const int devNull = ::open("/dev/null", O_RDONLY);
    ::dup2(devNull, STDIN_FILENO);
    if (options.gate)
        options.gate->pass();
    if (options.uid && ::setuid(*options.uid) != 0)
        std::_Exit(126);
    ::execv(args[0], args.data());
    std::_Exit(127);
}

ChildProcess ChildProcess::adopt(pid_t pid, const std::string& outputPrefix)
{
    return ChildProcess(pid, outputPrefix);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(other.status_), outputPrefix_(std::move(other.outputPrefix_))
{
}

ChildProcess::~ChildProcess()
{
    if (running())
        ::kill(pid_, SIGKILL);
    wait();
}

bool ChildProcess::running()
{
    if (pid_ <= 0 || status_)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_)
        return true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

int ChildProcess::wait()
{
    if (pid_ > 0 && !status_) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return status_.value_or(-1);
}

std::string ChildProcess::out() const
{
    return contents(outputPrefix_ + ".out");
}

std::string ChildProcess::err() const
{
    return contents(outputPrefix_ + ".err");
}

}  // namespace ombrix::test
