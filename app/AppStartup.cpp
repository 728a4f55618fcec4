#include "app/AppStartup.h"
#include <memory>
#include "app/Unit1.h"
#include "dialogs/CommonDialog.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogsModule.h"
#include "framework/Application.h"
#include "framework/FloatingPoint.h"
#include "framework/TaskWindows.h"
#include "graphics/GraphicsModule.h"
#include "graphics/jpeg/JPEGModule.h"
#include "printing/Printer.h"

namespace {

void PumpMessages() { Application().ProcessMessages(); }

// What the common dialogs need of the window framework.
void ConnectDialogHost() {
    TDialogHost& host = DialogHost();
    host.ApplicationWindow = [] { return Application().Handle(); };
    host.MainWindow = []() -> HWND {
        TForm* form = Application().MainForm();
        return form ? form->WindowHandle() : nullptr;
    };
    host.ActiveForm = []() -> HWND {
        TForm* form = Application().ActiveForm();
        return form && form->Active() ? form->WindowHandle() : nullptr;
    };
    host.DisableTaskWindows = [](HWND owner) -> std::function<void()> {
        auto disabled = std::make_shared<std::unique_ptr<TaskWindowsDisabled>>(std::make_unique<TaskWindowsDisabled>(owner));
        return [disabled] { disabled->reset(); };
    };
    auto hooks = std::make_shared<std::vector<std::pair<TCommonDialog*, int>>>();
    host.HookApplication = [hooks](TCommonDialog& dialog) {
        TCommonDialog* d = &dialog;
        int id = Application().AddMessageHook([d](UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (!d->HelpMessageHook(message)) return false;
            result = 0;
            return true;
        });
        hooks->emplace_back(d, id);
    };
    host.UnhookApplication = [hooks](TCommonDialog& dialog) {
        for (auto it = hooks->begin(); it != hooks->end(); ++it)
            if (it->first == &dialog) {
                Application().RemoveMessageHook(it->second);
                hooks->erase(it);
                return;
            }
    };
    host.ShowHelp = [](int) {};  // the program carries no help file
    host.ShowError = [](const Exception& error) { Application().ShowError(error); };
}

}  // namespace

void ProgramModules::Initialize() {
    InitFloatingPoint();
    InitGraphicsModule();
    started_ = 1;
    InitDialogsModule();
    started_ = 2;
    InitJPEGModule();
    started_ = 3;
    CreateApplication();
    ConnectDialogHost();
    SetPrintingMessagePump(&PumpMessages);
    started_ = 4;
    Application().Initialize();
}

ProgramModules::~ProgramModules() {
    // The printer goes first of the late modules: its destruction finishes an open job.
    if (started_ >= 4) {
        DestroyApplication();
        Form1 = nullptr;
        SetPrintingMessagePump(nullptr);
        DialogHost() = TDialogHost{};
    }
    FinalizePrintingModule();
    if (started_ >= 3) FinalizeJPEGModule();
    if (started_ >= 1) FinalizeGraphicsModule();
}

void RunMainWindow(int showCommand) {
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    Application().AdoptForm(std::move(form));
    Application().Run(showCommand);
}
