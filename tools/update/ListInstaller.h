#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrix::update {

// Puts a new signature list in place of ombrix.ini in one rename, so that a
// scan that opens the list at any moment reads the old list or the new one,
// whole. The list it replaces is kept as ombrix.ini.bak.
class ListInstaller {
public:
    explicit ListInstaller(std::string programFolder);
    // Removes a staged file that was never installed.
    ~ListInstaller();
    ListInstaller(const ListInstaller&) = delete;
    ListInstaller& operator=(const ListInstaller&) = delete;

    std::string listPath() const;
    std::string backupPath() const;

    // Empty when the folder looks writable, else why not. Checked before a
    // download so an ordinary user learns at once; root passes here and meets
    // a read-only file system only when it writes.
    std::string checkWritable() const;

    // Writes `list` to a new hidden file in the program folder and syncs it to
    // disk. Empty on success, else why not.
    std::string stage(std::string_view list);
    const std::string& stagedPath() const { return staged_; }

    // Keeps `previous` (the installed list's bytes, when there was one) as the
    // backup, renames the staged file over the list and syncs the folder.
    // Empty on success, else why not.
    std::string install(const std::optional<std::string>& previous);

private:
    std::string writeSynced(std::string_view bytes, std::string& path) const;
    std::string failure(const std::string& action, int error) const;

    std::string folder_;
    std::string staged_;
};

}  // namespace ombrix::update
