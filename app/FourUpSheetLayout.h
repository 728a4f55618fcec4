// Where each slot's picture goes on the four-up sheet, in the printer's device pixels:
// a 100-pixel margin at the left and top and between the cells.
#pragma once
#include <cstdint>
#include "rtl/Object.h"

struct TSheetCell {
    int32_t Width = 0;
    int32_t Height = 0;
};

// (page - 300) / 2 per axis, divided in floating point and truncated toward zero.
TSheetCell SheetCellSize(int32_t pageWidth, int32_t pageHeight);

// The rectangle for a picture of the given size in slot 0..3 (left to right, top to
// bottom): scaled by the smaller scale, at the cell's top-left corner. A zero picture
// size fails like the floating-point unit: EZeroDivide, or EInvalidOp for 0 / 0. A negative
// size is laid out by its magnitude, with the rectangle's sides swapped on that axis.
TRect SheetTargetRect(int slot, const TSheetCell& cell, int32_t pictureWidth, int32_t pictureHeight);

// Slots whose picture sizes add up to less than 2 are left out of the sheet.
inline bool SheetSlotDrawn(int32_t pictureWidth, int32_t pictureHeight) {
    return static_cast<int64_t>(pictureWidth) + pictureHeight >= 2;
}
