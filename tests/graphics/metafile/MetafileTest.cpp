// Metafile pictures against the real GDI: metafiles recorded here with CreateEnhMetaFile and
// CreateMetaFile (behind a placeable header), their sizes, refusals, palette, drawing,
// writing, and the hostile corpus, which must end cleanly and leave no GDI objects behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "graphics/Canvas.h"
#include "graphics/GraphicsModule.h"
#include "graphics/metafile/Metafile.h"
#include "graphics/metafile/MetafileRecords.h"
#include "graphics/metafile/MetafileSamples.h"
#include "graphics/Picture.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "support/DibSurface.h"
#include "support/GdiCounter.h"
#include "support/HostileLoads.h"
#include "support/TempDir.h"
#include "support/RaisedMessage.h"
#include "support/SamplePictures.h"

using mfsamples::Bytes;

namespace {

const char* const kInvalid = "メタファイルが不正です";

// A box halving a 1440 x 720 window.
void DrawHalvedBox(HDC dc) {
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 1440, 720, nullptr);
    Rectangle(dc, 0, 0, 1440, 720);
    MoveToEx(dc, 0, 360, nullptr);
    LineTo(dc, 1440, 360);
}

// A recorded EMF with its header saying: frame 0..2540 x 0..1270, reference device
// 1024 x 768 pixels and 320 x 240 mm.
Bytes ReferenceDeviceEmf() {
    Bytes emf = RecordEmf(RECT{0, 0, 2540, 1270}, [](HDC dc) { Rectangle(dc, 0, 0, 50, 25); });
    for (auto [at, value] : {std::pair<size_t, uint32_t>{24, 0}, {28, 0}, {32, 2540}, {36, 1270}, {72, 1024},
                             {76, 768}, {80, 320}, {84, 240}})
        mf::Put32(emf.data() + at, value);
    return emf;
}

// Claims `size` bytes: `head`, then zeros, made up as they are read, so a size past what
// memory holds costs nothing unless someone reads it all.
class ClaimedSizeStream : public TStream {
public:
    ClaimedSizeStream(Bytes head, int64_t size) : head_(std::move(head)), size_(size) {}
    int32_t Read(void* buffer, int32_t count) override {
        const int64_t n = std::max<int64_t>(0, std::min<int64_t>(count, size_ - position_));
        auto* out = static_cast<uint8_t*>(buffer);
        for (int64_t i = 0; i < n; ++i, ++position_)
            out[i] = position_ < static_cast<int64_t>(head_.size()) ? head_[static_cast<size_t>(position_)] : 0;
        return static_cast<int32_t>(n);
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        position_ = offset + (origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_);
        return position_;
    }

private:
    Bytes head_;
    int64_t size_, position_ = 0;
};

// A frame of a whole fraction of the screen, the reference device, filled (black unless
// told) in its device pixels: shows where the frame lands when played.
Bytes FilledFrameEmf(int widthQuarters, int heightQuarters, HBRUSH fill = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) {
    WindowDC screen;
    const int pixelsX = GetDeviceCaps(screen.get(), HORZRES) * widthQuarters / 4;
    const int pixelsY = GetDeviceCaps(screen.get(), VERTRES) * heightQuarters / 4;
    const RECT frame{0, 0, GetDeviceCaps(screen.get(), HORZSIZE) * 100 * widthQuarters / 4,
                     GetDeviceCaps(screen.get(), VERTSIZE) * 100 * heightQuarters / 4};
    return RecordEmf(frame, [&](HDC dc) {
        RECT all{0, 0, pixelsX, pixelsY};
        FillRect(dc, &all, fill);
    });
}

}  // namespace

