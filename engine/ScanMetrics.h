#pragma once

#include <string>
#include <string_view>

#include "ScanSystem.h"

namespace ombrix {

// The finished scan in the Prometheus text format, as node_exporter's textfile
// collector reads it: every sample labelled with the scanned folder, so that
// the files of several scans can lie side by side. `exitStatus` is the one the
// front end ends with.
std::string ScanMetrics(const ScanSummary& summary, int exitStatus);

// A label value escaped as the format asks; bytes that are not UTF-8 become U+FFFD.
std::string MetricLabel(std::string_view value);

}  // namespace ombrix
