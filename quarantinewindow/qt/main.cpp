// ombrix-quarantine-window: "Ombrix Quarantine", the quarantined files listed
// to restore, delete or find their folder with the mouse or the keyboard.
#include <QApplication>

#include "FileManager.h"
#include "QtMessageBox.h"
#include "QtQuestions.h"
#include "SystemQuarantine.h"
#include "QuarantineView.h"
#include "frmQuarantine.h"

using namespace ombrix;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SystemQuarantine quarantine;
    QtQuestions questions;
    QtMessageBox messages;
    SystemFileManager fileManager;
    frmQuarantine form(quarantine, questions, messages, fileManager);
    QuarantineView view(form);
    view.show();
    return app.exec();
}
