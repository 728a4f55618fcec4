// Sharing between copies, copy on change, size, depth, rows, storage, transparency and
// writing the BMP form.
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include "BitmapTestSupport.h"
#include "framework/Application.h"
#include "graphics/bitmap/ReducedCopy.h"
#include "rtl/Exceptions.h"
#include "support/RaisedMessage.h"

using samples::Bytes;
using samples::Form;
using samples::Picture;
using samples::Rgb;

namespace {
Bytes Plain24() { return samples::WriteBmp(samples::ReferencePicture(24), Form()); }

// The written bytes read into a new bitmap and drawn.
::testing::AssertionResult ReadsBackAs(const Bytes& written, const Picture& want) {
    TBitmap again;
    LoadBytes(again, written);
    return DrawsAs(again, want);
}
}  // namespace

// A copy shares the image until it is drawn on, its rows are written or its handle is
// handed out; then it has its own, and the original stays as it was.
TEST(BitmapSharing, CopiesShareOneImageUntilOneChanges) {
    Picture topRowBlack = samples::ReferencePicture(24);
    std::fill(topRowBlack.pixels.begin(), topRowBlack.pixels.begin() + 13, Rgb{0, 0, 0});
    const struct { const char* how; std::function<void(TBitmap&, TBitmap&)> change; Picture copyShows; } cases[] = {
        {"canvas", [](TBitmap& copy, TBitmap&) {
             copy.Canvas().Brush().Color = RGB(255, 0, 0);
             copy.Canvas().FillRect(Rect(0, 0, 13, 7));
         }, samples::SolidPicture(13, 7, {255, 0, 0})},
        {"scan line", [](TBitmap& copy, TBitmap&) { std::memset(copy.ScanLine(0), 0, 13 * 3); }, topRowBlack},
        {"handle", [](TBitmap& copy, TBitmap& original) {
             HBITMAP handle = copy.BitmapHandle();
             EXPECT_NE(handle, original.Image().DrawHandle);
             WindowDC screen;
             OwnedDC dc(CreateCompatibleDC(screen.get()));
             SelectedObject selected(dc.get(), handle);
             PatBlt(dc.get(), 0, 0, 13, 7, BLACKNESS);
         }, samples::SolidPicture(13, 7, {0, 0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        TBitmap original, copy;
        LoadBytes(original, Plain24());
        copy.CopyFrom(&original);
        EXPECT_EQ(&copy.Image(), &original.Image());
        EXPECT_EQ(original.Image().RefCount(), 2);
        c.change(copy, original);
        EXPECT_NE(&copy.Image(), &original.Image());
        EXPECT_EQ(original.Image().RefCount(), 1);
        EXPECT_TRUE(DrawsAs(original, samples::ReferencePicture(24)));
        EXPECT_TRUE(DrawsAs(copy, c.copyShows));
        int changes = 0;  // copying none empties and notifies
        copy.OnChange = [&](TObject*) { ++changes; };
        copy.CopyFrom(nullptr);
        EXPECT_TRUE(copy.IsEmpty());
        EXPECT_EQ(changes, 1);
    }
}

TEST(BitmapRows, RowZeroIsTheTopRowForBothOrientationsAndRowsOutsideAreRefused) {
    Picture want = samples::ReferencePicture(24);
    for (bool topDown : {false, true}) {
        Form form;
        form.topDown = topDown;
        TBitmap bitmap;
        LoadBytes(bitmap, samples::WriteBmp(want, form));
        for (int y : {0, 6}) {
            auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(y));
            EXPECT_EQ((Rgb{row[3 * 4 + 2], row[3 * 4 + 1], row[3 * 4]}), want.At(4, y)) << topDown << " row " << y;
        }
        for (int row : {7, -1, 1000})
            EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { bitmap.ScanLine(row); }), "スキャンライン のインデックスが範囲を越えました") << row;
    }
}

