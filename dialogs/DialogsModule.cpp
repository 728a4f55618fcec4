#include "dialogs/DialogsModule.h"

namespace {
UINT g_helpMessage = 0;
}

void InitDialogsModule() { g_helpMessage = RegisterWindowMessageA("commdlg_help"); }

UINT HelpMessage() { return g_helpMessage; }
