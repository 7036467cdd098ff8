#include "ListServer.h"

#include <signal.h>

#include <cstdio>
#include <cstdlib>

namespace ombrix::test {

ListServer::ListServer(const std::string& site, const std::string& log)
{
    const std::string start = "exec python3 " LIST_SERVER_SCRIPT " '" + site + "' '" + log + "'";
    FILE* pipe = ::popen(start.c_str(), "r");
    pipe_ = pipe;
    int port = 0;
    if (!pipe || std::fscanf(pipe, "%d %d", &port, &pid_) != 2)
        std::fprintf(stderr, "list_server.py did not start\n");
    prefix_ = "http://127.0.0.1:" + std::to_string(port);
}

ListServer::~ListServer()
{
    if (pid_ > 0)
        ::kill(pid_, SIGTERM);
    if (pipe_)
        ::pclose(static_cast<FILE*>(pipe_));
}

std::string ListServer::url(const std::string& path) const
{
    return prefix_ + path;
}

void setEnvironment(const std::string& name, const std::string& value)
{
    if (value.empty())
        ::unsetenv(name.c_str());
    else
        ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace ombrix::test
