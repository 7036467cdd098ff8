#pragma once

// The Windows headers as the views use them. windows.h names some functions
// with macros (MessageBox, DeleteFile) that would rename the program's own
// classes and functions of those names: they go, and the views call the "A"
// functions by their full names.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#undef MessageBox
#undef DeleteFile
