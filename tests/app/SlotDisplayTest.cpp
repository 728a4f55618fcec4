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

bool IsDark(uint32_t px) {
    return ((px >> 16) & 0xFF) < 0x80 && ((px >> 8) & 0xFF) < 0x80 && (px & 0xFF) < 0x80;
}

// Pixels of colour `c` inside the client rectangle [x0, x1) x [y0, y1).
int Count(const ScreenImage& img, int x0, int y0, int x1, int y1, uint32_t c) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += img.At(x, y) == c;
    return n;
}

int DarkCount(const ScreenImage& img, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += IsDark(img.At(x, y));
    return n;
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
    ScreenImage LoadSlot(int clickX, int clickY, const std::string& file, int x, int y, uint32_t colour) {
        EXPECT_TRUE(app_.ChooseFileFor(clickX, clickY, file)) << "the slot opens the picture-open dialog";
        ScreenImage shot;
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
    const ScreenImage before = CaptureClient(main_);
    const std::string wide = SolidBmp("wide.bmp", 300, 100, 0, 0, 255);
    const std::string tall = SolidBmp("tall.bmp", 100, 300, 255, 0, 255);
    const std::string small = SolidBmp("small.bmp", 50, 40, 0, 255, 0);
    const std::string large = SolidBmp("large.bmp", 640, 480, 255, 255, 0);

    {
        SCOPED_TRACE("300 x 100 in slot 1: client pixels (16, 49)-(175, 101)");
        ScreenImage img = LoadSlot(96, 76, wide, 96, 76, kBlue);
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
        ScreenImage img = LoadSlot(288, 76, tall, 288, 76, kMagenta);
        EXPECT_EQ(Count(img, 268, 16, 307, 136, kMagenta), 39 * 120);
        EXPECT_EQ(Count(img, 208, 16, 368, 136, kMagenta), 39 * 120);
        // The outer parts of "未設定" still show left and right of the picture.
        EXPECT_GT(DarkCount(img, 208, 16, 268, 136), 20);
        EXPECT_GT(DarkCount(img, 307, 16, 368, 136), 20);
    }
    {
        SCOPED_TRACE("50 x 40 in slot 3: natural size, centred at (71, 200)");
        ScreenImage img = LoadSlot(40, 170, small, 96, 220, kGreen);
        EXPECT_EQ(Count(img, 71, 200, 121, 240, kGreen), 50 * 40);
        EXPECT_EQ(Count(img, 16, 160, 176, 280, kGreen), 50 * 40);
        EXPECT_EQ(img.At(70, 199), kWhite);
        EXPECT_GT(DarkCount(img, 16, 160, 71, 280), 20) << "the text shows beside it";
        EXPECT_EQ(img.At(96, 241), kWhite);
    }
    {
        SCOPED_TRACE("640 x 480 in slot 4: fills Image4; Label4's extra row and column stay white");
        ScreenImage img = LoadSlot(288, 220, large, 288, 220, kYellow);
        EXPECT_EQ(Count(img, 208, 160, 368, 280, kYellow), 160 * 120);
        for (int y = 160; y <= 280; ++y) EXPECT_EQ(img.At(368, y), kWhite) << y;
        for (int x = 208; x <= 368; ++x) EXPECT_EQ(img.At(x, 280), kWhite) << x;
        EXPECT_NE(img.At(369, 200), kWhite);
    }

    // "クリア": every slot shows its label again, exactly as at start.
    ClickClient(main_, kClearButton.x, kClearButton.y);
    ScreenImage after;
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
    for (const std::string* f : {&wide, &tall, &small, &large}) DeleteFileA(f->c_str());
}
