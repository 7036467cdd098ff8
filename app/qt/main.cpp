// ombrix: the main window, or with /scannow a silent scan of the program's own drive.
#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "FileManager.h"
#include "FolderList.h"
#include "InstanceLock.h"
#include "MainWindowView.h"
#include "MessageBox.h"
#include "Paths.h"
#include "QtMessageBox.h"
#include "Termination.h"
#include "frmMain.h"
#include "mDisk.h"
#include "mExe.h"
#include "mRegistry.h"

namespace {

using namespace ombrix;

// A run without a window has no one to answer a message box; a silent scan
// asks for none.
class NoMessageBox final : public MessageBox {
public:
    void show(const std::string&) override {}
};

// The platform behind the main window. The mount table is read once.
MainEnvironment systemEnvironment(std::vector<std::string> words, const mDisk::MountTable& mounts,
                                  std::optional<InstanceLock>& lock)
{
    MainEnvironment env;
    env.programFolder = ProgramFolder();
    env.commandLineWords = std::move(words);
    env.anotherCopyRunning = [&lock] {
        lock = InstanceLock::acquire();
        if (lock && !lock->held())
            std::fprintf(stderr, "ombrix: running without the single-instance lock: %s\n", lock->unusable().c_str());
        return !lock.has_value();
    };
    env.readSetting = [](const std::string& keyPath, const std::string& name, const std::string& fallback) {
        return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, keyPath, name, fallback);
    };
    env.driveRoots = [&mounts] { return mDisk::GetDriveRoots(mounts); };
    env.driveTypeText = [&mounts](const std::string& root) { return mDisk::DriveTypeText(root, mounts); };
    env.driveRootOf = [&mounts](const std::string& path) { return mDisk::DriveRootOf(path, mounts); };
    env.listSubfolders = ListSubfolders;
    env.launch = mExe::ShellOpen;
    return env;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> words(argv + 1, argv + argc);
    const mDisk::MountTable mounts;
    std::optional<InstanceLock> lock;
    SystemFileManager fileManager;

    watchTermination();

    // The command-line road needs no display: no Qt application, no widget.
    if (CommandLine::IsScanNow(CommandLine::Text(words))) {
        NoMessageBox noMessages;
        frmMain form(systemEnvironment(std::move(words), mounts, lock), noMessages, fileManager);
        form.Form_Load();
        // As ombrix-scan tells it: a scheduler learns that the scan did not finish.
        return form.scanWindow().canceled ? 3 : 0;
    }

    QApplication app(argc, argv);
    QtMessageBox messages;
    frmMain form(systemEnvironment(std::move(words), mounts, lock), messages, fileManager);
    MainWindowView view(form);
    if (form.Form_Load() != frmMain::Road::Interactive)
        return 0;
    view.syncFromForm();

    // A logout or a kill cancels a running scan as the Cancel button does; the
    // scan still records its values, and the program ends when it returns.
    std::optional<QSocketNotifier> termination;
    if (terminationDescriptor() >= 0) {
        termination.emplace(terminationDescriptor(), QSocketNotifier::Read);
        QObject::connect(&*termination, &QSocketNotifier::activated, [&form, &termination] {
            termination->setEnabled(false);
            form.close();
            QCoreApplication::exit(0);
        });
    }
    return app.exec();
}
