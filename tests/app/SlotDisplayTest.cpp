// Pictures in the slots of the running program, read off the screen: fitted, centred and
// drawn over the placeholder labels; "クリア" brings every label back.
#include <gtest/gtest.h>

#include "graphics/bitmap/BmpSamples.h"
#include "support/Form1Points.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlue = 0x0000FF, kRed = 0xFF0000, kGreen = 0x00FF00,
                   kYellow = 0xFFFF00, kMagenta = 0xFF00FF;

// Pixels of colour `c`, or dark ones, inside the client rectangle [x0, x1) x [y0, y1).
int Count(const Pixels& img, int x0, int y0, int x1, int y1, uint32_t c) { return img.Count({x0, y0, x1, y1}, c); }
int DarkCount(const Pixels& img, int x0, int y0, int x1, int y1) {
    return img.Count({x0, y0, x1, y1}, [](uint32_t px) { return IsDark(px); });
}

class SlotDisplayTest : public testing::Test {
protected:
    void SetUp() override {
        main_ = app_.MainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main_).At(20, 20) == kWhite; }, 5000));
        Sleep(300);
    }
    // Clicks the slot, answers the dialog with `file`, waits until (x, y) shows `colour`.
    Pixels LoadSlot(int clickX, int clickY, const std::string& file, int x, int y, uint32_t colour) {
        EXPECT_TRUE(app_.ChooseFileFor(clickX, clickY, file)) << "the slot opens the picture-open dialog";
        Pixels shot;
        bool shown = WaitUntil([&] {
            shot = CaptureClient(main_);
            return shot.At(x, y) == colour;
        }, 8000);
        EXPECT_TRUE(shown) << file << " did not show";
        Sleep(500);  // the rest of the repaint after the dialog closed
        return CaptureClient(main_);
    }
    // A 24-bit BMP of one colour in the test's folder.
    std::string SolidBmp(const char* name, int width, int height, uint8_t r, uint8_t g, uint8_t b) {
        return files_.Write(name, samples::WriteBmp(samples::SolidPicture(width, height, {r, g, b}), {}));
    }

    TempDir files_;
    AppProcess app_;
    HWND main_ = nullptr;
};

}  // namespace

