// The fitting rule, row by row, including the results that only 80-bit intermediate
// precision gives, and the x87 set-up the program starts with for them.
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

void LoadControlWord(uint16_t word) { __asm__ __volatile__("fclex\n\tfldcw %0" : : "m"(word)); }

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
        // A negative size is not scaled but centred; near the most negative 32-bit number the
        // leftover space exceeds 32 bits, its half does not.
        {INT32_MIN, 10, Rect(1073741904, 55, -1073741744, 65)},
        {10, INT32_MIN + 1, Rect(75, 1073741883, 85, -1073741764)},
    };
    for (const Row& row : rows) {
        TRect r = FitPictureRect(row.w, row.h, 160, 120, false, true, true);
        EXPECT_EQ(r, row.expected) << row.w << " x " << row.h << " gave " << testing::PrintToString(r);
    }
}

TEST(FittedRect, StretchEnlargesToTheLargestFittingSizeWithoutFlagsThePictureKeepsItsSize) {
    EXPECT_EQ(FitPictureRect(50, 40, 145, 133, true, true, true), Rect(0, 8, 145, 124));
    EXPECT_EQ(FitPictureRect(16, 16, 145, 133, true, true, true), Rect(6, 0, 139, 133));
    // An empty picture stretched takes the whole client area.
    EXPECT_EQ(FitPictureRect(0, 0, 145, 133, true, true, true), Rect(0, 0, 145, 133));
    // Stretch without proportions fills the client area.
    EXPECT_EQ(FitPictureRect(50, 40, 145, 133, true, false, false), Rect(0, 0, 145, 133));
    // Without flags large pictures keep their size at the top left.
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

TEST(FloatingPoint, ProgramStateIsExtendedPrecisionRoundToNearestAllMasked) {
    uint16_t saved = CurrentFpuControlWord();
    LoadControlWord(0x027F);  // what a Win32 process usually starts with: 53-bit mantissa
    InitFloatingPoint();
    uint16_t word = CurrentFpuControlWord();
    EXPECT_EQ(word, ProgramFpuControlWord);
    EXPECT_EQ(word & 0x0300, 0x0300) << "64-bit mantissa";
    EXPECT_EQ(word & 0x0C00, 0x0000) << "round to nearest";
    EXPECT_EQ(word & 0x003F, 0x003F) << "exceptions masked";
    LoadControlWord(saved);
}

// The rows above that need the extended mantissa: at 53 bits the quotient 160 / (200 / 120)
// rounds up to 96, and 120 x (100 / 300) to 40.
TEST(FloatingPoint, FittingNeedsTheExtendedMantissa) {
    uint16_t saved = CurrentFpuControlWord();
    LoadControlWord(0x027F);
    const TRect wideAtDouble = FitPictureRect(200, 120, 160, 120, false, true, false);
    const TRect tallAtDouble = FitPictureRect(100, 300, 160, 120, false, true, false);
    InitFloatingPoint();
    const TRect wide = FitPictureRect(200, 120, 160, 120, false, true, false);
    const TRect tall = FitPictureRect(100, 300, 160, 120, false, true, false);
    LoadControlWord(saved);
    EXPECT_EQ(wideAtDouble.Bottom, 96);
    EXPECT_EQ(wide.Bottom, 95);
    EXPECT_EQ(tallAtDouble.Right, 40);
    EXPECT_EQ(tall.Right, 39);
}
