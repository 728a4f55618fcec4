// Damaged and truncated BMP files: each ends in the reader's error with its message, or in
// a picture that draws; none leaves GDI objects behind.
#include "BitmapTestSupport.h"
#include "rtl/Exceptions.h"
#include "support/GdiCounter.h"

using samples::Bytes;
using samples::Outcome;

namespace {

const char* Name(Outcome o) {
    switch (o) {
    case Outcome::InvalidImage: return "invalid image";
    case Outcome::ReadError: return "read error";
    case Outcome::Picture: return "picture";
    default: return "either";
    }
}

}  // namespace

TEST(BmpMalformed, EveryDamagedFileEndsCleanly) {
    auto corpus = samples::MalformedCorpus();
    ASSERT_GE(corpus.size(), 200u);
    Bytes good = samples::WriteBmp(samples::ReferencePicture(24), samples::Form());
    {
        // Whatever is made once per process (cached objects) is made before counting.
        TBitmap warmUp;
        LoadBytes(warmUp, good);
        try {
            LoadBytes(warmUp, corpus.front().bytes);
        } catch (const Exception&) {
        }
        DibSurface surface(16, 16, kUnused, 24);
        DrawAtOwnSize(surface, warmUp);
        FreeMemoryContexts();
    }
    int before = LiveGdiObjects();
    int pictures = 0, refused = 0, cut = 0;
    for (const auto& bad : corpus) {
        SCOPED_TRACE(bad.name);
        TBitmap bitmap;
        LoadBytes(bitmap, good);
        Outcome got;
        try {
            LoadBytes(bitmap, bad.bytes);
            got = Outcome::Picture;
            ++pictures;
            // A picture that loads must draw: a 16 x 16 rendering of it.
            DibSurface surface(16, 16, kUnused, 24);
            surface.Canvas().StretchGraphic(Rect(0, 0, 16, 16), &bitmap);
        } catch (const EReadError& e) {
            got = Outcome::ReadError;
            ++cut;
            EXPECT_EQ(e.Message(), "ストリームからの読み込みエラー");
        } catch (const EInvalidGraphic& e) {
            got = Outcome::InvalidImage;
            ++refused;
            EXPECT_EQ(e.Message(), "ビットマップイメージが不正です");
        }
        if (bad.expected != Outcome::EitherWay) {
            EXPECT_STREQ(Name(got), Name(bad.expected));
        }
        if (got != Outcome::Picture) {
            EXPECT_EQ(bitmap.Width(), 13) << "the old picture must stay";
        }
        FreeMemoryContexts();
    }
    EXPECT_EQ(LiveGdiObjects(), before);
    std::printf("%zu damaged files: %d pictures, %d read errors, %d refused\n", corpus.size(), pictures, cut, refused);
}

TEST(BmpMalformed, RunLengthDataRunningPastThePictureIsCutAtItsEdges) {
    // 4 x 2 RLE8: a run of 200 on the bottom row, then a delta far past the top.
    Bytes runs = {200, 3, 0, 0, 1, 5, 0, 2, 250, 250, 9, 9, 0, 1};
    samples::Form form;
    form.bitCount = 8;
    form.compression = 1;
    samples::Picture pic = samples::ReferencePicture(8, 4, 2);
    Bytes file = samples::WriteBmp(pic, form);
    size_t pixelsAt = 14 + 40 + 1024;
    file.resize(pixelsAt);
    file.insert(file.end(), runs.begin(), runs.end());
    samples::Put32(file, 34, uint32_t(runs.size()));
    TBitmap bitmap;
    LoadBytes(bitmap, file);
    DibSurface surface(4, 2, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    auto palette = samples::ReferencePalette(8);
    auto colour = [&](int i) { return palette[size_t(i)]; };
    for (int x = 0; x < 4; ++x) EXPECT_EQ(surface.Read().At(x, 1), Packed(colour(3))) << x;
    EXPECT_EQ(surface.Read().At(0, 0), Packed(colour(5)));
    EXPECT_EQ(surface.Read().At(1, 0), Packed(colour(0)));  // never written: index 0
}

// A compression the reader does not know is refused from the header and the tables alone:
// the megabyte of pixel data behind them is never read (nor copied).
TEST(BmpMalformed, UnknownCompressionIsRefusedBeforeThePixelBytesAreRead) {
    struct CountingStream : TMemoryStream {
        using TMemoryStream::TMemoryStream;
        int32_t Read(void* buffer, int32_t count) override {
            int32_t got = TMemoryStream::Read(buffer, count);
            read += got;
            return got;
        }
        int64_t read = 0;
    };
    for (uint32_t compression : {4u, 5u, 6u, 99u}) {
        SCOPED_TRACE(compression);
        Bytes file(14 + 40 + (1u << 20), 0x11);
        Bytes head = samples::WriteBmp(samples::ReferencePicture(24), samples::Form());
        std::copy(head.begin(), head.begin() + 54, file.begin());
        for (int i = 0; i < 4; ++i) file[30 + i] = static_cast<uint8_t>(compression >> (8 * i));
        CountingStream stream(file.data(), file.size());
        TBitmap bitmap;
        EXPECT_THROW(bitmap.ReadFromStream(stream), EInvalidGraphic);
        EXPECT_LE(stream.read, 54);
    }
}
