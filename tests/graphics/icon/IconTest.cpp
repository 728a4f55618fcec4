// Icon pictures through the real GDI: which directory entry is drawn, at what size and
// place, with what transparency; refused files, PNG entries, shared blocks, and the hostile
// corpus loaded and drawn without a leaked GDI object.
#include <gtest/gtest.h>

#include "graphics/icon/IconSamples.h"
#include "graphics/Canvas.h"
#include "graphics/icon/Icon.h"
#include "graphics/icon/IconPrinting.h"
#include "printing/Printer.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "support/DibSurface.h"
#include "support/GdiCounter.h"
#include "support/HostileLoads.h"
#include "support/RaisedMessage.h"

using namespace icosamples;

namespace {

const Rgb kRed{255, 0, 0}, kGreen{0, 160, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kWhite{255, 255, 255};

// A 32-bit surface of one colour that graphics draw on through a canvas.
struct Surface {
    explicit Surface(Rgb fill = kWhite) : dib(320, 320, RGB(fill.r, fill.g, fill.b)) {}
    void Draw(TGraphic& graphic, const TRect& rect = Rect(10, 20, 500, 400)) { dib.Canvas().StretchGraphic(rect, &graphic); }
    uint32_t At(int x, int y) const { return dib.Read().At(x, y); }
    // Pixels of the `size` square at (left, top) that are not `want(x, y)`.
    template <class Want>
    int Wrong(int left, int top, int size, Want want) const {
        const Pixels shot = dib.Read();
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) wrong += shot.At(left + x, top + y) != want(x, y).Packed();
        return wrong;
    }
    DibSurface dib;
};

Entry Png(Entry e) {
    e.png = true;
    return e;
}

}  // namespace

TEST(IconChoice, TheEntryForTheScreenAndWantedSizeIsDrawnAtItsOwnSize) {
    const int standard = GetSystemMetrics(SM_CXICON);
    ASSERT_EQ(standard, 32) << "the cases assume the usual standard icon size";
    const std::vector<Entry> four = {SolidEntry(16, kRed, 4, 16), SolidEntry(32, kGreen, 4, 16),
                                     SolidEntry(32, kBlue, 8, 256), SolidEntry(48, kYellow, 8, 256)};
    // Quadrants show a smaller image scaled up to its entry, and a PNG entry the platform decodes.
    const Rgb quadrants[4] = {kRed, kGreen, kBlue, kYellow};
    Entry small4 = QuadrantEntry(16, quadrants, 4), small24 = QuadrantEntry(16, quadrants, 24);
    small4.entryWidth = small4.entryHeight = small24.entryWidth = small24.entryHeight = 32;
    Entry big = Png(QuadrantEntry(256, quadrants));
    big.entryWidth = big.entryHeight = 0;
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        int wanted;  // 0: none
        int size;
        Rgb colour;
        const Rgb* quadrants = nullptr;  // instead of the one colour
    } cases[] = {
        {"four entries: 32 x 32 at 256 colours", four, 0, 32, kBlue},
        {"four entries, 48 wanted", four, 48, 48, kYellow},
        {"equally far, smaller first", {SolidEntry(24, kRed), SolidEntry(40, kGreen)}, 0, 24, kRed},
        {"equally far, larger first", {SolidEntry(40, kGreen), SolidEntry(24, kRed)}, 0, 24, kRed},
        {"16 stays against a closer 33", {SolidEntry(16, kRed), SolidEntry(33, kGreen)}, 0, 16, kRed},
        {"the later of two alike", {SolidEntry(32, kRed), SolidEntry(32, kGreen)}, 0, 32, kGreen},
        {"fewer colours never replace", {SolidEntry(32, kRed, 8, 256), SolidEntry(32, kGreen, 4, 16)}, 0, 32, kRed},
        {"256 read from a 0 size", {SolidEntry(16, kRed), [] { Entry e = SolidEntry(256, kBlue); e.entryWidth = e.entryHeight = 0; return e; }()},
         300, 256, kBlue},
        {"16 x 16 at 4 bits in a 32 x 32 entry", {small4}, 0, 32, {}, quadrants},
        {"16 x 16 at 24 bits in a 32 x 32 entry", {small24}, 0, 32, {}, quadrants},
        {"256 x 256 PNG beside a bitmap, 256 wanted", {SolidEntry(32, kWhite), big}, 256, 256, {}, quadrants},
        {"only a 48 x 48 PNG", {Png(QuadrantEntry(48, quadrants))}, 0, 48, {}, quadrants},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TIcon icon;
        LoadBytes(icon, WriteIcon(c.entries));
        if (c.wanted) {  // asked for before anything is drawn
            icon.SetWidth(c.wanted);
            icon.SetHeight(c.wanted);
        }
        EXPECT_EQ(icon.Width(), standard) << "nothing is chosen before the first draw";
        EXPECT_EQ(icon.Height(), standard);
        Surface surface;
        surface.Draw(icon);
        EXPECT_EQ(icon.Width(), c.size);
        EXPECT_EQ(icon.Height(), c.size);
        int visible = std::min(c.size, 300);
        const int half = c.size / 2;
        EXPECT_EQ(surface.Wrong(10, 20, visible,
                                [&](int x, int y) {
                                    return c.quadrants ? c.quadrants[(y < half ? 0 : 2) + (x < half ? 0 : 1)] : c.colour;
                                }),
                  0);
        EXPECT_EQ(surface.At(9, 19), kWhite.Packed());
        if (c.size < 300) {
            EXPECT_EQ(surface.At(10 + c.size, 20 + c.size), kWhite.Packed()) << "not stretched";
        }
        EXPECT_EQ(MessageOf<Exception>([&] { icon.SetWidth(64); }), "アイコンの大きさは変更できません");
        EXPECT_EQ(MessageOf<Exception>([&] { icon.SetHeight(64); }), "アイコンの大きさは変更できません");
        EXPECT_EQ(icon.Width(), c.size);
    }
}

