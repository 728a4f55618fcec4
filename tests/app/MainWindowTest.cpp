// The main window of the running program as the user sees it, all in one program start: the
// window as it first shows (its place, four white "未設定" boxes, two buttons), then pictures
// of each kind loaded into slots through the real picture-open dialog and read off the
// screen (fitted, centred, drawn over the placeholder labels, pixel for pixel as the file
// holds them), refused files with their error boxes, "クリア" bringing every label back, and
// the icons printed at their own size. Then metafiles: one recorded here and those
// LibreOffice, Inkscape, gnuplot and fig2dev wrote (tests/data), each shown in its slot and
// printed as vector paths, so one-unit lines come out one printer pixel wide at any
// enlargement.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "graphics/GdiHandles.h"
#include "graphics/bitmap/BmpSamples.h"
#include "graphics/icon/IconSamples.h"
#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/SamplePictures.h"
#include "support/SheetCells.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlue = 0x0000FF, kGreen = 0x00FF00, kYellow = 0xFFFF00,
                   kMagenta = 0xFF00FF, kRed = 0xFF0000;
const RECT kLabels[4] = {{16, 16, 176, 136}, {208, 16, 368, 136}, {16, 160, 176, 280}, {208, 160, 369, 281}};

bool Dark(uint32_t px) { return IsDark(px); }

const icosamples::Rgb kQuadrants[4] = {{0, 0, 0}, {255, 0, 0}, {0, 160, 0}, {0, 0, 255}};

// 32 x 32 in four quadrants; the top-left one is see-through. `maskRows` 0: a 32-bit
// entry with no AND mask (as favicons are written), its alpha telling instead.
icosamples::Bytes QuadrantIcon(int maskRows = -1) {
    icosamples::Entry e = icosamples::QuadrantEntry(32, kQuadrants, maskRows < 0 ? 24 : 32);
    e.maskRows = maskRows;
    e.seeThrough.assign(32 * 32, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) e.seeThrough[y * 32 + x] = 1;
    return icosamples::WriteIcon({icosamples::SolidEntry(16, {255, 255, 0}), e});
}

// The quadrant icon as it shows over `under` with its top left at (left, top).
Pixels IconOver(const Pixels& under, int left, int top) {
    Pixels want = under.Crop(RECT{left, top, left + 32, top + 32});
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (const int q = (y < 16 ? 0 : 2) + (x < 16 ? 0 : 1)) want.rgb[y * 32 + x] = kQuadrants[q].Packed();
    return want;
}

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