TEST_F(SlotDisplayTest, PicturesFitTheirSlotsAndClearShowsTheLabelsAgain) {
    const Pixels before = CaptureClient(main_);
    const std::string wide = SolidBmp("wide.bmp", 300, 100, 0, 0, 255);
    const std::string tall = SolidBmp("tall.bmp", 100, 300, 255, 0, 255);
    const std::string small = SolidBmp("small.bmp", 50, 40, 0, 255, 0);
    const std::string large = SolidBmp("large.bmp", 640, 480, 255, 255, 0);

    {
        SCOPED_TRACE("300 x 100 in slot 1: client pixels (16, 49)-(175, 101)");
        Pixels img = LoadSlot(96, 76, wide, 96, 76, kBlue);
        EXPECT_EQ(Count(img, 16, 49, 176, 102, kBlue), 160 * 53);
        EXPECT_EQ(Count(img, 0, 0, 387, 300, kBlue), 160 * 53) << "nothing outside its rectangle";
        // The label's white stays above and below it.
        EXPECT_EQ(Count(img, 16, 16, 176, 49, kWhite) + DarkCount(img, 16, 16, 176, 49) > 160 * 30, true);
        EXPECT_EQ(img.At(16, 48), kWhite);
        EXPECT_EQ(img.At(175, 102), kWhite);
        EXPECT_EQ(img.At(16, 135), kWhite);
    }
    {
        SCOPED_TRACE("100 x 300 in slot 2: 39 x 120 at (268, 16), text beside it");
        Pixels img = LoadSlot(288, 76, tall, 288, 76, kMagenta);
        EXPECT_EQ(Count(img, 268, 16, 307, 136, kMagenta), 39 * 120);
        EXPECT_EQ(Count(img, 208, 16, 368, 136, kMagenta), 39 * 120);
        // The outer parts of "未設定" still show left and right of the picture.
        EXPECT_GT(DarkCount(img, 208, 16, 268, 136), 20);
        EXPECT_GT(DarkCount(img, 307, 16, 368, 136), 20);
    }
    {
        SCOPED_TRACE("50 x 40 in slot 3: natural size, centred at (71, 200)");
        Pixels img = LoadSlot(40, 170, small, 96, 220, kGreen);
        EXPECT_EQ(Count(img, 71, 200, 121, 240, kGreen), 50 * 40);
        EXPECT_EQ(Count(img, 16, 160, 176, 280, kGreen), 50 * 40);
        EXPECT_EQ(img.At(70, 199), kWhite);
        EXPECT_GT(DarkCount(img, 16, 160, 71, 280), 20) << "the text shows beside it";
        EXPECT_EQ(img.At(96, 241), kWhite);
    }
    {
        SCOPED_TRACE("640 x 480 in slot 4: fills Image4; Label4's extra row and column stay white");
        Pixels img = LoadSlot(288, 220, large, 288, 220, kYellow);
        EXPECT_EQ(Count(img, 208, 160, 368, 280, kYellow), 160 * 120);
        for (int y = 160; y <= 280; ++y) EXPECT_EQ(img.At(368, y), kWhite) << y;
        for (int x = 208; x <= 368; ++x) EXPECT_EQ(img.At(x, 280), kWhite) << x;
        EXPECT_NE(img.At(369, 200), kWhite);
    }

    const samples::Rgb quarters[3] = {{200, 30, 40}, {20, 160, 60}, {30, 60, 200}};
    const std::string photo = files_.Write("photo.bmp", samples::QuartersBmp(6000, 4000, quarters));
    {
        // 160 wide, trunc(160 / 1.5) = 106 high, (120 - 106) / 2 = 7 down: client (16, 23)-(175, 128).
        // The halves meet at 16 + 80 = 96 and 23 + 53 = 76 (source row 2000 starts printed row 53 exactly).
        SCOPED_TRACE("6000 x 4000 over slot 1: reduced, flat quarters exact, the checkerboard an even grey");
        Pixels img = LoadSlot(96, 76, photo, 30, 40, 0xC81E28);
        struct Quarter {
            uint32_t rgb;
            int x0, y0, x1, y1;
        };
        for (const Quarter& q : {Quarter{0xC81E28, 16, 23, 96, 76}, Quarter{0x14A03C, 96, 23, 176, 76},
                                 Quarter{0x1E3CC8, 16, 76, 96, 129}}) {
            EXPECT_EQ(Count(img, q.x0, q.y0, q.x1, q.y1, q.rgb), 80 * 53) << std::hex << q.rgb;
            EXPECT_EQ(Count(img, 0, 0, 387, 300, q.rgb), 80 * 53) << "nothing outside its rectangle";
        }
        // Each shown pixel averages 37.5 x 37.7 black and white ones: 127.5, give or take 0.1.
        EXPECT_EQ(Count(img, 96, 76, 176, 129, 0x7F7F7F) + Count(img, 96, 76, 176, 129, 0x808080), 80 * 53);
        EXPECT_EQ(img.At(16, 22), kWhite);
        EXPECT_EQ(img.At(16, 129), kWhite);
    }

    // "クリア": every slot shows its label again, exactly as at start.
    ClickClient(main_, kClearButton.x, kClearButton.y);
    Pixels after;
    WaitUntil([&] {
        after = CaptureClient(main_);
        return Count(after, 16, 16, 369, 281, kBlue) + Count(after, 16, 16, 369, 281, kYellow) == 0;
    }, 5000);
    Sleep(300);
    after = CaptureClient(main_);
    ASSERT_EQ(after.width, before.width);
    int changed = 0;
    for (int y = 16; y < 281; ++y)
        for (int x = 16; x < 369; ++x) changed += after.At(x, y) != before.At(x, y);
    EXPECT_EQ(changed, 0) << "the slots look as they did at start";
    for (const std::string* f : {&wide, &tall, &small, &large, &photo}) DeleteFileA(f->c_str());
}
