// The picture-open dialog: the filter it hands the system, and real runs of the system's
// open-file dialog answered from another thread, with what each run starts its preview with;
// the preview window's size for a picture claiming the largest width, and the preview
// button's hint across runs.
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>
#include "dialogs/OpenPictureDialog.h"
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/HintWindow.h"
#include "framework/SpeedButton.h"
#include "graphics/Picture.h"
#include "graphics/bitmap/BmpSamples.h"
#include "support/SamplePictures.h"
#include "support/SystemDialogAnswerer.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

TEST(OpenPictureDialogFilter, BarsBecomeNulsExceptInsideDoubleByteCharactersEveryFormatIsListed) {
    EXPECT_EQ(FilterToPlatform(""), std::string());
    EXPECT_EQ(FilterToPlatform("Bitmaps (*.bmp)|*.bmp"), std::string("Bitmaps (*.bmp)\0*.bmp\0", 22));
    // "ポ" is 0x83 0x7C in Shift-JIS: its second byte is a bar and must stay.
    const std::string po = "ポ";
    ASSERT_EQ(po.size(), 2u);
    ASSERT_EQ(po[1], '|');
    EXPECT_EQ(FilterToPlatform("ポ|*.x"), po + std::string("\0*.x\0", 5));
    // The dialog starts with every registered picture format.
    TOpenPictureDialog dialog;
    EXPECT_EQ(dialog.Filter, GraphicFilter(&TGraphic::ClassInfo));
    EXPECT_NE(dialog.Filter.find("*.jpg"), std::string::npos);
    EXPECT_EQ(dialog.FileName(), "");
}

TEST(OpenPictureDialogRun, ConfirmedRunGivesTheFileCancelledRunKeepsIt) {
    TempDir dir;
    const std::string file =
        dir.Write("tetrafol-dialog-test.bmp", samples::WriteBmp(samples::SolidPicture(30, 20, {0, 0, 255}), {}));

    TForm form;
    form.SetBounds(40, 40, 200, 150);
    form.Show(SW_SHOWNORMAL);
    TOpenPictureDialog dialog;
    // What DialogShown leaves, seen from OnShow, which runs at its end.
    struct Start {
        std::string label, paintCaption, lastPreviewed;
        bool buttonEnabled = true;
        int32_t pictureWidth = -1;
        TRect strip, area;
    } start;
    dialog.OnShow = [&](TObject*) {
        start = Start{dialog.PictureLabel().Caption(), dialog.PaintPanel().Caption(), dialog.LastPreviewedName(),
                      dialog.PreviewButton().Enabled(), dialog.PaintBox().Picture().Width(),
                      dialog.PicturePanel().BoundsRect(), dialog.TemplateAreaRect()};
    };
    bool formEnabledWhileShown = true;
    HWND owner = nullptr;
    SystemDialogAnswerer answer([&](HWND d) {
        formEnabledWhileShown = IsWindowEnabled(form.WindowHandle()) != FALSE;
        owner = GetWindow(d, GW_OWNER);
        AppProcess::AnswerOpenDialog(d, file);
    });
    bool confirmed = dialog.RunModal();
    answer.Wait();
    EXPECT_TRUE(confirmed);
    EXPECT_STRCASEEQ(dialog.FileName().c_str(), file.c_str());
    EXPECT_FALSE(formEnabledWhileShown);
    EXPECT_EQ(owner, form.WindowHandle()) << "owned by the window that was active";
    EXPECT_TRUE(IsWindowEnabled(form.WindowHandle()));
    {
        SCOPED_TRACE("the first run starts empty, the strip right of the standard controls");
        EXPECT_EQ(start.label, "");
        EXPECT_FALSE(start.buttonEnabled);
        EXPECT_EQ(start.paintCaption, "(なし)");
        EXPECT_EQ(start.pictureWidth, 0);
        EXPECT_EQ(start.strip.Left, start.area.Right);
        EXPECT_EQ(start.strip.Top, 4);
        EXPECT_GT(start.area.Right, 0);
    }

    // The second run starts on the file, which the platform selects as it fills the list:
    // the preview loads it and the caption reports its size.
    std::atomic<bool> previewed{false};
    std::string caption;
    dialog.OnSelectionChange = [&](TObject*) {
        caption = dialog.PictureLabel().Caption();
        previewed = !caption.empty();
    };
    bool shown = true;
    auto cancelOnceShown = [&](HWND d) {
        shown = WaitUntil([&] { return previewed.load(); }, 5000) && shown;
        PressButton(d, IDCANCEL);
    };
    for (int run = 2; run <= 3; ++run) {
        SystemDialogAnswerer cancel(cancelOnceShown);
        EXPECT_FALSE(dialog.RunModal());
        cancel.Wait();
    }
    EXPECT_TRUE(shown) << "a run did not preview the file it started on";
    EXPECT_EQ(caption, " (30x20)");
    EXPECT_STRCASEEQ(dialog.FileName().c_str(), file.c_str());
    {
        SCOPED_TRACE("the next run keeps the caption and the button, and empties the preview");
        EXPECT_EQ(start.label, " (30x20)");
        EXPECT_TRUE(start.buttonEnabled);
        EXPECT_EQ(start.paintCaption, "(なし)");
        EXPECT_EQ(start.pictureWidth, 0);
        EXPECT_EQ(start.lastPreviewed, "");
    }
}

