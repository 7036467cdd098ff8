#pragma once

#include <string>

#include "SystemLog.h"
#include "UpdateFolders.h"
#include "UpdateState.h"
#include "Updater.h"

namespace ombrix::update {

// The system log's entry for one update: its message, its status and the
// state it left (a warning when the update failed).
SystemLogEntry UpdateLogEntry(const Outcome& outcome, const UpdateState& state);

// The updater's figures in the Prometheus text format: the last success, the
// installed list's version and until when its release was valid, and this run's
// status and time.
std::string UpdateMetrics(const Outcome& outcome, const UpdateState& state, std::time_t now);

// Reports one finished update: one system log entry when `log` is set, and the
// metrics written to `metricsFile` (whole or not at all) when one is named.
// Empty on success, else why the metrics file could not be written.
std::string ReportUpdate(const Outcome& outcome, const UpdateFolders& folders, bool log,
                         const std::string& metricsFile);

}  // namespace ombrix::update
