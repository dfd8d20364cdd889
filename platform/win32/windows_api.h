#pragma once
// <windows.h> for this program's Win32 code. MessageBox is a macro there, which would rename
// the Dialogs::MessageBox member in some files and not in others; the code calls MessageBoxA.
#include <windows.h>

#undef MessageBox
