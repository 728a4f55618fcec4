// The common-dialog base: the modal run's restorations, the help message and the
// attachment of the system dialog's window to its object.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/CommonDialog.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogsModule.h"
#include "dialogs/OpenDialog.h"
#include "dialogs/PrintDialog.h"
#include "rtl/Exceptions.h"
#include "support/ModalOwnerWatch.h"
#include "support/SystemDialogAnswerer.h"

namespace {

class ProbeDialog : public TCommonDialog {
public:
    bool RunModal() override { return false; }
    using TCommonDialog::RunTaskModal;
};

uint16_t ControlWord() {
    uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

// What some system dialogs leave behind.
void LoadForeignControlWord() {
    const uint16_t foreign = 0x027F;
    asm volatile("fldcw %0" : : "m"(foreign));
}

TEST(CommonDialogHelp, OnlyTheRegisteredHelpMessageWithATopic) {
    InitDialogsModule();
    EXPECT_EQ(HelpMessage(), RegisterWindowMessageA("commdlg_help"));
    EXPECT_NE(HelpMessage(), 0u);

    ProbeDialog dialog;
    int shown = 0;
    DialogHost().ShowHelp = [&](int topic) { shown = topic; };
    EXPECT_FALSE(dialog.HelpMessageHook(HelpMessage()));  // HelpContext 0: never acts
    dialog.HelpContext = 42;
    EXPECT_FALSE(dialog.HelpMessageHook(WM_HELP));
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(dialog.HelpMessageHook(HelpMessage()));
    EXPECT_EQ(shown, 42);
    DialogHost().ShowHelp = nullptr;
}

TEST(CommonDialogRun, DisablesWindowsHooksAndRestoresTheControlWord) {
    HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ProbeDialog dialog;
    int hooked = 0, unhooked = 0;
    DialogHost().HookApplication = [&](TCommonDialog& d) { hooked += &d == &dialog; };
    DialogHost().UnhookApplication = [&](TCommonDialog& d) { unhooked += &d == &dialog; };

    const uint16_t before = ControlWord();
    bool disabledInside = false, registeredInside = false;
    const BOOL result = dialog.RunTaskModal(nullptr, [&] {
        disabledInside = !IsWindowEnabled(window);
        registeredInside = DialogBeingCreated() == &dialog;
        LoadForeignControlWord();
        return TRUE;
    });
    EXPECT_EQ(result, TRUE);
    EXPECT_TRUE(disabledInside);
    EXPECT_TRUE(registeredInside);
    EXPECT_EQ(ControlWord(), before);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(DialogBeingCreated(), nullptr);
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(unhooked, 1);

    // Also when the dialog function fails.
    EXPECT_THROW(dialog.RunTaskModal(nullptr, [&]() -> BOOL {
        LoadForeignControlWord();
        throw std::runtime_error("dialog failed");
    }), std::runtime_error);
    EXPECT_EQ(ControlWord(), before);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(unhooked, 2);

    DialogHost().HookApplication = nullptr;
    DialogHost().UnhookApplication = nullptr;
    DestroyWindow(window);
}

// A system dialog run through the base: its window is the object's from WM_INITDIALOG
// until it is destroyed, and the show and close events fire once each.
class PageSetupProbe : public TCommonDialog {
public:
    bool RunModal() override {
        PAGESETUPDLGA record{};
        record.lStructSize = sizeof record;
        record.Flags = PSD_ENABLEPAGESETUPHOOK;
        record.lpfnPageSetupHook = reinterpret_cast<LPPAGESETUPHOOK>(&TCommonDialog::CentringHook);
        const bool confirmed = RunTaskModal(nullptr, [&] { return PageSetupDlgA(&record); }) != FALSE;
        if (record.hDevMode) GlobalFree(record.hDevMode);
        if (record.hDevNames) GlobalFree(record.hDevNames);
        return confirmed;
    }
};

TEST(CommonDialogRun, AttachesTheSystemWindowWhileItExistsAndShowsTheErrorsOfItsEvents) {
    PageSetupProbe dialog;
    HWND shownWith = nullptr;
    int shows = 0, closes = 0;
    dialog.OnShow = [&](TObject*) { ++shows; shownWith = dialog.Handle(); };
    dialog.OnClose = [&](TObject*) { ++closes; };
    HWND seen = nullptr;
    SystemDialogAnswerer cancel([&](HWND window) {
        seen = window;
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.RunModal());
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(shownWith, seen);
    EXPECT_EQ(dialog.Handle(), nullptr);

    // Whatever an event of the dialog's window raises stays inside its window procedure (it
    // must not unwind through the system dialog's code) and is shown; the dialog goes on.
    dialog.OnShow = [](TObject*) { throw std::runtime_error("show failed"); };
    dialog.OnClose = [](TObject*) { throw 42; };
    std::vector<std::string> shown;
    DialogHost().ShowError = [&](const Exception& error) { shown.push_back(error.Message()); };
    SystemDialogAnswerer cancelAgain([](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
    bool confirmed = true;
    EXPECT_NO_THROW(confirmed = dialog.RunModal());
    cancelAgain.Wait();
    DialogHost().ShowError = nullptr;
    EXPECT_TRUE(cancelAgain.Answered());
    EXPECT_FALSE(confirmed);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "show failed");
    EXPECT_FALSE(shown[1].empty());
    EXPECT_EQ(dialog.Handle(), nullptr);
}

// A system dialog owned by the application window, which is never shown, is outside the
// owner chain of the main window whose taskbar button brings the program back: the system
// would bring back the disabled main window and leave the dialog behind. Owned by the form
// the user works in, it comes back with it; it is left to the dialog to disable and enable.
TEST(CommonDialogRun, SystemDialogsAreOwnedByTheActiveFormAndLeftToDisableIt) {
    HWND application = CreateWindowExA(0, "STATIC", "application", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       nullptr, nullptr);
    HWND form = CreateWindowExA(0, "STATIC", "form", WS_POPUP | WS_VISIBLE, 30, 30, 100, 60, nullptr, nullptr,
                                nullptr, nullptr);
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(application && form && other);
    DialogHost().ApplicationWindow = [=] { return application; };
    DialogHost().ActiveForm = [=] { return form; };
    TOpenDialog open;
    TPrintDialog print;
    const std::pair<const char*, TCommonDialog*> dialogs[] = {{"open", &open}, {"print", &print}};
    for (const auto& [name, dialog] : dialogs) {
        SCOPED_TRACE(name);
        HWND owner = nullptr;
        SystemDialogAnswerer cancel([&](HWND window) {
            owner = GetWindow(window, GW_OWNER);
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
        SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // disabling all starts there
        ModalOwnerWatch watch;
        EXPECT_FALSE(dialog->RunModal());
        ASSERT_TRUE(cancel.Answered());
        EXPECT_EQ(owner, form);
        EXPECT_EQ(watch.disabled, (std::vector<HWND>{other, form})) << "the owner was disabled first";
        EXPECT_EQ(watch.ownerEnabledAtEnd, std::vector<bool>{true});
    }
    DialogHost().ApplicationWindow = nullptr;
    DialogHost().ActiveForm = nullptr;
    DestroyWindow(other);
    DestroyWindow(form);
    DestroyWindow(application);
}

}  // namespace
