// The JPEG picture (extensions "jpeg" and "jpg"). For now an empty image that refuses to
// read files: decoding is not built in yet.
#pragma once
#include "graphics/Graphic.h"

class TJPEGImage : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TJPEGImage() = default;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override { return true; }
    int32_t Width() const override { return 0; }
    int32_t Height() const override { return 0; }
    // A JPEG image's size comes from its data only.
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t value) override;
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;
};
