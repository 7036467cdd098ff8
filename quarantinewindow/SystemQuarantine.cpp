#include "SystemQuarantine.h"

namespace ombrix {

std::vector<quarantine::Entry> SystemQuarantine::list()
{
    return quarantine::List();
}

quarantine::Result SystemQuarantine::restore(const std::string& id, const quarantine::RestoreOptions& options)
{
    return quarantine::Restore(id, options);
}

quarantine::Result SystemQuarantine::remove(const std::string& id)
{
    return quarantine::Delete(id);
}

}  // namespace ombrix
