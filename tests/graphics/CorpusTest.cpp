// Files that other programs write (tests/data, made by make-corpus.sh): each is loaded
// through the picture container as the program loads a slot's file, drawn at its natural
// size on white, and compared with an independent decoder's rendering of the same file.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "graphics/Canvas.h"
#include "graphics/Picture.h"
#include "graphics/metafile/Metafile.h"
#include "rtl/Exceptions.h"
#include "support/DibSurface.h"
#include "support/RaisedMessage.h"

namespace {

std::string CorpusPath(const std::string& name) { return std::string(TETRAFOL_CORPUS_DIR) + "/" + name; }

struct Difference {
    double mean = 0;      // mean absolute difference per channel, 0 to 255
    double differing = 0;  // fraction of pixels with a channel off by more than 48
};

Difference Compare(const Pixels& drawn, const Pixels& reference) {
    uint64_t total = 0, differing = 0;
    for (int y = 0; y < reference.height; ++y)
        for (int x = 0; x < reference.width; ++x) {
            for (int shift = 0; shift <= 16; shift += 8)
                total += std::abs(int(drawn.At(x, y) >> shift & 0xFF) - int(reference.At(x, y) >> shift & 0xFF));
            differing += !Near(drawn.At(x, y), reference.At(x, y), 48);
        }
    const double pixels = double(reference.width) * reference.height;
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
        {"ink-drawing-text.wmf", "Inkscape", 6, 0.05},
        {"ink-drawing-gradient.emf", "Inkscape", 3, 0.02},
        {"ink-drawing-gradient.wmf", "Inkscape", 2, 0.01},
        {"ink-photo.emf", "Inkscape", 6, 0.02},
        {"ink-photo.wmf", "Inkscape", 12, 0.05},
        {"gp-lines.emf", "gnuplot", 15, 0.09},
        {"gp-surface.emf", "gnuplot", 15, 0.08},
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
        {"et-orientation-1.jpg", "exiftool", 1, 0}, {"et-orientation-2.jpg", "exiftool", 1, 0},
        {"et-orientation-3.jpg", "exiftool", 1, 0}, {"et-orientation-4.jpg", "exiftool", 1, 0},
        {"et-orientation-5.jpg", "exiftool", 1, 0}, {"et-orientation-6.jpg", "exiftool", 1, 0},
        {"et-orientation-7.jpg", "exiftool", 1, 0}, {"et-orientation-8.jpg", "exiftool", 1, 0},
    };
    for (const File& f : files) {
        SCOPED_TRACE(f.name);
        TPicture picture;
        const std::string loading = MessageOf<Exception>([&] { picture.LoadPictureFile(CorpusPath(f.name)); });
        EXPECT_EQ(loading, "no error") << "refused";
        if (loading != "no error") continue;
        std::string base = f.name;
        const size_t dot = base.rfind('.');
        const Pixels reference = ReadPpm(CorpusPath(base.substr(0, dot) + "-" + base.substr(dot + 1) + ".ppm"));
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
        const std::string drawing = MessageOf<Exception>(
            [&] { surface.Canvas().StretchGraphic(TRect{0, 0, reference.width, reference.height}, picture.Graphic()); });
        EXPECT_EQ(drawing, "no error") << "drawing failed";
        const Pixels shown = surface.Read();
        const Difference d = Compare(shown, reference);
        const Difference blank = Compare(DibSurface(reference.width, reference.height, RGB(255, 255, 255)).Read(), reference);
        std::printf("%-24s %-12s %dx%d mean %.2f, differing %.4f (blank %.2f, %.4f)\n", f.name, f.writer, reference.width,
                    reference.height, d.mean, d.differing, blank.mean, blank.differing);
        if (auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic())) {  // as the platform's own player draws it
            DibSurface played(reference.width, reference.height, RGB(255, 255, 255));
            const RECT inside{0, 0, reference.width - 1, reference.height - 1};
            PlayEnhMetaFile(played.dc(), metafile->Handle(), &inside);
            EXPECT_TRUE(shown.Shows(played.Read())) << "drawn otherwise than the platform's player draws it";
        }
        EXPECT_LE(d.mean, f.mean);
        EXPECT_LE(d.differing, f.differing);
    }
}
