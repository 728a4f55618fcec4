// JPEG pictures: header-only loading, one decode on first draw that gives back the pattern
// the file was made of, the palette of 8-bit output, copies, progress, the encoder,
// and damaged files, which end in EJPEG or a partial picture.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/jpeg/JPEGImage.h"
#include "graphics/ReducedPicture.h"
#include "graphics/jpeg/JpegCodec.h"
#include "graphics/bitmap/BitmapTestSupport.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/Streams.h"
#include "support/GdiCounter.h"
#include "support/HostileLoads.h"
#include "graphics/jpeg/JpegSamples.h"
#include "graphics/jpeg/RowStore.h"
#include "support/RaisedMessage.h"
#include <jpeglib.h>
#include <jerror.h>

namespace {

using jpegsamples::Bytes;

// What the library's error number `code` (jerror.h) raises.
std::string JpegMessage(int code) { return Format("EJPEG: JPEG エラー #%d", {code}); }

// The bytes of the good or hostile sample file of that name.
const Bytes& FileNamed(const std::string& name) {
    static const std::vector<jpegsamples::Named> good = jpegsamples::GoodFiles(), hostile = jpegsamples::HostileFiles();
    for (const auto* files : {&good, &hostile})
        for (auto& f : *files)
            if (f.name == name) return f.bytes;
    std::abort();
}

// The decoded bitmap against the pattern its file was made of (JpegSamples.h): "" when it
// is that pattern, in place, within `tolerance` per channel on average.
std::string AgainstPattern(TBitmap& bitmap, bool grey, double tolerance) {
    std::vector<uint8_t> palette;
    if (bitmap.PixelDepth() == TPixelFormat::pf8bit) {
        PALETTEENTRY entries[256] = {};
        GetPaletteEntries(bitmap.Palette(), 0, 256, entries);
        for (const PALETTEENTRY& e : entries) palette.insert(palette.end(), {e.peBlue, e.peGreen, e.peRed});
    }
    return jpegsamples::CheckAgainstPattern(
        bitmap.Width(), bitmap.Height(), [&](int y) { return static_cast<const uint8_t*>(bitmap.ScanLine(y)); },
        palette, grey, tolerance);
}

struct Report {
    TProgressStage stage;
    uint8_t percent;
    bool redraw;
};

}  // namespace