TEST(Metafile, SizesComeFromTheHeaders) {
    ASSERT_EQ(ScreenLogPixels(), 96);
    struct Case {
        const char* name;
        Bytes bytes;
        int32_t frameWidth, frameHeight, width, height;
        bool enhanced;
    };
    const Bytes wmf = RecordWmf(DrawHalvedBox);
    const Case cases[] = {
        {"1440 x 720 at 1440 per inch", mfsamples::Placeable(wmf, 0, 0, 1440, 720, 1440), 2540, 1270, 96, 48, false},
        {"box not at the origin", mfsamples::Placeable(wmf, -100, 50, 1340, 770, 1440), 2540, 1270, 96, 48, false},
        {"reference device 1024 x 768, 320 x 240 mm", ReferenceDeviceEmf(), 2540, 1270, 81, 41, true},
        {"the same with the original 88-byte header", mfsamples::WithOriginalHeader(ReferenceDeviceEmf()), 2540, 1270, 81, 41, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMetafile metafile;
        LoadBytes(metafile, c.bytes);
        ASSERT_NE(metafile.Handle(), nullptr);
        EXPECT_EQ(metafile.Image()->FrameWidth, c.frameWidth);
        EXPECT_EQ(metafile.Image()->FrameHeight, c.frameHeight);
        EXPECT_EQ(metafile.Width(), c.width);
        EXPECT_EQ(metafile.Height(), c.height);
        EXPECT_EQ(metafile.IsEnhanced, c.enhanced);
    }

    // Inch 0: the frame is taken at 96 units per inch (15 x 7.5 inches), and the pixels come
    // from the converted metafile's reference device, the screen: near 96 per inch again.
    TMetafile unitless;
    LoadBytes(unitless, mfsamples::Placeable(wmf, 0, 0, 1440, 720, 0));
    EXPECT_EQ(unitless.Image()->UnitsPerInch, 0);
    EXPECT_EQ(unitless.Image()->FrameWidth, 38100);
    EXPECT_EQ(unitless.Image()->FrameHeight, 19050);
    EXPECT_NEAR(unitless.Width(), 1440, 1440 / 20);
    EXPECT_NEAR(unitless.Height(), 720, 720 / 20);
}

// Much of what GDI can record, in both metafile forms: the record walk must let the
// platform's own metafiles through.
void DrawEverything(HDC dc) {
    OwnedFont font(CreateFontA(-20, 0, 0, 0, FW_BOLD, TRUE, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    SelectObject(dc, font.get());
    TextOutA(dc, 5, 5, "Tetrafol", 8);
    const INT dx[3] = {9, 9, 9};
    ExtTextOutA(dc, 5, 30, 0, nullptr, "abc", 3, dx);
    OwnedBrush hatch(CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255)));
    SelectObject(dc, hatch.get());
    const POINT points[6] = {{10, 60}, {60, 60}, {35, 100}, {70, 60}, {120, 60}, {95, 100}};
    const INT counts[2] = {3, 3};
    PolyPolygon(dc, points, counts, 2);
    Polyline(dc, points, 3);
    Ellipse(dc, 130, 10, 180, 50);
    RoundRect(dc, 130, 60, 180, 100, 8, 8);
    Pie(dc, 190, 10, 240, 50, 240, 30, 190, 30);
    Chord(dc, 190, 60, 240, 100, 240, 80, 190, 80);
    Arc(dc, 250, 10, 300, 50, 300, 30, 250, 30);
    const uint32_t pixels[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 16, 0, 0, 0, 0};  // Wine records the bits only with their size
    StretchDIBits(dc, 250, 60, 40, 40, 0, 0, 2, 2, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    OwnedRegion region(CreateRectRgn(300, 60, 320, 100));
    FillRgn(dc, region.get(), static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

// Besides, a pattern brush from a monochrome bitmap, which GDI records with colour use 2 and
// no colour table: the picture must load and show both colours of the pattern's stripes
// (Wine's player reads the rows with the wrong stride, so the share of black is not the
// pattern's half there), on grey.
TEST(Metafile, WhatThePlatformRecordsLoadsAndDraws) {
    WindowDC screen;
    const int pixelsX = GetDeviceCaps(screen.get(), HORZRES) / 4, pixelsY = GetDeviceCaps(screen.get(), VERTRES) / 4;
    const WORD rows[8] = {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0};  // 4 columns each way
    OwnedBitmap bitmap(CreateBitmap(8, 8, 1, 1, rows));
    OwnedBrush brush(CreatePatternBrush(bitmap.get()));
    const struct { Bytes file; int width, height; COLORREF under; long black, white; } cases[] = {
        {RecordEmf(RECT{0, 0, 9000, 3000}, DrawEverything), 330, 110, RGB(255, 255, 255), 100, 100},
        {mfsamples::Placeable(RecordWmf(DrawEverything), 0, 0, 330, 110, 96), 330, 110, RGB(255, 255, 255), 100, 100},
        {FilledFrameEmf(1, 1, brush.get()), pixelsX, pixelsY, RGB(128, 128, 128), pixelsX * pixelsY / 4, pixelsX * pixelsY / 8},
        {mfsamples::SavedStateEmf(), 81, 41, RGB(255, 255, 255), 100, 0},  // the black pen draws the rectangle
    };
    for (const auto& c : cases) {
        TMetafile metafile;
        ASSERT_NO_THROW(LoadBytes(metafile, c.file)) << mf::CheckMetafileFile(c.file.data(), c.file.size()).problem;
        DibSurface surface(c.width, c.height, c.under);
        surface.Canvas().StretchGraphic(Rect(0, 0, c.width, c.height), &metafile);
        EXPECT_GT(surface.Read().Count(0), c.black);
        EXPECT_GT(surface.Read().Count(0xFFFFFF), c.white);
    }
}

// Two pens made, used and deleted one after the other.
void DrawTwoPens(HDC dc) {
    for (int i = 0; i < 2; ++i) {
        OwnedPen pen(CreatePen(PS_SOLID, 1, RGB(i, 0, 0)));
        SelectObject(dc, pen.get());
        LineTo(dc, 10, 10 * i);
        SelectObject(dc, GetStockObject(BLACK_PEN));
    }
}

// The two pens, which GDI records into the same handle slot; then every delete record is
// turned into a harmless one of the same size, so the second pen is made into the slot the
// first still holds.
Bytes EmfMakingIntoATakenSlot() {
    Bytes emf = RecordEmf(RECT{0, 0, 2540, 2540}, DrawTwoPens);
    for (size_t at = 0; at < emf.size(); at += mf::Get32(emf.data() + at + 4))
        if (mf::Get32(emf.data() + at) == EMR_DELETEOBJECT) mf::Put32(emf.data() + at, EMR_SETBKMODE);
    return emf;
}

// The Windows metafile the platform makes of an enhanced one, which carries the enhanced
// metafile itself in comments, behind a placeable header.
Bytes PlaceableCarrying(const Bytes& emf) {
    OwnedEnhMetafile handle(SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data()));
    WindowDC screen;
    Bytes wmf(GetWinMetaFileBits(handle.get(), 0, nullptr, MM_ANISOTROPIC, screen.get()));
    GetWinMetaFileBits(handle.get(), static_cast<UINT>(wmf.size()), wmf.data(), MM_ANISOTROPIC, screen.get());
    return mfsamples::Placeable(wmf, 0, 0, 100, 100, 1440);
}

// A blend with transparency as GDI records it, its source bitmap one pixel, and then the
// record given a megabyte more of bits than that pixel takes.
Bytes AlphaBlendWithExtraBits() {
    const Bytes emf = RecordEmf(RECT{0, 0, 2540, 2540}, [](HDC dc) {
        OwnedDC source(CreateCompatibleDC(dc));
        WindowDC screen;
        OwnedBitmap pixel(CreateCompatibleBitmap(screen.get(), 1, 1));
        const HGDIOBJ old = SelectObject(source.get(), pixel.get());
        GdiAlphaBlend(dc, 0, 0, 10, 10, source.get(), 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0});
        SelectObject(source.get(), old);
    });
    constexpr uint32_t kExtra = 1u << 20;
    Bytes grown;
    for (size_t at = 0; at < emf.size(); at += mf::Get32(emf.data() + at + 4)) {
        const size_t start = grown.size();
        const uint32_t size = mf::Get32(emf.data() + at + 4);
        grown.insert(grown.end(), emf.begin() + at, emf.begin() + at + size);
        if (mf::Get32(emf.data() + at) != EMR_ALPHABLEND) continue;
        grown.resize(grown.size() + kExtra, 0x41);
        mf::Put32(grown.data() + start + 4, size + kExtra);
        mf::Put32(grown.data() + start + 96, mf::Get32(grown.data() + start + 96) + kExtra);
    }
    mf::Put32(grown.data() + 48, static_cast<uint32_t>(grown.size()));
    return grown;
}

TEST(Metafile, TheBytesDecideTheReaderAndBadFilesAreRefused) {
    const Bytes wmf = RecordWmf(DrawHalvedBox);
    const Bytes placeable = mfsamples::Placeable(wmf, 0, 0, 1440, 720, 1440);
    const Bytes emf = ReferenceDeviceEmf();
    Bytes checksumOff = placeable;
    checksumOff[20] ^= 0x10;
    Bytes smallCount = emf;
    mf::Put32(smallCount.data() + 48, 99);
    using samplebytes::With32;
    const Bytes overstated =
        mfsamples::Placeable(With32(wmf, 6, static_cast<uint32_t>(wmf.size() / 2 + 11)), 0, 0, 1440, 720, 1440);
    const std::string invalid = std::string("EInvalidGraphic: ") + kInvalid;
    const std::string readError = "EReadError: ストリームからの読み込みエラー";
    struct Case {
        const char* name;
        Bytes bytes;
        const char* file;
        std::string outcome;
    };
    const Case cases[] = {
        {"placeable wmf", placeable, "a.wmf", ""},
        {"placeable wmf named emf", placeable, "a.emf", ""},
        {"emf named wmf", emf, "a.wmf", ""},
        {"checksum one bit off", checksumOff, "a.wmf", invalid},
        {"standard wmf as wmf", wmf, "a.wmf", invalid},
        {"standard wmf as emf", wmf, "a.emf", invalid},
        {"exactly 100 bytes of an emf header", Bytes(emf.begin(), emf.begin() + 100), "a.emf", invalid},
        // One byte more is read as an enhanced metafile, which then runs short.
        {"101 bytes of an emf", Bytes(emf.begin(), emf.begin() + 101), "a.emf", readError},
        {"emf shorter than its byte count", Bytes(emf.begin(), emf.end() - 4), "a.emf", readError},
        {"emf byte count under 100", smallCount, "a.emf", invalid},
        // A Windows header's size that counts the placeable header too, as Inkscape writes it,
        // and one that runs past the file's end: the records, which end inside the file, tell.
        {"wmf size overstated", overstated, "a.wmf", ""},
        {"wmf size past the file's end", mfsamples::Placeable(With32(wmf, 6, 0x7FFFFFFF), 0, 0, 1440, 720, 1440), "a.wmf", ""},
        {"wmf records past the file's end", Bytes(overstated.begin(), overstated.end() - 2), "a.wmf", invalid},
        // The platform's conversion plays a carried enhanced metafile with its own player,
        // which would keep the object pushed out of a taken slot alive.
        {"wmf carrying an emf making into a taken slot", PlaceableCarrying(EmfMakingIntoATakenSlot()), "a.wmf", invalid},
        {"21 bytes of a placeable header", Bytes(placeable.begin(), placeable.begin() + 21), "a.wmf", invalid},
        {"placeable header alone", Bytes(placeable.begin(), placeable.begin() + 22), "a.wmf", invalid},
        {"empty file", Bytes(), "a.wmf", invalid},
        // The player copies a blend's bits whole into a bitmap made from its header: bits
        // past what that bitmap holds would be written past its memory.
        {"blend bits longer than their bitmap", AlphaBlendWithExtraBits(), "a.emf", invalid},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        EXPECT_EQ(Raised([&] { picture.LoadPictureFile(dir.Write(c.file, c.bytes)); }), c.outcome);
        if (!c.outcome.empty()) continue;
        auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
        ASSERT_NE(metafile, nullptr);
        EXPECT_EQ(metafile->IsEnhanced, c.bytes == emf);
        EXPECT_EQ(metafile->Width(), c.bytes == emf ? 81 : 96);
    }
}

// The platform's size argument is 32 bits wide: a metafile of 4 GiB and 100 bytes would
// reach it as one of 100 bytes. The stream says so without holding the bytes.
TEST(Metafile, AMetafileLargerThanThePlatformTakesIsRefused) {
    const Bytes placeable = mfsamples::Placeable(RecordWmf(DrawHalvedBox), 0, 0, 1440, 720, 1440);
    ClaimedSizeStream stream(placeable, static_cast<int64_t>(placeable.size()) + (int64_t{1} << 32));
    TMetafile metafile;
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { metafile.ReadFromStream(stream); }), kInvalid) << "accepted";
    EXPECT_EQ(metafile.Handle(), nullptr);
}

