// A slot painted into a DIB section: the label's white box and centred text, the image
// over it, each control clipped to its bounds.
#include <gtest/gtest.h>
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Form.h"
#include "rtl/Exceptions.h"
#include "support/DibSurface.h"
#include "tests/display/SolidGraphic.h"

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

// The caption drawn the way the label must: horizontally centred, its line moved down by
// (height - measured line height) / 2.
void DrawReference(DibSurface& dib, TLabel& label, int* lineHeight) {
    HDC dc = dib.dc();
    HGDIOBJ old = SelectObject(dc, label.Font().Handle());
    RECT measure{0, 0, label.Width(), label.Height()};
    DrawTextA(dc, "未設定", -1, &measure, DT_EXPANDTABS | DT_CENTER | DT_CALCRECT);
    *lineHeight = measure.bottom;
    int top = (label.Height() - measure.bottom) / 2;
    RECT r{0, top, label.Width(), label.Height() + top};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, "未設定", -1, &r, DT_EXPANDTABS | DT_CENTER);
    SelectObject(dc, old);
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
    for (int height : {120, 121}) {
        TForm form;
        TLabel label;
        MakePlaceholder(label, form, 10, 10, 160, height);
        DibSurface screen(200, 160, kGrey);
        form.PaintControls(screen.dc(), screen.All());

        DibSurface reference(160, height, RGB(255, 255, 255));
        int lineHeight = 0;
        DrawReference(reference, label, &lineHeight);
        ASSERT_GT(lineHeight, 0);
        ASSERT_GT(InkPixels(reference, 0, 0, 160, height), 100) << "the reference shows no text";
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 160; ++x)
                if (screen.At(10 + x, 10 + y) != reference.At(x, y)) ++mismatches;
        EXPECT_EQ(mismatches, 0) << "height " << height << ", line " << lineHeight;
        // Nothing outside the label's bounds.
        EXPECT_EQ(screen.At(9, 50), kGreyPixel);
        EXPECT_EQ(screen.At(170, 50), kGreyPixel);
        EXPECT_EQ(screen.At(50, 10 + height), kGreyPixel);
        EXPECT_EQ(screen.At(10, 10), kWhite);
        EXPECT_EQ(screen.At(169, 9 + height), kWhite);
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
    TSolidGraphic tall(100, 300);
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
    TSolidGraphic big(640, 480);  // neither flag: drawn at natural size, clipped
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

// A picture whose data turn out to be bad when it draws.
class TDamagedGraphic : public TSolidGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    using TSolidGraphic::TSolidGraphic;
    GraphicClass ClassType() const override { return &ClassInfo; }
    void DrawStretched(TCanvas&, const TRect&) override { throw EInvalidGraphic("damaged"); }
};
const TGraphicClassInfo TDamagedGraphic::ClassInfo = {"TDamagedGraphic", &TSolidGraphic::ClassInfo,
                                                      [] () -> TGraphic* { return new TDamagedGraphic; }};

TEST(SlotPaint, AControlFailingToPaintLeavesTheOthersPaintedAndItsErrorPassesOn) {
    TForm form;
    TImage damaged;
    damaged.SetParent(&form);
    damaged.SetBounds(0, 0, 40, 40);
    TDamagedGraphic bad(40, 40);
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
