#include "TrustedKeys.h"

#include <filesystem>
#include <sstream>

#include "Paths.h"
#include "SmallFile.h"

namespace ombrix::update {

namespace {

// Every "*.pub" file in `folder` that holds a public key; others are passed over.
void addKeys(const std::string& folder, std::vector<PublicKey>& keys)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".pub")
            continue;
        std::string why;
        const std::optional<std::string> text = ReadSmallFile(entry.path().string(), 1023, true, why);
        PublicKey key;
        if (text && parsePublicKey(*text, key))
            keys.push_back(key);
    }
}

bool keyIdText(const std::string& word)
{
    return word.size() == 16 && word.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

std::string LoadTrustedKeys(const UpdateFolders& folders, TrustedKeys& trusted)
{
    const std::string adminFolder = folders.config + kPathSeparator + "keyrings";
    trusted.folders = folders.keyring + " or " + adminFolder;
    trusted.revokedFile = adminFolder + kPathSeparator + "revoked";
    std::vector<PublicKey> keys;
    addKeys(folders.keyring, keys);
    addKeys(adminFolder, keys);

    std::string why;
    const std::optional<std::string> revoked = ReadSmallFile(trusted.revokedFile, 1 << 20, true, why);
    if (!why.empty())
        return why;
    std::istringstream in(revoked.value_or(""));
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const std::string word = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (!keyIdText(word))
            return trusted.revokedFile + " line " + std::to_string(number) +
                   " is not a key ID (16 lower-case hex digits)";
        trusted.revoked.insert(word);
    }
    for (const PublicKey& key : keys)
        if (!trusted.revoked.count(keyId(key)))
            trusted.keys.push_back(key);
    return {};
}

}  // namespace ombrix::update
