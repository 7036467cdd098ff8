#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Detached Ed25519 signatures of a signature list's exact bytes.
//
// Key files hold one line of base64: 32 bytes for a public key, 64 for a secret
// one. A signature file holds one line "ed25519 KEYID SIGNATURE": the signing
// key's ID (16 hex digits of a hash of the public key), so a list signed with a
// key we do not trust is told apart from a forged one, and the 64-byte signature
// in base64.
namespace ombrix::update {

using PublicKey = std::array<unsigned char, 32>;

struct KeyPair {
    std::string publicText;  // the public key file's content
    std::string secretText;  // the secret key file's content
};

// False only when the crypto library cannot start; every call below needs it.
bool initCrypto();

KeyPair makeKeyPair();
std::string keyId(const PublicKey& key);

// The key in a public key file's text; false when it is not one.
bool parsePublicKey(std::string_view text, PublicKey& key);

// The signature file's content for `list`; empty when `secretText` is no secret key.
std::string signList(std::string_view secretText, std::string_view list);

enum class Verdict { Good, Malformed, UnknownKey, BadSignature };

struct Verification {
    Verdict verdict = Verdict::Malformed;
    std::string keyId;  // the key the signature names, when it names one
};

Verification verifyList(std::string_view list, std::string_view signatureText, const std::vector<PublicKey>& trusted);

}  // namespace ombrix::update
