// BMP files of several forms (run-length, core header, palette, bit fields) shown in a
// slot of the running program at their natural size, pixel for pixel as the picture.
#include <gtest/gtest.h>

#include <string>

#include "graphics/bitmap/BmpSamples.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

uint32_t Packed(samples::Rgb c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }

}  // namespace

TEST(BitmapSlot, EveryFormShowsItsPixelsInASlot) {
    TempDir files;
    AppProcess app;
    HWND main = app.MainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main).At(20, 20) == 0xFFFFFF; }, 5000));

    // 50 x 40 fits slot 3 unscaled, centred with its top left at client (71, 200).
    struct Case { uint32_t header; int bits; uint32_t compression; };
    for (Case c : {Case{40, 8, 1}, Case{40, 4, 2}, Case{12, 8, 0}, Case{40, 1, 0}, Case{124, 16, 3},
                   Case{40, 32, 0}}) {
        samples::Form form;
        form.headerSize = c.header;
        form.bitCount = c.bits;
        form.compression = c.compression;
        samples::Picture want = samples::ReferencePicture(c.bits, 50, 40);
        std::string path = files.Write(form.Name() + ".bmp", samples::WriteBmp(want, form));
        SCOPED_TRACE(form.Name());

        ASSERT_TRUE(app.ChooseFileFor(40, 170, path));
        int wrong = 0;
        EXPECT_TRUE(WaitUntil([&] {
            const Pixels shot = CaptureClient(main);
            wrong = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 50; ++x) wrong += shot.At(71 + x, 200 + y) != Packed(want.At(x, y));
            return wrong == 0;
        }, 8000)) << wrong << " pixels differ";
    }
}
