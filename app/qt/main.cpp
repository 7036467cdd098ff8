// ombrix: the main window, or with /scannow a silent scan of the program's own drive.
#include <QApplication>
#include <QSocketNotifier>

#include <optional>
#include <string>
#include <vector>

#include "FileManager.h"
#include "MainWindowView.h"
#include "QtMessageBox.h"
#include "SystemEnvironment.h"
#include "Termination.h"
#include "frmMain.h"

using namespace ombrix;

int main(int argc, char** argv)
{
    SystemEnvironment system(std::vector<std::string>(argv + 1, argv + argc));
    watchTermination();

    // The command-line road needs no display: no Qt application, no widget.
    if (system.scanNow())
        return RunSilentScan(system);

    QApplication app(argc, argv);
    QtMessageBox messages;
    SystemFileManager fileManager;
    frmMain form(system.environment(), messages, fileManager);
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
