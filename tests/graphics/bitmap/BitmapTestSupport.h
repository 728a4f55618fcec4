// What the bitmap tests share: loading bytes into a TBitmap (HostileLoads.h), and a 24-bit section with a
// drawing surface on it whose pixels can be read back.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/Canvas.h"
#include "graphics/GdiHandles.h"
#include "rtl/Streams.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/HostileLoads.h"

inline samples::Bytes SavedBytes(TBitmap& bitmap) {
    TMemoryStream stream;
    bitmap.WriteToStream(stream);
    return samples::Bytes(stream.Memory(), stream.Memory() + stream.Size());
}

// A top-down 24-bit section selected into a memory context, with a TCanvas on it.
class Surface24 {
public:
    Surface24(int width, int height, samples::Rgb fill = {1, 2, 3}) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        WindowDC screen;
        section_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        dc_.reset(CreateCompatibleDC(screen.get()));
        old_ = SelectObject(dc_.get(), section_.get());
        canvas_ = std::make_unique<TCanvas>();
        canvas_->SetHandle(dc_.get());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Set(x, y, fill);
    }
    ~Surface24() {
        canvas_.reset();
        SelectObject(dc_.get(), old_);
    }
    TCanvas& Canvas() { return *canvas_; }
    HDC Dc() { return dc_.get(); }
    samples::Rgb At(int x, int y) {
        GdiFlush();
        const uint8_t* p = static_cast<uint8_t*>(bits_) + Stride() * y + 3 * x;
        return {p[2], p[1], p[0]};
    }
    void Set(int x, int y, samples::Rgb c) {
        uint8_t* p = static_cast<uint8_t*>(bits_) + Stride() * y + 3 * x;
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }
    // Draws the bitmap at its own size at (0, 0).
    void Draw(TBitmap& bitmap) { canvas_->StretchGraphic(Rect(0, 0, bitmap.Width(), bitmap.Height()), &bitmap); }
    // Every pixel compared with the picture; the first difference is reported.
    ::testing::AssertionResult Shows(const samples::Picture& want) {
        for (int y = 0; y < want.height; ++y)
            for (int x = 0; x < want.width; ++x) {
                samples::Rgb got = At(x, y), w = want.At(x, y);
                if (got != w)
                    return ::testing::AssertionFailure()
                           << "pixel (" << x << "," << y << ") is " << int(got.r) << "," << int(got.g) << ","
                           << int(got.b) << " instead of " << int(w.r) << "," << int(w.g) << "," << int(w.b);
            }
        return ::testing::AssertionSuccess();
    }

private:
    size_t Stride() const { return (static_cast<size_t>(width_) * 3 + 3) & ~size_t(3); }
    int width_, height_;
    void* bits_ = nullptr;
    OwnedBitmap section_;
    OwnedDC dc_;
    HGDIOBJ old_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

// The bitmap drawn at its own size on a fresh surface the picture's size, compared pixel by pixel.
inline ::testing::AssertionResult DrawsAs(TBitmap& bitmap, const samples::Picture& want) {
    Surface24 surface(want.width, want.height);
    surface.Draw(bitmap);
    return surface.Shows(want);
}

using samples::FormOf;