// A run-length picture's rows: at 24 bits its pixels, without the file's bytes kept; in the
// device bitmap it loads as, what is written into them is what is drawn.
TEST(BitmapRows, RowsOfARunLengthPictureGiveItsPixelsAndTakeWhatIsWritten) {
    Picture want = samples::ReferencePicture(8);
    TBitmap deep, bitmap;
    LoadBytes(deep, samples::WriteBmp(want, FormOf(8, 1)));
    deep.SetPixelDepth(TPixelFormat::pf24bit);
    auto* deepRow = static_cast<const uint8_t*>(deep.ScanLine(2));
    EXPECT_EQ((Rgb{deepRow[3 * 9 + 2], deepRow[3 * 9 + 1], deepRow[3 * 9]}), want.At(9, 2));
    EXPECT_FALSE(deep.Image().SavedFileBytes);

    LoadBytes(bitmap, samples::WriteBmp(want, FormOf(8, 1)));
    ASSERT_EQ(bitmap.StorageKind(), TBitmapHandleType::bmDDB);
    auto* row = static_cast<uint8_t*>(bitmap.ScanLine(0));
    std::memset(row, 0, 13 * (bitmap.Image().DibInfo.dsBmih.biBitCount / 8));
    DibSurface surface(13, 7, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    EXPECT_EQ(surface.Read().At(6, 0), 0x000000u);
    EXPECT_EQ(surface.Read().At(6, 1), want.At(6, 1).Packed());
    bitmap.Canvas().FillRect(Rect(12, 6, 13, 7));  // a later change keeps the written row
    DibSurface again(13, 7, kUnused, 24);
    DrawAtOwnSize(again, bitmap);
    EXPECT_EQ(again.Read().At(6, 0), 0x000000u);
}

TEST(BitmapDepth, EachDepthGivesTheSectionItNames) {
    TBitmap bitmap;
    LoadBytes(bitmap, Plain24());
    bitmap.SetPixelDepth(TPixelFormat::pf15bit);
    EXPECT_EQ(bitmap.PixelDepth(), TPixelFormat::pf15bit);
    EXPECT_EQ(bitmap.Image().DibInfo.dsBmih.biBitCount, 16);
    EXPECT_EQ(bitmap.Image().DibInfo.dsBmih.biCompression, DWORD(BI_RGB));

    bitmap.SetPixelDepth(TPixelFormat::pf16bit);
    EXPECT_EQ(bitmap.PixelDepth(), TPixelFormat::pf16bit);
    const DIBSECTION& d = bitmap.Image().DibInfo;
    EXPECT_EQ(d.dsBmih.biCompression, DWORD(BI_BITFIELDS));
    EXPECT_EQ(std::vector<DWORD>(d.dsBitfields, d.dsBitfields + 3), (std::vector<DWORD>{0xF800, 0x07E0, 0x001F}));

    for (TPixelFormat f : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit, TPixelFormat::pf24bit,
                           TPixelFormat::pf32bit}) {
        bitmap.SetPixelDepth(f);
        EXPECT_EQ(bitmap.PixelDepth(), f);
        EXPECT_EQ(bitmap.Width(), 13);
        EXPECT_EQ(bitmap.Height(), 7);
    }
    bitmap.SetPixelDepth(TPixelFormat::pfDevice);
    EXPECT_EQ(bitmap.StorageKind(), TBitmapHandleType::bmDDB);
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { bitmap.SetPixelDepth(TPixelFormat::pfCustom); }), "画像フォーマットが不正です");
}

TEST(BitmapDepth, DeeperSectionsAndSwitchedStorageKeepTheColours) {
    Picture want = samples::ReferencePicture(24);
    const struct { const char* what; void (*change)(TBitmap&); TBitmapHandleType storage; } cases[] = {
        {"32 bits", [](TBitmap& b) { b.SetPixelDepth(TPixelFormat::pf32bit); }, TBitmapHandleType::bmDIB},
        {"device depth", [](TBitmap& b) { b.SetPixelDepth(TPixelFormat::pfDevice); }, TBitmapHandleType::bmDDB},
        {"24 bits", [](TBitmap& b) { b.SetPixelDepth(TPixelFormat::pf24bit); }, TBitmapHandleType::bmDIB},
        {"device bitmap", [](TBitmap& b) { b.SetStorageKind(TBitmapHandleType::bmDDB); }, TBitmapHandleType::bmDDB},
        {"device bitmap and back", [](TBitmap& b) {
             b.SetStorageKind(TBitmapHandleType::bmDDB);
             b.SetStorageKind(TBitmapHandleType::bmDIB);
         }, TBitmapHandleType::bmDIB},
    };
    for (const auto& c : cases) {
        TBitmap bitmap;
        LoadBytes(bitmap, Plain24());
        c.change(bitmap);
        EXPECT_EQ(bitmap.StorageKind(), c.storage) << c.what;
        EXPECT_TRUE(DrawsAs(bitmap, want)) << c.what;
    }
}

