// The GDI object counter, and that loading, drawing and freeing bitmaps leaves no objects.
#include "BitmapTestSupport.h"
#include "support/GdiCounter.h"
#include "support/ProcessFigures.h"

TEST(GdiCounter, CountsAnObjectLeftUndeleted) {
    int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    HBRUSH leaked = CreateSolidBrush(RGB(1, 2, 3));  // deliberately kept until the check
    ASSERT_NE(leaked, nullptr);
    EXPECT_EQ(LiveGdiObjects(), before + 1);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    EXPECT_EQ(LiveGdiObjects(), before + 2);
    DeleteObject(bitmap);
    DeleteObject(leaked);
    EXPECT_EQ(LiveGdiObjects(), before);
}

TEST(BitmapLeaks, AThousandLoadDrawFreeCyclesLeaveTheObjectCountUnchanged) {
    std::vector<samples::Bytes> files;
    for (const samples::Form& form : samples::AcceptedForms())
        files.push_back(samples::WriteBmp(samples::ReferencePicture(form.bitCount), form));
    DibSurface surface(26, 14, kUnused, 24);
    // Negative cycles warm up, a copy made of every file: the standard palette and cached
    // objects are made once, before counting.
    const int warmUp = int(files.size());
    int before = 0;
    for (int i = -warmUp; i < 1000; ++i) {
        if (i == 0) before = LiveGdiObjects();
        auto bitmap = std::make_unique<TBitmap>();
        LoadBytes(*bitmap, files[size_t(i + warmUp) % files.size()]);
        surface.Canvas().StretchGraphic(Rect(0, 0, 26, 14), bitmap.get());
        if (i < 0 || i % 3 == 0) {
            TBitmap copy;
            copy.CopyFrom(bitmap.get());
            copy.Canvas().Brush().Color = RGB(0, 0, 255);
            copy.Canvas().FillRect(Rect(0, 0, 2, 2));
            surface.Canvas().StretchGraphic(Rect(0, 0, 26, 14), &copy);
        }
        bitmap.reset();
        FreeMemoryContexts();  // what the message loop does after each message
    }
    EXPECT_EQ(LiveGdiObjects(), before);
}

// Each bitmap's drawing context has a lock; one that kept memory after its bitmap was gone
// would grow the heap by a few bytes per picture drawn, for as long as the program runs.
TEST(BitmapLeaks, BitmapsDrawnFromLeaveNoHeapBehind) {
    const samples::Bytes file = samples::WriteBmp(samples::ReferencePicture(24), samples::Form{});
    DibSurface surface(26, 14, kUnused, 24);
    auto cycle = [&] {
        TBitmap bitmap;
        LoadBytes(bitmap, file);
        surface.Canvas().StretchGraphic(Rect(0, 0, 26, 14), &bitmap);
        FreeMemoryContexts();
    };
    for (int i = 0; i < 50; ++i) cycle();
    const uint64_t before = ReadProcessFigures().heapBytesInUse;
    for (int i = 0; i < 2000; ++i) cycle();
    const uint64_t after = ReadProcessFigures().heapBytesInUse;
    EXPECT_LT(after, before + 4096) << "the heap grew by " << (after - before) << " bytes in 2000 bitmaps";
}
