#include "app/FourUpSheetLayout.h"

#include <utility>

#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

// cell / picture, formed at extended precision and stored as a double. The faults are
// those the floating-point unit reports for the division.
double Scale(int32_t cell, int64_t picture) {
    if (picture == 0) {
        if (cell == 0) throw EInvalidOp(LoadResString(res::SInvalidOp));
        throw EZeroDivide(LoadResString(res::SZeroDivide));
    }
    return static_cast<double>(static_cast<long double>(cell) / static_cast<long double>(picture));
}

// An integer times a stored scale, at extended precision, truncated toward zero.
int32_t ScaledLength(int64_t length, double scale) {
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
    // A metafile whose frame runs backwards reports a negative size. Laid out by its sign it
    // would reach out of its cell across the sheet and over the other pictures; laid out by
    // its magnitude, with the rectangle's sides swapped, it plays upright inside its cell.
    const int64_t width = pictureWidth < 0 ? -int64_t{pictureWidth} : pictureWidth;
    const int64_t height = pictureHeight < 0 ? -int64_t{pictureHeight} : pictureHeight;
    const double horizontal = Scale(cell.Width, width);
    const double vertical = Scale(cell.Height, height);
    const int32_t x = (slot % 2 == 0) ? 100 : cell.Width + 200;
    const int32_t y = (slot / 2 == 0) ? 100 : cell.Height + 200;
    TRect target = horizontal - vertical > 0.0  // the cell is relatively wider: the height decides
                       ? Rect(x, y, x + ScaledLength(width, vertical), y + cell.Height)
                       : Rect(x, y, x + cell.Width, y + ScaledLength(height, horizontal));
    if (pictureWidth < 0) std::swap(target.Left, target.Right);
    if (pictureHeight < 0) std::swap(target.Top, target.Bottom);
    return target;
}
