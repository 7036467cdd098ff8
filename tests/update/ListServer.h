#pragma once

#include <sys/types.h>

#include <string>

namespace ombrix::test {

// list_server.py on a free loopback port, serving the files of `root`; stopped
// with the object.
class ListServer {
public:
    ListServer(const std::string& root, const std::string& log);
    ~ListServer();
    ListServer(const ListServer&) = delete;
    ListServer& operator=(const ListServer&) = delete;

    // "http://127.0.0.1:PORT" followed by `path` (which starts with "/").
    std::string url(const std::string& path) const;
    // The log: one "PATH STATUS" line per request.
    std::string log() const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string log_;
};

}  // namespace ombrix::test
