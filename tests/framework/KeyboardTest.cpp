// Keyboard navigation between a form's buttons through the application's message step:
// Tab moves along the tab order, Enter and Space press the focused button.
#include <gtest/gtest.h>
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "support/UiDriver.h"

namespace {

class KeyboardTest : public testing::Test {
protected:
    void SetUp() override {
        form_.ReadLayout(ParseLayout(
            "form KeyForm TForm\n  Left 60\n  Top 60\n  Width 300\n  Height 200\n"
            "component Second TButton\n  Left 150\n  Top 20\n  TabOrder 1\n  OnClick SecondClick\n"
            "component First TButton\n  Left 20\n  Top 20\n  TabOrder 0\n  OnClick FirstClick\n"));
        first_ = form_.Component<TButton>("First");
        second_ = form_.Component<TButton>("Second");
        form_.Show(SW_SHOWNORMAL);
        SetForegroundWindow(form_.WindowHandle());
    }
    // Posts a key press to the focused window and runs the application's message steps.
    void Press(WPARAM key) {
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, key, 1);
        PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
        Application().ProcessMessages();
    }

    struct KeyForm : TForm {
        int firstClicks = 0, secondClicks = 0;
        KeyForm() {
            RegisterHandler("FirstClick", [this](TObject*) { ++firstClicks; });
            RegisterHandler("SecondClick", [this](TObject*) { ++secondClicks; });
        }
    } form_;
    TButton* first_ = nullptr;
    TButton* second_ = nullptr;
};

}  // namespace

TEST_F(KeyboardTest, TabOrderDecidesFocusNotCreationOrderEnterAndSpacePressTheFocusedButton) {
    EXPECT_EQ(GetFocus(), first_->WindowHandle()) << "the first tab stop has the focus when the form shows";
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), second_->WindowHandle());
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), first_->WindowHandle());
    EXPECT_EQ(form_.firstClicks + form_.secondClicks, 0);

    SetFocus(second_->WindowHandle());
    Press(VK_RETURN);
    EXPECT_EQ(form_.secondClicks, 1);
    EXPECT_EQ(form_.firstClicks, 0);
    SetFocus(first_->WindowHandle());
    Press(VK_SPACE);
    EXPECT_EQ(form_.firstClicks, 1);
    EXPECT_EQ(form_.secondClicks, 1);
}
