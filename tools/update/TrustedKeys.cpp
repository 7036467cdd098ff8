#include "TrustedKeys.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Paths.h"

namespace ombrix::update {

std::string TrustedKeyFolder(const std::string& programFolder)
{
    return programFolder + kPathSeparator + "update-keys";
}

std::vector<PublicKey> LoadTrustedKeys(const std::string& folder)
{
    std::vector<PublicKey> keys;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".pub" || !entry.is_regular_file(error))
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        PublicKey key;
        if (text.size() < 1024 && parsePublicKey(text, key))
            keys.push_back(key);
    }
    return keys;
}

}  // namespace ombrix::update
