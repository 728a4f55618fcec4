// Reading BMP files made in code, in every accepted form, and drawing them.
#include <map>
#include "BitmapTestSupport.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"
#include "support/RaisedMessage.h"

using samples::Bytes;
using samples::Form;
using samples::Picture;
using samples::Rgb;

// Run-length files become device bitmaps that keep their bytes; every other form a section
// of its depth, without them.
TEST(BitmapRead, EveryAcceptedFormDrawsTheColoursOfItsPlain24BitEquivalentInItsStorage) {
    const std::map<std::pair<int, uint32_t>, TPixelFormat> depths = {
        {{1, 0}, TPixelFormat::pf1bit},   {{4, 0}, TPixelFormat::pf4bit},   {{8, 0}, TPixelFormat::pf8bit},
        {{16, 0}, TPixelFormat::pf15bit}, {{16, 3}, TPixelFormat::pf16bit}, {{24, 0}, TPixelFormat::pf24bit},
        {{32, 0}, TPixelFormat::pf32bit}};
    for (const Form& form : samples::AcceptedForms()) {
        SCOPED_TRACE(form.Name());
        Picture want = samples::ReferencePicture(form.bitCount);
        Bytes file = samples::WriteBmp(want, form);
        TBitmap reference, bitmap;
        LoadBytes(reference, samples::WriteBmp(want, Form()));
        LoadBytes(bitmap, file);
        EXPECT_EQ(bitmap.Width(), want.width);
        EXPECT_EQ(bitmap.Height(), want.height);
        EXPECT_FALSE(bitmap.IsEmpty());
        EXPECT_TRUE(DrawsAs(reference, want));
        EXPECT_TRUE(DrawsAs(bitmap, want));

        const bool runLength = form.compression == 1 || form.compression == 2;
        EXPECT_EQ(bitmap.StorageKind(), runLength ? TBitmapHandleType::bmDDB : TBitmapHandleType::bmDIB);
        EXPECT_EQ(bool(bitmap.Image().SavedFileBytes), runLength);
        const auto depth = depths.find({form.bitCount, form.compression});
        if (runLength) {
            EXPECT_EQ(SavedBytes(bitmap), file);
            EXPECT_EQ(bitmap.PixelDepth(), TPixelFormat::pfDevice);
        } else if (depth != depths.end() && !form.masks[0]) {
            EXPECT_EQ(bitmap.PixelDepth(), depth->second);
        }
    }
}

TEST(BitmapRead, NewAndZeroByteBitmapsAreEmptyAndAWrongSignatureKeepsTheOldPicture) {
    TBitmap fresh;
    EXPECT_TRUE(fresh.IsEmpty());
    EXPECT_EQ(fresh.Width(), 0);
    EXPECT_EQ(fresh.Height(), 0);
    DibSurface surface(4, 4, RGB(9, 9, 9), 24);
    surface.Canvas().StretchGraphic(Rect(0, 0, 4, 4), &fresh);
    EXPECT_EQ(surface.Read().At(2, 2), 0x090909u);

    TBitmap loaded;
    LoadBytes(loaded, samples::WriteBmp(samples::ReferencePicture(24), Form()));
    LoadBytes(loaded, Bytes());
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_EQ(loaded.Width(), 0);

    // A wrong signature is refused and the old picture stays.
    TBitmap bitmap;
    LoadBytes(bitmap, samples::WriteBmp(samples::ReferencePicture(24), Form()));
    Bytes bad = samples::WriteBmp(samples::ReferencePicture(24, 5, 5), Form());
    bad[0] = 'P';
    bad[1] = 'K';
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { LoadBytes(bitmap, bad); }), "ビットマップイメージが不正です");
    EXPECT_EQ(bitmap.Width(), 13);
    EXPECT_TRUE(DrawsAs(bitmap, samples::ReferencePicture(24)));
}

TEST(BitmapRead, ShortPixelDataLeavesTheMissingRowsBlack) {
    Picture want = samples::ReferencePicture(24);
    Bytes file = samples::WriteBmp(want, Form());
    const size_t stride = 40;
    file.resize(file.size() - 3 * stride);  // the top three rows are missing
    TBitmap bitmap;
    LoadBytes(bitmap, file);
    std::fill(want.pixels.begin(), want.pixels.begin() + 3 * 13, Rgb{0, 0, 0});
    EXPECT_TRUE(DrawsAs(bitmap, want));
}

// An 8-bit 4 x 2 file whose colour table has `entries` entries, pixels right after it.
static Bytes SmallEightBit(uint32_t entries, uint32_t gap, const uint8_t pixels[8]) {
    Bytes f(14 + 40, 0);
    f[0] = 'B';
    f[1] = 'M';
    samples::Put32(f, 14, 40);
    samples::Put32(f, 18, 4);
    samples::Put32(f, 22, 2);
    samples::Put16(f, 26, 1);
    samples::Put16(f, 28, 8);
    samples::Put32(f, 46, entries);
    for (uint32_t i = 0; i < std::max<uint32_t>(entries, 5); ++i)
        f.insert(f.end(), {uint8_t(i * 50), uint8_t(200 - i * 40), uint8_t(i * 60 + 10), 0});
    samples::Put32(f, 10, uint32_t(f.size() + gap));
    f.insert(f.end(), pixels, pixels + 8);
    return f;
}

