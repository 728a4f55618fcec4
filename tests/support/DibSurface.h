// A top-down DIB section of 24 or 32 bits selected into a memory DC, with a drawing surface
// on it (made on first use), for drawing into and reading the pixels back.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include "graphics/Canvas.h"
#include "support/Pixels.h"

class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill = RGB(0, 0, 0), int bitCount = 32)
        : width_(width), height_(height), bitCount_(bitCount) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~DibSurface() {
        canvas_.reset();
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC dc() const { return dc_; }
    RECT All() const { return RECT{0, 0, width_, height_}; }
    TCanvas& Canvas() {
        if (!canvas_) {
            canvas_ = std::make_unique<LentCanvas>();
            canvas_->SetHandle(dc_);
        }
        return *canvas_;
    }
    void Fill(COLORREF colour) {
        GdiFlush();
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                uint8_t* p = bits_ + Stride() * y + x * (bitCount_ / 8);
                p[0] = GetBValue(colour), p[1] = GetGValue(colour), p[2] = GetRValue(colour);
            }
    }
    Pixels Read() const {
        GdiFlush();
        Pixels p{width_, height_, {}};
        p.rgb.reserve(static_cast<size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const uint8_t* q = bits_ + Stride() * y + x * (bitCount_ / 8);
                p.rgb.push_back((uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0]);
            }
        return p;
    }

private:
    // Gives the context back before the surface deletes it.
    struct LentCanvas : TCanvas {
        ~LentCanvas() override { SetHandle(nullptr); }
    };
    size_t Stride() const { return (static_cast<size_t>(width_) * (bitCount_ / 8) + 3) & ~size_t(3); }
    int width_, height_, bitCount_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint8_t* bits_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};