TEST(Metafile, APaletteTakesAtMost256Entries) {
    const Bytes plain = FilledFrameEmf(1, 1);
    struct Case {
        uint32_t entries;
        int expected;
    };
    for (Case c : {Case{0, 0}, Case{7, 7}, Case{256, 256}, Case{300, 256}}) {
        SCOPED_TRACE(c.entries);
        TMetafile metafile;
        LoadBytes(metafile, c.entries ? mfsamples::WithPalette(plain, c.entries) : plain);
        HPALETTE palette = metafile.Palette();
        EXPECT_EQ(metafile.PaletteDirty, c.expected != 0);
        if (!c.expected) {
            EXPECT_EQ(palette, nullptr);
            continue;
        }
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(metafile.Palette(), palette) << "made once per block";
        WORD count = 0;
        ASSERT_EQ(GetObjectA(palette, sizeof count, &count), static_cast<int>(sizeof count));
        EXPECT_EQ(count, c.expected);
        PALETTEENTRY second{};
        GetPaletteEntries(palette, 1, 1, &second);
        EXPECT_EQ(RGB(second.peRed, second.peGreen, second.peBlue), 0x010305u);
    }
}

TEST(Metafile, DrawingFillsTheRectangleUpToItsLastPixel) {
    struct Case {
        const char* name;
        int widthQuarters, heightQuarters;  // of the screen, whose proportions are 4:3
        TRect target;
    };
    for (const Case& c : {Case{"frame 2:1.5", 2, 2, Rect(0, 0, 200, 100)},
                          Case{"wide frame, tall target", 4, 1, Rect(20, 5, 70, 115)},
                          Case{"tall frame, wide target", 1, 4, Rect(10, 30, 210, 80)}}) {
        SCOPED_TRACE(c.name);
        TMetafile metafile;
        LoadBytes(metafile, FilledFrameEmf(c.widthQuarters, c.heightQuarters));
        DibSurface surface(240, 140, RGB(255, 255, 255));
        surface.Canvas().StretchGraphic(c.target, &metafile);
        const TRect& t = c.target;
        // The frame is played onto (left, top, right - 1, bottom - 1), corners included or
        // not as the platform's player takes them: every pixel short of the last row and
        // column is black, whatever the proportions, and nothing beyond the rectangle.
        const Pixels shot = surface.Read();
        EXPECT_EQ(shot.Count(RECT{t.Left, t.Top, t.Right - 1, t.Bottom - 1}, 0), (t.Width() - 1) * (t.Height() - 1));
        EXPECT_EQ(shot.Count(0), shot.Count(RECT{t.Left, t.Top, t.Right, t.Bottom}, 0));
        // Pixel for pixel what the player draws into the rectangle one short at each end.
        DibSurface played(240, 140, RGB(255, 255, 255));
        const RECT inclusive{t.Left, t.Top, t.Right - 1, t.Bottom - 1};
        PlayEnhMetaFile(played.dc(), metafile.Handle(), &inclusive);
        EXPECT_TRUE(surface.Read().Shows(played.Read()));
    }
}

