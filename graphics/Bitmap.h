// The bitmap picture. (Placeholder: an empty bitmap that cannot read files yet.)
#pragma once
#include "graphics/Graphic.h"

class TBitmap : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TBitmap() = default;
    void CopyFrom(TPersistent* source) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override { return width_ == 0 || height_ == 0; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t value) override;
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;

private:
    int32_t width_ = 0, height_ = 0;
};

// Releases the drawing contexts that bitmaps made for their own surfaces and do not hold
// locked. The message loop calls this after every window message.
void FreeMemoryContexts();
