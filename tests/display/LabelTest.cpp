// The label's automatic sizing, as it shows: a box that holds its caption's ink snugly.
#include <gtest/gtest.h>
#include "display/Label.h"
#include "framework/Form.h"
#include "support/DibSurface.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBackground = 0x336699;

// The label painted white on a coloured surface: its box as seen, and its caption's ink.
struct Seen {
    RECT box, ink;
};
Seen Paint(TForm& form, TLabel& label) {
    label.SetColor(clWhite);
    DibSurface surface(400, 120, RGB(0x33, 0x66, 0x99));
    form.PaintControls(surface.dc(), surface.All());
    const Pixels shot = surface.Read();
    return {shot.BoxOf([](uint32_t px) { return px != kBackground; }),
            shot.BoxOf([](uint32_t px) { return px != kBackground && px != kWhite; })};
}

// The box holds the ink, with at most `slack` pixels to spare at either end of the line.
void ExpectSnug(const Seen& seen, int slack = 3) {
    EXPECT_GE(seen.ink.left, seen.box.left);
    EXPECT_LE(seen.ink.left - seen.box.left, slack);
    EXPECT_LE(seen.ink.right, seen.box.right);
    EXPECT_LE(seen.box.right - seen.ink.right, slack);
    EXPECT_GE(seen.ink.top, seen.box.top);
    EXPECT_LE(seen.ink.bottom, seen.box.bottom);
}

}  // namespace

TEST(LabelAutoSize, TakesTheSizeOfItsCaption) {
    TForm form;
    TLabel label;
    EXPECT_EQ(label.Width(), 65);  // as created, before any sizing
    EXPECT_EQ(label.Height(), 17);
    EXPECT_FALSE(label.Transparent());
    label.SetParent(&form);  // takes the form's font, which re-runs the sizing
    label.SetBounds(10, 20, 65, 17);
    label.SetCaption("未設定のラベル");
    Seen seen = Paint(form, label);
    EXPECT_EQ(seen.box.left, 10);
    EXPECT_EQ(seen.box.top, 20);
    EXPECT_GT(seen.box.right, 10 + 65) << "seven characters are wider than the label was";
    ExpectSnug(seen);
    const int lineHeight = seen.box.bottom - seen.box.top;
    // An empty caption still takes one line's height, and no more width than a space.
    label.SetCaption("");
    seen = Paint(form, label);
    EXPECT_EQ(seen.box.bottom - seen.box.top, lineHeight);
    EXPECT_LE(seen.box.right - seen.box.left, 6);
    EXPECT_GT(seen.box.right - seen.box.left, 0);
    // A bigger font re-sizes the label.
    label.SetCaption("AB");
    const int smallHeight = label.Height();
    label.Font().Height = -30;
    label.FontChanged();
    EXPECT_GT(label.Height(), smallHeight);
    seen = Paint(form, label);
    ExpectSnug(seen);
    EXPECT_GE(seen.ink.bottom - seen.ink.top, 18) << "30-pixel characters";
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
    const Seen seen = Paint(form, label);
    EXPECT_EQ(seen.box.right, 300);
    EXPECT_LT(seen.box.left, 290);
    ExpectSnug(seen);
}