TEST(IconDrawing, TheMaskLetsTheSurfaceShowThrough) {
    // The left half see-through, the right half two colours (black and white at 1 bit).
    // At 32 bits also with the AND mask missing or cut short: the alpha channel then tells,
    // unless it is 0 throughout (unused), when every pixel is drawn. On the screen and as the
    // printer path composes it.
    for (int bits : {1, 4, 8, 24, 32}) {
        Rgb top = bits == 1 ? Rgb{} : kRed, bottom = bits == 1 ? kWhite : kGreen;
        Entry e = SolidEntry(32, top, bits);
        e.seeThrough.assign(32 * 32, 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                e.pixels[y * 32 + x] = y < 16 ? top : bottom;
                e.seeThrough[y * 32 + x] = x < 16;
            }
        Entry noMask = e, shortMask = e, alphaUnused = e;
        noMask.maskRows = alphaUnused.maskRows = 0;
        shortMask.maskRows = 5;
        alphaUnused.alphaUnused = true;
        for (Entry form : {e, Png(e), noMask, shortMask, alphaUnused}) {
            if ((form.png || form.maskRows >= 0) && bits != 32) continue;
            SCOPED_TRACE(std::to_string(bits) + (form.png ? " bits, PNG" : " bits") + ", mask rows " +
                         std::to_string(form.maskRows) + (form.alphaUnused ? ", alpha unused" : ""));
            for (Rgb under : {kWhite, kBlue}) {
                TIcon icon;
                LoadBytes(icon, WriteIcon({form}));
                Surface surface(under), paper(under);
                surface.Draw(icon);
                DrawIconOnPrinter(paper.dib.dc(), 10, 20, icon.Image().IconHandle, SIZE{32, 32});
                auto want = [&](int x, int y) { return x < 16 ? (form.alphaUnused ? Rgb{} : under) : y < 16 ? top : bottom; };
                EXPECT_EQ(surface.Wrong(10, 20, 32, want), 0);
                EXPECT_EQ(paper.Wrong(10, 20, 32, want), 0) << "printed";
            }
        }
    }
}

TEST(IconDrawing, AStockIconFileDrawsTheDefaultApplicationIcon) {
    TIcon icon;
    LoadBytes(icon, Bytes{0, 0, 0, 0, 0, 0});
    Surface surface, expected;
    surface.Draw(icon);
    DrawIconEx(expected.dib.dc(), 10, 20, LoadIcon(nullptr, IDI_APPLICATION), 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_TRUE(surface.dib.Read().Shows(expected.dib.Read()));
    EXPECT_LT(surface.dib.Read().Count(kWhite.Packed()), 320 * 320) << "something is drawn";
    EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
}

TEST(IconLoading, RefusedFilesLeaveThePictureAsItWas) {
    Bytes good = WriteIcon({SolidEntry(32, kGreen)});
    Bytes noEntries = {0, 0, 1, 0, 0, 0};
    Bytes cursor = good;
    cursor[2] = 2;
    Bytes shortImage = good;
    shortImage[6 + 8] -= 1;  // dwBytesInRes one byte short of the mask
    Bytes png = WriteIcon({Png(SolidEntry(32, kRed))});
    std::fill(png.begin() + 6 + 16 + 16, png.begin() + 6 + 16 + 20, 0);  // the PNG's width 0
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"cursor", cursor, "アイコンイメージが不正です"},
        {"no entries", noEntries, "アイコンイメージが不正です"},
        {"short entry", shortImage, "アイコンイメージが不正です"},
        {"PNG header", png, "アイコンイメージが不正です"},
        {"five bytes", Bytes(good.begin(), good.begin() + 5), "ストリームからの読み込みエラー"},
    };
    TIcon icon;
    LoadBytes(icon, good);
    int changes = 0;
    icon.OnChange = [&](TObject*) { ++changes; };
    for (const Case& c : cases) EXPECT_EQ(MessageOf<Exception>([&] { LoadBytes(icon, c.bytes); }), c.message) << c.name;
    EXPECT_EQ(changes, 0);
    Surface surface;
    surface.Draw(icon);
    EXPECT_EQ(surface.At(20, 30), kGreen.Packed()) << "the last good file is still drawn";
    LoadBytes(icon, good);
    EXPECT_EQ(changes, 1);
}

