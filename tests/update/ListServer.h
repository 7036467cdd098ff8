#pragma once

#include <string>

namespace ombrix::test {

// list_server.py serving a test's site folder on loopback. On Linux the test
// starts one of its own; under Wine the test runner started one for all tests
// (tests/windows/with_list_server.sh) over the prefix's drive C:, and a site's
// address holds its folder's path there.
class ListServer {
public:
    ListServer(const std::string& site, const std::string& log);
    ~ListServer();
    ListServer(const ListServer&) = delete;
    ListServer& operator=(const ListServer&) = delete;

    // The address of the site's file `path` ("/name").
    std::string url(const std::string& path) const;

private:
    std::string prefix_;  // "http://127.0.0.1:PORT" and the site's folder
    int pid_ = 0;
    void* pipe_ = nullptr;
};

// Sets (or with an empty value removes) a variable of this process's environment.
void setEnvironment(const std::string& name, const std::string& value);

}  // namespace ombrix::test
