#include "UpdateMetrics.h"

#include "Paths.h"
#include "AtomicFile.h"
#include "SmallFile.h"
#include "Text.h"

namespace ombrix::update {

namespace {

// The state as the last run left it; a missing or damaged one reads as nothing known.
UpdateState savedState(const UpdateFolders& folders)
{
    UpdateState state;
    std::string why;
    const auto text = ReadSmallFile(folders.state + kPathSeparator + kStateFileName, 4096, false, why);
    if (!text || !ParseUpdateState(*text, state).empty())
        return {};
    return state;
}

void gauge(std::string& out, const char* name, const char* help, const std::string& value)
{
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n" + name + " " + value + "\n";
}

}  // namespace

SystemLogEntry UpdateLogEntry(const Outcome& outcome, const UpdateState& state)
{
    SystemLogEntry entry;
    entry.program = "update";
    entry.event = SystemLogEntry::Event::Update;
    entry.level = outcome.status == kFailed ? SystemLogEntry::Level::Warning : SystemLogEntry::Level::Info;
    entry.message = outcome.message;
    entry.fields = {
        {"EXIT_STATUS", std::to_string(outcome.status)},
        {"LIST_VERSION", std::to_string(state.floor)},
        {"LAST_SUCCESS_TIMESTAMP_SECONDS", std::to_string(state.lastSuccess)},
        {"VALID_UNTIL_TIMESTAMP_SECONDS", std::to_string(state.validUntil)},
    };
    return entry;
}

std::string UpdateMetrics(const Outcome& outcome, const UpdateState& state, std::time_t now)
{
    std::string out;
    gauge(out, "ombrix_update_last_success_timestamp_seconds",
          "When an update last ended with the newest list installed, in seconds since the Unix epoch (0: never).",
          std::to_string(state.lastSuccess));
    gauge(out, "ombrix_update_list_version", "The version of the newest list installed (0: none).",
          std::to_string(state.floor));
    gauge(out, "ombrix_update_list_valid_until_timestamp_seconds",
          "Until when the release of the installed list was valid, in seconds since the Unix epoch (0: not known).",
          std::to_string(state.validUntil));
    gauge(out, "ombrix_update_end_timestamp_seconds", "When this update ended, in seconds since the Unix epoch.",
          std::to_string(now));
    gauge(out, "ombrix_update_exit_status", "The exit status of this update: 0 updated, 1 up to date, 2 failed.",
          std::to_string(outcome.status));
    return out;
}

std::string ReportUpdate(const Outcome& outcome, const UpdateFolders& folders, bool log,
                         const std::string& metricsFile)
{
    const UpdateState state = savedState(folders);
    if (log)
        WriteSystemLog(UpdateLogEntry(outcome, state));
    if (metricsFile.empty())
        return {};
    return WriteFileAtomically(metricsFile, UpdateMetrics(outcome, state, std::time(nullptr)));
}

}  // namespace ombrix::update
