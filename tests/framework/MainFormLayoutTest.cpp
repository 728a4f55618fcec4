// Form1 as its stored layout builds it, read back from the real windows and controls.
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include "app/Unit1.h"
#include "dialogs/OpenPictureDialog.h"
#include "dialogs/PrintDialog.h"
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Application.h"
#include "graphics/bitmap/Bitmap.h"
#include "support/UiDriver.h"

namespace {

LOGFONTA FontOf(HFONT font) {
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    return lf;
}

class MainFormTest : public testing::Test {
protected:
    void SetUp() override {
        Application().Initialize();
        form_ = std::make_unique<TForm1>();
        form_->Show(SW_SHOWNORMAL);
    }
    std::unique_ptr<TForm1> form_;
};

}  // namespace

TEST_F(MainFormTest, WindowHasTheLayoutsCaptionPlaceAndClass) {
    HWND window = form_->WindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(form_->Name, "Form1");
    EXPECT_EQ(WindowText(window), "Tetrafol");
    EXPECT_EQ(ClassNameOf(window), "TForm1");
    // Its place and size on the screen are checked where the program runs (MainWindowTest).
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);  // sizeable, title bar, min/max
    EXPECT_EQ(form_->Color(), clBtnFace);
    EXPECT_EQ(form_->Font().Name, "ＭＳ Ｐゴシック");
    EXPECT_EQ(form_->Font().Height, -12);
    EXPECT_EQ(form_->Font().Charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(form_->Font().Style, 0u);
    // The class icon is the program's own MAINICON.
    EXPECT_NE(reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON)), nullptr);
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), "MAINICON", MAKEINTRESOURCEA(14)), nullptr);
}

TEST_F(MainFormTest, ComponentsStandInLayoutOrderWithTheirBoundsAndTakeTheClicksThere) {
    struct Expected {
        const char* name;
        TRect bounds;
    };
    const Expected expected[] = {
        {"Label4", Rect(208, 160, 369, 281)}, {"Image4", Rect(208, 160, 368, 280)},
        {"Label3", Rect(16, 160, 176, 280)},  {"Label2", Rect(208, 16, 368, 136)},
        {"Label1", Rect(16, 16, 176, 136)},   {"Image1", Rect(16, 16, 176, 136)},
        {"Image2", Rect(208, 16, 368, 136)},  {"Image3", Rect(16, 160, 176, 280)},
        {"Button1", Rect(56, 296, 145, 329)}, {"Button2", Rect(256, 296, 337, 329)},
    };
    const auto& controls = form_->Controls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i]->Name, expected[i].name) << i;
        EXPECT_EQ(controls[i]->BoundsRect(), expected[i].bounds) << expected[i].name;
    }
    // The buttons' windows stand where their bounds say.
    for (TButton* button : {form_->Button1, form_->Button2}) {
        const RECT r = ChildRectInClient(form_->WindowHandle(), button->WindowHandle());
        EXPECT_EQ(Rect(r.left, r.top, r.right, r.bottom), button->BoundsRect()) << button->Name;
    }
    const auto& components = form_->Components();
    ASSERT_EQ(components.size(), 12u);
    EXPECT_EQ(components[10]->Name, "OpenPictureDialog1");
    EXPECT_EQ(components[11]->Name, "PrintDialog1");
    EXPECT_EQ(form_->PrintDialog1->Copies(), 1);
    EXPECT_EQ(form_->OpenPictureDialog1->FileName(), "");

    // Clicks go to the last control in list order that holds the point.
    EXPECT_EQ(form_->ControlAtPos({16, 16}), form_->Image1);
    EXPECT_EQ(form_->ControlAtPos({175, 135}), form_->Image1);
    EXPECT_EQ(form_->ControlAtPos({176, 135}), nullptr);
    EXPECT_EQ(form_->ControlAtPos({367, 279}), form_->Image4);
    // Label4's extra column and row, outside Image4.
    EXPECT_EQ(form_->ControlAtPos({368, 200}), form_->Label4);
    EXPECT_EQ(form_->ControlAtPos({300, 280}), form_->Label4);
    EXPECT_EQ(form_->ControlAtPos({100, 150}), nullptr);
    // A click on Label4's strip runs nothing: it has no handler.
    EXPECT_TRUE(form_->Label4->OnClick == nullptr);
}

