#include "support/TestGraphic.h"
#include "graphics/Canvas.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"

int TTestGraphic::liveCount = 0;

static TGraphic* CreateTestGraphic() { return new TTestGraphic; }
static TGraphic* CreateDerivedTestGraphic() { return new TDerivedTestGraphic; }
const TGraphicClassInfo TTestGraphic::ClassInfo = {"TTestGraphic", &TGraphic::ClassInfo, &CreateTestGraphic};
const TGraphicClassInfo TDerivedTestGraphic::ClassInfo = {"TDerivedTestGraphic", &TTestGraphic::ClassInfo,
                                                          &CreateDerivedTestGraphic};

void TTestGraphic::CopyFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TTestGraphic*>(source)) {
        content = other->content;
        width = other->width;
        height = other->height;
        colour = other->colour;
        changesWhileDrawing = other->changesWhileDrawing;
        progressWhileDrawing = other->progressWhileDrawing;
        failure = other->failure;
        onDraw = other->onDraw;
        palette = other->palette;
        PaletteDirty = other->PaletteDirty;
        NotifyChanged(this);
        return;
    }
    TGraphic::CopyFrom(source);
}

void TTestGraphic::DrawStretched(TCanvas& canvas, const TRect& rect) {
    if (onDraw) onDraw();
    if (failure) throw EInvalidGraphic(failure);
    ++draws;
    drawnRect = rect;
    drawnOn = canvas.Handle();
    fontAtDraw = GetCurrentObject(drawnOn, OBJ_FONT);
    brushAtDraw = GetCurrentObject(drawnOn, OBJ_BRUSH);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    FillRect(drawnOn, &r, brush);
    DeleteObject(brush);
    if (changesWhileDrawing) NotifyChanged(this);
    if (progressWhileDrawing) ReportProgress(this, TProgressStage::psRunning, 50, true, rect, "");
}

void TTestGraphic::SetWidth(int32_t value) {
    content.assign(static_cast<size_t>(value), 'w');
    NotifyChanged(this);
}

void TTestGraphic::ReadFromStream(TStream& stream) {
    ReportProgress(this, TProgressStage::psStarting, 0, false, TRect{}, "");
    std::string bytes(static_cast<size_t>(stream.Size() - stream.Position()), '\0');
    stream.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (bytes.compare(0, 3, "BAD") == 0) throw EInvalidGraphic("test format: bad data");
    content = bytes;
    NotifyChanged(this);  // must not reach the container while it reads
    ReportProgress(this, TProgressStage::psEnding, 100, false, TRect{}, "");
}

void TTestGraphic::WriteToStream(TStream& stream) {
    stream.WriteBuffer(content.data(), static_cast<int32_t>(content.size()));
}
