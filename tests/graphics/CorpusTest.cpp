// Files that other programs write (tests/data, made by make-corpus.sh): each is loaded
// through the picture container as the program loads a slot's file, drawn at its natural
// size on white, and compared with an independent decoder's rendering of the same file.
#include <gtest/gtest.h>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include "graphics/Canvas.h"
#include "graphics/Picture.h"
#include "graphics/metafile/Metafile.h"
#include "rtl/Exceptions.h"
#include "support/DibSurface.h"
#include "support/RaisedMessage.h"

namespace {

std::string CorpusPath(const std::string& name) { return std::string(TETRAFOL_CORPUS_DIR) + "/" + name; }

struct Reference {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// A binary PPM of 8-bit samples, as Pillow and ImageMagick write it.
Reference ReadPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Reference r;
    in >> magic >> r.width >> r.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255 || r.width <= 0 || r.height <= 0) return Reference{};
    r.rgb.resize(size_t(r.width) * r.height * 3);
    in.read(reinterpret_cast<char*>(r.rgb.data()), std::streamsize(r.rgb.size()));
    return in ? r : Reference{};
}

struct Difference {
    double mean = 0;       // mean absolute difference per channel, 0 to 255
    double differing = 0;  // fraction of pixels unlike every pixel around them in the other
};

// The largest channel difference of two 0xRRGGBB colours.
int Distance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8) worst = std::max(worst, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    return worst;
}

// A pixel differs when no pixel at most one step from it in the other picture is within 48
// of its colour, either way round: an edge drawn a pixel aside is no difference, a line or
// a shape that is missing or extra is.
Difference Compare(const DibSurface& drawn, const Reference& reference) {
    const int w = reference.width, h = reference.height;
    std::vector<uint32_t> got(size_t(w) * h), want(size_t(w) * h);
    uint64_t total = 0, differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* rgb = &reference.rgb[(size_t(y) * w + x) * 3];
            got[size_t(y) * w + x] = drawn.At(x, y);
            want[size_t(y) * w + x] = uint32_t(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
            for (int shift = 0; shift < 24; shift += 8)
                total += std::abs(int(got[size_t(y) * w + x] >> shift & 0xFF) - int(want[size_t(y) * w + x] >> shift & 0xFF));
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int gotToWant = 255, wantToGot = 255;
            for (int ny = std::max(0, y - 2); ny <= std::min(h - 1, y + 2); ++ny)
                for (int nx = std::max(0, x - 2); nx <= std::min(w - 1, x + 2); ++nx) {
                    gotToWant = std::min(gotToWant, Distance(got[size_t(y) * w + x], want[size_t(ny) * w + nx]));
                    wantToGot = std::min(wantToGot, Distance(want[size_t(y) * w + x], got[size_t(ny) * w + nx]));
                }
            differing += std::max(gotToWant, wantToGot) > 48;
        }
    const double pixels = double(w) * h;
    return {total / (pixels * 3), differing / pixels};
}

}  // namespace