TEST_F(MainFormTest, LabelsAreWhiteBoldPlaceholdersImagesCentredButtonsInTabOrder) {
    for (TLabel* label : {form_->Label1, form_->Label2, form_->Label3, form_->Label4}) {
        EXPECT_EQ(label->Caption(), "未設定");
        EXPECT_EQ(label->Alignment(), taCenter);
        EXPECT_EQ(label->Layout(), tlCenter);
        EXPECT_FALSE(label->AutoSize());
        EXPECT_FALSE(label->WordWrap());
        EXPECT_FALSE(label->Transparent());
        EXPECT_EQ(label->Color(), clWhite);
        EXPECT_EQ(label->BiDiMode, bdLeftToRight);
        LOGFONTA lf = FontOf(label->Font().Handle());
        EXPECT_STREQ(lf.lfFaceName, "ＭＳ Ｐゴシック");
        EXPECT_EQ(lf.lfHeight, -24);
        EXPECT_EQ(lf.lfWeight, 700);
        EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_FALSE(lf.lfItalic);
        EXPECT_EQ(label->Font().Color, clWindowText);
    }
    for (TImage* image : {form_->Image1, form_->Image2, form_->Image3, form_->Image4}) {
        EXPECT_TRUE(image->Center());
        EXPECT_TRUE(image->Proportional());
        EXPECT_FALSE(image->Stretch());
        EXPECT_FALSE(image->Transparent());
        EXPECT_FALSE(image->IncrementalDisplay);
        EXPECT_EQ(image->Picture().Graphic(), nullptr);
        EXPECT_TRUE(image->OnClick != nullptr);
    }
    // The buttons: push buttons in tab order with the window's font.
    HWND window = form_->WindowHandle();
    HWND b1 = form_->Button1->WindowHandle(), b2 = form_->Button2->WindowHandle();
    ASSERT_TRUE(b1 && b2);
    EXPECT_EQ(WindowText(b1), "印刷");
    EXPECT_EQ(WindowText(b2), "クリア");
    for (HWND b : {b1, b2}) {
        LONG style = GetWindowLongA(b, GWL_STYLE);
        EXPECT_TRUE(style & WS_TABSTOP);
        EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON);  // default-push styling is the dialog manager's
        EXPECT_EQ(ClassNameOf(b), "Button");
        LOGFONTA lf = FontOf(reinterpret_cast<HFONT>(SendMessageA(b, WM_GETFONT, 0, 0)));
        EXPECT_STREQ(lf.lfFaceName, "ＭＳ Ｐゴシック");
        EXPECT_EQ(lf.lfHeight, -12);
        EXPECT_EQ(lf.lfWeight, 400);
    }
    EXPECT_EQ(GetNextDlgTabItem(window, b1, FALSE), b2);
    EXPECT_EQ(GetNextDlgTabItem(window, b2, FALSE), b1);
}

TEST_F(MainFormTest, ClearInstallsOneEmptyBitmapPerSlotWithOneRepaintRequestEach) {
    std::map<TControl*, int> requests;
    form_->OnRepaintRequest = [&](TControl* c, bool) { ++requests[c]; };
    for (int round = 0; round < 2; ++round) {  // also from the cleared state
        requests.clear();
        form_->Button2->Click();
        for (TImage* image : {form_->Image1, form_->Image2, form_->Image3, form_->Image4}) {
            TGraphic* graphic = image->Picture().Graphic();
            ASSERT_NE(graphic, nullptr);
            EXPECT_STREQ(graphic->ClassName(), "TBitmap");
            EXPECT_TRUE(graphic->IsEmpty());
            EXPECT_EQ(requests[image], 1) << image->Name;
        }
        EXPECT_EQ(requests.size(), 4u);
        // Each slot owns its own copy.
        EXPECT_NE(form_->Image1->Picture().Graphic(), form_->Image2->Picture().Graphic());
    }
}
