#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Ed25519.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix::test {

// A program folder with a copy of the updater, an installed list and one
// trusted key; a site served by list_server.py on loopback; a settings store
// of its own.
class UpdateFixture : public ::testing::Test {
protected:
    UpdateFixture();
    ~UpdateFixture() override;

    // A list with a version line and `entries` entries, CR LF line ends.
    static std::string listText(std::uint64_t version, int entries);

    // Puts `text` on the site as `name`, with `name`.sig signed by `secret`.
    void publish(const std::string& name, const std::string& text, const std::string& secret);
    void publish(const std::string& name, const std::string& text) { publish(name, text, trusted.secretText); }

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // Runs the updater copied into the program folder.
    ProgramResult update(std::vector<std::string> args) const;
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
