// The preview window's size for pictures whose reported size is at the far end of what a
// picture may claim: the window is held to three quarters of the monitor.
#include <gtest/gtest.h>
#include <cstring>
#include <thread>
#include <vector>
#include "dialogs/OpenPictureDialog.h"
#include "display/Image.h"
#include "graphics/Picture.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

// An enhanced metafile of one rectangle whose header claims a frame as wide as a frame
// can be, on a reference device of 100 pixels a millimetre: its width in pixels is
// the largest 32-bit number.
std::vector<uint8_t> WidestMetafile() {
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(recorder, 0, 0, 50, 40);
    HENHMETAFILE made = CloseEnhMetaFile(recorder);
    std::vector<uint8_t> bytes(GetEnhMetaFileBits(made, 0, nullptr));
    GetEnhMetaFileBits(made, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteEnhMetaFile(made);
    auto put = [&](size_t at, int32_t value) { std::memcpy(bytes.data() + at, &value, 4); };
    put(24, 0);           // rclFrame: left, top, right, bottom in 0.01 mm
    put(28, 0);
    put(32, 0x7FFFFFFF);
    put(36, 1000);
    put(72, 100);         // szlDevice.cx
    put(80, 1);           // szlMillimeters.cx
    return bytes;
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
