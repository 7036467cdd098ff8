// ombrix-update-key: makes the key pair that signs signature lists, signs a list
// for publishing and checks a signature the way the updater does.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "Ed25519.h"
#include "ListVersion.h"

namespace {

using namespace ombrix::update;

constexpr const char* kUsage =
    "usage: ombrix-update-key generate SECRET-FILE PUBLIC-FILE\n"
    "       ombrix-update-key sign SECRET-FILE LIST [SIGNATURE-FILE]\n"
    "       ombrix-update-key verify PUBLIC-FILE LIST [SIGNATURE-FILE]\n"
    "generate writes a new key pair (the secret file readable by you only; neither may exist).\n"
    "sign writes LIST's signature to SIGNATURE-FILE (default LIST.sig); LIST needs a\n"
    "\"' version NUMBER\" line. Publish LIST and LIST.sig side by side and put PUBLIC-FILE,\n"
    "named *.pub, into the update-keys folder beside the program.\n";

int fail(const std::string& message)
{
    std::fprintf(stderr, "ombrix-update-key: %s\n", message.c_str());
    return 1;
}

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Creates `path` with `mode`, never replacing a file: a key pair is not overwritten by mistake.
bool writeNew(const std::string& path, const std::string& text, mode_t mode)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

int generate(const std::string& secretPath, const std::string& publicPath)
{
    const KeyPair pair = makeKeyPair();
    if (!writeNew(secretPath, pair.secretText, 0600))
        return fail("cannot create " + secretPath + ": " + std::strerror(errno));
    if (!writeNew(publicPath, pair.publicText, 0644)) {
        const int error = errno;
        ::unlink(secretPath.c_str());
        return fail("cannot create " + publicPath + ": " + std::strerror(error));
    }
    PublicKey key;
    parsePublicKey(pair.publicText, key);
    std::printf("key %s\n", keyId(key).c_str());
    return 0;
}

int sign(const std::string& secretPath, const std::string& listPath, const std::string& signaturePath)
{
    const auto secret = readFile(secretPath);
    const auto list = readFile(listPath);
    if (!secret)
        return fail("cannot read " + secretPath);
    if (!list)
        return fail("cannot read " + listPath);
    if (!ListVersion(*list))
        return fail(listPath + " has no \"' version NUMBER\" line; the updater would refuse it");
    const std::string signature = signList(*secret, *list);
    if (signature.empty())
        return fail(secretPath + " is not a secret key file");
    std::ofstream out(signaturePath, std::ios::binary | std::ios::trunc);
    if (!(out << signature) || !out.flush())
        return fail("cannot write " + signaturePath);
    return 0;
}

int verify(const std::string& publicPath, const std::string& listPath, const std::string& signaturePath)
{
    const auto publicText = readFile(publicPath);
    const auto list = readFile(listPath);
    const auto signature = readFile(signaturePath);
    PublicKey key;
    if (!publicText || !parsePublicKey(*publicText, key))
        return fail("cannot read a public key from " + publicPath);
    if (!list || !signature)
        return fail("cannot read " + (list ? signaturePath : listPath));
    const Verification check = verifyList(*list, *signature, {key});
    if (check.verdict == Verdict::Good) {
        std::printf("good signature by key %s\n", check.keyId.c_str());
        return 0;
    }
    if (check.verdict == Verdict::UnknownKey)
        return fail("signed with key " + check.keyId + ", not with " + keyId(key));
    return fail(check.verdict == Verdict::Malformed ? signaturePath + " is not a signature file"
                                                     : "the signature does not match " + listPath);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!initCrypto())
        return fail("the signature library cannot start");
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() == 3 && args[0] == "generate")
        return generate(args[1], args[2]);
    if ((args.size() == 3 || args.size() == 4) && (args[0] == "sign" || args[0] == "verify")) {
        const std::string signaturePath = args.size() == 4 ? args[3] : args[2] + ".sig";
        return args[0] == "sign" ? sign(args[1], args[2], signaturePath) : verify(args[1], args[2], signaturePath);
    }
    std::fputs(kUsage, stderr);
    return 2;
}
