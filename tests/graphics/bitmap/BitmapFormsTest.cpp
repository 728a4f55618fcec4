// Reading a DIB without its file header (as resources hold them), the clipboard forms,
// replacing the palette, and every form drawn through a reduced copy.
#include "BitmapTestSupport.h"
#include "graphics/ReducedPicture.h"
#include "rtl/Exceptions.h"
#include "support/RaisedMessage.h"

using samples::Bytes;
using samples::Form;
using samples::Picture;
using samples::Rgb;

TEST(BitmapDib, ADibWithoutFileHeaderReadsLikeTheFile) {
    for (uint32_t compression : {0u, 1u}) {
        Form form = FormOf(8, compression);
        Picture want = samples::ReferencePicture(8);
        Bytes file = samples::WriteBmp(want, form);
        Bytes dib(file.begin() + 14, file.end());
        TPointerStream stream(dib.data(), dib.size());
        TBitmap bitmap;
        bitmap.ReadDib(stream, static_cast<int64_t>(dib.size()), nullptr);
        EXPECT_TRUE(DrawsAs(bitmap, want)) << compression;
        if (compression) {
            // The kept bytes get a made file header: "BM", the size, nothing else.
            Bytes saved = SavedBytes(bitmap);
            ASSERT_EQ(saved.size(), file.size());
            EXPECT_EQ(std::string(saved.begin(), saved.begin() + 2), "BM");
            EXPECT_EQ(saved[2] | (saved[3] << 8) | (saved[4] << 16), int(dib.size()));
            EXPECT_EQ(saved[10], 0);
            EXPECT_TRUE(std::equal(saved.begin() + 14, saved.end(), dib.begin()));
        }
    }
}

TEST(BitmapClipboard, TheClipboardFormIsADeviceCopyThatReadsBack) {
    Picture want = samples::ReferencePicture(24);
    TBitmap bitmap;
    LoadBytes(bitmap, samples::WriteBmp(want, Form()));
    uint16_t format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    bitmap.WriteClipboardData(format, data, palette);
    EXPECT_EQ(format, CF_BITMAP);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(data, bitmap.Image().DrawHandle);

    TBitmap pasted;
    pasted.ReadClipboardData(CF_BITMAP, data, palette);
    DeleteObject(data);
    if (palette) DeleteObject(palette);
    EXPECT_EQ(pasted.StorageKind(), TBitmapHandleType::bmDDB);
    EXPECT_TRUE(DrawsAs(pasted, want));

    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { pasted.ReadClipboardData(CF_DIB, data, nullptr); }), "未対応のクリップボード データです");
    EXPECT_EQ(pasted.Width(), 13);
}

TEST(BitmapPalette, ANewPaletteKeepsTheColoursItHoldsAndBecomesTheColourTable) {
    Form form = FormOf(4);
    Picture want = samples::ReferencePicture(4);
    TBitmap bitmap;
    LoadBytes(bitmap, samples::WriteBmp(want, form));
    // The same sixteen colours in reverse order.
    auto table = samples::ReferencePalette(4);
    struct {
        WORD version = 0x300, count = 16;
        PALETTEENTRY entries[16];
    } lp;
    for (int i = 0; i < 16; ++i) lp.entries[i] = {table[15 - i].r, table[15 - i].g, table[15 - i].b, 0};
    HPALETTE reversed = CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
    ASSERT_NE(reversed, nullptr);
    bitmap.SetPalette(reversed);  // the bitmap owns it now
    EXPECT_EQ(bitmap.Palette(), reversed);
    EXPECT_TRUE(bitmap.PaletteDirty);

    EXPECT_TRUE(DrawsAs(bitmap, want));
    auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(0));
    int firstIndex = row[0] >> 4;
    EXPECT_EQ(table[size_t(15 - firstIndex)], want.At(0, 0)) << "indices follow the new table";
}