// Raised once, not at every repaint; but a printed sheet still hears of it after the screen
// fell silent: the sheet must not come out without the picture in silence.
TEST(IconDrawing, AFailureAtDrawTimeIsRaisedOnceOnTheScreenAndAgainOnAPrinter) {
    Bytes file = WriteIcon({Png(SolidEntry(32, kRed))});
    for (size_t k = 6 + 16 + 41; k < 6 + 16 + 60; ++k) file[k] ^= 0x5A;  // the compressed pixels
    TIcon icon;
    LoadBytes(icon, file);
    TIcon copy;
    copy.CopyFrom(&icon);
    Surface surface;
    EXPECT_EQ(MessageOf<Exception>([&] { surface.Draw(icon); }), "アイコンイメージが不正です");
    EXPECT_EQ(MessageOf<Exception>([&] { surface.Draw(icon); }), "no error");
    EXPECT_EQ(MessageOf<Exception>([&] { surface.Draw(copy); }), "no error") << "copies share the reported failure";
    EXPECT_EQ(surface.Wrong(0, 0, 320, [](int, int) { return kWhite; }), 0);
    TPrinter printer;
    printer.PrintableWidth();  // the printer's context
    ASSERT_NE(printer.DeviceContext(), nullptr);
    TCanvas paper;
    paper.SetHandle(printer.DeviceContext());
    EXPECT_EQ(MessageOf<Exception>([&] { paper.StretchGraphic(Rect(10, 20, 500, 400), &icon); }), "アイコンイメージが不正です");
    paper.SetHandle(nullptr);
    EXPECT_EQ(MessageOf<Exception>([&] { surface.Draw(icon); }), "no error") << "and the screen stays quiet";
}

TEST(IconSharing, CopiesShareOneIconAndWriteTheFileBytesBack) {
    Bytes file = WriteIcon({SolidEntry(16, kRed), SolidEntry(32, kGreen)});
    TIcon first, second;
    LoadBytes(first, file);
    second.CopyFrom(&first);
    Surface surface;
    surface.Draw(second);
    EXPECT_NE(first.Image().IconHandle, nullptr) << "made once for both";
    EXPECT_EQ(&first.Image(), &second.Image());
    EXPECT_EQ(first.Width(), 32);
    TMemoryStream written;
    first.WriteToStream(written);
    EXPECT_EQ(Bytes(written.Memory(), written.Memory() + written.Size()), file);

    first.CopyFrom(nullptr);
    EXPECT_TRUE(first.IsEmpty());
    EXPECT_FALSE(second.IsEmpty());
}

TEST(IconHostile, EveryDamagedFileIsRefusedOrDrawnWithoutLeaks) {
    const char* const endings[] = {"picture", "read error", "refused", ""};  // by Outcome
    const auto counts = LoadEveryFile<TIcon>(
        HostileCorpus(), "EInvalidGraphic: アイコンイメージが不正です",
        [&](const Hostile& h) { return endings[int(h.expected)]; },
        [](TIcon& icon, const Hostile& h, const std::string& ending) {
            if (ending != "picture") return;
            TIcon big, another;
            big.CopyFrom(&icon);
            another.SetWidth(256);
            LoadBytes(another, h.bytes);
            Surface surface;
            // Only a PNG stream damaged past its header may still fail, and then with the message.
            for (TIcon* which : {&icon, &big, &another}) {
                const std::string message = Raised([&] { surface.Draw(*which); });
                if (!message.empty()) { EXPECT_EQ(message, "EInvalidGraphic: アイコンイメージが不正です"); }
            }
        });
    EXPECT_GT(counts.count("picture") ? counts.at("picture") : 0, 50);
}
