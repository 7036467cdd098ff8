#include "SystemEnvironment.h"

#include <cstdio>
#include <utility>

#include "CommandLine.h"
#include "FileManager.h"
#include "FolderList.h"
#include "MessageBox.h"
#include "Paths.h"
#include "ScanReport.h"
#include "frmMain.h"
#include "mExe.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace ombrix {

namespace {

// A run without a window has no one to answer a message box; a silent scan
// asks for none.
class NoMessageBox final : public MessageBox {
public:
    void show(const std::string&) override {}
};

// A scheduled run tells the system log, and the metrics file the stored value
// "Metrics File" names, if any. A run that did not scan (another copy runs)
// reports nothing.
void ReportSilentScan(const ScanSummary& scan, int status, const std::string& regpath)
{
    WriteSystemLog(ScanLogEntry(scan, status, "ombrix"));
    const std::string file = mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, regpath, "Metrics File", "");
    if (file.empty())
        return;
    if (const std::string why = WriteScanMetrics(scan, status, file); !why.empty())
        std::fprintf(stderr, "ombrix: cannot write the metrics file %s: %s\n", file.c_str(), why.c_str());
}

}  // namespace

SystemEnvironment::SystemEnvironment(std::vector<std::string> commandLineWords)
    : words_(std::move(commandLineWords))
{
}

bool SystemEnvironment::scanNow() const
{
    return CommandLine::IsScanNow(CommandLine::Text(words_));
}

MainEnvironment SystemEnvironment::environment()
{
    MainEnvironment env;
    env.programFolder = ProgramFolder();
    env.commandLineWords = words_;
    env.anotherCopyRunning = [this] {
        lock_ = InstanceLock::acquire();
        if (lock_ && !lock_->held())
            std::fprintf(stderr, "ombrix: running without the single-instance lock: %s\n",
                         lock_->unusable().c_str());
        return !lock_.has_value();
    };
    env.readSetting = [](const std::string& keyPath, const std::string& name, const std::string& fallback) {
        return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, keyPath, name, fallback);
    };
    env.driveRoots = [this] { return mDisk::GetDriveRoots(mounts_); };
    env.driveTypeText = [this](const std::string& root) { return mDisk::DriveTypeText(root, mounts_); };
    env.driveRootOf = [this](const std::string& path) { return mDisk::DriveRootOf(path, mounts_); };
    env.listSubfolders = ListSubfolders;
    env.launch = mExe::ShellOpen;
    return env;
}

int RunSilentScan(SystemEnvironment& system)
{
    NoMessageBox noMessages;
    SystemFileManager fileManager;
    frmMain form(system.environment(), noMessages, fileManager);
    // A scheduler must not record a run that scanned nothing as a clean one.
    if (form.Form_Load() == frmMain::Road::AnotherCopy)
        return kAnotherCopyStatus;
    // A walk that missed folders for want of descriptors did not finish either.
    const int status = form.scanWindow().canceled || mFileSearch::Counts().Unreached > 0 ? 3 : 0;
    if (const auto& scan = form.scanWindow().lastScan())
        ReportSilentScan(*scan, status, form.regpath);
    return status;
}

}  // namespace ombrix
