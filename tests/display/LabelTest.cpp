// The label's automatic sizing and the property writes that repaint it.
#include <gtest/gtest.h>
#include <map>
#include "display/Label.h"
#include "framework/Form.h"

namespace {

// What DT_CALCRECT measures for `text` in `font` on the screen.
SIZE Measure(TFont& font, const char* text, UINT extra = 0) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font.Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(screen, text, -1, &r, DT_EXPANDTABS | DT_CALCRECT | extra);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return SIZE{r.right, r.bottom};
}

}  // namespace

TEST(LabelAutoSize, TakesTheMeasuredSizeOfItsCaption) {
    TForm form;
    TLabel label;
    EXPECT_EQ(label.Width(), 65);  // as created, before any sizing
    EXPECT_EQ(label.Height(), 17);
    EXPECT_FALSE(label.Transparent());
    label.SetParent(&form);  // takes the form's font, which re-runs the sizing
    label.SetBounds(10, 20, 65, 17);
    label.SetCaption("未設定のラベル");
    SIZE expected = Measure(label.Font(), "未設定のラベル");
    EXPECT_EQ(label.BoundsRect(), Rect(10, 20, 10 + expected.cx, 20 + expected.cy));
    // An empty caption still measures one line high.
    label.SetCaption("");
    SIZE blank = Measure(label.Font(), " ");
    EXPECT_EQ(label.Height(), blank.cy);
    EXPECT_GT(label.Height(), 0);
    // A bigger font re-sizes the label.
    label.SetCaption("AB");
    int smallHeight = label.Height();
    label.Font().Height = -30;
    label.FontChanged();
    EXPECT_GT(label.Height(), smallHeight);
}

TEST(LabelAutoSize, RightJustifiedKeepsItsRightEdge) {
    TForm form;
    TLabel label;
    label.SetParent(&form);
    label.SetAutoSize(false);
    label.SetBounds(100, 0, 200, 40);
    label.SetAlignment(taRightJustify);
    label.SetCaption("abc");
    EXPECT_EQ(label.BoundsRect(), Rect(100, 0, 300, 40)) << "no sizing while AutoSize is off";
    label.SetAutoSize(true);
    SIZE expected = Measure(label.Font(), "abc");
    EXPECT_EQ(label.BoundsRect().Right, 300);
    EXPECT_EQ(label.Width(), expected.cx);
}

TEST(LabelRepaint, WritesRepaintOnlyOnChange) {
    TForm form;
    form.SetBounds(0, 0, 200, 100);
    form.Handle();
    TLabel label;
    label.SetParent(&form);
    label.SetAutoSize(false);
    std::map<TControl*, int> requests;
    form.OnRepaintRequest = [&](TControl* c, bool) { ++requests[c]; };
    label.SetAlignment(taLeftJustify);
    label.SetLayout(tlTop);
    label.SetShowAccelChar(true);
    label.SetTransparent(false);
    EXPECT_EQ(requests[&label], 0);
    label.SetAlignment(taCenter);
    label.SetLayout(tlCenter);
    label.SetShowAccelChar(false);
    EXPECT_EQ(requests[&label], 3);
    label.SetTransparent(true);
    EXPECT_EQ(requests[&label], 4);
    EXPECT_TRUE(label.Transparent());
    EXPECT_FALSE(label.ControlStyle & csOpaque);
}
