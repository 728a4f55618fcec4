// The vector sample, recorded through GDI's own metafile device, and the set of four.
#include <windows.h>

#include <stdexcept>

#include "support/SamplePictures.h"

namespace {

// Draws with one pen and one brush, and gives both back to the system afterwards.
template <class Draw>
void Shape(HDC dc, COLORREF fill, COLORREF line, int lineWidth, Draw draw) {
    HPEN pen = CreatePen(PS_SOLID, lineWidth, line);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    draw(dc);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

}  // namespace

void WriteShapesEmf(const std::string& path, int widthMm, int heightMm) {
    // The frame is in hundredths of a millimetre; drawing is in the screen's pixels, the
    // reference device's units.
    HDC screen = GetDC(nullptr);
    const int w = MulDiv(widthMm, GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, HORZSIZE));
    const int h = MulDiv(heightMm, GetDeviceCaps(screen, VERTRES), GetDeviceCaps(screen, VERTSIZE));
    ReleaseDC(nullptr, screen);
    const RECT frame{0, 0, widthMm * 100, heightMm * 100};
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, "Tetrafol\0shapes\0");
    if (!dc) throw std::runtime_error("cannot record " + path);

    Shape(dc, RGB(255, 248, 220), RGB(120, 90, 40), 3, [=](HDC d) { Rectangle(d, 0, 0, w, h); });
    Shape(dc, RGB(40, 110, 220), RGB(10, 40, 120), 4,
          [=](HDC d) { Ellipse(d, w / 12, h / 8, w / 2, h * 7 / 8); });
    Shape(dc, RGB(230, 60, 40), RGB(120, 20, 10), 4, [=](HDC d) {
        const POINT triangle[] = {{w * 3 / 4, h / 10}, {w * 19 / 20, h * 9 / 10}, {w * 11 / 20, h * 9 / 10}};
        Polygon(d, triangle, 3);
    });
    Shape(dc, RGB(60, 170, 70), RGB(20, 90, 30), 8, [=](HDC d) {
        MoveToEx(d, w / 20, h * 19 / 20, nullptr);
        LineTo(d, w * 19 / 20, h / 20);
    });
    Shape(dc, RGB(150, 70, 180), RGB(70, 20, 90), 2,
          [=](HDC d) { RoundRect(d, w * 2 / 5, h * 2 / 5, w * 3 / 5, h * 3 / 5, w / 16, h / 16); });

    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    if (!metafile) throw std::runtime_error("cannot record " + path);
    DeleteEnhMetaFile(metafile);
}

std::vector<SamplePicture> WriteSamplePictures(const std::string& directory) {
    CreateDirectoryA(directory.c_str(), nullptr);
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    std::vector<SamplePicture> samples = {
        {"photo.jpg", "JPEG", dir + "photo.jpg"},
        {"colour-bars.bmp", "BMP", dir + "colour-bars.bmp"},
        {"icon-badge.ico", "icon", dir + "icon-badge.ico"},
        {"drawing.emf", "EMF", dir + "drawing.emf"},
    };
    WritePhotoJpeg(samples[0].path, 1200, 900);
    WriteBarsBmp(samples[1].path, 640, 480);
    WriteBadgeIcon(samples[2].path);
    WriteShapesEmf(samples[3].path);
    return samples;
}
