// An icon on the printed sheet: drawn at its own size at its cell's corner, and the sheet
// is finished (the platform's own icon drawing never returns on Wine's printer driver).
#include <windows.h>
#include <gtest/gtest.h>

#include "app/FourUpSheet.h"
#include "dialogs/PrintDialog.h"
#include "graphics/Picture.h"
#include "support/PrintedPages.h"
#include "support/SamplePictures.h"
#include "support/SystemDialogAnswerer.h"
#include "support/TempDir.h"

TEST(IconOnSheet, PrintsAtItsOwnSizeInItsCell) {
    TempDir folder;
    const std::string path = folder.File("badge.ico");
    WriteBadgeIcon(path);
    TPicture pictures[4];
    TPicture* slots[4] = {nullptr, &pictures[1], nullptr, nullptr};
    pictures[1].LoadPictureFile(path);
    TPrintDialog dialog;
    PrintJobWatcher jobs;
    {
        SystemDialogAnswerer answer([](HWND window) { PostMessageA(window, WM_COMMAND, IDOK, 0); });
        PrintFourUpSheet(dialog, slots);
    }
    const std::string job = jobs.WaitForNewJob();
    ASSERT_NE(job, "");
    const RenderedPage page = RenderJob(job, 300);
    ASSERT_EQ(page.pages, 1);
    // The badge's dark red ring, 32 x 32 device pixels from the second cell's corner.
    const LONG cellLeft = (page.width - 300) / 2 + 200;
    const RECT ring = page.BoxOf(0x961E14, 40);
    EXPECT_NEAR(ring.left, cellLeft, 2);
    EXPECT_NEAR(ring.top, 100, 2);
    EXPECT_NEAR(ring.right - ring.left, 32, 2);
    EXPECT_NEAR(ring.bottom - ring.top, 32, 2);
    // Around the badge the paper stays white: the icon's corners are not painted.
    EXPECT_EQ(page.At(cellLeft + 1, 101), 0xFFFFFFu);
}
