#include "Ed25519.h"

#include <sodium.h>

namespace ombrix::update {

namespace {

std::string base64(const unsigned char* bytes, std::size_t size)
{
    std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.find('\0'));
    return text;
}

// Exactly `size` bytes from base64 text with blanks or a line end around it.
bool fromBase64(std::string_view text, unsigned char* bytes, std::size_t size)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    std::size_t decoded = 0;
    const char* end = nullptr;
    return sodium_base642bin(bytes, size, text.data(), text.size(), nullptr, &decoded, &end,
                             sodium_base64_VARIANT_ORIGINAL) == 0 &&
           decoded == size && end == text.data() + text.size();
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t\r\n", at)) != std::string_view::npos) {
        const auto end = text.find_first_of(" \t\r\n", at);
        parts.push_back(text.substr(at, end - at));
        at = end;
    }
    return parts;
}

}  // namespace

bool initCrypto()
{
    return sodium_init() >= 0;
}

KeyPair makeKeyPair()
{
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    KeyPair pair{base64(publicKey, sizeof publicKey) + '\n', base64(secretKey, sizeof secretKey) + '\n'};
    sodium_memzero(secretKey, sizeof secretKey);
    return pair;
}

std::string keyId(const PublicKey& key)
{
    unsigned char hash[8];
    crypto_generichash(hash, sizeof hash, key.data(), key.size(), nullptr, 0);
    char hex[2 * sizeof hash + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

bool parsePublicKey(std::string_view text, PublicKey& key)
{
    return fromBase64(text, key.data(), key.size());
}

std::string signList(std::string_view secretText, std::string_view list)
{
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    if (!fromBase64(secretText, secretKey, sizeof secretKey))
        return {};
    PublicKey publicKey;
    crypto_sign_ed25519_sk_to_pk(publicKey.data(), secretKey);
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(list.data()), list.size(),
                         secretKey);
    sodium_memzero(secretKey, sizeof secretKey);
    return "ed25519 " + keyId(publicKey) + ' ' + base64(signature, sizeof signature) + '\n';
}

Verification verifyList(std::string_view list, std::string_view signatureText, const std::vector<PublicKey>& trusted)
{
    const auto parts = words(signatureText);
    unsigned char signature[crypto_sign_BYTES];
    if (parts.size() != 3 || parts[0] != "ed25519" || parts[1].size() != 16 ||
        !fromBase64(parts[2], signature, sizeof signature))
        return {Verdict::Malformed, {}};
    Verification result{Verdict::UnknownKey, std::string(parts[1])};
    for (const PublicKey& key : trusted) {
        if (keyId(key) != result.keyId)
            continue;
        if (crypto_sign_verify_detached(signature, reinterpret_cast<const unsigned char*>(list.data()), list.size(),
                                        key.data()) == 0)
            return {Verdict::Good, result.keyId};
        result.verdict = Verdict::BadSignature;
    }
    return result;
}

}  // namespace ombrix::update
