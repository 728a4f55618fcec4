// Start-up of the dialogs module: registers the common dialogs' help message.
#pragma once
#include <windows.h>

void InitDialogsModule();
// The window message registered under "commdlg_help" (0 before InitDialogsModule).
UINT HelpMessage();
