// A graphic class of the tests' own, registered in the real registry under test
// extensions: its file format is "the bytes are the picture", width = byte count, height 1.
// A file starting with "BAD" fails to read; reading reports progress and changes itself,
// as real formats do.
#pragma once
#include <string>
#include "graphics/Graphic.h"
#include "rtl/Object.h"

class TTestGraphic : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    void CopyFrom(TPersistent* source) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override { return content.empty(); }
    int32_t Width() const override { return static_cast<int32_t>(content.size()); }
    int32_t Height() const override { return content.empty() ? 0 : 1; }
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t) override {}
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t, HANDLE, HPALETTE) override {}
    void WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) override {}

    std::string content;
    // What the last DrawStretched saw.
    int drawCount = 0;
    TRect drawnRect;
    HDC drawnOn = nullptr;
    HGDIOBJ fontAtDraw = nullptr, brushAtDraw = nullptr;

    // Live instances, to see that replaced graphics are destroyed.
    static int liveCount;
    TTestGraphic() { ++liveCount; }
    ~TTestGraphic() override { --liveCount; }
};

// A subclass, to see that removal from the registry takes derived classes along.
class TDerivedTestGraphic : public TTestGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }
};