namespace {

// An enhanced metafile of one rectangle whose header claims a frame as wide as a frame
// can be, on a reference device of 100 pixels a millimetre: its width in pixels is
// the largest 32-bit number.
std::vector<uint8_t> WidestMetafile() {
    std::vector<uint8_t> bytes = RecordEmf(RECT{0, 0, 1000, 1000}, [](HDC dc) { Rectangle(dc, 0, 0, 50, 40); });
    auto put = [&](size_t at, int32_t value) { std::memcpy(bytes.data() + at, &value, 4); };
    put(24, 0);           // rclFrame: left, top, right, bottom in 0.01 mm
    put(28, 0);
    put(32, 0x7FFFFFFF);
    put(36, 1000);
    put(72, 100);         // szlDevice.cx
    put(80, 1);           // szlMillimeters.cx
    return bytes;
}

// Rests the pointer on the preview button and waits for the hint; true when it showed.
bool HintShowsOverButton(TOpenPictureDialog& dialog) {
    const TRect b = dialog.PreviewButton().BoundsRect();
    POINT p{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    ClientToScreen(dialog.PicturePanel().WindowHandle(), &p);
    SetCursorPos(p.x - 1, p.y - 1);
    SetCursorPos(p.x, p.y);
    return WaitUntil([] { return Application().HintWindow() && Application().HintWindow()->Showing(); }, 2000);
}

}  // namespace

TEST(PreviewWindowSize, APictureClaimingTheLargestWidthIsHeldToThreeQuartersOfTheMonitor) {
    TempDir dir;
    const std::string file = dir.Write("widest.emf", WidestMetafile());
    TOpenPictureDialog dialog;
    dialog.PaintBox().Picture().LoadPictureFile(file);
    ASSERT_EQ(dialog.PaintBox().Picture().Width(), 0x7FFFFFFF) << "the sample claims the largest width";

    const DWORD owner = GetCurrentThreadId();
    RECT client{-1, -1, -1, -1};
    HWND preview = nullptr;
    std::thread closer([&] {
        WaitUntil([&] {
            for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, "プレビュー")) != nullptr;)
                if (GetWindowThreadProcessId(w, nullptr) == owner && IsWindowVisible(w)) preview = w;
            return preview != nullptr;
        }, 20000);
        if (!preview) return;
        GetClientRect(preview, &client);
        PostMessageA(preview, WM_CLOSE, 0, 0);
    });
    dialog.OpenPreviewWindow(nullptr);
    closer.join();
    ASSERT_NE(preview, nullptr);

    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(GetDesktopWindow(), MONITOR_DEFAULTTONEAREST), &info);
    EXPECT_EQ(client.right, (info.rcMonitor.right - info.rcMonitor.left) * 3 / 4);
}

TEST(PreviewHint, ShowsAgainInTheNextRunAfterAKeyboardClose) {
    CreateApplication();
    TempDir dir;
    const std::string file =
        dir.Write("hint.bmp", samples::WriteBmp(samples::SolidPicture(30, 20, {0, 0, 255}), {}));
    TOpenPictureDialog dialog;
    dialog.SetFileName(file);  // previewed as the run starts: the button is enabled
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        bool enabled = false, shown = false;
        SystemDialogAnswerer answer([&](HWND d) {
            enabled = WaitUntil([&] { return dialog.PreviewButton().Enabled(); }, 3000);
            shown = HintShowsOverButton(dialog);
            PressButton(d, IDCANCEL);  // the pointer stays on the button
        });
        EXPECT_FALSE(dialog.RunModal());
        answer.Wait();
        ASSERT_TRUE(enabled);
        EXPECT_TRUE(shown);
    }
    SetCursorPos(0, 0);
}
