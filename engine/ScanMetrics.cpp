#include "ScanMetrics.h"

#include <cstdio>

#include "Text.h"
#include "Utf8.h"

namespace ombrix {

namespace {

// One gauge: its HELP and TYPE lines and one sample per label set given.
class Family {
public:
    Family(std::string& out, const char* name, const char* help) : out_(out), name_(name)
    {
        out_ += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
    }
    void sample(const std::string& labels, const std::string& value)
    {
        out_ += name_ + "{" + labels + "} " + value + "\n";
    }

private:
    std::string& out_;
    std::string name_;
};

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

}  // namespace

std::string MetricLabel(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size();) {
        const char c = value[i];
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
            ++i;
        } else if (c == '\n') {
            out += "\\n";
            ++i;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
            ++i;
        } else if (const std::size_t length = utf8SequenceLength(value, i); length > 0) {
            out.append(value.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string ScanMetrics(const ScanSummary& summary, int exitStatus)
{
    std::string out;
    const std::string folder = "folder=\"" + MetricLabel(summary.folder) + "\"";
    const auto gauge = [&](const char* name, const char* help, const std::string& value) {
        Family(out, name, help).sample(folder, value);
    };
    gauge("ombrix_scan_folders", "Folders the scan visited, the start folder included.", decimal(summary.dirs));
    gauge("ombrix_scan_files", "Entries the scan tested that are not folders.", decimal(summary.files));
    gauge("ombrix_scan_findings", "Files whose names the signature list names.", decimal(summary.rows));
    gauge("ombrix_scan_removed_findings", "Findings that are gone at the end of the scan.", decimal(summary.removed));
    gauge("ombrix_scan_unremoved_findings", "Selected findings still present at the end of the scan.",
          decimal(summary.stillPresent));
    Family passed(out, "ombrix_scan_passed_over_folders",
                  "Folders the scan met but did not scan, by reason (and error, for folders it could not list).");
    for (const PassedOver::Reason reason : kPassReasons) {
        const std::string labels = folder + ",reason=\"" + std::string(ReasonName(reason)) + "\"";
        const bool byError = reason == PassedOver::Reason::CouldNotList && !summary.passedOver.listErrors().empty();
        if (!byError)
            passed.sample(labels, decimal(summary.passedOver.count(reason)));
        else
            for (const auto& [error, count] : summary.passedOver.listErrors())
                passed.sample(labels + ",error=\"" + MetricLabel(ErrorName(error)) + "\"", decimal(count));
    }
    gauge("ombrix_scan_duration_seconds", "How long the scan took.", seconds(summary.duration.count()));
    const auto ended = std::chrono::duration<double>(summary.ended.time_since_epoch()).count();
    gauge("ombrix_scan_end_timestamp_seconds", "When the scan ended, in seconds since the Unix epoch.",
          seconds(ended));
    gauge("ombrix_scan_list_entries", "Entries of the signature list the scan looked for.",
          decimal(summary.lookedFor));
    if (summary.listVersion)
        gauge("ombrix_scan_list_version", "The version the signature list declares.",
              std::to_string(*summary.listVersion));
    gauge("ombrix_scan_exit_status", "The exit status of the program that ran the scan.",
          decimal(std::size_t(unsigned(exitStatus))));
    return out;
}

}  // namespace ombrix
