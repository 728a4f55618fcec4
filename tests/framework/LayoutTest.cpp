// Reading a window from its stored layout text.
#include <gtest/gtest.h>
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Layout.h"
#include "rtl/Exceptions.h"

TEST(LayoutText, ListsTheFormAndItsComponentsInOrderAndRejectsMalformedText) {
    Layout layout = ParseLayout(
        "# comment\n"
        "form Form9 TForm\n"
        "  Caption Two words  \n"
        "  Left 5\r\n"
        "\n"
        "component B1 TButton\n"
        "  Caption 印刷\n"
        "component B2 TButton\n");
    EXPECT_EQ(layout.Form.Name, "Form9");
    EXPECT_EQ(layout.Form.ClassName, "TForm");
    ASSERT_EQ(layout.Form.Properties.size(), 2u);
    EXPECT_EQ(layout.Form.Properties[0].Name, "Caption");
    EXPECT_EQ(layout.Form.Properties[0].Value, "Two words");
    EXPECT_EQ(layout.Form.Properties[1].Value, "5");
    ASSERT_EQ(layout.Components.size(), 2u);
    EXPECT_EQ(layout.Components[0].Name, "B1");
    EXPECT_EQ(layout.Components[0].Properties[0].Value, "印刷");
    EXPECT_TRUE(layout.Components[1].Properties.empty());
    EXPECT_THROW(ParseLayout(""), EReadError);
    EXPECT_THROW(ParseLayout("Left 5\nform F TForm\n"), EReadError);         // property before the form
    EXPECT_THROW(ParseLayout("form F TForm\nform G TForm\n"), EReadError);   // two forms
    EXPECT_THROW(ParseLayout("form F\n"), EReadError);                       // no class
    EXPECT_THROW(ParseLayout("component B TButton\n"), EReadError);          // no form
}

TEST(LayoutText, ResourceOfTheMainWindowIsConvertedToTheAnsiCodePage) {
    std::string text = LoadLayoutText(GetModuleHandleA(nullptr), "TFORM1");
    EXPECT_NE(text.find("Caption 未設定"), std::string::npos);
    EXPECT_THROW(LoadLayoutText(GetModuleHandleA(nullptr), "NO_SUCH_LAYOUT"), EReadError);
}

TEST(LayoutReading, AFailingPropertyUnknownClassOrMissingHandlerFails) {
    const struct { const char* text; const char* message; } cases[] = {  // message: nullptr, any
        {"form F TForm\ncomponent Button7 TButton\n  TabOrder zwei\n",
         "Button7.TabOrder の読み込み中のエラー : プロパティ値 zwei が無効です"},
        {"form F TForm\ncomponent B TButton\n  Colour clRed\n",
         "B.Colour の読み込み中のエラー : プロパティ Colour は存在しません"},
        {"form F TForm\ncomponent X TNoSuchClass\n", nullptr},
        {"form F TForm\ncomponent B TButton\n  OnClick Missing\n", nullptr},
    };
    for (const auto& c : cases) {
        TForm form;
        try {
            form.ReadLayout(ParseLayout(c.text));
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const EReadError& e) {
            if (c.message) { EXPECT_EQ(e.Message(), c.message); }
        }
    }
}

TEST(LayoutReading, ButtonsTakeTheFormsFontUnlessTheirOwnIsGiven) {
    TForm form;
    form.ReadLayout(ParseLayout(
        "form F TForm\n  Font.Height -15\n  Font.Name Arial\n"
        "component A TButton\n"
        "component B TButton\n  Font.Height -20\n"));
    auto* a = form.Component<TButton>("A");
    auto* b = form.Component<TButton>("B");
    EXPECT_EQ(a->Font().Height, -15);
    EXPECT_EQ(a->Font().Name, "Arial");
    EXPECT_EQ(b->Font().Height, -20);
    EXPECT_FALSE(b->ParentFont());
    EXPECT_THROW(form.Component<TButton>("C"), EReadError);
}

TEST(LayoutReading, ScalingToAnotherResolutionScalesFontThenPositionsByTextHeight) {
    TForm form;
    form.ReadLayout(ParseLayout(
        "form F TForm\n  Font.Height -12\n  PixelsPerInch 96\n  TextHeight 12\n"
        "component A TButton\n  Left 10\n  Top 20\n  Width 80\n  Height 30\n"));
    form.ScaleForScreen(192);
    EXPECT_EQ(form.Font().Height, -24);
    EXPECT_EQ(form.PixelsPerInch, 192);
    auto* a = form.Component<TButton>("A");
    // Positions follow the ratio of the measured text heights: on the rig a -24 line of the
    // form's font measures 26 pixels against the layout's 12, so 10 becomes 10 x 26 / 12 =
    // 21.7, rounded 22, and 80 becomes 173.3, rounded 173.
    EXPECT_EQ(form.TextHeight, 26);
    EXPECT_EQ(a->Left(), 22);
    EXPECT_EQ(a->Width(), 173);
}
