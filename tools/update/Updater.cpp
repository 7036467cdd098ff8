#include "Updater.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "Ed25519.h"
#include "HttpFetch.h"
#include "ListInstaller.h"
#include "ListVersion.h"
#include "FolderLock.h"
#include "TrustedKeys.h"
#include "UpdateSettings.h"
#include "mFileSearch.h"

namespace ombrix::update {

namespace {

constexpr std::size_t kMaxSignatureBytes = 4096;

Outcome failed(const std::string& why)
{
    return {kFailed, "Update failed: " + why + ". The installed signature list was not changed."};
}

std::string versionText(const std::optional<std::uint64_t>& version)
{
    return version ? std::to_string(*version) : std::string();
}

Outcome upToDate(const std::optional<std::uint64_t>& installed)
{
    return {kUpToDate, installed ? "The signature list is up to date (version " + versionText(installed) + ")."
                                 : std::string("The signature list is up to date.")};
}

// The installed list's bytes; nullopt when there is none (or it cannot be read,
// which a replacement mends).
std::optional<std::string> readInstalled(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    std::optional<std::string> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) <= kMaxListBytes) {
        bytes.emplace(std::size_t(st.st_size), '\0');
        std::size_t done = 0;
        ssize_t n = 0;
        while (done < bytes->size() && (n = ::pread(fd, bytes->data() + done, bytes->size() - done, off_t(done))) > 0)
            done += std::size_t(n);
        bytes->resize(done);
    }
    ::close(fd);
    return bytes;
}

std::string downloadFailure(const FetchResult& result, const std::string& url, const std::string& what)
{
    switch (result.kind) {
    case FetchResult::Kind::TooLarge:
        return what + " at " + url + " is too large";
    case FetchResult::Kind::HttpError:
        return "the server answered HTTP " + std::to_string(result.httpStatus) + " for " + what + " at " + url;
    default:
        return result.error;
    }
}

std::string verificationFailure(const Verification& check, const std::string& url, const std::string& keyFolder)
{
    switch (check.verdict) {
    case Verdict::Malformed:
        return "the signature at " + url + ".sig is not a signature file";
    case Verdict::UnknownKey:
        return "the list is signed with key " + check.keyId + ", which is not among the trusted keys in " + keyFolder;
    default:
        return "the signature does not match the list (it was damaged or forged)";
    }
}

}  // namespace

Outcome RunUpdate(const UpdateOptions& options, UpdateReport& report)
{
    if (options.url.empty())
        return failed("no update address is set (ombrix-settings set \"Update URL\" URL, or update --url URL)");
    if (!initCrypto())
        return failed("the signature library cannot start");
    const auto lock = FolderLock::tryAcquire(options.programFolder);
    if (!lock)
        return failed("another update of " + options.programFolder + " is running");
    const std::string keyFolder = TrustedKeyFolder(options.programFolder);
    const std::vector<PublicKey> keys = LoadTrustedKeys(keyFolder);
    if (keys.empty())
        return failed("there are no trusted keys in " + keyFolder);

    ListInstaller installer(options.programFolder);
    if (std::string why = installer.checkWritable(); !why.empty())
        return failed(why);
    const std::optional<std::string> installed = readInstalled(installer.listPath());
    const std::optional<std::uint64_t> installedVersion = installed ? ListVersion(*installed) : std::nullopt;

    FetchRequest request{options.url, {}, {}, kMaxListBytes, options.connectSeconds, options.totalSeconds};
    if (const Validators last = StoredValidators();
        last.source == options.url && installed && last.version == versionText(installedVersion)) {
        request.etag = last.etag;
        request.lastModified = last.lastModified;
    }
    HttpFetch http;
    const auto progress = [&report](std::uint64_t done, std::uint64_t total) {
        report.progress(done, total);
        return !report.canceled();
    };
    report.step("Downloading the signature list");
    const FetchResult list = http.fetch(request, progress);
    if (list.kind == FetchResult::Kind::NotModified)
        return upToDate(installedVersion);
    if (list.kind != FetchResult::Kind::Ok)
        return failed(downloadFailure(list, options.url, "the list"));

    report.step("Checking the signature");
    const std::string signatureUrl = options.url + ".sig";
    const FetchResult signature =
        http.fetch({signatureUrl, {}, {}, kMaxSignatureBytes, options.connectSeconds, options.totalSeconds}, progress);
    if (signature.kind == FetchResult::Kind::HttpError && signature.httpStatus == 404)
        return failed("the server offers no signature for the list (" + signatureUrl + " is missing)");
    if (signature.kind != FetchResult::Kind::Ok)
        return failed(downloadFailure(signature, signatureUrl, "the signature"));
    if (const Verification check = verifyList(list.body, signature.body, keys); check.verdict != Verdict::Good)
        return failed(verificationFailure(check, options.url, keyFolder));

    const std::optional<std::uint64_t> offered = ListVersion(list.body);
    if (!offered)
        return failed("the offered list has no version line (\"' version NUMBER\")");
    const Validators validators{options.url, versionText(offered), list.etag, list.lastModified};
    if (installedVersion && *offered < *installedVersion)
        return failed("the offered list (version " + versionText(offered) + ") is older than the installed one (version " +
                      versionText(installedVersion) + ")");
    if (installedVersion && *offered == *installedVersion) {
        StoreValidators(validators);
        return upToDate(installedVersion);
    }

    if (report.canceled())
        return failed("the update was canceled");
    report.step("Installing the signature list");
    if (std::string why = installer.stage(list.body); !why.empty())
        return failed(why);
    // The list is judged by the scan's own loader, reading the very file that will be installed.
    mFileSearch::SetSignatureFile(installer.stagedPath());
    mFileSearch::LoadSignatures();
    const std::size_t entries = mFileSearch::SignatureCount();
    if (entries == 0)
        return failed("the offered list has no entries");
    if (std::string why = installer.install(installed); !why.empty())
        return failed(why);
    StoreValidators(validators);
    return {kUpdated, "Installed signature list version " + versionText(offered) + " with " + std::to_string(entries) +
                          (entries == 1 ? " entry." : " entries.")};
}

}  // namespace ombrix::update
