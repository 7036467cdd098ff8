#include "ListServer.h"

#include <cstdlib>

namespace ombrix::test {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

// The server's log is the one the runner named; `log` is not written.
ListServer::ListServer(const std::string& site, const std::string&)
{
    std::string folder = site.substr(site.find(':') + 1);
    for (char& c : folder)
        if (c == '\\')
            c = '/';
    prefix_ = "http://127.0.0.1:" + environment("OMBRIX_LIST_SERVER_PORT") + folder;
}

ListServer::~ListServer() = default;

std::string ListServer::url(const std::string& path) const
{
    return prefix_ + path;
}

void setEnvironment(const std::string& name, const std::string& value)
{
    _putenv_s(name.c_str(), value.c_str());
}

}  // namespace ombrix::test