TEST(BitmapSize, AnEmptyBitmapGrowsWhiteInTheRecordedDepthAPictureKeepsItsPixels) {
    TBitmap bitmap;
    bitmap.SetPixelDepth(TPixelFormat::pf24bit);
    bitmap.SetWidth(5);
    EXPECT_TRUE(bitmap.IsEmpty());
    bitmap.SetHeight(3);
    EXPECT_FALSE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.PixelDepth(), TPixelFormat::pf24bit);
    EXPECT_TRUE(DrawsAs(bitmap, samples::SolidPicture(5, 3, {255, 255, 255})));

    // Growing a picture keeps it and fills the rest white; shrinking crops.
    Picture want = samples::ReferencePicture(24);
    LoadBytes(bitmap, Plain24());
    bitmap.SetWidth(20);
    EXPECT_EQ(bitmap.Width(), 20);
    DibSurface surface(20, 7, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    EXPECT_EQ(surface.Read().At(12, 6), want.At(12, 6).Packed());
    EXPECT_EQ(surface.Read().At(0, 0), want.At(0, 0).Packed());
    EXPECT_EQ(surface.Read().At(17, 3), 0xFFFFFFu);
    bitmap.SetHeight(0);
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Width(), 20);
}

// After a switch to a device bitmap, the changes that make new pixels (a resize, a copy
// made on change) make a device bitmap again, not a section of the old form.
TEST(BitmapStorage, ADeviceBitmapStaysOneThroughResizeAndCopyOnChange) {
    Picture want = samples::ReferencePicture(24);
    TBitmap bitmap, copy;
    LoadBytes(bitmap, Plain24());
    bitmap.SetStorageKind(TBitmapHandleType::bmDDB);
    bitmap.SetWidth(20);
    EXPECT_EQ(bitmap.StorageKind(), TBitmapHandleType::bmDDB);
    EXPECT_EQ(bitmap.PixelDepth(), TPixelFormat::pfDevice);
    DibSurface surface(20, 7, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    EXPECT_TRUE(surface.Read().Shows(PixelsOf(want)));
    EXPECT_EQ(surface.Read().At(19, 6), 0xFFFFFFu);

    copy.CopyFrom(&bitmap);
    copy.Canvas().Brush().Color = RGB(255, 0, 0);
    copy.Canvas().FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(copy.StorageKind(), TBitmapHandleType::bmDDB);
    EXPECT_EQ(bitmap.StorageKind(), TBitmapHandleType::bmDDB);
}

TEST(BitmapWriting, RunLengthBytesAreWrittenBackUntilTheCanvasChangesThePicture) {
    Picture want = samples::ReferencePicture(8);
    Bytes file = samples::WriteBmp(want, FormOf(8, 1));
    TBitmap bitmap;
    LoadBytes(bitmap, file);
    EXPECT_EQ(SavedBytes(bitmap), file);

    bitmap.Canvas().Brush().Color = RGB(0, 0, 0);
    bitmap.Canvas().FillRect(Rect(0, 0, 1, 1));
    Bytes written = SavedBytes(bitmap);
    ASSERT_GT(written.size(), 54u);
    EXPECT_EQ(written[14], 40);          // a 40-byte header
    EXPECT_EQ(written[30], 0);           // uncompressed
    Picture changed = want;
    changed.pixels[0] = {0, 0, 0};
    EXPECT_TRUE(ReadsBackAs(written, changed));
}

TEST(BitmapWriting, WrittenFilesReadBackToTheSamePicture) {
    for (Form form : samples::AcceptedForms()) {
        if (form.compression == 1 || form.compression == 2) continue;
        SCOPED_TRACE(form.Name());
        Picture want = samples::ReferencePicture(form.bitCount);
        TBitmap bitmap;
        LoadBytes(bitmap, samples::WriteBmp(want, form));
        Bytes written = SavedBytes(bitmap);
        EXPECT_EQ(written[14], form.headerSize == 12 ? 12 : 40);
        EXPECT_TRUE(ReadsBackAs(written, want));
        if (form.headerSize != 12) continue;
        bitmap.SetWidth(70000);  // wider than the core header's 16-bit width: written whole
        TBitmap wide;
        LoadBytes(wide, SavedBytes(bitmap));
        EXPECT_EQ(wide.Width(), 70000);
        EXPECT_EQ(wide.Height(), 7);
    }
}

// The section is selected into the copy's context while the original is written: its
// colour table must still be read, or the pixel bytes would be taken as the table.
TEST(BitmapWriting, ASharedPaletteSectionHeldByACopysContextWritesItsColourTable) {
    Picture want = samples::ReferencePicture(8);
    TBitmap original, copy;
    LoadBytes(original, samples::WriteBmp(want, FormOf(8)));
    copy.CopyFrom(&original);
    copy.Canvas().Handle();
    Bytes written = SavedBytes(original);
    ASSERT_GT(written.size(), 54u);
    EXPECT_EQ(written[46] | written[47] << 8, 256);  // biClrUsed
    EXPECT_TRUE(ReadsBackAs(written, want));
}

TEST(BitmapTransparency, KeyColourPixelsLetTheBackgroundThrough) {
    // 4 x 2: the bottom-left pixel's colour (the key) appears twice.
    Rgb key{10, 200, 30}, other{200, 10, 90};
    Picture pic{4, 2, {other, key, other, other, key, other, other, other}};
    TBitmap bitmap;
    LoadBytes(bitmap, samples::WriteBmp(pic, Form()));
    bitmap.SetTransparent(true);
    for (int scale : {1, 2}) {
        DibSurface surface(8, 4, RGB(255, 0, 0), 24);
        surface.Canvas().StretchGraphic(Rect(0, 0, 4 * scale, 2 * scale), &bitmap);
        EXPECT_EQ(surface.Read().At(0, 1 * scale), 0xFF0000u) << scale;
        EXPECT_EQ(surface.Read().At(1 * scale, 0), 0xFF0000u) << scale;
        EXPECT_EQ(surface.Read().At(0, 0), other.Packed()) << scale;
        EXPECT_EQ(surface.Read().At(3 * scale, 1 * scale), other.Packed()) << scale;
    }
    bitmap.SetTransparentKeyColor(clNone);
    DibSurface opaque(4, 2, RGB(255, 0, 0), 24);
    DrawAtOwnSize(opaque, bitmap);
    EXPECT_EQ(opaque.Read().At(0, 1), key.Packed());
}

TEST(BitmapTransparency, PalettePicturesKeepTheirColoursWhenStretched) {
    // Neither table holds black or white: the masking steps must not work on its indices.
    for (int bits : {4, 8}) {
        Picture pic = samples::ReferencePicture(bits);
        TBitmap bitmap;
        LoadBytes(bitmap, samples::WriteBmp(pic, FormOf(bits)));
        bitmap.SetTransparent(true);
        const Rgb key = pic.At(0, pic.height - 1), background{1, 254, 3};
        DibSurface surface(26, 14, RGB(background.r, background.g, background.b), 24);
        surface.Canvas().StretchGraphic(Rect(0, 0, 26, 14), &bitmap);
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x)
                ASSERT_EQ(surface.Read().At(2 * x, 2 * y), (pic.At(x, y) == key ? background : pic.At(x, y)).Packed())
                    << bits << " bits, pixel " << x << "," << y;
    }
}

