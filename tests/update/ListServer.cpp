#include "ListServer.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace ombrix::test {

ListServer::ListServer(const std::string& root, const std::string& log) : log_(log)
{
    int out[2];
    if (::pipe(out) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execlp("python3", "python3", LIST_SERVER_SCRIPT, root.c_str(), log.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    if (FILE* in = ::fdopen(out[0], "r")) {
        if (std::fscanf(in, "%d", &port_) != 1)
            port_ = 0;
        std::fclose(in);
    }
}

ListServer::~ListServer()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string ListServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string ListServer::log() const
{
    std::ifstream in(log_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace ombrix::test
