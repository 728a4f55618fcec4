// The tests' own picture, registered in the real registry under test extensions. Its file
// format is "the bytes are the picture": width = byte count, height 1; a file starting with
// "BAD" fails to read, and reading reports progress and changes itself, as real formats do.
// Made with a size instead, it is a picture of that size in one colour. Drawing fills the
// rectangle with the colour and notes what it saw; it can be told to report a change or
// redrawable progress from inside its drawing (as a picture that decodes on first drawing
// does), to fail with a damaged-data error, or to run `onDraw` first.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "graphics/Graphic.h"
#include "rtl/Object.h"

class TTestGraphic : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    void CopyFrom(TPersistent* source) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    HPALETTE Palette() const override { return palette; }
    bool IsEmpty() const override { return Width() == 0 || Height() == 0; }
    int32_t Width() const override { return content.empty() ? width : static_cast<int32_t>(content.size()); }
    int32_t Height() const override { return content.empty() ? height : 1; }
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t) override {}
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t, HANDLE, HPALETTE) override {}
    void WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) override {}

    std::string content;
    int32_t width, height;
    COLORREF colour;
    bool changesWhileDrawing = false, progressWhileDrawing = false;
    const char* failure = nullptr;  // drawing raises EInvalidGraphic with this message
    std::function<void()> onDraw;
    HPALETTE palette = nullptr;  // not owned
    // What the last DrawStretched saw.
    int draws = 0;
    TRect drawnRect;
    HDC drawnOn = nullptr;
    HGDIOBJ fontAtDraw = nullptr, brushAtDraw = nullptr;

    // Live instances, to see that replaced graphics are destroyed.
    static int liveCount;
    explicit TTestGraphic(int32_t w = 0, int32_t h = 0, COLORREF c = RGB(255, 0, 0)) : width(w), height(h), colour(c) {
        ++liveCount;
    }
    ~TTestGraphic() override { --liveCount; }
};

// A subclass, to see that removal from the registry takes derived classes along.
class TDerivedTestGraphic : public TTestGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }
};
