// ombrix-update-key: makes the key pair that signs releases, publishes a signature
// list (its signed release beside it) and checks a release the way the updater does.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "Ed25519.h"
#include "ListVersion.h"
#include "Release.h"

namespace {

using namespace ombrix::update;

constexpr long kDefaultValidDays = 7;

constexpr const char* kUsage =
    "usage: ombrix-update-key generate SECRET-FILE PUBLIC-FILE\n"
    "       ombrix-update-key publish [--valid-days DAYS] SECRET-FILE LIST\n"
    "       ombrix-update-key verify PUBLIC-FILE RELEASE\n"
    "generate writes a new key pair (the secret file readable by you only; neither may exist).\n"
    "publish writes LIST.release, naming LIST's version, size and SHA-256 and valid for DAYS\n"
    "(default 7, at most 365) from now, and its signature LIST.release.sig. LIST needs a\n"
    "\"' version NUMBER\" line. Publish the three files side by side; the updater's address\n"
    "is that of LIST.release. verify checks RELEASE.sig and the list beside RELEASE.\n";

int fail(const std::string& message)
{
    std::fprintf(stderr, "ombrix-update-key: %s\n", message.c_str());
    return 1;
}

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return (out << text) && out.flush();
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

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

int publish(long validDays, const std::string& secretPath, const std::string& listPath)
{
    const auto secret = readFile(secretPath);
    const auto list = readFile(listPath);
    if (!secret)
        return fail("cannot read " + secretPath);
    if (!list)
        return fail("cannot read " + listPath);
    const auto version = ListVersion(*list);
    if (!version)
        return fail(listPath + " has no \"' version NUMBER\" line; the updater would refuse it");
    const std::time_t now = std::time(nullptr);
    const Release release{listPath.substr(folderOf(listPath).size()), *version, now, now + validDays * 24 * 60 * 60,
                          list->size(), Sha256Hex(*list)};
    std::string why;
    if (!ParseRelease(ReleaseText(release), why) || !(why = ReleaseProblem(release, now)).empty())
        return fail("the updater would refuse this release: " + why);
    const std::string text = ReleaseText(release);
    const std::string signature = signList(*secret, text);
    if (signature.empty())
        return fail(secretPath + " is not a secret key file");
    const std::string releasePath = listPath + ".release";
    if (!writeFile(releasePath, text))
        return fail("cannot write " + releasePath);
    if (!writeFile(releasePath + ".sig", signature))
        return fail("cannot write " + releasePath + ".sig");
    std::printf("%s: version %llu, valid until %s\n", releasePath.c_str(), static_cast<unsigned long long>(*version),
                UtcText(release.validUntil).c_str());
    return 0;
}

int verify(const std::string& publicPath, const std::string& releasePath)
{
    const auto publicText = readFile(publicPath);
    const auto text = readFile(releasePath);
    const auto signature = readFile(releasePath + ".sig");
    PublicKey key;
    if (!publicText || !parsePublicKey(*publicText, key))
        return fail("cannot read a public key from " + publicPath);
    if (!text || !signature)
        return fail("cannot read " + (text ? releasePath + ".sig" : releasePath));
    const Verification check = verifyList(*text, *signature, {key});
    if (check.verdict == Verdict::UnknownKey)
        return fail("signed with key " + check.keyId + ", not with " + keyId(key));
    if (check.verdict != Verdict::Good)
        return fail(check.verdict == Verdict::Malformed ? releasePath + ".sig is not a signature file"
                                                         : "the signature does not match " + releasePath);
    std::string why;
    const auto release = ParseRelease(*text, why);
    if (!release)
        return fail(releasePath + " is not a release: " + why);
    if (why = ReleaseProblem(*release, std::time(nullptr)); !why.empty())
        return fail("the updater would refuse " + releasePath + ": " + why);
    const std::string listPath = folderOf(releasePath) + release->listName;
    const auto list = readFile(listPath);
    if (!list)
        return fail("cannot read the list " + listPath);
    if (list->size() != release->size || Sha256Hex(*list) != release->sha256)
        return fail(listPath + " is not the list " + releasePath + " names (its size or SHA-256 differs)");
    if (ListVersion(*list) != release->version)
        return fail("the version line of " + listPath + " differs from the release's");
    std::printf("good release by key %s: %s version %llu, valid until %s\n", check.keyId.c_str(),
                release->listName.c_str(), static_cast<unsigned long long>(release->version),
                UtcText(release->validUntil).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!initCrypto())
        return fail("the signature library cannot start");
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() == 3 && args[0] == "generate")
        return generate(args[1], args[2]);
    if (args.size() == 3 && args[0] == "verify")
        return verify(args[1], args[2]);
    if (!args.empty() && args[0] == "publish") {
        long days = kDefaultValidDays;
        if (args.size() == 5 && args[1] == "--valid-days") {
            const auto [end, error] = std::from_chars(args[2].data(), args[2].data() + args[2].size(), days);
            if (error != std::errc() || end != args[2].data() + args[2].size() || days < 1 || days > kMaxValidDays)
                return usage();
            args.erase(args.begin() + 1, args.begin() + 3);
        }
        if (args.size() == 3)
            return publish(days, args[1], args[2]);
    }
    return usage();
}