TEST(Metafile, ANewMetafileIsBlankButNotEmptyAndRemembersASize) {
    TMetafile metafile;
    EXPECT_FALSE(metafile.IsEmpty());
    metafile.SetTransparent(false);
    EXPECT_TRUE(metafile.Transparent());
    EXPECT_EQ(metafile.Width() + metafile.Height(), 0);
    DibSurface surface(20, 20, RGB(255, 255, 255));
    surface.Canvas().StretchGraphic(Rect(0, 0, 20, 20), &metafile);
    EXPECT_EQ(surface.Read().Count(0), 0);
    metafile.SetWidth(33);
    metafile.SetHeight(44);
    EXPECT_EQ(metafile.Width() * 100 + metafile.Height(), 3344);
}

TEST(Metafile, ResizingACopyLeavesTheOriginalAndBothFormsReadBack) {
    TMetafile placeable, copy, original;
    LoadBytes(placeable, mfsamples::Placeable(RecordWmf(DrawHalvedBox), 0, 0, 1440, 720, 1440));
    copy.CopyFrom(&placeable);
    int changes = 0;
    copy.OnChange = [&](TObject*) { ++changes; };
    copy.SetWidth(96);  // the same frame: nothing happens
    EXPECT_EQ(copy.Image(), placeable.Image());
    copy.SetWidth(192);
    EXPECT_EQ(changes, 1);
    EXPECT_NE(copy.Handle(), placeable.Handle());
    EXPECT_EQ(copy.Width() * 1000 + placeable.Width(), 192096);
    LoadBytes(original, ReferenceDeviceEmf());  // enhanced: in reference-device pixels
    original.SetWidth(162);
    EXPECT_EQ(original.Image()->FrameWidth, 5063);  // MulDiv(162, 32000, 1024)
    original.SetWidth(81);

    // ".WMF" writes a placeable file and leaves the picture enhanced; the stored form of
    // that file reads back the same picture.
    TempDir dir;
    original.WriteToFile(dir.File("out.WMF"));
    EXPECT_TRUE(original.IsEnhanced);
    TMemoryStream written;
    written.LoadFromFile(dir.File("out.WMF"));
    const mf::PlaceableHeader header = mf::ParsePlaceableHeader(written.Memory());
    EXPECT_TRUE(header.Valid());
    EXPECT_EQ(header.right * 1000 + header.bottom * 10 + header.inch / 96, 96481);  // 96 x 48 at 96
    TMetafile reread, stored;
    reread.ReadFromFile(dir.File("out.WMF"));
    TMemoryStream data;
    reread.WriteStoredData(data);
    EXPECT_EQ(static_cast<int64_t>(mf::Get32(data.Memory())), data.Size());
    data.SetPosition(0);
    stored.ReadStoredData(data);
    EXPECT_FALSE(stored.IsEnhanced);
    EXPECT_EQ(stored.Width() * 100 + stored.Height(), 9648);
    TMemoryStream enhanced;  // and the enhanced form is the metafile's own bytes
    original.WriteToStream(enhanced);
    EXPECT_TRUE(enhanced.Size() > 100 && mf::LooksLikeEmfHeader(enhanced.Memory()));
}

