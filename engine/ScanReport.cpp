#include "ScanReport.h"

#include "AtomicFile.h"
#include "ScanMetrics.h"
#include "Text.h"

namespace ombrix {

SystemLogEntry ScanLogEntry(const ScanSummary& summary, int exitStatus, const std::string& program)
{
    SystemLogEntry entry;
    entry.program = program;
    entry.event = SystemLogEntry::Event::Scan;
    entry.level = summary.removing && summary.stillPresent > 0 ? SystemLogEntry::Level::Error
                  : summary.rows > 0       ? SystemLogEntry::Level::Warning
                                           : SystemLogEntry::Level::Info;
    entry.message = "Scan of " + summary.folder + (summary.canceled ? " canceled: " : ": ") + decimal(summary.rows) +
                    " found, " + decimal(summary.removed) + " removed, " + decimal(summary.stillPresent) +
                    " not removed; " + decimal(summary.files) + " files in " + decimal(summary.dirs) + " folders";
    if (const std::string passed = PassedOverLine(summary.passedOver); !passed.empty())
        entry.message += "; " + passed;
    const auto field = [&](const char* name, std::string value) { entry.fields.emplace_back(name, std::move(value)); };
    field("FOLDER", summary.folder);
    field("FOLDERS", decimal(summary.dirs));
    field("FILES", decimal(summary.files));
    field("FINDINGS", decimal(summary.rows));
    field("REMOVED", decimal(summary.removed));
    field("UNREMOVED", decimal(summary.stillPresent));
    field("PASSED_OVER", decimal(summary.passedOver.total()));
    for (const PassedOver::Reason reason : kPassReasons) {
        std::string name = "PASSED_OVER_" + std::string(ReasonName(reason));
        for (char& c : name)
            c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        entry.fields.emplace_back(name, decimal(summary.passedOver.count(reason)));
    }
    for (const auto& [error, count] : summary.passedOver.listErrors())
        field("UNLISTED_ERRORS", ErrorName(error) + " " + decimal(count));
    field("CANCELED", summary.canceled ? "1" : "0");
    field("DURATION_SECONDS", std::to_string(summary.duration.count()));
    field("END_TIMESTAMP_SECONDS",
          decimal(double(std::chrono::duration_cast<std::chrono::seconds>(summary.ended.time_since_epoch()).count())));
    field("LIST_ENTRIES", decimal(summary.lookedFor));
    if (summary.listVersion)
        field("LIST_VERSION", std::to_string(*summary.listVersion));
    field("EXIT_STATUS", decimal(std::size_t(unsigned(exitStatus))));
    return entry;
}

std::string WriteScanMetrics(const ScanSummary& summary, int exitStatus, const std::string& metricsFile)
{
    return WriteFileAtomically(metricsFile, ScanMetrics(summary, exitStatus));
}

}  // namespace ombrix