TEST(JpegImage, EveryFormDecodesOnceLikeTheLibrary) {
    // Sizes as the files were written (JpegSamples.cpp); 8-bit output is dithered onto a
    // palette, so it strays further from the pattern than 24-bit output.
    struct Case {
        const char* file;
        int width, height;
        TJPEGPixelFormat depth;
    };
    constexpr TJPEGPixelFormat k24 = TJPEGPixelFormat::Depth24, k8 = TJPEGPixelFormat::Depth8;
    const Case cases[] = {
        {"baseline-420", 67, 45, k24}, {"baseline-420", 67, 45, k8},   {"baseline-422", 64, 40, k24},
        {"baseline-444", 33, 17, k24}, {"progressive", 70, 50, k24},   {"progressive", 70, 50, k8},
        {"grey", 41, 30, k24},         {"grey-progressive", 40, 24, k8}, {"restart-markers", 96, 64, k24},
        {"one-pixel-tall", 50, 1, k24}, {"cmyk-adobe", 32, 24, k24},   {"cmyk-plain", 32, 24, k24},
        {"ycck", 32, 24, k8},
    };
    const int gdiBefore = LiveGdiObjects();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.depth == TJPEGPixelFormat::Depth8 ? " at 8 bits" : " at 24 bits"));
        const Bytes& file = FileNamed(c.file);
        TJPEGImage image;
        image.SetOutputDepth(c.depth);
        std::vector<Report> reports;
        int changes = 0;
        image.OnProgress = [&](TObject*, TProgressStage stage, uint8_t percent, bool redraw, const TRect&,
                               const std::string&) { reports.push_back({stage, percent, redraw}); };
        image.OnChange = [&](TObject*) { ++changes; };
        LoadBytes(image, file);
        // The header alone gives the size: nothing is decoded yet.
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
        EXPECT_FALSE(image.HasDecodedBitmap());
        EXPECT_FALSE(image.IsEmpty());
        EXPECT_EQ(changes, 1);

        // Two draws into different rectangles decode once.
        DibSurface screen(80, 70, kUnused, 24), sheet(160, 140, kUnused, 24);
        screen.Canvas().StretchGraphic(TRect{0, 0, c.width, c.height}, &image);
        TBitmap* bitmap = image.DecodeToBitmap();
        sheet.Canvas().StretchGraphic(TRect{0, 0, 2 * c.width, 2 * c.height}, &image);
        EXPECT_EQ(image.DecodeToBitmap(), bitmap);
        // A fast decode reports exactly its start and its end.
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports[0].stage, TProgressStage::psStarting);
        EXPECT_EQ(reports[0].percent, 0);
        EXPECT_EQ(reports[1].stage, TProgressStage::psEnding);
        EXPECT_EQ(reports[1].percent, 100);
        EXPECT_TRUE(reports[1].redraw);  // loading marks the palette as changed

        // Print-workflow files come out as colour rows, whichever way their inks are stored.
        const bool grey = std::strncmp(c.file, "grey", 4) == 0;
        const bool eightBit = !jpegsamples::IsFourComponent(c.file) && (c.depth == k8 || grey);
        ASSERT_EQ(bitmap->PixelDepth(), eightBit ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
        EXPECT_EQ(bitmap->Width(), c.width);
        EXPECT_EQ(bitmap->Height(), c.height);
        EXPECT_EQ(AgainstPattern(*bitmap, grey, eightBit ? 12.0 : 6.0), "");
        // The drawn picture is the decoded one: blue, green, red rows reach the screen right.
        if (bitmap->PixelDepth() == TPixelFormat::pf24bit) {
            auto* row = static_cast<const uint8_t*>(bitmap->ScanLine(0));
            const uint32_t want = (row[2] << 16) | (row[1] << 8) | row[0];
            EXPECT_TRUE(Near(screen.Read().At(0, 0), want, 2)) << std::hex << screen.Read().At(0, 0) << " for " << want;
        }
    }
    FreeMemoryContexts();
    if (gdiBefore >= 0) {
        EXPECT_EQ(LiveGdiObjects(), gdiBefore) << "decoded pictures leave no GDI object behind";
    }
}

TEST(JpegImage, DrawnSmallerItDecodesAtTheEighthThatCoversTheRectangleAndKeepsOnlyThat) {
    // A slot, a sheet's cell and a rectangle nearly as big as a photo-like picture (smooth
    // shades, hard edges between bands): reduced from the decode at the covering scale, it
    // looks as the whole decode reduced does, and the picture keeps only that decode.
    std::vector<uint8_t> rgb(1200 * 900 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) {
        const int x = int(i / 3 % 1200), y = int(i / 3600), c = int(i % 3);
        rgb[i] = uint8_t(30 + (x * (c + 1) + y * (3 - c)) / 40 + ((x / 97 + y / 71) % 3) * 30);
    }
    jpegsamples::Recipe recipe{"photo", 1200, 900};
    recipe.rgb = rgb.data();
    const Bytes file = jpegsamples::Make(recipe);
    const int cases[][3] = {{160, 120, 2}, {401, 301, 3}, {1100, 800, 8}};  // width, height, eighths
    TJPEGImage kept;  // drawn at each size in turn
    LoadBytes(kept, file);
    int decodes = 0;
    kept.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
        decodes += stage == TProgressStage::psStarting;
    };
    for (const auto& [width, height, eighths] : cases) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const TRect rect{0, 0, width, height};
        TJPEGImage scaled, whole;
        LoadBytes(scaled, file);
        LoadBytes(whole, file);
        DibSurface drawn(width, height, kUnused, 24), before(width, height, kUnused, 24);
        StretchGraphicReduced(drawn.Canvas(), rect, &scaled);
        TJPEGImage::DecodeAtDrawnSize = false;
        StretchGraphicReduced(before.Canvas(), rect, &whole);
        TJPEGImage::DecodeAtDrawnSize = true;
        ASSERT_NE(scaled.KeptBitmap(), nullptr);
        EXPECT_EQ(scaled.KeptEighths(), eighths);
        EXPECT_EQ(scaled.KeptBitmap()->Width() * 10000 + scaled.KeptBitmap()->Height(),
                  (1200 * eighths + 7) / 8 * 10000 + (900 * eighths + 7) / 8);
        EXPECT_EQ(scaled.Width() + whole.KeptBitmap()->Width(), 2400) << "the file's size; the whole decode's";
        EXPECT_LT(DifferenceOf(drawn.Read(), before.Read()).mean, 2.0) << "mean difference";
        EXPECT_EQ(drawn.Read().Count(kUnused), 0) << "the whole rectangle drawn";
        StretchGraphicReduced(drawn.Canvas(), rect, &kept);
    }
    StretchGraphicReduced(DibSurface(160, 120).Canvas(), TRect{0, 0, 160, 120}, &kept);
    EXPECT_EQ(decodes, 3) << "one decode a size; the one kept covers the slot after";
    EXPECT_EQ(kept.DecodeToBitmap(), kept.KeptBitmap());
}

