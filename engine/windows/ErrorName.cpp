#include <windows.h>

#include "PassedOver.h"
#include "Text.h"

namespace ombrix {

PassedOver::Reason ReasonOfOpenError(int error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return PassedOver::Reason::Vanished;
    case ERROR_FILENAME_EXCED_RANGE: return PassedOver::Reason::TooDeep;
    default: return PassedOver::Reason::CouldNotList;
    }
}

std::string ErrorName(int error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED: return "ERROR_ACCESS_DENIED";
    case ERROR_NOT_READY: return "ERROR_NOT_READY";
    case ERROR_SHARING_VIOLATION: return "ERROR_SHARING_VIOLATION";
    case ERROR_TOO_MANY_OPEN_FILES: return "ERROR_TOO_MANY_OPEN_FILES";
    case ERROR_CANT_ACCESS_FILE: return "ERROR_CANT_ACCESS_FILE";
    case ERROR_INVALID_NAME: return "ERROR_INVALID_NAME";
    default: return decimal(std::size_t(unsigned(error)));
    }
}

}  // namespace ombrix
