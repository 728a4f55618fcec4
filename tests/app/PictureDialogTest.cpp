// The picture-open dialog of the running program, driven with real input: its preview
// strip beside the system's controls, the preview of each kind of selection, the preview
// window, and what a cancelled run and the next run keep.
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>

#include "graphics/GdiHandles.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/DibSurface.h"
#include "support/Form1Points.h"
#include "support/SheetCells.h"
#include "graphics/jpeg/JpegSamples.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

constexpr uint32_t kBlue = 0x0000FF, kRed = 0xFF0000, kGreen = 0x00FF00, kAqua = 0x00FFFF;

RECT ClientScreenRect(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int DarkCount(const Pixels& img) {
    return img.Count(RECT{0, 0, img.width, img.height}, [](uint32_t px) { return IsDark(px, 0x60); });
}

long InkHeightIn(const Pixels& img) {
    const RECT ink = img.BoxOf([](uint32_t px) { return IsDark(px, 0x60); });
    return ink.bottom - ink.top;
}

int ScreenDpi() { return GetDeviceCaps(WindowDC().get(), LOGPIXELSY); }
// A length designed for 96 dpi, on this screen, as what the program builds in code.
int At(int designed) { return MulDiv(designed, ScreenDpi(), 96); }

// How tall the ink of `text` is in "ＭＳ Ｐゴシック" at `height` pixels, drawn here; or (`extent`)
// its text height, by which the layout scales over the design font's 12 pixels.
long InkHeight(const char* text, int height, int weight = FW_NORMAL, bool extent = false) {
    DibSurface dib(400, 100, RGB(255, 255, 255));
    OwnedFont font(CreateFontA(-height, 0, 0, 0, weight, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック"));
    SelectedObject selected(dib.dc(), font.get());
    SetBkMode(dib.dc(), TRANSPARENT);
    SIZE size{};
    GetTextExtentPoint32A(dib.dc(), text, static_cast<int>(strlen(text)), &size);
    TextOutA(dib.dc(), 10, 10, text, static_cast<int>(strlen(text)));
    return extent ? size.cy : InkHeightIn(dib.Read());
}
// The open dialog of the program with its preview strip.
struct PictureDialog {
    HWND dialog = nullptr, picturePanel = nullptr, paintPanel = nullptr;

    explicit PictureDialog(const AppProcess& app) {
        dialog = app.WaitForDialog(nullptr);
        if (!dialog) return;
        picturePanel = FindChild(dialog, "TPanel");
        paintPanel = FindChild(dialog, "TSilentPaintPanel");
    }
    bool Complete() const { return dialog && List() && picturePanel && paintPanel; }
    // The file list (made anew in each folder the dialog shows).
    HWND List() const { return FindChild(dialog, "SysListView32"); }

    int Items() const { return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    int Selected() const { return static_cast<int>(SendMessageA(List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }

    // The paint panel's interior, inside its two 1-pixel bevels, on the screen (sizes at 96 dpi).
    RECT Interior() const {
        RECT r = ClientScreenRect(paintPanel);
        InflateRect(&r, -2 * At(1), -2 * At(1));
        return r;
    }
    // The preview button, 23 x 22: at the caption row's right end, 2 pixels inside the paint panel.
    RECT Button() const {
        RECT paint = ScreenRectOf(paintPanel), strip = ClientScreenRect(picturePanel);
        return RECT{paint.right - At(2) - At(23), strip.top + At(1), paint.right - At(2), strip.top + At(1) + At(22)};
    }
    // The caption row, 23 high: from the strip's border to the paint panel's top.
    RECT CaptionRow() const {
        RECT paint = ScreenRectOf(paintPanel);
        return RECT{paint.left, paint.top - At(23), paint.right, paint.top};
    }
    bool ButtonEnabled() const { return CaptureScreen(Button()).Count(kAqua) > 0; }  // the glyph's lens

    // Selects list item `index` with the keyboard, after a click on the first item when
    // the list does not have the focus yet (a second click there would be a double-click,
    // which opens what the name box names); true once it is selected and previewed.
    ::testing::AssertionResult Select(int index) const {
        if (FocusOf(dialog) != List()) {
            const RECT r = ScreenRectOf(List());
            ClickScreen(r.left + 40, r.top + 10);
            if (!WaitUntil([&] { return FocusOf(dialog) == List(); }, 3000))
                return ::testing::AssertionFailure() << "the list did not take the focus";
        }
        PressKey(VK_HOME);
        for (int i = 0; i < index; ++i) PressKey(VK_DOWN);
        if (!WaitUntil([&] { return Selected() == index; }, 3000))
            return ::testing::AssertionFailure() << "item " << Selected() << " selected instead of " << index;
        // The selection's notification loaded the preview as the key was handled; its repaint:
        if (!Settle(picturePanel) || !Settle(paintPanel)) return ::testing::AssertionFailure() << "the preview did not settle";
        return ::testing::AssertionSuccess();
    }
};

HWND WaitForPreviewWindow(const AppProcess& app) {
    HWND w = app.WaitForWindow(nullptr, "プレビュー", 5000);
    return w && Settle(w) && Settle(FindChild(w, "TPanel")) ? w : nullptr;
}

// Where the preview window shows the picture: its panel inside the 5-pixel border, on the screen.
RECT PreviewArea(HWND preview) {
    RECT area = ClientScreenRect(FindChild(preview, "TPanel"));
    InflateRect(&area, -At(5), -At(5));
    return area;
}

bool ClosedByEscape(HWND preview) {
    PressKey(VK_ESCAPE);
    return WaitUntil([&] { return !IsWindowVisible(preview) || !IsWindow(preview); }, 3000);
}

// An error box would have come from the selection just handled: once the dialog has
// answered a message since, it would be there.
bool NoErrorBox(const AppProcess& app, HWND dialog) {
    return Settle(dialog) && app.WaitForWindow("#32770", "Tetrafol", 0) == nullptr;
}

class PictureDialogTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = files_.File("a_folder");
        CreateDirectoryA(folder_.c_str(), nullptr);
        files_.Write("b640.bmp", samples::WriteBmp(samples::SolidPicture(640, 480, {0, 0, 255}), {}));
        c300_ = files_.Write("c300.bmp", samples::WriteBmp(samples::SolidPicture(300, 200, {255, 0, 0}), {}));
        files_.Write("d2000.bmp", samples::WriteBmp(samples::SolidPicture(2000, 1500, {0, 255, 0}), {}));
        files_.Write("e_notes.txt", std::string("not a picture\r\n"));
        // Loads (the reader looks no further than the header) and fails when it is drawn.
        for (const auto& f : jpegsamples::HostileFiles())
            if (f.name == "baseline-table-192-1") files_.Write("f_bad.jpg", f.bytes);
        main_ = app_.Ready();
    }
    void TearDown() override { RemoveDirectoryA(folder_.c_str()); }

    TempDir files_;
    std::string folder_, c300_;
    AppProcess app_;
    HWND main_ = nullptr;
};

TEST_F(PictureDialogTest, WalksThroughTheStatesOfThePreview) {
    ASSERT_NE(main_, nullptr);
    const Pixels emptySlots = CaptureClient(main_);
    ClickClient(main_, kSlotCentre[0].x, kSlotCentre[0].y);
    PictureDialog d(app_);
    ASSERT_TRUE(d.Complete()) << "the explorer-style dialog with the preview strip";

    {
        SCOPED_TRACE("the strip lies right of the standard controls; the dialog is centred");
        const RECT outer = ScreenRectOf(d.dialog), strip = ScreenRectOf(d.picturePanel);
        EXPECT_EQ(outer.left, (1024 - (outer.right - outer.left)) / 2);
        EXPECT_EQ(outer.top, (768 - (outer.bottom - outer.top)) / 3);
        for (HWND standard : {d.List(), AppProcess::FileNameEdit(d.dialog), GetDlgItem(d.dialog, IDOK)})
            EXPECT_GE(strip.left, ScreenRectOf(standard).right);
        EXPECT_LE(strip.right, outer.right);
        EXPECT_GT(strip.right - strip.left, 100);
    }

    ASSERT_TRUE(AppProcess::AnswerOpenDialog(d.dialog, files_.Path()));  // into the test's folder
    ASSERT_TRUE(WaitUntil([&] { return d.Items() == 5; }, 5000)) << "a folder and four pictures: " << d.Items();

    const RECT interior = d.Interior();
    // The strip's size follows from the template and the dialog font: on the rig the
    // preview's interior is 152 x 317.
    ASSERT_EQ(interior.right - interior.left, 152);
    ASSERT_EQ(interior.bottom - interior.top, 317);
    Pixels none;
    {
        SCOPED_TRACE("a folder: nothing to preview, button disabled, nothing reported");
        ASSERT_TRUE(d.Select(0));
        none = CaptureScreen(interior);
        EXPECT_GT(DarkCount(none), 20) << "the text (なし)";
        EXPECT_EQ(none.Count(kBlue) + none.Count(kRed) + none.Count(kGreen), 0);
        EXPECT_FALSE(d.ButtonEnabled());
        EXPECT_TRUE(NoErrorBox(app_, d.dialog));
    }
    {
        SCOPED_TRACE("640 x 480: stretched to the interior, centred, button enabled");
        ASSERT_TRUE(d.Select(1));
        const Pixels img = CaptureScreen(interior);
        // Wider than tall: width 152, height trunc(152 / 1.333...) = 114, moved down by
        // (317 - 114) / 2 = 101.
        EXPECT_EQ(img.Count(kBlue), 152 * 114);
        EXPECT_EQ(img.Count(RECT{0, 101, 152, 215}, kBlue), 152 * 114);
        EXPECT_TRUE(d.ButtonEnabled());
        CaptureScreen(ScreenRectOf(d.dialog)).SaveBmp(OutputDir() + "\\dialog.bmp");  // for looking at afterwards
    }
    {
        SCOPED_TRACE("the preview window of 300 x 200 shows it at natural size; Escape closes it");
        ASSERT_TRUE(d.Select(2));
        ClickCentre(d.Button());
        HWND preview = WaitForPreviewWindow(app_);
        ASSERT_NE(preview, nullptr);
        ASSERT_NE(FindChild(preview, "TPanel"), nullptr);
        const RECT area = PreviewArea(preview);
        EXPECT_EQ(area.right - area.left, 300);
        EXPECT_EQ(area.bottom - area.top, 200);
        EXPECT_EQ(CaptureScreen(area).Count(kRed), 300 * 200);
        CaptureScreen(ScreenRectOf(preview)).SaveBmp(OutputDir() + "\\preview.bmp");
        EXPECT_FALSE(IsWindowEnabled(d.dialog)) << "modal over the dialog";
        EXPECT_TRUE(ClosedByEscape(preview));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(d.dialog) != FALSE; }, 2000));
        EXPECT_TRUE(IsWindowVisible(d.dialog)) << "back in the dialog";
    }
    {
        SCOPED_TRACE("2000 x 1500 (double-click on the preview): held to 3/4 of the monitor");
        ASSERT_TRUE(d.Select(3));
        ClickCentre(interior, 2);
        HWND preview = WaitForPreviewWindow(app_);
        ASSERT_NE(preview, nullptr);
        RECT client;
        GetClientRect(preview, &client);
        EXPECT_EQ(client.right, 768);
        EXPECT_EQ(client.bottom, 576);
        const RECT area = PreviewArea(preview);
        // 768 x 576 less the panel's sunken edge (2 a side) and border (5 a side): 754 x 562.
        // Width 754 gives height trunc(754 / 1.333...) = 565, too tall: height 562, width
        // trunc(562 x 1.333...) = 749, moved right by (754 - 749) / 2 = 2.
        ASSERT_EQ(area.right - area.left, 754);
        ASSERT_EQ(area.bottom - area.top, 562);
        const Pixels shot = CaptureScreen(area);
        EXPECT_EQ(shot.Count(kGreen), 749 * 562);
        EXPECT_EQ(shot.Count(RECT{2, 0, 751, 562}, kGreen), 749 * 562);
        EXPECT_TRUE(ClosedByEscape(preview));
    }
    {
        SCOPED_TRACE("a JPEG that fails as it is drawn: 画像が不正です in its place, nothing reported");
        ASSERT_TRUE(d.Select(4));
        const Pixels img = CaptureScreen(interior);
        EXPECT_GT(DarkCount(img), 20);
        EXPECT_NE(img.rgb, none.rgb);
        EXPECT_TRUE(NoErrorBox(app_, d.dialog));
    }
    {
        SCOPED_TRACE("a text file (shown with *.*): nothing to preview, nothing reported");
        ASSERT_TRUE(AppProcess::AnswerOpenDialog(d.dialog, "*.*"));
        ASSERT_TRUE(WaitUntil([&] { return d.Items() == 6; }, 5000)) << d.Items();
        ASSERT_TRUE(d.Select(4));
        EXPECT_EQ(CaptureScreen(interior).rgb, none.rgb) << "(なし) as for the folder";
        EXPECT_FALSE(d.ButtonEnabled());
        EXPECT_TRUE(NoErrorBox(app_, d.dialog));
    }
    Pixels lastCaption;
    {
        SCOPED_TRACE("the hint of the enabled button");
        ASSERT_TRUE(d.Select(2));
        lastCaption = CaptureScreen(d.CaptionRow());
        const RECT button = d.Button();
        SetCursorPos(button.left + 5, button.top + 5);
        SetCursorPos(button.left + 6, button.top + 6);
        HWND hint = app_.WaitForWindow("THintWindow", "プレビュー", 3000);
        EXPECT_NE(hint, nullptr);
    }
    ASSERT_TRUE(AppProcess::AnswerOpenDialog(d.dialog, c300_));  // confirms c300.bmp
    ASSERT_TRUE(app_.Finished(d.dialog));
    // Hidden as the dialog's window is destroyed, so before it is gone.
    EXPECT_EQ(app_.WaitForWindow("THintWindow", nullptr, 0), nullptr) << "the hint goes with the dialog";
    const Pixels redSlot = CaptureClient(main_);
    ASSERT_EQ(redSlot.At(kSlotCentre[0].x, kSlotCentre[0].y), kRed);

    {
        // The platform shows the folder of the name it starts with and that name in the
        // box; Wine also reports a selection change as it fills the list, so the name it
        // starts with is previewed at once (what DialogShown leaves is checked in-process).
        SCOPED_TRACE("a second run starts on the last file");
        ClickClient(main_, kSlotCentre[0].x, kSlotCentre[0].y);
        PictureDialog second(app_);
        ASSERT_TRUE(second.Complete());
        EXPECT_STREQ(EditText(AppProcess::FileNameEdit(second.dialog)).c_str(), "c300.bmp");
        EXPECT_TRUE(WaitUntil([&] { return second.Items() == 5; }, 3000)) << "the file's own folder";
        EXPECT_TRUE(WaitUntil([&] { return CaptureScreen(second.Interior()).Count(kRed) > 0; }, 5000));
        EXPECT_EQ(CaptureScreen(second.CaptionRow()).rgb, lastCaption.rgb);

        PressButton(second.dialog, IDCANCEL);
        ASSERT_TRUE(app_.Finished(second.dialog));
    }
    {
        SCOPED_TRACE("cancelled: the slot and the file name stay");
        const Pixels after = CaptureClient(main_);
        EXPECT_EQ(after.rgb, redSlot.rgb);
        EXPECT_NE(after.rgb, emptySlots.rgb);
        ClickClient(main_, kSlotCentre[0].x, kSlotCentre[0].y);
        PictureDialog third(app_);
        ASSERT_TRUE(third.Complete());
        EXPECT_STREQ(EditText(AppProcess::FileNameEdit(third.dialog)).c_str(), "c300.bmp");
        PressButton(third.dialog, IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(third.dialog); }, 5000));
    }
}

}  // namespace

