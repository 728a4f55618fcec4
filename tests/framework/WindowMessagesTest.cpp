// What the framework does around its windows' messages: a modal form hands the activation
// back to its owner as a dialog box does, and bitmaps' drawing contexts go after a message
// whichever loop dispatched it.
#include <gtest/gtest.h>
#include <windows.h>
#include "framework/Form.h"
#include "framework/TaskWindows.h"
#include "graphics/bitmap/Bitmap.h"

namespace {

// A plain owner window that notes, when it is enabled again, whether its modal window
// was still showing.
struct OwnerProbe {
    static inline HWND modal = nullptr;
    static inline int enabled = 0, enabledWhileModalShown = 0;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ENABLE && wParam) {
            ++enabled;
            enabledWhileModalShown += modal && IsWindowVisible(modal);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};

// Draws into its bitmap on WM_APP, as a panel paints a picture. On WM_APP + 1, as a click
// handler that runs a system dialog, it disables the windows and has WM_APP dispatched
// to itself, as the dialog's loop would, and answers whether the context was gone after it.
struct DrawingForm : TForm {
    TBitmap bitmap;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) {
            bitmap.Canvas().FillRect(Rect(0, 0, 2, 2));
            return bitmap.Canvas().HandleAllocated();
        }
        if (message == WM_APP + 1) {
            TaskWindowsDisabled modal;
            return SendMessageA(WindowHandle(), WM_APP, 0, 0) && !bitmap.Canvas().HandleAllocated();
        }
        return TForm::WindowProc(message, wParam, lParam);
    }
};

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

// A system dialog's loop dispatches the messages of the preview strip inside it, with no
// step of the program's own after them; so does any loop that is not the program's.
TEST(WindowMessages, BitmapContextsGoWhenAMessageFromAnyLoopEnds) {
    DrawingForm form;
    form.bitmap.SetWidth(4);
    form.bitmap.SetHeight(4);
    ASSERT_EQ(SendMessageA(form.Handle(), WM_APP, 0, 0), 1) << "the drawing made a context";
    EXPECT_FALSE(form.bitmap.Canvas().HandleAllocated());
    EXPECT_EQ(SendMessageA(form.Handle(), WM_APP + 1, 0, 0), 1) << "inside a modal loop run from a message";
}