TEST(BitmapDib, StoredDataReadsExactlyItsCountedBytes) {
    Picture want = samples::ReferencePicture(24);
    Bytes file = samples::WriteBmp(want, Form());
    // The whole file behind a count of `count` bytes.
    auto counted = [&](TMemoryStream& stream, int32_t count) {
        stream.WriteBuffer(&count, 4);
        stream.WriteBuffer(file.data(), int32_t(file.size()));
        stream.SetPosition(0);
    };
    // Count 54 + 40 x 5 bytes: the two top rows are left out; a marker follows.
    const int32_t count = int32_t(54 + 40 * 5);
    TMemoryStream stream, cut;
    counted(stream, count);
    TBitmap bitmap;
    bitmap.ReadStoredData(stream);
    EXPECT_EQ(stream.Position(), 4 + count);
    DibSurface surface(13, 7, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    EXPECT_EQ(surface.Read().At(3, 1), 0x000000u);
    EXPECT_EQ(surface.Read().At(3, 2), want.At(3, 2).Packed());

    TMemoryStream written;
    bitmap.WriteStoredData(written);
    written.SetPosition(0);
    TBitmap again;
    again.ReadStoredData(written);
    EXPECT_EQ(written.Position(), written.Size());
    EXPECT_TRUE(again.IsSameImage(&bitmap));

    // A count that ends inside the header: what follows is not taken for the header.
    counted(cut, 20);
    EXPECT_THROW(again.ReadStoredData(cut), EInvalidGraphic);
    EXPECT_EQ(cut.Position(), 4 + 20);
}

// Drawn smaller than it is, a bitmap of any form is averaged in colours: palette pictures
// too, whose indexes mean nothing in between. A 4 x 4 picture of quarters (a b / b a)
// drawn at 2 x 2 gives the quarters exactly; at 1 x 1 the mean of a and b, worked out here
// by hand, halves rounded up.
TEST(BitmapReduce, EveryFormIsAveragedInColours) {
    struct Row {
        const char* name;
        int bits;
        uint32_t compression;
        bool topDown;
        Rgb a, b, mean;
    };
    // Palette pictures use the sample palette's first two entries.
    const Row rows[] = {
        {"1-bit", 1, 0, false, {200, 30, 60}, {10, 220, 120}, {105, 125, 90}},
        {"4-bit", 4, 0, false, {11, 85, 255}, {48, 14, 254}, {30, 50, 255}},
        {"8-bit", 8, 0, false, {11, 85, 255}, {48, 14, 254}, {30, 50, 255}},
        {"8-bit run-length (a device bitmap)", 8, 1, false, {11, 85, 255}, {48, 14, 254}, {30, 50, 255}},
        {"16-bit", 16, 0, false, {255, 0, 255}, {0, 255, 0}, {128, 128, 128}},
        {"24-bit", 24, 0, false, {10, 20, 30}, {200, 100, 0}, {105, 60, 15}},
        {"24-bit top-down", 24, 0, true, {10, 20, 30}, {200, 100, 0}, {105, 60, 15}},
        {"32-bit", 32, 0, false, {10, 20, 30}, {200, 100, 0}, {105, 60, 15}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Form form = FormOf(row.bits, row.compression);
        form.topDown = row.topDown;
        const Rgb corners[4] = {row.a, row.b, row.b, row.a};
        Picture quarters{4, 4, samplebytes::QuadrantPixels(4, 4, corners)};
        TBitmap bitmap;
        LoadBytes(bitmap, samples::WriteBmp(quarters, form));

        DibSurface surface(3, 2, kUnused, 24);
        StretchGraphicReduced(surface.Canvas(), Rect(0, 0, 2, 2), &bitmap);
        StretchGraphicReduced(surface.Canvas(), Rect(2, 0, 3, 1), &bitmap);
        EXPECT_TRUE(surface.Read().Shows(PixelsOf(Picture{3, 2, {row.a, row.b, row.mean, row.b, row.a, {1, 2, 3}}})));
    }
}