TEST(Corpus, FilesOtherProgramsWriteLookAsTheirWritersDrawThem) {
    struct File {
        const char* name;
        const char* writer;
        double mean, differing;  // the most allowed
    };
    // The references are LibreOffice's own rendering of its metafiles (which reads their EMF+
    // comments and so shows the dash drawing's transparency, which the records the platform
    // plays leave out; and which fills the frame, where the platform leaves a few pixels of
    // the rounded reference device's millimetres at the right and bottom), Inkscape's
    // rendering of the other writers' metafiles (their fonts are not the platform's), Pillow's
    // and ImageMagick's decoding of the rest. Each line gives how far a blank picture would
    // be: every metafile allowance lies below it, so a picture that is not drawn fails.
    const File files[] = {
        {"lo-drawing-text.emf", "LibreOffice", 16, 0.12},
        {"lo-drawing-text.wmf", "LibreOffice", 14, 0.10},
        {"lo-drawing-dash.emf", "LibreOffice", 40, 0.45},
        {"lo-drawing-dash.wmf", "LibreOffice", 40, 0.45},
        {"lo-photo.emf", "LibreOffice", 20, 0.16},  // no stretch mode set: shrunk with BLACKONWHITE
        {"lo-photo.wmf", "LibreOffice", 10, 0.04},
        {"ink-drawing-text.emf", "Inkscape", 5, 0.04},
        {"ink-drawing-text.wmf", "Inkscape", 6, 0.03},
        {"ink-drawing-gradient.emf", "Inkscape", 3, 0.02},
        {"ink-drawing-gradient.wmf", "Inkscape", 2, 0.01},
        {"ink-photo.emf", "Inkscape", 6, 0.02},
        {"ink-photo.wmf", "Inkscape", 12, 0.04},
        {"gp-lines.emf", "gnuplot", 15, 0.06},
        {"gp-surface.emf", "gnuplot", 15, 0.05},
        {"fig-drawing.emf", "fig2dev", 13, 0.08},
        {"im-bmp2.bmp", "ImageMagick", 0.5, 0},
        {"im-bmp3.bmp", "ImageMagick", 0.5, 0},
        {"im-bmp4-alpha.bmp", "ImageMagick", 0.5, 0},
        {"im-rgb565.bmp", "ImageMagick", 1, 0},
        {"im-16colours.bmp", "ImageMagick", 0.5, 0},
        {"im-256colours.bmp", "ImageMagick", 0.5, 0},
        {"im-mono.bmp", "ImageMagick", 0.5, 0},
        {"pil-1bit.bmp", "Pillow", 0.5, 0},
        {"pil-palette.bmp", "Pillow", 0.5, 0},
        {"im-auto.ico", "ImageMagick", 0.5, 0},
        {"pil-png.ico", "Pillow", 0.5, 0},
        {"pil-bmp.ico", "Pillow", 0.5, 0},
        {"favicon-nomask.ico", "make-corpus.sh", 0.5, 0},
        {"im-cmyk.jpg", "ImageMagick", 1, 0},
        {"im-progressive.jpg", "ImageMagick", 1, 0},
        {"im-grey.jpg", "ImageMagick", 1, 0},
        {"im-411.jpg", "ImageMagick", 1, 0},
        {"pil-progressive.jpg", "Pillow", 1, 0},
        {"cj-arithmetic.jpg", "cjpeg", 1, 0},
        {"cj-restart.jpg", "cjpeg", 1, 0},
        {"cj-progressive.jpg", "cjpeg", 1, 0},
    };
    for (const File& f : files) {
        SCOPED_TRACE(f.name);
        TPicture picture;
        const std::string loading = MessageOf<Exception>([&] { picture.LoadPictureFile(CorpusPath(f.name)); });
        if (loading != "no error") {
            ADD_FAILURE() << "refused: " << loading;
            continue;
        }
        std::string base = f.name;
        const size_t dot = base.rfind('.');
        const Reference reference = ReadPpm(CorpusPath(base.substr(0, dot) + "-" + base.substr(dot + 1) + ".ppm"));
        ASSERT_GT(reference.width, 0) << "no reference";
        // One larger than 480 pixels (a reference device of 1200 dpi) is compared at the
        // smallest whole fraction of its natural size that fits, as its reference was made.
        const int fraction = (std::max(picture.Width(), picture.Height()) + 479) / 480;
        if (MulDiv(picture.Width(), 1, fraction) != reference.width ||
            MulDiv(picture.Height(), 1, fraction) != reference.height) {
            ADD_FAILURE() << "natural size " << picture.Width() << " x " << picture.Height();
            continue;
        }
        DibSurface surface(reference.width, reference.height, RGB(255, 255, 255));
        TCanvas canvas;
        canvas.SetHandle(surface.dc());
        const std::string drawing = MessageOf<Exception>(
            [&] { canvas.StretchGraphic(TRect{0, 0, reference.width, reference.height}, picture.Graphic()); });
        canvas.SetHandle(nullptr);
        EXPECT_EQ(drawing, "no error") << "drawing failed";
        // A metafile draws exactly what the platform's own player draws.
        if (auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic())) {
            DibSurface played(reference.width, reference.height, RGB(255, 255, 255));
            const RECT inside{0, 0, reference.width - 1, reference.height - 1};
            PlayEnhMetaFile(played.dc(), metafile->Handle(), &inside);
            int differing = 0;
            for (int y = 0; y < reference.height; ++y)
                for (int x = 0; x < reference.width; ++x) differing += surface.At(x, y) != played.At(x, y);
            EXPECT_EQ(differing, 0) << "pixels unlike the platform's player's";
        }
        const Difference d = Compare(surface, reference);
        const Difference blank = Compare(DibSurface(reference.width, reference.height, RGB(255, 255, 255)), reference);
        std::printf("%-24s %-12s %dx%d mean %.2f, differing %.4f (blank %.2f, %.4f)\n", f.name, f.writer, reference.width,
                    reference.height, d.mean, d.differing, blank.mean, blank.differing);
        EXPECT_LE(d.mean, f.mean);
        EXPECT_LE(d.differing, f.differing);
    }
}
