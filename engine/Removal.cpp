#include "Removal.h"

#include "Quarantine.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

bool quarantineOn = false;
std::string programName = "ombrix";
bool tookAny = false;

quarantine::Origin originOf(std::string_view threat, const char* road)
{
    const std::optional<std::uint64_t> version = SignatureListVersion();
    return {std::string(threat), version ? std::to_string(*version) : std::string(), road, programName};
}

}  // namespace

void SetQuarantine(bool on)
{
    quarantineOn = on;
}

void SetProgramName(std::string name)
{
    programName = std::move(name);
}

bool RemoveFile(folder::FolderRef folder, const std::string& folderPath, const char* name, std::string_view threat,
                const char* road)
{
    if (!quarantineOn)
        return folder::removeEntry(folder, folderPath, name);
    const bool taken = folder::takeEntry(folder, folderPath, name, originOf(threat, road));
    tookAny = tookAny || taken;
    return taken;
}

bool RemoveFile(folder::PathCursor& files, const std::string& path, std::string_view threat, const char* road)
{
    if (!quarantineOn)
        return files.remove(path);
    const bool taken = files.take(path, originOf(threat, road));
    tookAny = tookAny || taken;
    return taken;
}

bool DeleteFile(const std::string& path, std::string_view threat)
{
    folder::PathCursor files;
    const bool removed = RemoveFile(files, path, threat, "Delete this File");
    KeepQuarantineLimit();
    return removed;
}

void KeepQuarantineLimit()
{
    if (tookAny)
        quarantine::EnforceSizeLimit();
    tookAny = false;
}

}  // namespace ombrix::mFileSearch
