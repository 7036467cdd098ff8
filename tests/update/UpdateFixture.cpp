#include "UpdateFixture.h"

#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace ombrix::test {

UpdateFixture::UpdateFixture()
{
    EXPECT_TRUE(update::initCrypto());
    trusted = update::makeKeyPair();
    stranger = update::makeKeyPair();
    ::setenv("OMBRIX_SETTINGS", tree.path("settings.db").c_str(), 1);
    // Loopback only: no proxy from the environment may carry a test's requests.
    ::setenv("no_proxy", "*", 1);
    // The terminal road, whatever display the tests were started under.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    tree.dir("site");
    tree.file("prog/ombrix.ini", installedList);
    tree.file("prog/update-keys/publisher.pub", trusted.publicText);
    std::filesystem::copy_file(UPDATE_PROGRAM, tree.path("prog/update"));
    const std::string start = "exec python3 " LIST_SERVER_SCRIPT " '" + tree.path("site") + "' '" +
                              tree.path("server.log") + "'";
    server_ = ::popen(start.c_str(), "r");
    EXPECT_TRUE(server_ && std::fscanf(server_, "%d %d", &port_, &serverPid_) == 2);
}

UpdateFixture::~UpdateFixture()
{
    if (serverPid_ > 0)
        ::kill(serverPid_, SIGTERM);
    if (server_)
        ::pclose(server_);
}

std::string UpdateFixture::listText(std::uint64_t version, int entries)
{
    std::string text = "' Ombrix signatures\r\n' version " + std::to_string(version) + "\r\n";
    for (int i = 0; i < entries; ++i)
        text += "Threat." + std::to_string(i) + "\tfile" + std::to_string(i) + ".exe\r\n";
    return text;
}

void UpdateFixture::publish(const std::string& name, const std::string& text, const std::string& secret)
{
    tree.file("site/" + name, text);
    tree.file("site/" + name + ".sig", update::signList(secret, text));
}

ProgramResult UpdateFixture::update(std::vector<std::string> args) const
{
    args.insert(args.begin(), {tree.path("prog/update"), "--timeout", "1"});
    return runProgram(args);
}

std::string UpdateFixture::read(const std::string& relative) const
{
    std::ifstream in(tree.path(relative), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> UpdateFixture::programFolder() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tree.path("prog")))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace ombrix::test
