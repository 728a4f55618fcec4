// The main window as the user first sees it: four white "未設定" boxes and two buttons,
// read off the screen of the running program.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/UiDriver.h"

namespace {

struct Box {
    const char* name;
    int left, top, width, height;
};

// Client coordinates of the four placeholder labels.
const Box kLabels[] = {
    {"Label1", 16, 16, 160, 120},
    {"Label2", 208, 16, 160, 120},
    {"Label3", 16, 160, 160, 120},
    {"Label4", 208, 160, 161, 121},
};

const uint32_t kWhite = 0xFFFFFF;

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        app_ = new AppProcess();
        main_ = app_->MainWindow();
        if (!main_) return;
        shot_ = new Pixels(CaptureClient(main_));
        shot_->SaveBmp(OutputDir() + "\\ui-main-window.bmp");
    }
    static void TearDownTestSuite() {
        delete shot_;
        delete app_;
        shot_ = nullptr;
        app_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(main_, nullptr) << "Tetrafol's main window did not appear"; }

    static AppProcess* app_;
    static HWND main_;
    static Pixels* shot_;
};

AppProcess* MainWindowTest::app_ = nullptr;
HWND MainWindowTest::main_ = nullptr;
Pixels* MainWindowTest::shot_ = nullptr;

TEST_F(MainWindowTest, WindowHasItsCaptionPlaceAndSize) {
    EXPECT_EQ(WindowText(main_), "Tetrafol");
    RECT r;
    GetWindowRect(main_, &r);
    EXPECT_EQ(Placement(r), "246,226 395x365");
    EXPECT_TRUE(GetWindowLongA(main_, GWL_STYLE) & WS_THICKFRAME) << "the frame is resizable";
}

TEST_F(MainWindowTest, FourWhiteBoxesWithDarkTextOnTheButtonFace) {
    const Pixels& img = *shot_;
    const uint32_t face = RgbOf(GetSysColor(COLOR_BTNFACE));
    ASSERT_NE(face, kWhite);
    for (const Box& b : kLabels) {
        SCOPED_TRACE(b.name);
        const int right = b.left + b.width - 1, bottom = b.top + b.height - 1;
        // The box is white right up to its edges, and the face colour starts just outside.
        EXPECT_EQ(img.At(b.left, b.top), kWhite);
        EXPECT_EQ(img.At(right, b.top), kWhite);
        EXPECT_EQ(img.At(b.left, bottom), kWhite);
        EXPECT_EQ(img.At(right, bottom), kWhite);
        EXPECT_EQ(img.At(b.left - 1, b.top), face);
        EXPECT_EQ(img.At(b.left, b.top - 1), face);
        EXPECT_EQ(img.At(right + 1, bottom), face);
        EXPECT_EQ(img.At(right, bottom + 1), face);
        // The whole rim is white: the box is filled, not just its corners.
        int rimOff = 0;
        for (int x = b.left; x <= right; ++x)
            rimOff += (img.At(x, b.top + 1) != kWhite) + (img.At(x, bottom - 1) != kWhite);
        for (int y = b.top; y <= bottom; ++y)
            rimOff += (img.At(b.left + 1, y) != kWhite) + (img.At(right - 1, y) != kWhite);
        EXPECT_EQ(rimOff, 0);

        // "未設定" in bold 24-pixel characters: dark pixels, all in the middle of the box,
        // spread evenly to both sides of the centre line.
        int dark = 0, minX = b.width, maxX = -1, minY = b.height, maxY = -1;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                if (!IsDark(img.At(b.left + x, b.top + y))) continue;
                ++dark;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        EXPECT_GT(dark, 150) << "no text drawn";
        EXPECT_GT(maxX - minX, 50) << "three wide characters";
        EXPECT_LE(maxY - minY + 1, 32) << "one line of text";
        EXPECT_NEAR((minX + maxX) / 2.0, (b.width - 1) / 2.0, 4.0) << "centred across";
        EXPECT_NEAR((minY + maxY) / 2.0, (b.height - 1) / 2.0, 6.0) << "centred down";
    }
}

TEST_F(MainWindowTest, TwoButtonsAtTheirPlacesInTabOrder) {
    HWND print = FindChild(main_, "Button", "印刷");
    HWND clear = FindChild(main_, "Button", "クリア");
    ASSERT_NE(print, nullptr);
    ASSERT_NE(clear, nullptr);
    const RECT p = ChildRectInClient(main_, print), c = ChildRectInClient(main_, clear);
    EXPECT_EQ(Placement(p), "56,296 89x33");
    EXPECT_EQ(Placement(c), "256,296 81x33");

    EXPECT_EQ(GetNextDlgTabItem(main_, print, FALSE), clear);
    EXPECT_EQ(GetNextDlgTabItem(main_, clear, FALSE), print);

    // The buttons are drawn on the screen: their captions leave dark pixels inside them.
    const Pixels& img = *shot_;
    for (const RECT& r : {p, c}) {
        int dark = 0;
        for (int y = r.top + 4; y < r.bottom - 4; ++y)
            for (int x = r.left + 4; x < r.right - 4; ++x) dark += IsDark(img.At(x, y));
        EXPECT_GT(dark, 20);
    }
}

}  // namespace
