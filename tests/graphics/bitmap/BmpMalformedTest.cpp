// Damaged and truncated BMP files: each ends in the reader's error with its message, or in
// a picture that draws; none leaves GDI objects behind.
#include "BitmapTestSupport.h"
#include "rtl/Exceptions.h"
#include "support/HostileLoads.h"
#include "support/RaisedMessage.h"

using samples::Bytes;

TEST(BmpMalformed, EveryDamagedFileEndsCleanly) {
    auto corpus = samples::MalformedCorpus();
    ASSERT_GE(corpus.size(), 200u);
    Bytes good = samples::WriteBmp(samples::ReferencePicture(24), samples::Form());
    {
        // Whatever is made once per process (cached objects) is made before counting.
        TBitmap warmUp;
        LoadBytes(warmUp, good);
        MessageOf<Exception>([&] { LoadBytes(warmUp, corpus.front().bytes); });
        DibSurface surface(16, 16, kUnused, 24);
        DrawAtOwnSize(surface, warmUp);
        FreeMemoryContexts();
    }
    const char* const endings[] = {"refused", "read error", "picture", ""};  // by samples::Outcome
    LoadEveryFile<TBitmap>(
        corpus, "EInvalidGraphic: ビットマップイメージが不正です",
        [&](const samples::BadFile& bad) { return endings[int(bad.expected)]; },
        [](TBitmap& bitmap, const samples::BadFile&, const std::string& ending) {
            if (ending == "picture") {
                // A picture that loads must draw: a 16 x 16 rendering of it.
                DibSurface surface(16, 16, kUnused, 24);
                surface.Canvas().StretchGraphic(Rect(0, 0, 16, 16), &bitmap);
            } else {
                EXPECT_EQ(bitmap.Width(), 13) << "the old picture must stay";
            }
            FreeMemoryContexts();
        },
        good);
}

TEST(BmpMalformed, RunLengthDataRunningPastThePictureIsCutAtItsEdges) {
    // 4 x 2 RLE8: a run of 200 on the bottom row, then a delta far past the top.
    Bytes runs = {200, 3, 0, 0, 1, 5, 0, 2, 250, 250, 9, 9, 0, 1};
    Bytes file = samples::WriteBmp(samples::ReferencePicture(8, 4, 2), FormOf(8, 1));
    file.resize(14 + 40 + 1024);  // the runs follow the colour table
    file.insert(file.end(), runs.begin(), runs.end());
    samples::Put32(file, 34, uint32_t(runs.size()));
    TBitmap bitmap;
    LoadBytes(bitmap, file);
    DibSurface surface(4, 2, kUnused, 24);
    DrawAtOwnSize(surface, bitmap);
    const auto palette = samples::ReferencePalette(8);
    EXPECT_EQ(surface.Read().Count(RECT{0, 1, 4, 2}, palette[3].Packed()), 4);
    EXPECT_EQ(surface.Read().At(0, 0), palette[5].Packed());
    EXPECT_EQ(surface.Read().At(1, 0), palette[0].Packed());  // never written: index 0
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
        samples::Put32(file, 30, compression);
        CountingStream stream(file.data(), file.size());
        TBitmap bitmap;
        EXPECT_THROW(bitmap.ReadFromStream(stream), EInvalidGraphic);
        EXPECT_LE(stream.read, 54);
    }
}
