#pragma once

#include <string>
#include <utility>
#include <vector>

namespace ombrix {

// One entry of the system's own log: the journal on Linux, the Application
// event log on Windows (source "Ombrix").
struct SystemLogEntry {
    enum class Level { Info, Warning, Error };
    // Event log ids; the message table of every program that writes gives
    // each the text "%1".
    enum class Event : unsigned { Scan = 1, Update = 2 };

    Level level = Level::Info;
    Event event = Event::Scan;
    std::string message;  // one readable line
    // Names without a prefix ("FILES"): the journal gets them as OMBRIX_FILES,
    // the event log as lines "FILES=..." after the message.
    std::vector<std::pair<std::string, std::string>> fields;
    std::string program;  // the identifier the entry is filed under
};

// Writes the entry; false when no log took it (none runs, or no right to write).
bool WriteSystemLog(const SystemLogEntry& entry);

}  // namespace ombrix
