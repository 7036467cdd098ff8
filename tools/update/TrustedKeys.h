#pragma once

#include <string>
#include <vector>

#include "Ed25519.h"

namespace ombrix::update {

// The folder of trusted public keys beside the program. Whoever may write the
// program folder may replace the list anyway, so keys there are trusted as such.
std::string TrustedKeyFolder(const std::string& programFolder);

// Every "*.pub" file in `folder` that holds a public key; others are passed over.
std::vector<PublicKey> LoadTrustedKeys(const std::string& folder);

}  // namespace ombrix::update
