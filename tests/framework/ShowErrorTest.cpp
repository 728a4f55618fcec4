// ShowError puts up a real error box: captioned with the title, owned by the active form
// (so the taskbar brings it back with the form), with the program's other windows disabled
// while it shows, the owner left to the box to disable and enable again.
#include <gtest/gtest.h>
#include "framework/Application.h"
#include "framework/Form.h"
#include "rtl/Exceptions.h"
#include "support/ModalOwnerWatch.h"
#include "support/SystemDialogAnswerer.h"
#include "support/UiDriver.h"

namespace {

struct BoxSeen {
    bool found = false;
    std::string caption, text;
    HWND owner = nullptr;
    bool formEnabledWhileShown = true;
};

// Watches for the box the calling thread is about to show, notes what it shows and answers
// it with OK. `found` is set before the answer, so it holds once the box's ShowError returned.
struct BoxWatcher : BoxSeen {
    explicit BoxWatcher(HWND form)
        : answerer([this, form](HWND box) {
              found = true;
              caption = WindowText(box);
              text = AppProcess::MessageBoxText(box);
              owner = GetWindow(box, GW_OWNER);
              formEnabledWhileShown = form ? IsWindowEnabled(form) != FALSE : true;
              PressButton(box, IDOK);
          }, 10000) {}
    const BoxSeen& Finish() {
        answerer.Wait();
        return *this;
    }
    SystemDialogAnswerer answerer;
};

class ShowErrorTest : public testing::Test {
protected:
    void SetUp() override {
        Application().Initialize();
        form_.SetBounds(100, 100, 300, 200);
        form_.SetCaption("ShowErrorTest");
        form_.Show(SW_SHOWNORMAL);
        SetActiveWindow(form_.WindowHandle());
    }
    TForm form_;
};

}  // namespace

TEST_F(ShowErrorTest, ShowsTheMessageWithItsFullStopInABoxOwnedByTheActiveForm) {
    TForm other;
    other.Show(SW_SHOWNOACTIVATE);
    HWND form = form_.WindowHandle();
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // where disabling all would start
    SetCapture(form);
    ASSERT_EQ(GetCapture(), form);
    BoxWatcher watcher(form);
    ModalOwnerWatch watch;
    Application().ShowError(EInvalidGraphic("画像フォーマットが不正です"));
    const BoxSeen& seen = watcher.Finish();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "unit_tests") << "the application's title";
    EXPECT_EQ(seen.text, "画像フォーマットが不正です.");
    EXPECT_EQ(seen.owner, form);
    EXPECT_FALSE(seen.formEnabledWhileShown);
    EXPECT_EQ(watch.disabled, (std::vector<HWND>{other.WindowHandle(), form})) << "the owner was disabled first";
    EXPECT_EQ(watch.ownerEnabledAtEnd, std::vector<bool>{true});
    EXPECT_TRUE(IsWindowEnabled(other.WindowHandle()));
    // Capture was cancelled before the box, and the form is usable again afterwards.
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form));
    EXPECT_EQ(GetActiveWindow(), form);
}

// A silent error shows nothing; the watcher's silence counts only if it sees a box that is
// shown, so the box shown next must be the first it sees.
TEST_F(ShowErrorTest, MessagesEndingInAFullStopOrBracketAreShownAsTheyAreASilentErrorNotAtAll) {
    for (const char* message : {"拡張子 .png の画像形式は処理できません.", "失敗しました (3)"}) {
        BoxWatcher watcher(form_.WindowHandle());
        Application().ShowError(EAbort("中止"));
        ASSERT_FALSE(watcher.found) << "the silent error showed a box";
        Application().ShowError(EInvalidGraphic(message));
        const BoxSeen& seen = watcher.Finish();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.text, message);
    }
}

TEST_F(ShowErrorTest, AnErrorEscapingAWindowHandlerEndsInTheBoxAndTheProgramGoesOn) {
    // A click handler that fails: the window procedure must not let the error out.
    struct FailingForm : TForm {
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_APP) throw EJPEG("JPEG エラー #5");
            return TForm::WindowProc(message, wParam, lParam);
        }
    } failing;
    failing.SetBounds(120, 120, 200, 100);
    failing.Show(SW_SHOWNORMAL);
    BoxWatcher watcher(nullptr);
    LRESULT result = SendMessageA(failing.WindowHandle(), WM_APP, 0, 0);
    const BoxSeen& seen = watcher.Finish();
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "JPEG エラー #5.");
    EXPECT_TRUE(IsWindow(failing.WindowHandle()));
}
