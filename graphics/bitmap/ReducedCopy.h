// A bitmap reduced in memory, by area averaging, to the size it is shown at: a printer or
// a window then gets the pixels it shows, not the whole picture to stretch down itself.
// The copy is plain 32-bit rows and holds no GDI object.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

class TBitmap;

class TReducedCopy {
public:
    // Reduces `bitmap` to width x height. False, with the copy empty, when the bitmap is not
    // larger than that (on one side at least, and smaller on neither), when it has no pixels
    // to read, or when memory or GDI fail: the caller then draws the bitmap itself.
    bool Make(TBitmap& bitmap, int32_t width, int32_t height) noexcept;
    // Draws the copy into the w x h rectangle at (x, y): 1:1 at its own size, stretched at
    // any other; false when GDI refused.
    bool Draw(HDC dc, int x, int y, int w, int h, DWORD rop) const noexcept;
    void Clear() noexcept;
    bool Empty() const { return pixels_.empty(); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    const uint8_t* Pixels() const { return pixels_.data(); }  // rows top first, 4 bytes a pixel

private:
    std::vector<uint8_t> pixels_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};
