// The x87 set-up the program starts with, and that the fitting rule really depends on it.
#include <gtest/gtest.h>
#include "display/FittedRect.h"
#include "framework/FloatingPoint.h"

namespace {

void LoadControlWord(uint16_t word) { __asm__ __volatile__("fclex\n\tfldcw %0" : : "m"(word)); }

}  // namespace

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

TEST(FloatingPoint, FittingNeedsTheExtendedMantissa) {
    uint16_t saved = CurrentFpuControlWord();
    LoadControlWord(0x027F);
    // At 53 bits the quotient 160 / (200 / 120) rounds up to 96.
    int32_t bottomAtDouble = FitPictureRect(200, 120, 160, 120, false, true, false).Bottom;
    InitFloatingPoint();
    int32_t bottomAtExtended = FitPictureRect(200, 120, 160, 120, false, true, false).Bottom;
    LoadControlWord(saved);
    EXPECT_EQ(bottomAtDouble, 96);
    EXPECT_EQ(bottomAtExtended, 95);
}
