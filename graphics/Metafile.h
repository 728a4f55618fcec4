// The metafile picture (extensions "wmf" and "emf"). For now an empty metafile that
// refuses to read files.
#pragma once
#include "graphics/Graphic.h"

class TMetafile : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TMetafile() = default;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override { return true; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    void SetWidth(int32_t value) override { width_ = value; }
    void SetHeight(int32_t value) override { height_ = value; }
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;

private:
    int32_t width_ = 0, height_ = 0;
};