// Five entries in the file, as the header counts them: the pixels follow the fifth,
// wherever bfOffBits points.
TEST(BitmapRead, PixelsFollowTheEntriesTheHeaderCountsWhateverTheOffsetSays) {
    auto colour = [](int i) { return Rgb{uint8_t(i * 60 + 10), uint8_t(200 - i * 40), uint8_t(i * 50)}; };
    const struct { uint32_t gap; uint8_t pixels[8]; } cases[] = {{0, {0, 1, 2, 3, 4, 3, 2, 1}}, {64, {1, 1, 1, 1, 2, 2, 2, 2}}};
    for (const auto& c : cases) {
        TBitmap bitmap;
        LoadBytes(bitmap, SmallEightBit(5, c.gap, c.pixels));
        Picture want = samples::SolidPicture(4, 2, {});
        for (int i = 0; i < 8; ++i) want.pixels[size_t((1 - i / 4) * 4 + i % 4)] = colour(c.pixels[i]);  // bottom-up
        EXPECT_TRUE(DrawsAs(bitmap, want)) << "gap " << c.gap;
    }
}

TEST(BitmapRead, StretchModeFollowsThePictureAndTheSurfaceCopyModeTheSurface) {
    Picture want = samples::ReferencePicture(24);
    TBitmap colour, mono;
    LoadBytes(colour, samples::WriteBmp(want, Form()));
    LoadBytes(mono, samples::WriteBmp(samples::ReferencePicture(1), FormOf(1)));
    DibSurface surface(26, 14, kUnused, 24);
    SetStretchBltMode(surface.dc(), BLACKONWHITE);
    surface.Canvas().StretchGraphic(Rect(0, 0, 26, 14), &mono);
    EXPECT_EQ(GetStretchBltMode(surface.dc()), BLACKONWHITE);  // monochrome: left as it was
    surface.Canvas().StretchGraphic(Rect(0, 0, 26, 14), &colour);
    EXPECT_EQ(GetStretchBltMode(surface.dc()), COLORONCOLOR);
    // Stretched to twice the size, every source pixel covers a 2 x 2 block.
    EXPECT_EQ(surface.Read().At(25, 13), want.At(12, 6).Packed());
    EXPECT_EQ(surface.Read().At(2, 1), want.At(1, 0).Packed());

    DibSurface white(13, 7, RGB(255, 255, 255), 24), black(13, 7, RGB(0, 0, 0), 24);
    white.Canvas().CopyMode = black.Canvas().CopyMode = SRCAND;
    DrawAtOwnSize(white, colour);
    DrawAtOwnSize(black, colour);
    EXPECT_TRUE(white.Read().Shows(PixelsOf(want)));  // white AND picture is the picture
    EXPECT_EQ(black.Read().At(5, 5), 0x000000u);
}

TEST(BitmapRead, DrawingOnAWindowContextShowsThePicture) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    TBitmap bitmap;
    LoadBytes(bitmap, samples::WriteBmp(samples::ReferencePicture(24), Form()));
    {
        WindowDC dc(window);
        TCanvas canvas;
        canvas.SetHandle(dc.get());
        canvas.StretchGraphic(Rect(0, 0, 13, 7), &bitmap);
        EXPECT_EQ(RgbOf(GetPixel(dc.get(), 4, 3)), samples::ReferencePicture(24).At(4, 3).Packed());
        canvas.SetHandle(nullptr);
    }
    DestroyWindow(window);
}

TEST(BitmapRead, TheDescriptionKeepsTheFilesResolutionAndColourCounts) {
    const uint8_t pixels[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    Bytes file = SmallEightBit(5, 0, pixels);
    samples::Put32(file, 38, 3780);
    samples::Put32(file, 42, 1234);
    samples::Put32(file, 50, 3);
    TBitmap bitmap;
    LoadBytes(bitmap, file);
    const BITMAPINFOHEADER& bih = bitmap.Image().DibInfo.dsBmih;
    EXPECT_EQ(bih.biXPelsPerMeter, 3780);
    EXPECT_EQ(bih.biYPelsPerMeter, 1234);
    EXPECT_EQ(bih.biClrUsed, 5u);
    EXPECT_EQ(bih.biClrImportant, 3u);
    // A change through the canvas clears the counts: the file's table no longer applies.
    bitmap.Canvas().FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(bitmap.Image().DibInfo.dsBmih.biClrUsed, 0u);
}

// An 8-bit picture's palette is its table; a 16-bit one's too, when it has one, which in a
// bit-field file follows the masks: the palette must be the table's colours, not the masks'.
TEST(BitmapRead, PalettesAreTheColourTableOfTheFile) {
    auto paletteOf = [](const Bytes& file) {
        TBitmap bitmap;
        LoadBytes(bitmap, file);
        PALETTEENTRY entries[256] = {};
        const UINT n = bitmap.Palette() ? GetPaletteEntries(bitmap.Palette(), 0, 256, entries) : 0;
        std::vector<Rgb> colours;
        for (UINT i = 0; i < n; ++i) colours.push_back({entries[i].peRed, entries[i].peGreen, entries[i].peBlue});
        return colours;
    };
    EXPECT_EQ(paletteOf(samples::WriteBmp(samples::ReferencePicture(8), FormOf(8))), samples::ReferencePalette(8));
    for (uint32_t compression : {0u, 3u}) {
        Form form = FormOf(16, compression);
        form.clrUsed = 2;
        Bytes file = samples::WriteBmp(samples::ReferencePicture(16), form);
        const uint8_t colours[8] = {30, 20, 10, 0, 60, 50, 40, 0};  // blue, green, red, 0
        std::copy(colours, colours + 8, file.begin() + 14 + 40 + (compression == 3 ? 12 : 0));
        EXPECT_EQ(paletteOf(file), (std::vector<Rgb>{{10, 20, 30}, {40, 50, 60}})) << compression;
    }
}
