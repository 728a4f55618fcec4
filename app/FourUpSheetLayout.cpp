#include "app/FourUpSheetLayout.h"

#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

// cell / picture, formed at extended precision and stored as a double. The faults are
// those the floating-point unit reports for the division.
double Scale(int32_t cell, int32_t picture) {
    if (picture == 0) {
        if (cell == 0) throw EInvalidOp(LoadResString(res::SInvalidOp));
        throw EZeroDivide(LoadResString(res::SZeroDivide));
    }
    return static_cast<double>(static_cast<long double>(cell) / static_cast<long double>(picture));
}

// An integer times a stored scale, at extended precision, truncated toward zero.
int32_t ScaledLength(int32_t length, double scale) {
    const long double product = static_cast<long double>(length) * static_cast<long double>(scale);
    if (!(product > -2147483649.0L && product < 2147483648.0L))
        throw EInvalidOp(LoadResString(res::SInvalidOp));
    return static_cast<int32_t>(product);
}

}  // namespace

TSheetCell SheetCellSize(int32_t pageWidth, int32_t pageHeight) {
    TSheetCell cell;
    cell.Width = static_cast<int32_t>(static_cast<long double>(pageWidth - 300) / 2.0L);
    cell.Height = static_cast<int32_t>(static_cast<long double>(pageHeight - 300) / 2.0L);
    return cell;
}

TRect SheetTargetRect(int slot, const TSheetCell& cell, int32_t pictureWidth, int32_t pictureHeight) {
    const double horizontal = Scale(cell.Width, pictureWidth);
    const double vertical = Scale(cell.Height, pictureHeight);
    const int32_t x = (slot % 2 == 0) ? 100 : cell.Width + 200;
    const int32_t y = (slot / 2 == 0) ? 100 : cell.Height + 200;
    if (horizontal - vertical > 0.0)  // the cell is relatively wider: the height decides
        return Rect(x, y, x + ScaledLength(pictureWidth, vertical), y + cell.Height);
    return Rect(x, y, x + cell.Width, y + ScaledLength(pictureHeight, horizontal));
}
