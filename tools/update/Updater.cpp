#include "Updater.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "Ed25519.h"
#include "HttpFetch.h"
#include "ListVersion.h"
#include "Paths.h"
#include "Release.h"
#include "SmallFile.h"
#include "StateFolder.h"
#include "TrustedKeys.h"
#include "UpdateConfig.h"
#include "UpdateState.h"
#include "mFileSearch.h"

namespace ombrix::update {

namespace {

constexpr std::size_t kMaxReleaseBytes = 64 * 1024;
constexpr std::size_t kMaxSignatureBytes = 4096;
constexpr std::size_t kMaxLocalBytes = 1 << 20;
constexpr std::size_t kMaxStateBytes = 4096;

Outcome failed(const std::string& why)
{
    return {kFailed, "Update failed: " + why + ". The installed signature list was not changed."};
}

Outcome upToDate(std::uint64_t version)
{
    return {kUpToDate, "The signature list is up to date (version " + std::to_string(version) + ")."};
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

std::string verificationFailure(const Verification& check, const std::string& url, const TrustedKeys& trusted)
{
    switch (check.verdict) {
    case Verdict::Malformed:
        return "the signature at " + url + ".sig is not a signature file";
    case Verdict::UnknownKey:
        if (trusted.revoked.count(check.keyId))
            return "the release is signed with key " + check.keyId + ", which is revoked in " + trusted.revokedFile;
        return "the release is signed with key " + check.keyId + ", which is not among the trusted keys in " +
               trusted.folders;
    default:
        return "the signature does not match the release (it was damaged or forged)";
    }
}

// The list as it is installed: the release's bytes, then the administrator's own
// lines, each list ending its last line first so no line runs into the next.
std::string withLocalLines(std::string list, const std::optional<std::string>& local)
{
    if (!local || local->empty())
        return list;
    if (!list.empty() && list.back() != '\r' && list.back() != '\n')
        list += "\r\n";
    return list + *local;
}

// One check, step by step; the members are what the steps share.
class Run {
public:
    Run(const UpdateOptions& options, UpdateReport& report) : options_(options), report_(report) {}
    Outcome operator()();

private:
    Outcome check(const std::string& url, const std::vector<std::string>& httpHosts);
    Outcome install(const Release& release, const std::string& list, std::uint64_t floor);
    std::string saveState(const UpdateState& state);

    const UpdateOptions& options_;
    UpdateReport& report_;
    std::string configFile_;
    StateFolder* state_ = nullptr;
    StateFolder* list_ = nullptr;  // the state folder itself when the list lies there
    TrustedKeys trusted_;
    UpdateState saved_;
    std::optional<std::string> installed_;
};

Outcome Run::operator()()
{
    const UpdateFolders& folders = options_.folders;
    configFile_ = folders.config + kPathSeparator + "update.conf";
    UpdateConfig config;
    if (std::string why = ReadUpdateConfig(configFile_, config); !why.empty())
        return failed(why);
    const std::string url = options_.url.empty() ? config.url : options_.url;
    if (url.empty()) {
        const std::string where = "No update source is set. An administrator sets one as \"url = ADDRESS\" in " + configFile_;
        return {kFailed, where + "; for your own copy, ombrix-settings set \"Update URL\" ADDRESS.",
                where + ". For your own copy, the release's address can be stored as \"Update URL\" in your Ombrix "
                        "settings."};
    }
    if (!initCrypto())
        return failed("the signature library cannot start");
    StateFolder state(folders.state);
    std::optional<StateFolder> listApart;
    if (folders.list != folders.state)
        listApart.emplace(folders.list);
    state_ = &state;
    list_ = listApart ? &*listApart : &state;
    // Locked in this order only, so two updaters never wait on each other.
    for (StateFolder* folder : {state_, list_}) {
        // A user who may not write the folder learns it without taking the lock from the service.
        if (std::string why = folder->checkWritable(); !why.empty())
            return failed(why);
        if (folder->locked())
            continue;
        if (!folder->lock())
            return failed(errno == EWOULDBLOCK ? "another update of " + folder->path() + " is running"
                                               : "cannot open " + folder->path() + ": " + std::strerror(errno));
        folder->clearLeftovers();
    }
    if (std::string why = LoadTrustedKeys(folders, trusted_); !why.empty())
        return failed(why);
    if (trusted_.keys.empty())
        return failed("there are no trusted keys in " + trusted_.folders);

    std::string why;
    if (const auto text = ReadSmallFile(state.path(kStateFileName), kMaxStateBytes, false, why)) {
        if (why = ParseUpdateState(*text, saved_); !why.empty())
            return failed("the updater's state " + state.path(kStateFileName) + " is damaged (" + why +
                          "); an administrator may remove it, and the installed list's version becomes the floor");
    } else if (!why.empty()) {
        return failed(why);
    }
    // Anything but a plain file there is replaced like a missing list.
    installed_ = ReadSmallFile(list_->path("ombrix.ini"), kMaxListBytes, false, why);
    return check(url, config.httpHosts);
}

Outcome Run::check(const std::string& url, const std::vector<std::string>& httpHosts)
{
    const auto started = std::chrono::steady_clock::now();
    HttpFetch http({started + std::chrono::seconds(options_.totalSeconds), options_.totalSeconds, 15,
                    options_.lowSpeedBytes, options_.lowSpeedSeconds, httpHosts, configFile_});
    const auto progress = [this](std::uint64_t done, std::uint64_t total) {
        report_.progress(done, total);
        return !report_.canceled();
    };

    report_.step("Checking for a new signature list");
    const FetchResult releaseFile = http.fetch(url, kMaxReleaseBytes, progress);
    if (releaseFile.kind != FetchResult::Kind::Ok)
        return failed(downloadFailure(releaseFile, url, "the release"));
    const std::string signatureUrl = url + ".sig";
    const FetchResult signature = http.fetch(signatureUrl, kMaxSignatureBytes, progress);
    if (signature.kind == FetchResult::Kind::HttpError && signature.httpStatus == 404)
        return failed("the server offers no signature for the release (" + signatureUrl + " is missing)");
    if (signature.kind != FetchResult::Kind::Ok)
        return failed(downloadFailure(signature, signatureUrl, "the signature"));
    if (const Verification verdict = verifyList(releaseFile.body, signature.body, trusted_.keys);
        verdict.verdict != Verdict::Good)
        return failed(verificationFailure(verdict, url, trusted_));

    std::string why;
    const std::optional<Release> release = ParseRelease(releaseFile.body, why);
    if (!release)
        return failed("the file at " + url + " is not a release: " + why);
    const std::time_t now = std::time(nullptr);
    if (why = ReleaseProblem(*release, now); !why.empty())
        return failed("the release at " + url + " was refused: " + why);
    if (release->size > kMaxListBytes)
        return failed("the release names a list of " + std::to_string(release->size) +
                      " bytes, more than the 64 MiB a list may have");

    // The floor holds whatever list file is in place: never lowered, and raised by a
    // newer list an administrator put there by hand, unless its version is past
    // the ceiling (an earlier updater let such lists in), which would lock out every list.
    std::uint64_t installedVersion = installed_ ? ListVersion(*installed_).value_or(0) : 0;
    if (installedVersion > kVersionCeiling)
        installedVersion = 0;
    const std::uint64_t floor = std::max(saved_.floor, installedVersion);
    const bool floorList =
        release->sha256 == saved_.floorSha256 || (installed_ && Sha256Hex(*installed_) == release->sha256);
    if (release->version < floor || (release->version == floor && !floorList))
        return failed("the release offers version " + std::to_string(release->version) +
                      ", not newer than version " + std::to_string(floor) + ", the newest installed before");
    // The newest list, already in place. When a reinstall or a hand put an older
    // list there instead, the newest is brought back.
    if (release->version == floor && installed_ && installedVersion == floor) {
        UpdateState state = saved_;
        state.floor = floor;
        state.lastSuccess = now;
        state.validUntil = release->validUntil;
        if (why = saveState(state); !why.empty())
            return failed(why);
        return upToDate(floor);
    }

    const std::string listUrl = SiblingUrl(url, release->listName);
    report_.step("Downloading the signature list");
    const FetchResult list = http.fetch(listUrl, std::size_t(release->size), progress);
    if (list.kind == FetchResult::Kind::TooLarge)
        return failed("the list at " + listUrl + " is larger than its release says (" +
                      std::to_string(release->size) + " bytes)");
    if (list.kind != FetchResult::Kind::Ok)
        return failed(downloadFailure(list, listUrl, "the list"));
    if (list.body.size() != release->size)
        return failed("the list at " + listUrl + " has " + std::to_string(list.body.size()) + " bytes, not the " +
                      std::to_string(release->size) + " its release says");
    if (Sha256Hex(list.body) != release->sha256)
        return failed("the list at " + listUrl + " does not match its release's SHA256 (it was damaged or replaced)");
    const std::optional<std::uint64_t> listVersion = ListVersion(list.body);
    if (listVersion != release->version)
        return failed("the list's version line (" + (listVersion ? std::to_string(*listVersion) : "none") +
                      ") differs from its release's version " + std::to_string(release->version));
    return install(*release, list.body, floor);
}

Outcome Run::install(const Release& release, const std::string& list, std::uint64_t floor)
{
    std::string unreadable;
    const std::string localFile = options_.folders.config + kPathSeparator + "local.ini";
    const std::optional<std::string> local = ReadSmallFile(localFile, kMaxLocalBytes, true, unreadable);
    if (!unreadable.empty())
        return failed(unreadable);

    if (report_.canceled())
        return failed("the update was canceled");
    report_.step("Installing the signature list");
    StateFolder& target = *list_;
    if (std::string why = target.stage("ombrix.ini", withLocalLines(list, local)); !why.empty())
        return failed(why);
    // The list is judged by the scan's own loader, reading the very file that will be installed.
    mFileSearch::SetSignatureFile(target.stagedPath("ombrix.ini"));
    mFileSearch::LoadSignatures();
    const std::size_t entries = mFileSearch::SignatureCount();
    if (entries == 0)
        return failed("the offered list has no entries");
    if (installed_) {
        if (std::string why = target.stage("ombrix.ini.bak", *installed_); !why.empty())
            return failed(why);
        if (std::string why = target.commit("ombrix.ini.bak"); !why.empty())
            return failed(why);
    }
    if (std::string why = target.commit("ombrix.ini"); !why.empty())
        return failed(why);
    // Killed before this, the next run finds the new list in place and takes its
    // version as the floor all the same.
    UpdateState next{std::max(floor, release.version), release.sha256, std::time(nullptr), release.validUntil};
    if (std::string why = saveState(next); !why.empty())
        return {kFailed, "Installed signature list version " + std::to_string(release.version) +
                             ", but the updater's state could not be saved: " + why + "."};
    return {kUpdated, "Installed signature list version " + std::to_string(release.version) + " with " +
                          std::to_string(entries) + (entries == 1 ? " entry." : " entries.")};
}

std::string Run::saveState(const UpdateState& state)
{
    if (std::string why = state_->stage(kStateFileName, UpdateStateText(state)); !why.empty())
        return why;
    return state_->commit(kStateFileName);
}

}  // namespace

Outcome RunUpdate(const UpdateOptions& options, UpdateReport& report)
{
    return Run(options, report)();
}

}  // namespace ombrix::update
