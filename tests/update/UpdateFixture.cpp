#include "UpdateFixture.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ListServer.h"
#include "mRegistry.h"

namespace ombrix::test {

namespace {

// The updater records its checks at the top of the store, which under Wine
// all tests share.
const char* const kRecorded[] = {"Update URL", "Update Last Check", "Update Status", "Update Message"};

}  // namespace

std::string stored(const std::string& name)
{
    return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, "", name, "<missing>");
}

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

UpdateFixture::UpdateFixture()
{
    EXPECT_TRUE(update::initCrypto());
    trusted = update::makeKeyPair();
    stranger = update::makeKeyPair();
    setEnvironment("OMBRIX_SETTINGS", tree.path("settings.db"));
    setEnvironment("ProgramData", tree.path("data"));
    for (const char* name : kRecorded)
        mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, "", name, "");
    // Loopback only: no proxy from the environment may carry a test's requests.
    setEnvironment("no_proxy", "*");
    // The terminal road, whatever display the tests were started under.
    setEnvironment("DISPLAY", "");
    setEnvironment("WAYLAND_DISPLAY", "");
    tree.dir("site");
    tree.file("prog/ombrix.ini", installedList);
    tree.file("prog/update-keys/publisher.pub", trusted.publicText);
    tree.file(config("update.conf"), "# the test server\nallow-http = 127.0.0.1\n");
    copyProgram(tree.path("prog/" + programName()));
    server_ = std::make_unique<ListServer>(tree.path("site"), tree.path("server.log"));
}

UpdateFixture::~UpdateFixture() = default;

std::string UpdateFixture::url(const std::string& path) const
{
    return server_->url(path);
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
    args.insert(args.begin(), {tree.path("prog/" + programName()), "--timeout", "30"});
    return args;
}

ProgramResult UpdateFixture::update(std::vector<std::string> args) const
{
    // Lines end as the C library writes them; the table compares the words.
    ProgramResult result = runProgram(updateCommand(std::move(args)));
    for (std::string* text : {&result.out, &result.err})
        for (auto at = text->find("\r\n"); at != std::string::npos; at = text->find("\r\n", at))
            text->erase(at, 1);
    return result;
}

std::string UpdateFixture::read(const std::string& relative) const
{
    std::ifstream in(tree.path(relative), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Names UpdateFixture::programFolder() const
{
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(tree.path("prog")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace ombrix::test
