// ombrix.exe: the main window, or with /scannow a silent scan of the program's own drive.
#include "Win32.h"

#include <string>
#include <vector>

#include "FileManager.h"
#include "MainWindowView.h"
#include "MessagePump.h"
#include "SystemEnvironment.h"
#include "Termination.h"
#include "Win32MessageBox.h"
#include "frmMain.h"

using namespace ombrix;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    // The text after the program's name, as the user typed it: the command
    // line's blanks and quotes stay as they are.
    std::vector<std::string> words;
    if (commandLine && *commandLine)
        words.emplace_back(commandLine);
    SystemEnvironment system(std::move(words));
    watchTermination();

    if (system.scanNow())
        return RunSilentScan(system);

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    Win32MessageBox messages;
    SystemFileManager fileManager;
    frmMain form(system.environment(), messages, fileManager);
    MainWindowView view(form);
    if (form.Form_Load() != frmMain::Road::Interactive)
        return 0;
    view.syncFromForm();
    MessagePump::run();
    return 0;
}
