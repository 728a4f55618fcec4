// The fitting rule, row by row, including the results that only 80-bit intermediate
// precision gives.
#include <gtest/gtest.h>
#include "display/FittedRect.h"
#include "display/Image.h"
#include "framework/FloatingPoint.h"
#include "graphics/bitmap/Bitmap.h"

namespace {

struct Row {
    int w, h;
    TRect expected;
};

}  // namespace

static void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}

TEST(FittedRect, SlotRowsCenteredAndProportional) {
    // The process runs the x87 unit at a 64-bit mantissa; the rows below depend on it.
    ASSERT_EQ(CurrentFpuControlWord() & 0x0300, 0x0300);
    const Row rows[] = {
        {640, 480, Rect(0, 0, 160, 120)},   {1280, 1024, Rect(5, 0, 155, 120)},
        {480, 640, Rect(35, 0, 125, 120)},  {500, 500, Rect(20, 0, 140, 120)},
        {300, 100, Rect(0, 33, 160, 86)},   {200, 120, Rect(0, 12, 160, 107)},
        {100, 300, Rect(60, 0, 99, 120)},   {50, 40, Rect(55, 40, 105, 80)},
        {160, 120, Rect(0, 0, 160, 120)},   {161, 10, Rect(0, 55, 160, 64)},
        {3, 1000, Rect(80, 0, 80, 120)},    {0, 0, Rect(80, 60, 80, 60)},
    };
    for (const Row& row : rows) {
        TRect r = FitPictureRect(row.w, row.h, 160, 120, false, true, true);
        EXPECT_EQ(r, row.expected) << row.w << " x " << row.h << " gave " << testing::PrintToString(r);
    }
}

// A negative size is not scaled but centred; near the most negative 32-bit number the
// leftover space exceeds 32 bits, its half does not.
TEST(FittedRect, HugeNegativeSizesCentreWithoutWrapping) {
    EXPECT_EQ(FitPictureRect(INT32_MIN, 10, 160, 120, false, true, true), Rect(1073741904, 55, -1073741744, 65));
    EXPECT_EQ(FitPictureRect(10, INT32_MIN + 1, 160, 120, false, true, true), Rect(75, 1073741883, 85, -1073741764));
}

TEST(FittedRect, ExtendedPrecisionRowsDifferFromDoubleArithmetic) {
    // What plain double arithmetic would give, to show the rows test what they claim.
    double ratio = 200.0 / 120.0;
    EXPECT_EQ(static_cast<int>(160.0 / ratio), 96);
    EXPECT_EQ(FitPictureRect(200, 120, 160, 120, false, true, false).Bottom, 95);
    double tall = 100.0 / 300.0;
    EXPECT_EQ(static_cast<int>(120.0 * tall), 40);
    EXPECT_EQ(FitPictureRect(100, 300, 160, 120, false, true, false).Right, 39);
}

TEST(FittedRect, StretchEnlargesToTheLargestFittingSize) {
    EXPECT_EQ(FitPictureRect(50, 40, 145, 133, true, true, true), Rect(0, 8, 145, 124));
    EXPECT_EQ(FitPictureRect(16, 16, 145, 133, true, true, true), Rect(6, 0, 139, 133));
    // An empty picture stretched takes the whole client area.
    EXPECT_EQ(FitPictureRect(0, 0, 145, 133, true, true, true), Rect(0, 0, 145, 133));
    // Stretch without proportions fills the client area.
    EXPECT_EQ(FitPictureRect(50, 40, 145, 133, true, false, false), Rect(0, 0, 145, 133));
}

TEST(FittedRect, WithoutFlagsLargePicturesKeepTheirSizeAtTheTopLeft) {
    EXPECT_EQ(FitPictureRect(640, 480, 160, 120, false, false, false), Rect(0, 0, 640, 480));
    // Centring a picture larger than the control moves it up and left (truncating).
    EXPECT_EQ(FitPictureRect(163, 120, 160, 120, false, false, true), Rect(-1, 0, 162, 120));
    EXPECT_EQ(FitPictureRect(50, 40, 160, 120, false, false, false), Rect(0, 0, 50, 40));
}

TEST(FittedRect, ImageUsesItsPicturesSize) {
    TImage image;
    image.SetBounds(0, 0, 160, 120);
    image.SetCenter(true);
    image.SetProportional(true);
    EXPECT_EQ(image.FittedRect(), Rect(80, 60, 80, 60));  // no graphic
    TBitmap empty;
    image.Picture().SetGraphic(&empty);
    EXPECT_EQ(image.FittedRect(), Rect(80, 60, 80, 60));  // empty bitmap
    image.SetStretch(true);
    EXPECT_EQ(image.FittedRect(), Rect(0, 0, 160, 120));
}
