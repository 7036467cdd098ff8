#include "SystemLog.h"

#include <dlfcn.h>
#include <sys/uio.h>
#include <syslog.h>
#include <systemd/sd-journal.h>

namespace ombrix {

namespace {

// The journal's library is loaded on the first entry, not at start: linked in,
// it and the libraries it needs would add to the start of every scan, logged
// or not. Null where it is not installed.
decltype(&sd_journal_sendv) journalSend()
{
    static const auto send = [] {
        void* library = ::dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        return library ? reinterpret_cast<decltype(&sd_journal_sendv)>(::dlsym(library, "sd_journal_sendv"))
                       : nullptr;
    }();
    return send;
}

}  // namespace

bool WriteSystemLog(const SystemLogEntry& entry)
{
    const auto send = journalSend();
    if (!send)
        return false;
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
    return send(parts.data(), int(parts.size())) == 0;
}

}  // namespace ombrix