// At 120 and 144 dpi (ctest's ui_tests_120dpi and ui_tests_144dpi, rigs of their own) the
// layout's font goes by the resolution over 96, places and sizes by its text height over 12;
// what the program builds in code (strip, texts, button, glyph, preview window) by the
// resolution. Pictures keep their pixels, and land where those places say, on the sheet too.
TEST_F(PictureDialogTest, OnAHighResolutionScreenEverythingIsLaidOutByTheProgramsScaling) {
    const int dpi = ScreenDpi(), fontHeight = At(12), textHeight = InkHeight("0", fontHeight, FW_NORMAL, true);
    if (dpi == 96) GTEST_SKIP() << "for the rigs of higher resolutions";
    auto layout = [&](int v) { return MulDiv(v, textHeight, 12); };
    auto place = [&](int l, int t, int w, int h) {
        return RECT{layout(l), layout(t), layout(l) + layout(w), layout(t) + layout(h)};
    };
    const RECT slot = place(16, 16, 160, 120), print = place(56, 296, 89, 33), window = place(0, 0, 395, 365);
    ASSERT_NE(main_, nullptr);
    const long slotInk = InkHeightIn(CaptureClient(main_).Crop(slot));  // "未設定"
    ClickClient(main_, slot.left + 50, slot.top + 50);
    PictureDialog d(app_);
    ASSERT_TRUE(d.Complete());
    AppProcess::AnswerOpenDialog(d.dialog, files_.Path());
    ASSERT_TRUE(WaitUntil([&] { return d.Items() == 5; }, 5000));
    d.Select(0);  // the folder: "画像:" over "(なし)"
    const RECT strip = ScreenRectOf(d.picturePanel), paint = ScreenRectOf(d.paintPanel);
    const long captionInk = InkHeightIn(CaptureScreen(d.CaptionRow())), noneInk = InkHeightIn(CaptureScreen(d.Interior()));
    ClickCentre(d.Interior(), 2);  // the preview window with nothing to show keeps its own size
    HWND preview = WaitForPreviewWindow(app_);
    ASSERT_NE(preview, nullptr);
    const RECT emptyPreview = ScreenRectOf(preview);
    ASSERT_TRUE(ClosedByEscape(preview));
    d.Select(2);  // 300 x 200, red: at its natural size in the preview window
    // The button's frame ends in the darkest shadow; within it, what is not the button's
    // face is the glyph (its page's ink 13 x 15 of its 16 x 16 pixels).
    RECT around = d.Button();
    InflateRect(&around, At(3), At(3));
    const Pixels button = CaptureScreen(around);
    const uint32_t shadow = RgbOf(GetSysColor(COLOR_3DDKSHADOW)), face = RgbOf(GetSysColor(COLOR_BTNFACE));
    const RECT frame = button.BoxOf(shadow), inner{frame.left + 2, frame.top + 2, frame.right - 2, frame.bottom - 2};
    const RECT glyph = button.Crop(inner).BoxOf([&](uint32_t px) { return px != face; });
    const RECT interior = d.Interior();
    ClickCentre(interior, 2);
    preview = WaitForPreviewWindow(app_);
    ASSERT_NE(preview, nullptr);
    const RECT previewArea = PreviewArea(preview);
    const long previewRed = CaptureScreen(previewArea).Count(kRed);
    ASSERT_TRUE(ClosedByEscape(preview));
    d.Select(1);  // 640 x 480, blue: stretched into the strip's interior, then fitted into the slot
    ASSERT_TRUE(WaitUntil([&] { return CaptureScreen(interior).Count(kBlue) > 0 && Settle(d.paintPanel); }, 5000));
    const long iw = interior.right - interior.left, stripBlue = CaptureScreen(interior).Count(kBlue);
    const long listRight = ScreenRectOf(d.List()).right;
    CaptureScreen(ScreenRectOf(d.dialog)).SaveBmp(OutputDir() + "\\dialog-" + std::to_string(dpi) + "dpi.bmp");
    PressButton(d.dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main_).At(slot.left + 50, slot.top + 50) == kBlue; }, 5000));
    ASSERT_TRUE(Settle(main_));
    const Pixels shot = CaptureClient(main_);
    PrintJobWatcher jobs;
    ClickClient(main_, print.left + 20, print.top + 10);
    HWND printDialog = app_.WaitForDialog(nullptr);
    ASSERT_NE(printDialog, nullptr);
    PressButton(printDialog, IDOK);
    const RenderedPage page = RenderNextJob(jobs, kSheetDpi);
    const RECT outer = ScreenRectOf(main_), printButton = ChildRectInClient(main_, FindChild(main_, "Button", "印刷"));
    // 4:3 like the slot, the picture fills it but for a row the truncation may take.
    const long slotWidth = slot.right - slot.left, slotArea = slotWidth * (slot.bottom - slot.top);
    // Against the 96 dpi design scaled: sizes within a pixel, texts by their fonts. The strip there
    // is 168 wide (WalksThroughTheStatesOfThePreview's interior, 152, in its border and bevels).
    const struct { const char* what; long got, low, high; } rows[] = {
        {"window width", outer.right - outer.left, window.right, window.right},
        {"window height", outer.bottom - outer.top, window.bottom, window.bottom},
        {"印刷 left", printButton.left, print.left, print.left},
        {"印刷 bottom", printButton.bottom, print.bottom, print.bottom},
        {"未設定, by its font", slotInk, InkHeight("未設定", layout(24), FW_BOLD), InkHeight("未設定", layout(24), FW_BOLD)},
        {"strip right of the list", strip.left, listRight, LONG_MAX},
        {"strip width", strip.right - strip.left, At(168) - 1, At(168) + 1},
        {"strip border", paint.left - strip.left, At(6) - 1, At(6) + 1},
        {"caption row", paint.top - strip.top - At(6), At(23) - 1, At(23) + 1},
        {"画像:, by its font", captionInk, InkHeight("画像:", fontHeight), InkHeight("画像:", fontHeight)},
        {"(なし), by its font", noneInk, InkHeight("(なし)", fontHeight), InkHeight("(なし)", fontHeight)},
        {"button width", frame.right - frame.left, At(23) - 1, At(23) + 1},
        {"button height", frame.bottom - frame.top, At(22) - 1, At(22) + 1},
        {"glyph width", glyph.right - glyph.left, At(13) - 1, At(13) + 1},
        {"glyph height", glyph.bottom - glyph.top, At(15) - 1, At(15) + 1},
        {"strip, 640 x 480 stretched", stripBlue, iw * (iw * 3 / 4 - 1), iw * (iw * 3 / 4 + 1)},
        {"empty preview window width", emptyPreview.right - emptyPreview.left, At(320) - 1, At(320) + 1},
        {"empty preview window height", emptyPreview.bottom - emptyPreview.top, At(240) - 1, At(240) + 1},
        {"preview window inside its border: 300 wide", previewArea.right - previewArea.left, 300, 300},
        {"preview window inside its border: 200 high", previewArea.bottom - previewArea.top, 200, 200},
        {"preview window, 300 x 200 at its size", previewRed, 300 * 200, 300 * 200},
        {"slot 1, 640 x 480 fitted", shot.Count(slot, kBlue), slotArea - slotWidth, slotArea},
        {"nothing outside slot 1", shot.Count(kBlue), shot.Count(slot, kBlue), shot.Count(slot, kBlue)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_GE(row.got, row.low);
        EXPECT_LE(row.got, row.high);
    }
    ASSERT_TRUE(IsOneRigSheet(page));
    // The cell's height of 1089 decides: width trunc(640 x 1089 / 480) = 1452.
    ExpectBoxNear(page.BoxOf(kBlue), RECT{100, 100, 1552, 1189}, 4);
}