TEST(MainWindow, ShowsItsSlotsAndTheirPicturesAndPrintsTheIcons) {
    TempDir files;
    AppProcess app;
    HWND main = app.Ready();
    ASSERT_NE(main, nullptr) << "Tetrafol's main window did not appear painted";
    const Pixels empty = CaptureClient(main);
    empty.SaveBmp(OutputDir() + "\\ui-main-window.bmp");
    {
        SCOPED_TRACE("as it first shows");
        RECT r;
        GetWindowRect(main, &r);
        EXPECT_EQ(Placement(r), "246,226 395x365");
        const uint32_t face = RgbOf(GetSysColor(COLOR_BTNFACE));
        ASSERT_NE(face, kWhite);
        for (const RECT& label : kLabels) EXPECT_TRUE(ShowsPlaceholder(empty, label, face));
        // The buttons are drawn: their captions leave dark pixels inside them.
        for (const char* caption : {"印刷", "クリア"}) {
            HWND button = FindChild(main, "Button", caption);
            ASSERT_NE(button, nullptr) << caption;
            RECT b = ChildRectInClient(main, button);
            InflateRect(&b, -4, -4);
            EXPECT_GT(empty.Count(b, Dark), 20) << caption;
        }
    }

    // Each row loads a file into a slot and checks the screen once the program has
    // finished with it; a refused file must come with its error box and leave the slot.
    struct Row {
        std::string what;
        int slot;
        std::string file;
        const char* refusal;  // the error box's text; nullptr: the file loads
        std::function<void(const Pixels&)> check;
    };
    auto solid = [&](const char* name, int width, int height, samples::Rgb c) {
        return files.Write(name, samples::WriteBmp(samples::SolidPicture(width, height, c), {}));
    };
    const samples::Rgb quarters[3] = {{200, 30, 40}, {20, 160, 60}, {30, 60, 200}};
    std::vector<Row> rows = {
        {"300 x 100 in slot 1: client pixels (16, 49)-(175, 101)", 0, solid("wide.bmp", 300, 100, {0, 0, 255}), nullptr,
         [](const Pixels& shot) {
             EXPECT_EQ(shot.Count(RECT{16, 49, 176, 102}, kBlue), 160 * 53);
             EXPECT_EQ(shot.Count(kBlue), 160 * 53) << "nothing outside its rectangle";
             // The label's white stays above and below it.
             EXPECT_GT(shot.Count(RECT{16, 16, 176, 49}, kWhite) + shot.Count(RECT{16, 16, 176, 49}, Dark), 160 * 30);
             EXPECT_EQ(shot.Count(RECT{16, 48, 176, 49}, kWhite) + shot.Count(RECT{16, 102, 176, 103}, kWhite), 2 * 160);
             EXPECT_EQ(shot.At(16, 135), kWhite);
         }},
        {"100 x 300 in slot 2: 39 x 120 at (268, 16), text beside it", 1, solid("tall.bmp", 100, 300, {255, 0, 255}),
         nullptr,
         [](const Pixels& shot) {
             EXPECT_EQ(shot.Count(RECT{268, 16, 307, 136}, kMagenta), 39 * 120);
             EXPECT_EQ(shot.Count(kMagenta), 39 * 120);
             // The outer parts of "未設定" still show left and right of the picture.
             EXPECT_GT(shot.Count(RECT{208, 16, 268, 136}, Dark), 20);
             EXPECT_GT(shot.Count(RECT{307, 16, 368, 136}, Dark), 20);
         }},
        {"50 x 40 in slot 3: natural size, centred at (71, 200)", 2, solid("small.bmp", 50, 40, {0, 255, 0}), nullptr,
         [](const Pixels& shot) {
             EXPECT_EQ(shot.Count(RECT{71, 200, 121, 240}, kGreen), 50 * 40);
             EXPECT_EQ(shot.Count(kGreen), 50 * 40);
             EXPECT_EQ(shot.At(70, 199), kWhite);
             EXPECT_GT(shot.Count(RECT{16, 160, 71, 280}, Dark), 20) << "the text shows beside it";
             EXPECT_EQ(shot.At(96, 241), kWhite);
         }},
        {"640 x 480 in slot 4: fills Image4; Label4's extra row and column stay white", 3,
         solid("large.bmp", 640, 480, {255, 255, 0}), nullptr,
         [](const Pixels& shot) {
             EXPECT_EQ(shot.Count(RECT{208, 160, 368, 280}, kYellow), 160 * 120);
             EXPECT_EQ(shot.Count(RECT{368, 160, 369, 281}, kWhite), 121);
             EXPECT_EQ(shot.Count(RECT{208, 280, 369, 281}, kWhite), 161);
             EXPECT_NE(shot.At(369, 200), kWhite);
         }},
        // 160 wide, trunc(160 / 1.5) = 106 high, (120 - 106) / 2 = 7 down: client (16, 23)-(175, 128).
        // The halves meet at 16 + 80 = 96 and 23 + 53 = 76 (source row 2000 starts shown row 53 exactly).
        {"6000 x 4000 over slot 1: reduced, flat quarters exact, the checkerboard an even grey", 0,
         files.Write("photo.bmp", samples::QuartersBmp(6000, 4000, quarters)), nullptr,
         [](const Pixels& shot) {
             const struct { uint32_t rgb; RECT where; } flat[] = {
                 {0xC81E28, {16, 23, 96, 76}}, {0x14A03C, {96, 23, 176, 76}}, {0x1E3CC8, {16, 76, 96, 129}}};
             for (const auto& q : flat) {
                 EXPECT_EQ(shot.Count(q.where, q.rgb), 80 * 53) << std::hex << q.rgb;
                 EXPECT_EQ(shot.Count(q.rgb), 80 * 53) << "nothing outside its rectangle";
             }
             // Each shown pixel averages 37.5 x 37.7 black and white ones: 127.5, give or take 0.1.
             EXPECT_EQ(shot.Count(RECT{96, 76, 176, 129}, [](uint32_t px) { return px == 0x7F7F7F || px == 0x808080; }),
                       80 * 53);
             EXPECT_EQ(shot.At(16, 22), kWhite);
             EXPECT_EQ(shot.At(16, 129), kWhite);
         }},
    };
    auto run = [&](const Row& row) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(app.LoadSlot(row.slot, row.file)) << "no picture-open dialog, or the program did not finish";
        const AppProcess::ErrorBox box = app.TakeErrorBox(row.refusal ? 5000 : 0);
        if (row.refusal) {
            // OK only, over a disabled window; one box, not one per repaint.
            EXPECT_EQ(box.text, row.refusal);
            EXPECT_TRUE(box.okOnly && box.mainDisabled && !box.another)
                << box.okOnly << box.mainDisabled << box.another;
        } else {
            EXPECT_EQ(box.text, "") << "an error box";
        }
        row.check(CaptureClient(main));
    };
    for (const Row& row : rows) run(row);

    {
        SCOPED_TRACE("クリア: every slot shows its label again, exactly as at start");
        ClickClient(main, kClearButton.x, kClearButton.y);
        ASSERT_TRUE(WaitUntil([&] { return CaptureClient(main).Count(kBlue) + CaptureClient(main).Count(kYellow) == 0; }, 5000));
        ASSERT_TRUE(Settle(main));
        const RECT slots{16, 16, 369, 281};
        EXPECT_TRUE(CaptureClient(main).Crop(slots).Shows(empty.Crop(slots)));
    }

    // BMP files of several forms (run-length, core header, palette, bit fields), 50 x 40 in
    // slot 3 unscaled, centred with its top left at client (71, 200).
    rows.clear();
    struct Form { uint32_t header; int bits; uint32_t compression; };
    for (Form f : {Form{40, 8, 1}, Form{40, 4, 2}, Form{12, 8, 0}, Form{40, 1, 0}, Form{124, 16, 3}, Form{40, 32, 0}}) {
        samples::Form form;
        form.headerSize = f.header;
        form.bitCount = f.bits;
        form.compression = f.compression;
        const samples::Picture want = samples::ReferencePicture(f.bits, 50, 40);
        rows.push_back({form.Name(), 2, files.Write(form.Name() + ".bmp", samples::WriteBmp(want, form)), nullptr,
                        [want](const Pixels& shot) { EXPECT_TRUE(shot.Shows(PixelsOf(want), 71, 200)); }});
    }
    // An icon in slot 3 (centred on (96, 220): its top left at (80, 204)) at its own size,
    // the label seen through its mask; kept when a damaged icon or a file of an unknown
    // format is refused. An icon without AND mask in slot 4, 192 pixels to the right, is
    // seen through where its alpha is 0.
    icosamples::Bytes damaged = QuadrantIcon();
    damaged[6 + 16 + 8] = 0xFF;  // the second entry claims bytes past the file's end
    auto iconShown = [&empty](const Pixels& shot) {
        EXPECT_TRUE(shot.Shows(IconOver(empty, 80, 204), 80, 204));
        EXPECT_EQ(shot.At(80 + 32, 204 + 32), empty.At(80 + 32, 204 + 32)) << "drawn at its own size";
    };
    rows.push_back({"an icon", 2, files.Write("quadrants.ico", QuadrantIcon()), nullptr, iconShown});
    rows.push_back({"a damaged icon", 2, files.Write("broken.ico", damaged), "アイコンイメージが不正です.", iconShown});
    rows.push_back({"an unknown format", 2, files.Write("photo.png", std::string("\x89PNG not really")),
                    "拡張子 .png の画像形式は処理できません.", iconShown});
    rows.push_back({"an icon without mask", 3, files.Write("favicon.ico", QuadrantIcon(0)), nullptr,
                    [&empty](const Pixels& shot) { EXPECT_TRUE(shot.Shows(IconOver(empty, 272, 204), 272, 204)); }});
    for (const Row& row : rows) run(row);

    // Printed: 32 x 32 device pixels at the top-left corners of cells 3 and 4 (SheetCells.h),
    // each quadrant's colour spanning the two; whole device pixels, rendered at the printer's
    // resolution, so to the pixel.
    const std::string job = PrintSheetConfirmed(app);
    ASSERT_NE(job, "") << "no print dialog, or no job reached the spooler";
    const RenderedPage page = RenderJob(job, kSheetDpi);
    ASSERT_TRUE(IsOneRigSheet(page));
    const int x = kSheetCells[2].left, y = kSheetCells[2].top, x2 = kSheetCells[3].left;
    const struct { int q; RECT where; } printed[] = {
        {1, {x + 16, y, x2 + 32, y + 16}}, {2, {x, y + 16, x2 + 16, y + 32}}, {3, {x + 16, y + 16, x2 + 32, y + 32}}};
    for (const auto& q : printed) {
        SCOPED_TRACE(q.q);
        ExpectBoxNear(page.BoxOf(kQuadrants[q.q].Packed(), kPrinted), q.where, 0);
    }
    for (int at : {x, x2}) {
        EXPECT_EQ(page.Count(RECT{at + 2, y + 2, at + 14, y + 14}, kWhite, 8), 12 * 12) << "the paper shows through at " << at;
        EXPECT_EQ(page.Count(RECT{at + 18, y + 18, at + 30, y + 30}, kQuadrants[3].Packed(), 8), 12 * 12)
            << "the icon is drawn at " << at;
    }
}

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

