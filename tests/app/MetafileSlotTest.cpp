// Metafiles in slots of the running program and on the printed sheet: one recorded here and
// those LibreOffice, Inkscape, gnuplot and fig2dev wrote (tests/data). Each shows in its
// slot, and the job the spooler receives draws them as vector paths, so one-unit lines come
// out one printer pixel wide at any enlargement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/GdiHandles.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/SamplePictures.h"
#include "support/SheetCells.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr int kLines = 5;
// The red block of LibreOffice's drawing (tests/data/drawing-dash.svg).
constexpr uint32_t kWrittenRed = 0xE03030;

// 80 x 40 mm: a red block on the left, five one-unit black lines on the right, recorded on
// the screen as reference device.
std::vector<uint8_t> RecordLinesEmf() {
    return RecordEmf(RECT{0, 0, 8000, 4000}, [](HDC dc) {
        const int width = MulDiv(8000, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE) * 100);
        const int height = MulDiv(4000, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE) * 100);
        OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT block{0, 0, width / 2, height};
        FillRect(dc, &block, red.get());
        SelectObject(dc, GetStockObject(BLACK_PEN));  // a cosmetic pen: one device pixel wide
        for (int i = 0; i < kLines; ++i) {
            const int y = height * (i + 1) / (kLines + 1);
            MoveToEx(dc, width / 2 + 10, y, nullptr);
            LineTo(dc, width - 5, y);
        }
    });
}

// The page's own program in a job (after the prolog); "" when the job has no page.
std::string PageOf(const std::string& jobPath) {
    const std::string job = ReadWholeFile(WindowsPathOf(jobPath));
    const size_t start = job.find("%%Page:");
    return start == std::string::npos ? "" : job.substr(start);
}

std::string CorpusFile(const char* name) {
    std::string path = std::string(TETRAFOL_CORPUS_DIR) + "\\" + name;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

bool IsColoured(uint32_t pixel) {
    const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    return std::max({r, g, b}) - std::min({r, g, b}) > 40;
}

// PostScript's image operators as words of the page's program (not of its prolog's names).
int ImagesDrawn(const std::string& page) {
    int images = 0;
    for (const char* op : {" image", " colorimage", " imagemask", "\nimage", "\ncolorimage", "\nimagemask"}) {
        for (size_t at = page.find(op); at != std::string::npos; at = page.find(op, at + 1)) {
            const char next = at + std::strlen(op) < page.size() ? page[at + std::strlen(op)] : ' ';
            images += next == ' ' || next == '\n' || next == '\r';
        }
    }
    return images;
}

}  // namespace

