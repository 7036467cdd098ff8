#include "StateFolder.h"

#include "Paths.h"

namespace ombrix::update {

StateFolder::StateFolder(std::string folder)
    : folder_(std::move(folder)), staging_(folder_ + kPathSeparator + ".update-staging")
{
}

std::string StateFolder::path(std::string_view name) const
{
    return folder_ + kPathSeparator + std::string(name);
}

std::string StateFolder::stagedPath(std::string_view name) const
{
    return staging_ + kPathSeparator + std::string(name);
}

StateFolder::~StateFolder()
{
    if (lock_)
        clearLeftovers();
}

bool StateFolder::lock()
{
    if (auto lock = FolderLock::tryAcquire(folder_))
        lock_.emplace(std::move(*lock));
    return lock_.has_value();
}

}  // namespace ombrix::update
