#include "Win32Questions.h"

#include "Win32.h"

#include <commdlg.h>

#include <vector>

#include "MessagePump.h"

namespace ombrix {

bool Win32Questions::confirm(const std::string& text)
{
    // What the questions lead to cannot all be undone: a stray Enter says no.
    return MessageBoxA(MessagePump::activeWindow(), text.c_str(), "Ombrix", MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> Win32Questions::saveAs(const std::string& title, const std::string& suggestedPath)
{
    std::vector<char> path(32768, '\0');
    suggestedPath.copy(path.data(), path.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MessagePump::activeWindow();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = title.c_str();
    // No question about replacing: the quarantine never overwrites, and a path
    // that is taken is asked for again.
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog))
        return std::nullopt;
    return std::string(path.data());
}

}  // namespace ombrix
