// A 32-bit top-down DIB section selected into a memory DC, for drawing into and reading
// back the pixels (black until filled).
#pragma once
#include <windows.h>
#include <cstdint>
#include <initializer_list>

class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill = RGB(0, 0, 0)) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~DibSurface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(COLORREF color) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToPixel(color);
    }
    // 0x00RRGGBB
    uint32_t At(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    static uint32_t ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
    RECT All() const { return RECT{0, 0, width_, height_}; }
    // The smallest rectangle (right and bottom exclusive) holding every pixel of none of the
    // `others` colours, such as a text's ink on its box; all zero when there is none.
    RECT BoxOfAllBut(std::initializer_list<uint32_t> others) const {
        RECT box{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                bool other = false;
                for (uint32_t c : others) other = other || At(x, y) == c;
                if (other) continue;
                box = {x < box.left ? x : box.left, y < box.top ? y : box.top, x >= box.right ? x + 1 : box.right,
                       y >= box.bottom ? y + 1 : box.bottom};
            }
        return box.right ? box : RECT{0, 0, 0, 0};
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};
