#include "Win32MessageBox.h"

#include "Win32.h"

#include "MessagePump.h"

namespace ombrix {

void Win32MessageBox::show(const std::string& text)
{
    MessageBoxA(MessagePump::activeWindow(), text.c_str(), "Ombrix", MB_OK);
}

}  // namespace ombrix
