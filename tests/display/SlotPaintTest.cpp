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

// The form's controls painted on a grey surface of `width` x `height`.
Pixels Painted(TForm& form, int width, int height) {
    DibSurface screen(width, height, kGrey);
    form.PaintControls(screen.dc(), screen.All());
    return screen.Read();
}

// The text's ink: what is neither the box, the picture nor the surface.
bool Ink(uint32_t px) { return px != kWhite && px != kRed && px != kGreyPixel; }

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
        const Pixels shot = Painted(form, 200, 160);

        EXPECT_TRUE(ShowsPlaceholder(shot, RECT{10, 10, 170, 10 + height}, kGreyPixel));
        EXPECT_EQ(shot.Count(kGreyPixel), 200 * 160 - 160 * height) << "nothing outside it";
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

    const Pixels shot = Painted(form, 200, 160);
    EXPECT_EQ(shot.Count(RECT{70, 10, 109, 130}, kRed), 39 * 120);
    EXPECT_EQ(shot.Count(kRed), 39 * 120) << "nothing beside it";
    // The outer parts of the text still show left and right of the picture.
    EXPECT_GT(shot.Count(RECT{10, 10, 70, 130}, Ink), 20);
    EXPECT_GT(shot.Count(RECT{109, 10, 170, 130}, Ink), 20);
    EXPECT_EQ(shot.At(10, 10), kWhite);
}

TEST(SlotPaint, EachControlIsClippedToItsBounds) {
    TForm form;
    TImage image;
    image.SetParent(&form);
    image.SetBounds(20, 30, 50, 40);
    TTestGraphic big(640, 480);  // neither flag: drawn at natural size, clipped
    image.Picture().SetGraphic(&big);
    const Pixels shot = Painted(form, 120, 100);
    EXPECT_EQ(shot.Count(RECT{20, 30, 70, 70}, kRed), 50 * 40);
    EXPECT_EQ(shot.Count(kRed), 50 * 40) << "nothing outside its bounds";
    // A region that misses the control does not paint it.
    DibSurface again(120, 100, kGrey);
    RECT elsewhere{80, 0, 120, 100};
    form.PaintControls(again.dc(), elsewhere);
    EXPECT_EQ(again.Read().Count(kGreyPixel), 120 * 100);
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
    const Pixels shot = screen.Read();
    EXPECT_EQ(shot.Count(RECT{50, 0, 90, 40}, kWhite), 40 * 40);
    EXPECT_EQ(shot.Count(kGreyPixel), 100 * 50 - 40 * 40);
}

TEST(SlotPaint, DisabledLabelIsEngraved) {
    TForm form;
    TLabel label;
    MakePlaceholder(label, form, 0, 0, 160, 120);
    label.SetColor(clBlack);
    label.SetEnabled(false);
    const Pixels shot = Painted(form, 160, 120);
    EXPECT_GT(shot.Count(RgbOf(GetSysColor(COLOR_BTNHIGHLIGHT))), 10);
    EXPECT_GT(shot.Count(RgbOf(GetSysColor(COLOR_BTNSHADOW))), 10);
}
