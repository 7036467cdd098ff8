#include "SystemLog.h"

#include <windows.h>

namespace ombrix {

bool WriteSystemLog(const SystemLogEntry& entry)
{
    const HANDLE source = RegisterEventSourceA(nullptr, "Ombrix");
    if (!source)
        return false;
    std::string text = entry.message;
    for (const auto& [name, value] : entry.fields)
        text += "\r\n" + name + "=" + value;
    const WORD type = entry.level == SystemLogEntry::Level::Error     ? EVENTLOG_ERROR_TYPE
                      : entry.level == SystemLogEntry::Level::Warning ? EVENTLOG_WARNING_TYPE
                                                                      : EVENTLOG_INFORMATION_TYPE;
    const char* strings[] = {text.c_str()};
    const bool written =
        ReportEventA(source, type, 0, DWORD(entry.event), nullptr, 1, 0, strings, nullptr) != FALSE;
    DeregisterEventSource(source);
    return written;
}

}  // namespace ombrix
