#pragma once

#include <string>

#include "ScanSystem.h"
#include "SystemLog.h"

namespace ombrix {

// The system log's entry for a finished scan: every figure as a field, a
// readable message, a warning when something was found and an error when a
// finding could not be removed.
SystemLogEntry ScanLogEntry(const ScanSummary& summary, int exitStatus, const std::string& program);

// Writes the scan's metrics to `metricsFile` (whole or not at all). Empty on
// success, else why the file could not be written.
std::string WriteScanMetrics(const ScanSummary& summary, int exitStatus, const std::string& metricsFile);

}  // namespace ombrix
