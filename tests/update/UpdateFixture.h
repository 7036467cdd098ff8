#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Ed25519.h"
#include "ListVersion.h"
#include "Release.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix::test {

// A program folder with a copy of the updater, an installed list, one trusted
// key and an update.conf that allows plain http to the loopback address; a site
// served by list_server.py on loopback; a settings store of its own.
class UpdateFixture : public ::testing::Test {
protected:
    UpdateFixture();
    ~UpdateFixture() override;

    // A list with a version line and `entries` entries, CR LF line ends.
    static std::string listText(std::uint64_t version, int entries);

    // The release of `list` as the site's `name`: issued a minute ago, valid for a day.
    update::Release releaseOf(const std::string& name, const std::string& list) const;
    // Puts `release` on the site as `file`, with `file`.sig signed by `secret`.
    void publishRelease(const std::string& file, const update::Release& release, const std::string& secret);
    void publishRelease(const std::string& file, const update::Release& release)
    {
        publishRelease(file, release, trusted.secretText);
    }
    // Puts `list` on the site as `name` and its release as `name`.release.
    void publish(const std::string& name, const std::string& list)
    {
        tree.file("site/" + name, list);
        publishRelease(name + ".release", releaseOf(name, list));
    }

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    std::string releaseUrl(const std::string& name) const { return url("/" + name + ".release"); }
    // Runs the updater copied into the program folder; its own arguments come
    // after "--timeout 30", which they may override.
    ProgramResult update(std::vector<std::string> args) const;
    std::vector<std::string> updateCommand(std::vector<std::string> args) const;
    std::string read(const std::string& relative) const;
    // The entries of the program folder, sorted.
    std::vector<std::string> programFolder() const;

    TempTree tree;
    update::KeyPair trusted;
    update::KeyPair stranger;
    const std::string installedList = listText(2026010100, 3);

private:
    FILE* server_ = nullptr;
    int port_ = 0;
    int serverPid_ = 0;
};

}  // namespace ombrix::test
