#include <cerrno>
#include <cstring>

#include "PassedOver.h"
#include "Text.h"

namespace ombrix {

PassedOver::Reason ReasonOfOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return PassedOver::Reason::Vanished;
    case ENAMETOOLONG: return PassedOver::Reason::TooDeep;
    // Opened without following links: the folder was swapped for one.
    case ELOOP: return PassedOver::Reason::Link;
    default: return PassedOver::Reason::CouldNotList;
    }
}

std::string ErrorName(int error)
{
    const char* name = ::strerrorname_np(error);
    return name ? name : decimal(std::size_t(unsigned(error)));
}

}  // namespace ombrix
