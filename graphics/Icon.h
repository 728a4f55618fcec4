// The icon picture (extension "ico"). For now an empty icon that refuses to read files.
#pragma once
#include "graphics/Graphic.h"

class TIcon : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TIcon() = default;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override { return true; }
    int32_t Width() const override { return 0; }
    int32_t Height() const override { return 0; }
    void SetWidth(int32_t value) override { wantedWidth_ = value; }
    void SetHeight(int32_t value) override { wantedHeight_ = value; }
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;

private:
    int32_t wantedWidth_ = 0, wantedHeight_ = 0;  // the size asked for when the icon is made
};
