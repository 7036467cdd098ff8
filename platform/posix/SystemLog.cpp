#include "SystemLog.h"

#include <sys/uio.h>
#include <syslog.h>
#include <systemd/sd-journal.h>

namespace ombrix {

bool WriteSystemLog(const SystemLogEntry& entry)
{
    const int priority = entry.level == SystemLogEntry::Level::Error     ? LOG_ERR
                         : entry.level == SystemLogEntry::Level::Warning ? LOG_WARNING
                                                                         : LOG_INFO;
    std::vector<std::string> texts = {
        "MESSAGE=" + entry.message,
        "PRIORITY=" + std::to_string(priority),
        "SYSLOG_IDENTIFIER=" + entry.program,
    };
    for (const auto& [name, value] : entry.fields)
        texts.push_back("OMBRIX_" + name + "=" + value);
    std::vector<iovec> parts;
    for (std::string& text : texts)
        parts.push_back({text.data(), text.size()});
    return ::sd_journal_sendv(parts.data(), int(parts.size())) == 0;
}

}  // namespace ombrix