TEST(Metafile, EveryHostileFileEndsCleanlyWithoutLeaks) {
    const auto corpus = mfsamples::HostileMetafiles();
    ASSERT_GE(corpus.size(), 200u);
    const Bytes samples[] = {mfsamples::SampleEmf(), mfsamples::Placeable(mfsamples::SampleWmf(), 0, 0, 1440, 720, 1440)};
    DibSurface surface(120, 80, RGB(255, 255, 255));
    for (const Bytes& good : samples) {  // also makes what GDI caches before counting
        TMetafile metafile;
        LoadBytes(metafile, good);
        surface.Canvas().StretchGraphic(Rect(0, 0, 120, 80), &metafile);
        EXPECT_GT(surface.Read().Count(0), 0) << "the sample draws something";
    }
    LoadEveryFile<TMetafile>(
        corpus, std::string("EInvalidGraphic: ") + kInvalid, [](const mfsamples::Hostile&) { return ""; },
        [&](TMetafile& metafile, const mfsamples::Hostile& hostile, const std::string& ending) {
            if (ending != "picture") return;
            EXPECT_FALSE(hostile.mustBeRefused);
            surface.Fill(RGB(255, 255, 255));
            surface.Canvas().StretchGraphic(Rect(0, 0, 120, 80), &metafile);
        });
}