TEST(JpegImage, DamagedFilesEndInTheJpegErrorOrAPartialPicture) {
    const Bytes baseline = FileNamed("baseline-420");
    const std::string text = "This is a text file, not a picture.\r\n";
    struct Case {
        const char* name;
        Bytes bytes;
        std::string atLoad, atFirstDraw, atSecondDraw;
        int width, height;
    };
    const Case cases[] = {
        {"empty file", {}, "", JpegMessage(JERR_INPUT_EMPTY), "", 0, 0},
        {"text file", Bytes(text.begin(), text.end()), JpegMessage(JERR_NO_SOI), "", "", 0, 0},
        {"scan cut midway", Bytes(baseline.begin(), baseline.begin() + baseline.size() * 2 / 3), "", "", "", 67, 45},
        {"endless progressive scans", FileNamed("endless-scans"), "", JpegMessage(JERR_BAD_PROGRESSION), "", 64, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage image;
        EXPECT_EQ(Raised([&] { LoadBytes(image, c.bytes); }), c.atLoad);
        if (!c.atLoad.empty()) continue;
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
        EXPECT_FALSE(image.IsEmpty());
        DibSurface surface(80, 60, kUnused, 24);
        EXPECT_EQ(Raised([&] { surface.Canvas().StretchGraphic(TRect{0, 0, 80, 60}, &image); }), c.atFirstDraw);
        EXPECT_EQ(Raised([&] { surface.Canvas().StretchGraphic(TRect{0, 0, 80, 60}, &image); }), c.atSecondDraw);
    }

    // Every hostile file of the native corpus, through the program's own path: what loads
    // decodes, in part or whole, or fails with the library's error.
    int refusedAtDraw = 0, drawn = 0;
    const auto endings = LoadEveryFile<TJPEGImage>(
        jpegsamples::HostileFiles(), "EJPEG: JPEG エラー #", [](const jpegsamples::Named&) { return ""; },
        [&](TJPEGImage& image, const jpegsamples::Named&, const std::string& ending) {
            EXPECT_NE(ending, "read error") << "a file the library cannot read ends in its error";
            if (ending != "picture") return;
            const std::string decoded = Raised([&] { image.DecodeToBitmap(); });
            EXPECT_TRUE(decoded.empty() || decoded.rfind("EJPEG: JPEG エラー #", 0) == 0) << decoded;
            ++(decoded.empty() ? drawn : refusedAtDraw);
        });
    EXPECT_GT(endings.count("refused"), 0u);
    EXPECT_GT(refusedAtDraw, 0);
    EXPECT_GT(drawn, 0);
}

TEST(JpegImage, PicturesOverThePixelLimitAreRefusedAtLoadAndBigPhotosAreNot) {
    // Only the frame header's size is changed: the limit is checked before anything is made.
    const Bytes colour = FileNamed("baseline-420"), grey = FileNamed("grey"), progressive = FileNamed("progressive");
    struct Case {
        const Bytes& file;
        int width, height;
        TJPEGPixelFormat depth;
        bool refused;
    };
    const Case cases[] = {
        {colour, 16384, 16384, TJPEGPixelFormat::Depth24, false},  // 768 MiB
        {colour, 20000, 20000, TJPEGPixelFormat::Depth24, true},   // 1.1 GiB
        {colour, 20000, 20000, TJPEGPixelFormat::Depth8, false},   // 381 MiB of indexes
        {grey, 32768, 32768, TJPEGPixelFormat::Depth24, false},    // exactly 1 GiB
        {grey, 32769, 32768, TJPEGPixelFormat::Depth24, true},
        {colour, 65500, 65500, TJPEGPixelFormat::Depth8, true},
        // A file of several scans keeps 3 bytes of coefficients a pixel in 4:2:0 whatever it
        // puts out: 768 MiB and an eighth's pixels fit, 1.1 GiB does not.
        {progressive, 16384, 16384, TJPEGPixelFormat::Depth24, false},
        {progressive, 20000, 20000, TJPEGPixelFormat::Depth8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        TJPEGImage image;
        image.SetOutputDepth(c.depth);
        std::string raised = Raised([&] { LoadBytes(image, jpegsamples::WithSize(c.file, c.width, c.height)); });
        EXPECT_EQ(raised, c.refused ? JpegMessage(JERR_IMAGE_TOO_BIG) : "");
        EXPECT_EQ(image.Width(), c.refused ? 0 : c.width);
    }
}

TEST(JpegImage, CopiesShareTheBytesAndSizesCannotBeSet) {
    const Bytes& bytes = FileNamed("progressive");
    auto original = std::make_unique<TJPEGImage>();
    LoadBytes(*original, bytes);
    EXPECT_TRUE(original->ProgressiveFile);
    TJPEGImage copy, sameBytes;
    copy.CopyFrom(original.get());
    LoadBytes(sameBytes, bytes);
    EXPECT_EQ(&copy.Data(), &original->Data());
    EXPECT_TRUE(copy.IsSameImage(original.get()));
    EXPECT_TRUE(sameBytes.IsSameImage(original.get()));
    EXPECT_EQ(Raised([&] { copy.SetWidth(10); }), "EInvalidGraphicOperation: JPEG イメージのサイズは変更できません");
    EXPECT_EQ(Raised([&] { copy.SetHeight(10); }), "EInvalidGraphicOperation: JPEG イメージのサイズは変更できません");
    EXPECT_EQ(copy.Width(), 70);
    original->DecodeToBitmap();
    original.reset();
    EXPECT_EQ(copy.Data().RefCount(), 1);
    EXPECT_EQ(AgainstPattern(*copy.DecodeToBitmap(), false, 6.0), "");

    // A copy of a decoded picture gets its own copy of the decoded bitmap.
    TJPEGImage second;
    second.CopyFrom(&copy);
    EXPECT_TRUE(second.HasDecodedBitmap());
    EXPECT_NE(second.DecodeToBitmap(), copy.DecodeToBitmap());

    // Stored data: a count, then the file's bytes unchanged.
    TMemoryStream stored;
    second.WriteStoredData(stored);
    ASSERT_EQ(stored.Size(), int64_t(bytes.size() + 4));
    EXPECT_EQ(std::memcmp(stored.Memory() + 4, bytes.data(), bytes.size()), 0);
    stored.SetPosition(0);
    TJPEGImage restored;
    restored.ReadStoredData(stored);
    EXPECT_EQ(restored.Width(), 70);
}

TEST(JpegImage, PalettesComeFromTheColourMapOrAreGivenToTheLibrary) {
    const Bytes& bytes = FileNamed("baseline-444");
    // A grey ramp of eight entries: the library must map every pixel onto it.
    struct {
        WORD version = 0x300, count = 8;
        PALETTEENTRY entries[8];
    } block;
    for (int i = 0; i < 8; ++i) block.entries[i] = {BYTE(i * 36), BYTE(i * 36), BYTE(i * 36), 0};
    TJPEGImage image;
    image.SetOutputDepth(TJPEGPixelFormat::Depth8);
    LoadBytes(image, bytes);
    TBitmap* first = image.DecodeToBitmap();
    image.SetPalette(image.Palette());  // its own palette back: nothing changes, nothing is owned twice
    EXPECT_EQ(image.DecodeToBitmap(), first);
    const UINT colours = GetPaletteEntries(image.Palette(), 0, 0, nullptr);
    EXPECT_LE(colours, 236u) << "at most the 236 colours asked of the library";
    EXPECT_GT(colours, 16u);
    int changes = 0;
    image.OnChange = [&](TObject*) { ++changes; };
    HPALETTE given = CreatePalette(reinterpret_cast<LOGPALETTE*>(&block));
    image.SetPalette(given);  // differs from the decoded bitmap's: the next draw decodes again
    EXPECT_FALSE(image.HasDecodedBitmap());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(image.Palette(), given);
    TBitmap* second = image.DecodeToBitmap();
    ASSERT_EQ(second->PixelDepth(), TPixelFormat::pf8bit);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(second->Palette(), 0, 256, entries), 8u);
    int highest = 0;
    for (int y = 0; y < second->Height(); ++y) {
        auto* row = static_cast<const uint8_t*>(second->ScanLine(y));
        for (int x = 0; x < second->Width(); ++x) highest = std::max<int>(highest, row[x]);
    }
    EXPECT_LT(highest, 8);
    EXPECT_GT(highest, 0);
}

TEST(JpegImage, AHandlerThatCancelsOnceOrAtEveryReportGetsTheDecodeEndedQuietly) {
    // The usual cancel is a flag set once, then every report raises the silent abort, the
    // ending one included: that last abort must end the decode as quietly as the first.
    for (const bool everyReport : {false, true}) {
        SCOPED_TRACE(everyReport ? "at every report" : "at the start");
        TJPEGImage image;
        LoadBytes(image, FileNamed("baseline-420"));
        std::vector<Report> reports;
        int changes = 0;
        image.OnChange = [&](TObject*) { ++changes; };
        image.OnProgress = [&](TObject*, TProgressStage stage, uint8_t percent, bool redraw, const TRect&,
                               const std::string&) {
            reports.push_back({stage, percent, redraw});
            if (everyReport || stage == TProgressStage::psStarting) throw EAbort("");
        };
        TBitmap* decoded = nullptr;
        EXPECT_EQ(Raised([&] { decoded = image.DecodeToBitmap(); }), "");
        EXPECT_NE(decoded, nullptr);
        EXPECT_TRUE(image.HasDecodedBitmap());
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports[1].stage, TProgressStage::psEnding);
        EXPECT_EQ(reports[1].percent, 0);
        EXPECT_EQ(changes, 1) << "the palette marked as changed at loading is announced after the decode";
    }
}

