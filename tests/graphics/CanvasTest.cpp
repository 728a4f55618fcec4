#include <gtest/gtest.h>
#include <windows.h>
#include "graphics/Canvas.h"
#include "graphics/GdiHandles.h"
#include "rtl/Exceptions.h"
#include "support/DibSurface.h"
#include "support/TestGraphic.h"
#include "support/RaisedMessage.h"

namespace {

// A surface that makes its own context on demand, as bitmap and printer surfaces do.
class OwnContextCanvas : public TCanvas {
public:
    explicit OwnContextCanvas(HDC dc) : dc_(dc) {}
    ~OwnContextCanvas() override { SetHandle(nullptr); }
    int created = 0;

protected:
    void CreateHandle() override {
        ++created;
        SetHandle(dc_);
    }

private:
    HDC dc_;
};

}  // namespace

TEST(Canvas, FillRectPaintsWithTheBrushAndNotifiesAroundIt) {
    DibSurface surface(8, 8);
    TCanvas canvas;
    int changing = 0, changed = 0;
    canvas.OnChanging = [&](TObject* sender) { ++changing; EXPECT_EQ(sender, &canvas); };
    canvas.OnChange = [&](TObject*) { EXPECT_EQ(changing, changed + 1); ++changed; };
    canvas.SetHandle(surface.dc());
    canvas.Brush().Color = RGB(255, 0, 0);
    canvas.Brush().Changed();
    canvas.FillRect(Rect(0, 0, 4, 8));
    // A change of a selected brush must take effect on the next drawing.
    canvas.Brush().Color = RGB(0, 0, 255);
    canvas.Brush().Changed();
    canvas.FillRect(Rect(4, 0, 8, 8));
    EXPECT_EQ(surface.Read().Count(RECT{0, 0, 4, 8}, 0xFF0000), 4 * 8);
    EXPECT_EQ(surface.Read().Count(RECT{4, 0, 8, 8}, 0x0000FF), 4 * 8);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    canvas.SetHandle(nullptr);
}

TEST(Canvas, LettingGoOfAContextPutsItsOwnObjectsBack) {
    DibSurface surface(4, 4);
    HGDIOBJ originalBrush = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    HGDIOBJ originalFont = GetCurrentObject(surface.dc(), OBJ_FONT);
    {
        TCanvas canvas;
        canvas.SetHandle(surface.dc());
        canvas.TextOut(0, 0, "x");
        canvas.FillRect(Rect(0, 0, 1, 1));
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), canvas.Brush().Handle());
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), canvas.Font().Handle());
        canvas.SetHandle(nullptr);
        EXPECT_FALSE(canvas.HandleAllocated());
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), originalBrush);
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), originalFont);
    }
    // The canvas's font and brush were deleted with it: the context never held them then.
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), originalBrush);
}

// Without a context, drawing fails; a canvas that makes its own makes it for the graphic.
TEST(Canvas, StretchGraphicHandsTheRectangleToTheGraphicWithObjectsSelected) {
    TCanvas none;
    EXPECT_EQ(MessageOf<EInvalidOperation>([&] { none.Handle(); }), "Canvas に対する描画ができません") << "a context appeared";
    EXPECT_THROW(none.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    TTestGraphic graphic;
    EXPECT_THROW(none.StretchGraphic(Rect(0, 0, 1, 1), &graphic), EInvalidOperation);
    EXPECT_EQ(graphic.draws, 0);

    DibSurface surface(16, 16);
    OwnContextCanvas canvas(surface.dc());
    int changed = 0;
    canvas.OnChange = [&](TObject*) { ++changed; };
    canvas.StretchGraphic(Rect(1, 2, 3, 4), nullptr);
    EXPECT_EQ(canvas.created, 0);  // nothing to draw: no context made, no notification
    EXPECT_EQ(changed, 0);

    canvas.StretchGraphic(Rect(1, 2, 13, 14), &graphic);
    EXPECT_EQ(canvas.created, 1);
    EXPECT_EQ(graphic.draws, 1);
    EXPECT_EQ(graphic.drawnRect, Rect(1, 2, 13, 14));
    EXPECT_EQ(graphic.drawnOn, surface.dc());
    EXPECT_EQ(graphic.fontAtDraw, canvas.Font().Handle());
    EXPECT_EQ(graphic.brushAtDraw, canvas.Brush().Handle());
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(canvas.CopyMode, static_cast<DWORD>(SRCCOPY));
}

TEST(GdiHandles, OwnersReleaseAndRestore) {
    DibSurface surface(2, 2);
    HGDIOBJ before = GetCurrentObject(surface.dc(), OBJ_BRUSH);
    OwnedBrush brush(CreateSolidBrush(RGB(0, 255, 0)));
    {
        SelectedObject selected(surface.dc(), brush.get());
        EXPECT_TRUE(selected.ok());
        EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_BRUSH), before);
    HBRUSH raw = brush.get();
    brush.reset();
    EXPECT_EQ(GetObjectType(raw), 0u);  // deleted

    OwnedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, 16));
    {
        GlobalLockGuard lock(memory.get());
        ASSERT_NE(lock.get(), nullptr);
        lock.as<char>()[0] = 'x';
    }
    EXPECT_EQ(GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 0u);
}
