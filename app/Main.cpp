// The program's entry point: module start-up in its fixed order, the main window, the
// message loop, and finalisation in reverse.
#include <windows.h>
#include "app/AppStartup.h"
#include "framework/Application.h"
#include "rtl/Exceptions.h"

// The fatal box reports the address of the start-up code that the error escaped from:
// C++ errors carry no address of their own.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    ProgramModules modules;
    try {
        modules.Initialize();
        RunMainWindow(showCommand);
    } catch (const Exception& error) {
        ShowFatalError(error, reinterpret_cast<const void*>(&RunMainWindow));
        return 1;
    } catch (const std::exception& error) {
        ShowFatalError(Exception(error.what()), reinterpret_cast<const void*>(&RunMainWindow));
        return 1;
    } catch (...) {
        ShowFatalError(Exception("不明なエラーが発生しました"), reinterpret_cast<const void*>(&RunMainWindow));
        return 1;
    }
    return 0;
}