TEST(MetafileSlot, ShowsInItsSlotAndPrintsAsVectors) {
    TempDir files;
    const std::vector<uint8_t> emf = RecordLinesEmf();
    const std::string path = files.Write("lines.emf", emf);
    // The rig's screen, the reference device it was recorded on, is 1024 x 768 pixels of
    // 271 x 203 mm, so the picture is MulDiv(8000, 1024, 27100) = 302 by
    // MulDiv(4000, 768, 20300) = 151 pixels.
    ENHMETAHEADER header{};
    {
        OwnedEnhMetafile copy(SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data()));
        GetEnhMetaFileHeader(copy.get(), sizeof header, &header);
    }
    ASSERT_EQ(header.szlDevice.cx, 1024);
    ASSERT_EQ(header.szlDevice.cy, 768);
    ASSERT_EQ(header.szlMillimeters.cx, 271);
    ASSERT_EQ(header.szlMillimeters.cy, 203);
    const std::string written = CorpusFile("lo-drawing-dash.emf");

    AppProcess app;
    HWND main = app.Ready();
    ASSERT_NE(main, nullptr);

    // On screen: the red half inside slot 1, and the black lines, one screen pixel each, in
    // its right half; LibreOffice's drawing in slot 2, its red block showing there.
    ASSERT_TRUE(app.LoadSlot(0, path));
    ASSERT_TRUE(app.LoadSlot(1, written));
    const Pixels shot = CaptureClient(main);
    shot.SaveBmp(OutputDir() + "\\metafile-slot.bmp");
    EXPECT_GT(shot.Count(RECT{16, 16, 176, 136}, kRed), 1000) << "the metafile did not show in its slot";
    EXPECT_EQ(shot.Count(RECT{146, 16, 147, 136}, [](uint32_t px) { return IsDark(px, 0x60); }), kLines)
        << "dark rows in the slot's right half";
    EXPECT_GT(shot.Count(RECT{208, 16, 368, 136}, kWrittenRed), 500) << "LibreOffice's metafile did not show in its slot";

    // On paper.
    const std::string job = PrintSheetConfirmed(app);
    ASSERT_NE(job, "") << "no print dialog, or no job reached the spooler";

    // The page's own program (after the prolog) fills and strokes paths; it paints no image.
    const std::string page = PageOf(job);
    ASSERT_NE(page, "");
    EXPECT_EQ(ImagesDrawn(page), 0) << "a metafile reached the printer as an image";
    EXPECT_NE(page.find("stroke"), std::string::npos) << "no stroked path on the page";

    // Rendered at 600 dpi: the picture fills its place in the cell, and each line is as
    // thin as one printer pixel although the picture is enlarged many times.
    const int dpi = 600;
    const RenderedPage rendered = RenderJob(job, dpi);
    ASSERT_EQ(rendered.pages, 1);
    const double scale = double(dpi) / kSheetDpi;
    // 302 x 151 in cell 1 (SheetCells.h): 1604/302 = 5.311 < 1089/151 = 7.212, so the width
    // decides: (100, 100, 1704, 100 + trunc(151 x 5.311) = 902, or 901 as the product
    // of exactly 802 may fall just short); the red block is its left half, to x 902.
    const RECT target{100, 100, 1704, 902};
    const int targetWidth = target.right - target.left;
    const RECT redBox = rendered.BoxOf(kRed, kPrinted);
    EXPECT_NEAR(redBox.left, target.left * scale, 4 * scale);
    EXPECT_NEAR(redBox.top, target.top * scale, 4 * scale);
    EXPECT_NEAR(redBox.bottom, target.bottom * scale, 4 * scale);
    EXPECT_NEAR(redBox.right, (target.left + targetWidth / 2.0) * scale, 6 * scale);

    // LibreOffice's red block lies inside its own cell's picture, and is a good part of it.
    // Its frame is 3955 x 2896 (0.01 mm) on a 150 x 109 pixel, 39 x 28 mm reference device:
    // MulDiv(3955, 150, 3900) = 152 by MulDiv(2896, 109, 2800) = 113 pixels. In cell 2:
    // 1604/152 = 10.55 > 1089/113 = 9.637, so the height decides, width trunc(152 x 9.637) = 1464.
    const RECT writtenTarget{1804, 100, 1804 + 1464, 1189};
    const RECT writtenBox = rendered.BoxOf(kWrittenRed, 20);
    EXPECT_GE(writtenBox.left, writtenTarget.left * scale);
    EXPECT_GE(writtenBox.top, writtenTarget.top * scale);
    EXPECT_LE(writtenBox.right, writtenTarget.right * scale);
    EXPECT_LE(writtenBox.bottom, writtenTarget.bottom * scale);
    EXPECT_GT(writtenBox.right - writtenBox.left, 1464 * scale / 3);

    const int column = static_cast<int>((target.left + targetWidth * 0.75) * scale);
    std::vector<int> thickness;
    for (int y = redBox.top, run = 0; y <= redBox.bottom && y < rendered.height; ++y) {
        if (IsDark(rendered.At(column, y), 0x60)) {
            ++run;
        } else if (run) {
            thickness.push_back(run);
            run = 0;
        }
    }
    ASSERT_EQ(thickness.size(), static_cast<size_t>(kLines)) << "one dark run per line";
    for (int t : thickness) EXPECT_LE(t, static_cast<int>(scale + 1.0)) << "a line wider than a printer pixel";

    // Drawings from Inkscape, gnuplot and fig2dev, four at a time: each shows in its slot, and
    // none of them, carrying no bitmap, reaches the printer as an image, but for the last's
    // gradient record, which the platform's PostScript driver paints as one.
    const char* const drawings[] = {"ink-drawing-text.emf", "ink-drawing-text.wmf", "ink-drawing-gradient.wmf",
                                    "gp-lines.emf",         "gp-surface.emf",       "fig-drawing.emf",
                                    "ink-drawing-gradient.emf"};
    for (size_t first = 0; first < std::size(drawings); first += 4) {
        ASSERT_TRUE(Settle(main));
        ClickClient(main, kClearButton.x, kClearButton.y);  // so no slot shows an earlier picture
        ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main).Count(RECT{16, 16, 369, 281}, IsColoured) == 0; }, 5000));
        for (size_t i = first; i < std::min(first + 4, std::size(drawings)); ++i) {
            const POINT centre = kSlotCentre[i - first];
            ASSERT_TRUE(app.LoadSlot(static_cast<int>(i - first), CorpusFile(drawings[i])));
            const RECT slot{centre.x - 80, centre.y - 60, centre.x + 80, centre.y + 60};
            EXPECT_TRUE(WaitUntil([&] { return CaptureClient(main).Count(slot, IsColoured) > 100; }, 5000)) << drawings[i];
        }
        const std::string sheet = PageOf(PrintSheetConfirmed(app));
        ASSERT_NE(sheet, "") << "no print dialog, or no job reached the spooler";
        EXPECT_EQ(ImagesDrawn(sheet), first + 4 >= std::size(drawings) ? 1 : 0) << "drawings from " << drawings[first];
    }
}
