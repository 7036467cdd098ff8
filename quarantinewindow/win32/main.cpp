// ombrix-quarantine-window.exe: "Ombrix Quarantine", the quarantined files listed
// to restore, delete or find their folder with the mouse or the keyboard.
#include "Win32.h"

#include "FileManager.h"
#include "MessagePump.h"
#include "QuarantineView.h"
#include "SystemQuarantine.h"
#include "Win32MessageBox.h"
#include "Win32Questions.h"
#include "frmQuarantine.h"

using namespace ombrix;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    SystemQuarantine quarantine;
    Win32Questions questions;
    Win32MessageBox messages;
    SystemFileManager fileManager;
    frmQuarantine form(quarantine, questions, messages, fileManager);
    QuarantineView view(form);
    view.show();
    MessagePump::run();
    return 0;
}
