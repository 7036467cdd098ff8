#include "UpdateFixture.h"

#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
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
    tree.file("prog/update.conf", "# the test server\nallow-http = 127.0.0.1\n");
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

update::Release UpdateFixture::releaseOf(const std::string& name, const std::string& list) const
{
    const std::time_t now = std::time(nullptr);
    return {name, update::ListVersion(list).value_or(0), now - 60, now + 24 * 60 * 60, list.size(),
            update::Sha256Hex(list)};
}

void UpdateFixture::publishRelease(const std::string& file, const update::Release& release, const std::string& secret)
{
    const std::string text = update::ReleaseText(release);
    tree.file("site/" + file, text);
    tree.file("site/" + file + ".sig", update::signList(secret, text));
}

std::vector<std::string> UpdateFixture::updateCommand(std::vector<std::string> args) const
{
    args.insert(args.begin(), {tree.path("prog/update"), "--timeout", "30"});
    return args;
}

ProgramResult UpdateFixture::update(std::vector<std::string> args) const
{
    return runProgram(updateCommand(std::move(args)));
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
