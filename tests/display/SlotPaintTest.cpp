// A slot painted into a DIB section: the label's white box and centred text, the image
// over it, each control clipped to its bounds.
#include <gtest/gtest.h>
#include <cstdlib>
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Form.h"
#include "rtl/Exceptions.h"
#include "support/DibSurface.h"
#include "support/TestGraphic.h"

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreyPixel = 0x808080;

void MakePlaceholder(TLabel& label, TForm& form, int left, int top, int width, int height) {
    label.SetParent(&form);
    label.SetAutoSize(false);
    label.SetBounds(left, top, width, height);
    label.SetCaption("未設定");
    label.SetAlignment(taCenter);
    label.SetLayout(tlCenter);
    label.SetColor(clWhite);
    label.Font().Name = "ＭＳ Ｐゴシック";
    label.Font().Height = -24;
    label.Font().Style = fsBold;
    label.Font().Charset = SHIFTJIS_CHARSET;
    label.FontChanged();
}

int InkPixels(const DibSurface& dib, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (dib.At(x, y) != kWhite && dib.At(x, y) != kRed && dib.At(x, y) != kGreyPixel) ++n;
    return n;
}

}  // namespace

TEST(SlotPaint, LabelIsAWhiteBoxWithItsTextCentredByTheMeasuredLineHeight) {
    // Height -24 asks for 24-pixel characters; the font's line is 24 to 28 pixels with its
    // leading, so the line starts (120 - line) / 2 = 46 to 48 below the box's top, the same
    // for a box of 121 (the half is truncated), and the glyphs' ink lies within that line.
    for (int height : {120, 121}) {
        SCOPED_TRACE(height);
        TForm form;
        TLabel label;
        MakePlaceholder(label, form, 10, 10, 160, height);
        DibSurface screen(200, 160, kGrey);
        form.PaintControls(screen.dc(), screen.All());

        int box = 0, outside = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inBox = x >= 10 && x < 170 && y >= 10 && y < 10 + height;
                (inBox ? box : outside) += (screen.At(x, y) == kGreyPixel) != inBox;
            }
        EXPECT_EQ(box, 160 * height) << "the white box is (10, 10, 170, " << 10 + height << ")";
        EXPECT_EQ(outside, 200 * 160 - 160 * height) << "nothing outside it";

        const RECT ink = screen.BoxOfAllBut({kWhite, kGreyPixel});
        EXPECT_GT(ink.right - ink.left, 48) << "three 24-pixel characters";
        EXPECT_LE(std::abs((ink.left - 10) - (170 - ink.right)), 1) << "centred across";
        EXPECT_GE(ink.top, 10 + 46);
        EXPECT_LE(ink.bottom, 10 + 48 + 28);
        EXPECT_LE(std::abs((ink.top - 10) - (130 - ink.bottom)), 2) << "centred down, in a box of 120";
        EXPECT_GT(ink.bottom - ink.top, 18) << "the glyphs fill most of their line";
    }
}

TEST(SlotPaint, ImagePaintsOverItsLabelAndLeavesTheTextBesideANarrowPicture) {
    TForm form;
    TLabel label;
    MakePlaceholder(label, form, 10, 10, 160, 120);
    TImage image;
    image.SetParent(&form);
    image.SetBounds(10, 10, 160, 120);
    image.SetCenter(true);
    image.SetProportional(true);
    TTestGraphic tall(100, 300);
    image.Picture().SetGraphic(&tall);
    EXPECT_EQ(image.FittedRect(), Rect(60, 0, 99, 120));

    DibSurface screen(200, 160, kGrey);
    form.PaintControls(screen.dc(), screen.All());
    for (int y = 10; y < 130; ++y) {
        EXPECT_EQ(screen.At(70, y), kRed) << y;
        EXPECT_EQ(screen.At(108, y), kRed) << y;
        EXPECT_NE(screen.At(69, y), kRed) << y;
        EXPECT_NE(screen.At(109, y), kRed) << y;
    }
    // The outer parts of the text still show left and right of the picture.
    EXPECT_GT(InkPixels(screen, 10, 10, 70, 130), 20);
    EXPECT_GT(InkPixels(screen, 109, 10, 170, 130), 20);
    EXPECT_EQ(screen.At(10, 10), kWhite);
}

TEST(SlotPaint, EachControlIsClippedToItsBounds) {
    TForm form;
    TImage image;
    image.SetParent(&form);
    image.SetBounds(20, 30, 50, 40);
    TTestGraphic big(640, 480);  // neither flag: drawn at natural size, clipped
    image.Picture().SetGraphic(&big);
    DibSurface screen(120, 100, kGrey);
    form.PaintControls(screen.dc(), screen.All());
    EXPECT_EQ(screen.At(20, 30), kRed);
    EXPECT_EQ(screen.At(69, 69), kRed);
    EXPECT_EQ(screen.At(70, 50), kGreyPixel);
    EXPECT_EQ(screen.At(40, 70), kGreyPixel);
    EXPECT_EQ(screen.At(19, 50), kGreyPixel);
    // A region that misses the control does not paint it.
    DibSurface again(120, 100, kGrey);
    RECT elsewhere{80, 0, 120, 100};
    form.PaintControls(again.dc(), elsewhere);
    EXPECT_EQ(again.At(40, 50), kGreyPixel);
}

TEST(SlotPaint, AControlFailingToPaintLeavesTheOthersPaintedAndItsErrorPassesOn) {
    TForm form;
    TImage damaged;
    damaged.SetParent(&form);
    damaged.SetBounds(0, 0, 40, 40);
    TTestGraphic bad(40, 40);
    bad.failure = "damaged";  // its data turn out to be bad when it draws
    damaged.Picture().SetGraphic(&bad);
    TLabel after;
    MakePlaceholder(after, form, 50, 0, 40, 40);
    after.SetCaption("");
    DibSurface screen(100, 50, kGrey);
    EXPECT_THROW(form.PaintControls(screen.dc(), screen.All()), EInvalidGraphic);
    // The later control is painted, in its own place: the failed one's state was undone.
    EXPECT_EQ(screen.At(50, 0), kWhite);
    EXPECT_EQ(screen.At(89, 39), kWhite);
    EXPECT_EQ(screen.At(90, 20), kGreyPixel);
    EXPECT_EQ(screen.At(20, 20), kGreyPixel);
}

TEST(SlotPaint, DisabledLabelIsEngraved) {
    TForm form;
    TLabel label;
    MakePlaceholder(label, form, 0, 0, 160, 120);
    label.SetColor(clBlack);
    label.SetEnabled(false);
    DibSurface screen(160, 120, kGrey);
    form.PaintControls(screen.dc(), screen.All());
    uint32_t highlight = DibSurface::ToPixel(GetSysColor(COLOR_BTNHIGHLIGHT));
    uint32_t shadow = DibSurface::ToPixel(GetSysColor(COLOR_BTNSHADOW));
    int highlights = 0, shadows = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            if (screen.At(x, y) == highlight) ++highlights;
            if (screen.At(x, y) == shadow) ++shadows;
        }
    EXPECT_GT(highlights, 10);
    EXPECT_GT(shadows, 10);
}