// The context a drawing made is released after each message, unless another thread holds it.
TEST(BitmapContexts, TheOwnContextIsReleasedAfterEachMessageUnlessAnotherThreadHoldsIt) {
    TBitmap bitmap;
    LoadBytes(bitmap, Plain24());
    DibSurface surface(13, 7, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    ASSERT_TRUE(bitmap.Canvas().HandleAllocated());
    std::mutex step;
    std::condition_variable changed;
    int stage = 0;
    std::thread holder([&] {
        std::lock_guard<RecursiveLock> busy(bitmap.Canvas().Lock());
        std::unique_lock<std::mutex> lock(step);
        stage = 1;
        changed.notify_all();
        changed.wait(lock, [&] { return stage == 2; });
    });
    {
        std::unique_lock<std::mutex> lock(step);
        changed.wait(lock, [&] { return stage == 1; });
    }
    FreeMemoryContexts();
    EXPECT_TRUE(bitmap.Canvas().HandleAllocated());
    {
        std::lock_guard<std::mutex> lock(step);
        stage = 2;
    }
    changed.notify_all();
    holder.join();
    FreeMemoryContexts();
    EXPECT_FALSE(bitmap.Canvas().HandleAllocated());
    EXPECT_TRUE(DrawsAs(bitmap, samples::ReferencePicture(24)));  // made again on demand
}

// A printer's abort procedure runs the message loop while the driver still reads from the
// bitmap's context. This bitmap runs that loop at the last point before the copy (its
// Transparent is asked once the context is made), and in it a paint that reduces the same
// picture for a smaller slot; the context must survive both.
TEST(BitmapContexts, AMessageLoopNestedInADrawLeavesTheContextAlone) {
    struct PumpingBitmap : TBitmap {
        bool Transparent() const override {
            auto* self = const_cast<PumpingBitmap*>(this);
            if (self->Canvas().HandleAllocated()) {
                PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
                Application().ProcessMessages();  // releases idle contexts after the message
                TReducedCopy().Make(*self, 6, 3);
                ++self->nestedLoops;
            }
            return false;
        }
        int nestedLoops = 0;
    } bitmap;
    LoadBytes(bitmap, Plain24());
    EXPECT_TRUE(DrawsAs(bitmap, samples::ReferencePicture(24)));
    ASSERT_EQ(bitmap.nestedLoops, 1);
    FreeMemoryContexts();  // once the draw is over the context goes as usual
    EXPECT_FALSE(bitmap.Canvas().HandleAllocated());
}