// Files dragged from the file manager: a real X drag-and-drop (support/xdnd-drop.py: exit 0
// dropped, 2 refused) that Wine hands the window as WM_DROPFILES. A slot is read above its
// label's text: R, G, B or Y for a picture's colour, "." for the white label.
TEST(MainWindow, TakesFilesDroppedFromTheFileManager) {
    TempDir files;
    AppProcess app;
    HWND main = app.Ready();
    ASSERT_NE(main, nullptr);
    const std::string names = "RGBY.?";
    const samples::Rgb colours[5] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    auto bmp = [&](const std::string& name, char c, int scale = 1) {
        return files.Write(name, samples::WriteBmp(samples::SolidPicture(160 * scale, 120 * scale, colours[names.find(c)]), {}));
    };
    auto shown = [&] {
        const Pixels shot = CaptureClient(main);
        std::string slots;
        for (const POINT& p : kSlotCentre)
            slots += names[std::find_if(colours, colours + 5, [&](samples::Rgb c) { return c.Packed() == shot.At(p.x, p.y - 40); }) - colours];
        return slots;
    };
    auto shortcut = [&](const std::string& name, const std::string& target) {  // as the shell saves one
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const std::string path = files.File(name);
        IShellLinkA* link = nullptr;
        IPersistFile* file = nullptr;
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
        link->SetPath(target.c_str());
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
        file->Save(std::wstring(path.begin(), path.end()).c_str(), TRUE);  // an ASCII path
        file->Release();
        link->Release();
        return path;
    };
    auto drop = [&](POINT at, const std::vector<std::string>& dropped) {
        ClientToScreen(main, &at);
        std::string command = "/usr/bin/python3 \"$TETRAFOL_ROOT\"/tests/support/xdnd-drop.py " + std::to_string(at.x) + " " + std::to_string(at.y);
        for (const std::string& file : dropped) command += " '" + file + "'";  // no quotes in the names
        return RunUnixShell(command, nullptr, 150000);
    };
    const struct {
        std::vector<std::string> before;  // into slots 1, 2, ... through the dialog; four: then printed
        POINT at;                         // where the files are let go
        std::vector<std::string> dropped;
        std::vector<const char*> boxes;  // the error boxes, in turn
        std::string slots;
    } rows[] = {
        {{}, kSlotCentre[2], {bmp("one.bmp", 'R')}, {}, "..R."},
        {{}, kSlotCentre[0], {bmp("p10.bmp", 'Y'), bmp("P2.bmp", 'G'), bmp("p1.bmp", 'R'), bmp("p03.bmp", 'B')}, {}, "RGBY"},
        {{bmp("x.bmp", 'R'), bmp("y.bmp", 'G')}, kClearButton, {shortcut("z2.lnk", bmp("y2.bmp", 'Y')), bmp("z1.bmp", 'B')}, {}, "RGBY"},
        // In name order: good, damaged, good, a folder (this test's own), and one finding no slot.
        {{}, kSlotCentre[0], {files.Path(), bmp("zz.bmp", 'Y'), bmp("d3.bmp", 'B'), files.Write("d2.bmp", std::string("BM").append(60, '\0')),
          bmp("d1.bmp", 'R')}, {"ビットマップイメージが不正です.", "拡張子 . の画像形式は処理できません."}, "R.B."},
        // Four 1760 x 1320 pictures keep the printer driver busy for seconds. Wine runs a job's abort
        // procedure only as the job starts: a drop made while the sheet is drawn is taken once the
        // job is done, as a slot click made then is.
        {{bmp("s1.bmp", 'Y', 11), bmp("s2.bmp", 'Y', 11), bmp("s3.bmp", 'Y', 11), bmp("s4.bmp", 'Y', 11)},
         kSlotCentre[0], {bmp("late.bmp", 'B')}, {}, "BYYY"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.slots);
        ClickClient(main, kClearButton.x, kClearButton.y);
        ASSERT_TRUE(WaitUntil([&] { return shown() == "...."; }, 5000));
        for (size_t slot = 0; slot < row.before.size(); ++slot) ASSERT_TRUE(app.LoadSlot(int(slot), row.before[slot]));
        PrintJobWatcher jobs;
        if (row.before.size() == 4) {
            ClickClient(main, kPrintButton.x, kPrintButton.y);
            PressButton(app.WaitForDialog(nullptr), IDOK);
            ASSERT_TRUE(WaitUntil([&] { return !app.WaitForDialog(nullptr, 0) && jobs.NewJobs().empty(); }, 5000));
        }
        ASSERT_EQ(drop(row.at, row.dropped), 0);
        for (const char* text : row.boxes) {
            ASSERT_NE(app.WaitForDialog("Tetrafol"), nullptr) << text;
            EXPECT_EQ(drop(kSlotCentre[3], {bmp("refused.bmp", 'G')}), 2) << "taken under the error box";
            EXPECT_EQ(app.TakeErrorBox().text, text);
        }
        ASSERT_TRUE(Settle(main));
        EXPECT_EQ(app.TakeErrorBox(0).text, "");
        EXPECT_EQ(shown(), row.slots);
        EXPECT_TRUE(row.before.size() < 4 || jobs.WaitForNewJob() != "") << "no sheet printed";
    }
}