TEST(JpegImage, TheEncoderWritesAFileThatReadsBackAndACancelAtItsStartLeavesNoEmptyFile) {
    // From a bitmap: no file bytes until written, then a file of the same picture.
    TBitmap source;
    TJPEGImage decoded;
    LoadBytes(decoded, FileNamed("baseline-420"));
    decoded.CopyTo(&source);
    EXPECT_EQ(source.Width(), 67);
    TJPEGImage fromBitmap;
    fromBitmap.CopyFrom(&source);
    EXPECT_FALSE(fromBitmap.IsEmpty());
    fromBitmap.ProgressiveFile = true;
    TMemoryStream written;
    fromBitmap.WriteToStream(written);
    Bytes file(written.Memory(), written.Memory() + written.Size());
    ASSERT_GT(file.size(), 100u);
    jpeg::Header header = jpeg::ReadHeader(file.data(), file.size());
    EXPECT_EQ(header.width, 67);
    EXPECT_EQ(header.height, 45);
    EXPECT_TRUE(header.progressive);
    TJPEGImage reread;
    LoadBytes(reread, file);
    EXPECT_EQ(AgainstPattern(*reread.DecodeToBitmap(), false, 8.0), "");
    // A photo its camera turned (45 x 67 upright) is written upright, without Exif: not turned again.
    TJPEGImage turned, upright;
    LoadBytes(turned, jpegsamples::WithApp1(FileNamed("baseline-420"), jpegsamples::ExifBlock(8, false)));
    upright.CopyFrom(turned.DecodeToBitmap());
    LoadBytes(reread, SavedBytes(upright));
    EXPECT_TRUE(reread.Width() == 45 && reread.Height() == 67);

    // A picture made from the bitmap, and a copy sharing its (still unfilled) data block. A
    // handler that cancels the first write at its starting report must not leave the block
    // holding an empty file: the picture, and the copy, would then save as nothing.
    TJPEGImage picture, copy;
    picture.CopyFrom(&source);
    copy.CopyFrom(&picture);
    picture.OnProgress = [&](TObject*, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
        if (stage == TProgressStage::psStarting) throw EAbort("");
    };
    TMemoryStream cancelled;
    EXPECT_EQ(Raised([&] { picture.WriteToStream(cancelled); }), "");
    EXPECT_EQ(cancelled.Size(), 0);
    picture.OnProgress = nullptr;
    for (TJPEGImage* image : {&copy, &picture}) {
        TMemoryStream written;
        image->WriteToStream(written);
        ASSERT_GT(written.Size(), 100);
        EXPECT_EQ(jpeg::ReadHeader(written.Memory(), size_t(written.Size())).width, 67);
    }
}

