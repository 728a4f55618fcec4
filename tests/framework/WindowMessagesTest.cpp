// What the framework does around its windows' messages: a modal form hands the activation
// back to its owner as a dialog box does.
#include <gtest/gtest.h>
#include <windows.h>
#include "framework/Form.h"

namespace {

// A plain owner window that notes, when it is enabled again, whether its modal window
// was still showing.
struct OwnerProbe {
    static HWND modal;
    static int enabled, enabledWhileModalShown;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ENABLE && wParam) {
            ++enabled;
            enabledWhileModalShown += modal && IsWindowVisible(modal);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};
HWND OwnerProbe::modal = nullptr;
int OwnerProbe::enabled = 0, OwnerProbe::enabledWhileModalShown = 0;

}  // namespace

// A hidden active window passes the activation to its owner only when the owner is
// enabled; otherwise the system picks a window, maybe another program's. Wine gives it
// back either way, so the order is what is tested.
TEST(ModalForm, TheOwnerIsEnabledBeforeTheModalWindowHides) {
    WNDCLASSA type{};
    type.lpfnWndProc = &OwnerProbe::Procedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "TetrafolOwnerProbe";
    RegisterClassA(&type);
    HWND owner = CreateWindowExA(0, type.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200,
                                 100, nullptr, nullptr, type.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);
    {
        TForm form;
        form.SetBounds(40, 40, 160, 80);
        form.OwnerWindow = owner;
        OwnerProbe::modal = form.Handle();
        PostMessageA(form.WindowHandle(), WM_CLOSE, 0, 0);  // ends the modal loop from inside it
        EXPECT_EQ(form.ShowModal(), IDCANCEL);
        EXPECT_FALSE(IsWindowVisible(form.WindowHandle()));
    }
    OwnerProbe::modal = nullptr;
    EXPECT_EQ(OwnerProbe::enabled, 1);
    EXPECT_EQ(OwnerProbe::enabledWhileModalShown, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}
