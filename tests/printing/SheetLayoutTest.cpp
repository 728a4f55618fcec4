// The four-up sheet's cell arithmetic: truncated cells, slot origins, the scale
// comparison at extended precision and the floating-point faults of zero sizes.
#include <gtest/gtest.h>

#include "app/FourUpSheetLayout.h"
#include "rtl/Exceptions.h"
#include "support/RaisedMessage.h"

namespace {

TEST(SheetCells, SizeIsTruncatedFromThePrintableAreaTinyPicturesLeftOut) {
    const TSheetCell cell = SheetCellSize(6000, 4500);
    EXPECT_EQ(cell.Width, 2850);
    EXPECT_EQ(cell.Height, 2100);
    EXPECT_EQ(SheetCellSize(4001, 4000).Width, 1850);  // not rounded up to 1851
    EXPECT_EQ(SheetCellSize(3508, 2479).Width, 1604);
    EXPECT_EQ(SheetCellSize(3508, 2479).Height, 1089);
    // Below 300 pixels the cells go negative; truncation is toward zero.
    EXPECT_EQ(SheetCellSize(299, 100).Width, 0);
    EXPECT_EQ(SheetCellSize(297, 100).Width, -1);
    EXPECT_EQ(SheetCellSize(297, 100).Height, -100);
    // Pictures smaller than two in sum are left out of their cells.
    EXPECT_FALSE(SheetSlotDrawn(0, 0));
    EXPECT_FALSE(SheetSlotDrawn(1, 0));
    EXPECT_FALSE(SheetSlotDrawn(0, 1));
    EXPECT_TRUE(SheetSlotDrawn(1, 1));
    EXPECT_TRUE(SheetSlotDrawn(0, 2));
}

TEST(SheetTarget, SlotOriginsWhichSideDecidesTruncationAndZeroSizes) {
    const TSheetCell cell{2850, 2100};
    struct Case {
        const char* what;
        int slot;
        TSheetCell cell;
        int32_t width, height;
        TRect expected;
    };
    const Case cases[] = {
        // The worked example in each slot.
        {"worked example", 1, cell, 1600, 1200, Rect(3050, 100, 5850, 2200)},
        {"slot 0", 0, cell, 1600, 1200, Rect(100, 100, 2900, 2200)},
        {"slot 2", 2, cell, 1600, 1200, Rect(100, 2300, 2900, 4400)},
        {"slot 3", 3, cell, 1600, 1200, Rect(3050, 2300, 5850, 4400)},
        // Equal scales: the width decides, the height is the truncated product.
        {"equal scales", 0, cell, 285, 210, Rect(100, 100, 2950, 2200)},
        {"very wide: full width, truncate(100 x 0.7125) = 71", 0, cell, 4000, 100, Rect(100, 100, 2950, 171)},
        {"very tall: full height, width truncate(100 x 0.525) = 52", 0, cell, 100, 4000, Rect(100, 100, 152, 2200)},
        {"1 x 1: a square of the smaller cell side", 3, cell, 1, 1, Rect(3050, 2300, 5150, 4400)},
        {"a 6000 x 4000 photograph on the rig's A4 landscape page (cells 1604 x 1089)", 3, SheetCellSize(3508, 2479),
         6000, 4000, Rect(1804, 1289, 1804 + 1604, 1289 + 1069)},
        // 1000 / 3 stored as a double is just below 333.33...; times 3 at extended precision
        // is just below 1000 and truncates to 999. A product rounded to double first would
        // give exactly 1000.
        {"product truncated at extended precision", 0, {1000, 5000}, 3, 3, Rect(100, 100, 1100, 100 + 999)},
        // A metafile whose frame runs backwards has a negative size: it is laid out by its
        // magnitude in its own cell, the rectangle's sides swapped where the size is
        // negative, and never reaches into another cell.
        {"negative width", 2, cell, -1600, 1200, Rect(2900, 2300, 100, 4400)},
        {"negative height", 3, cell, 1600, -1200, Rect(3050, 4400, 5850, 2300)},
        {"negative width, tall", 2, cell, -100, 300, Rect(800, 2300, 100, 4400)},
        {"both negative", 1, cell, -1, -1, Rect(5150, 2200, 3050, 100)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SheetTargetRect(c.slot, c.cell, c.width, c.height), c.expected) << c.what;
    // Zero sizes fail like the floating-point unit; a printable width of 300 gives a zero cell: 0 / 0.
    EXPECT_EQ(MessageOf<EZeroDivide>([&] { SheetTargetRect(0, cell, 0, 5); }), "0 による浮動小数点数除算");
    EXPECT_EQ(MessageOf<EZeroDivide>([&] { SheetTargetRect(0, cell, 5, 0); }), "0 による浮動小数点数除算");
    EXPECT_EQ(MessageOf<EInvalidOp>([&] { SheetTargetRect(0, SheetCellSize(300, 2000), 0, 5); }), "不正な浮動小数点数演算命令");
}

}  // namespace
