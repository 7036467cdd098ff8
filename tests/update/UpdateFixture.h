#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "Ed25519.h"
#include "ListVersion.h"
#include "Release.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix::test {

using Names = std::vector<std::string>;

inline const std::string kUnchanged = ". The installed signature list was not changed.\n";
inline constexpr std::time_t kDay = 24 * 60 * 60;

// The value `name` at the top of the settings store, "<missing>" when absent.
std::string stored(const std::string& name);
std::size_t count(const std::string& text, const std::string& part);

class ListServer;

// A program folder with a copy of the updater, an installed list, one trusted
// key and an update.conf that allows plain http to the loopback address; a site
// served by list_server.py on loopback; a settings store of its own. On Linux
// the administrator's files and the state lie in the program folder, as in the
// build tree; on Windows in a ProgramData of the test's own.
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

    // The address of the site's file `path` ("/name").
    std::string url(const std::string& path) const;
    std::string releaseUrl(const std::string& name) const { return url("/" + name + ".release"); }
    // Runs the updater copied into the program folder; its own arguments come
    // after "--timeout 30", which they may override.
    ProgramResult update(std::vector<std::string> args) const;
    std::vector<std::string> updateCommand(std::vector<std::string> args) const;
    std::string read(const std::string& relative) const;
    // The entries of the program folder, sorted.
    Names programFolder() const;
    // The program folder as a test leaves it: the list, the updater, its keys
    // (and on Linux the administrator's update.conf).
    static Names untouchedFolder();
    // `name` in the folder of update.conf, local.ini, keyrings/ and update.state,
    // relative to the tree.
    static std::string config(const std::string& name);
    // The updater's file name: "update", or "update.exe" on Windows.
    static std::string programName();
    // Copies the updater as built to `path`.
    static void copyProgram(const std::string& path);

    TempTree tree;
    update::KeyPair trusted;
    update::KeyPair stranger;
    const std::string installedList = listText(2026010100, 3);

private:
    std::unique_ptr<ListServer> server_;
};

}  // namespace ombrix::test
