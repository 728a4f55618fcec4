// A picture of one colour, drawn with plain GDI into whatever rectangle it is given; it can
// report a change while it draws, as a picture that decodes itself on first drawing does.
#pragma once
#include <windows.h>
#include "graphics/Canvas.h"
#include "graphics/Graphic.h"

class TSolidGraphic : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TSolidGraphic(int32_t w = 0, int32_t h = 0, COLORREF color = RGB(255, 0, 0)) : w_(w), h_(h), color_(color) {}
    void CopyFrom(TPersistent* source) override {
        auto* s = dynamic_cast<TSolidGraphic*>(source);
        if (!s) return TGraphic::CopyFrom(source);
        w_ = s->w_;
        h_ = s->h_;
        color_ = s->color_;
        changesWhileDrawing = s->changesWhileDrawing;
        progressWhileDrawing = s->progressWhileDrawing;
        palette = s->palette;
        PaletteDirty = s->PaletteDirty;
    }
    HPALETTE Palette() const override { return palette; }
    void DrawStretched(TCanvas& canvas, const TRect& rect) override {
        HBRUSH brush = CreateSolidBrush(color_);
        RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
        FillRect(canvas.Handle(), &r, brush);
        DeleteObject(brush);
        ++draws;
        if (changesWhileDrawing) NotifyChanged(this);
        if (progressWhileDrawing) ReportProgress(this, TProgressStage::psRunning, 50, true, rect, "");
    }
    bool IsEmpty() const override { return w_ == 0 || h_ == 0; }
    int32_t Width() const override { return w_; }
    int32_t Height() const override { return h_; }
    void SetWidth(int32_t v) override { w_ = v; }
    void SetHeight(int32_t v) override { h_ = v; }
    void ReadFromStream(TStream&) override {}
    void WriteToStream(TStream&) override {}
    void ReadClipboardData(uint16_t, HANDLE, HPALETTE) override {}
    void WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) override {}

    bool changesWhileDrawing = false;
    bool progressWhileDrawing = false;  // reports redrawable progress from inside its drawing
    int draws = 0;
    HPALETTE palette = nullptr;  // not owned

private:
    int32_t w_, h_;
    COLORREF color_;
};

inline TGraphic* NewSolidGraphic() { return new TSolidGraphic; }
inline const TGraphicClassInfo TSolidGraphic::ClassInfo = {"TSolidGraphic", &TGraphic::ClassInfo, &NewSolidGraphic};