TEST(JpegImage, ProgressIsThrottledToHalfSecondsAndCoversTheRowsThatArrived) {
    // The decoder's own clock is the target's: the row store's advances 300 ms per look, so
    // the throttle's decisions do not depend on this machine's speed.
    struct Rows : RowStore {
        struct Seen {
            uint32_t time;
            uint8_t percent;
            bool redraw;
            TRect r;
        };
        std::vector<Seen> reports;
        bool cancelAtThird = false;
        void Progress(uint8_t percent, bool redraw, int32_t l, int32_t t, int32_t r, int32_t b) override {
            reports.push_back({clock, percent, redraw, TRect{l, t, r, b}});
            // Thrown from inside the library's frames: it must come out of Decode intact.
            if (cancelAtThird && reports.size() == 3) throw EAbort("cancelled");
        }
    };
    struct Case {
        jpegsamples::Recipe recipe;
        bool eightBit, cancel;
    };
    const Case cases[] = {
        {{"tall", 40, 400, jpegsamples::Colour::Rgb, 1, 1}, false, false},
        {{"progressive", 40, 400, jpegsamples::Colour::Rgb, 2, 2, true}, true, false},
        {{"cancelled", 40, 400, jpegsamples::Colour::Rgb, 1, 1}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipe.name);
        Bytes file = jpegsamples::Make(c.recipe);
        Rows rows;
        rows.clock = 1000;
        rows.cancelAtThird = c.cancel;
        jpeg::DecodeOptions options;
        options.eightBit = c.eightBit;
        EXPECT_EQ(Raised([&] { jpeg::Decode(file.data(), file.size(), options, rows); }), c.cancel ? "EAbort: cancelled" : "");
        ASSERT_GE(rows.reports.size(), c.cancel ? 3u : 10u);
        int covered = 0;
        for (size_t i = 0; i < rows.reports.size(); ++i) {
            const auto& r = rows.reports[i];
            if (i > 0) {
                EXPECT_GE(r.time - rows.reports[i - 1].time, 500u);
                EXPECT_GT(r.percent, rows.reports[i - 1].percent);
            }
            EXPECT_GT(r.percent, 0);
            EXPECT_LE(r.percent, 100);
            EXPECT_EQ(r.r.Left, 0);
            EXPECT_EQ(r.r.Right, 40);
            EXPECT_LE(r.r.Top, r.r.Bottom);
            EXPECT_LE(r.r.Bottom, 400);
            EXPECT_EQ(r.redraw, r.r.Bottom - r.r.Top >= 4);
            if (r.redraw) covered += r.r.Bottom - r.r.Top;
        }
        if (c.cancel) {
            EXPECT_EQ(rows.reports.size(), 3u) << "a cancel thrown inside the library's frames stops it";
        } else {
            EXPECT_GT(covered, 100);
        }
    }
}
