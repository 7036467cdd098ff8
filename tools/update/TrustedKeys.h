#pragma once

#include <set>
#include <string>
#include <vector>

#include "Ed25519.h"
#include "UpdateFolders.h"

namespace ombrix::update {

// The keys a release may be signed with: the "*.pub" files of the shipped keyring
// and of the administrator's CONFIG/keyrings, less the key IDs listed in
// CONFIG/keyrings/revoked (one per line; lines starting with "#" are comments).
struct TrustedKeys {
    std::vector<PublicKey> keys;
    std::set<std::string> revoked;
    std::string revokedFile;
    std::string folders;  // the keyrings read, for messages
};

// Empty on success, else why the keys cannot be known (a revocation file that
// cannot be read or holds a line that is no key ID: a revocation is never ignored).
std::string LoadTrustedKeys(const UpdateFolders& folders, TrustedKeys& trusted);

}  // namespace ombrix::update
