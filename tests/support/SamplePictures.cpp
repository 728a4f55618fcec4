// The samples: pixels made up in code, written by the formats' sample writers (the JPEG
// through libjpeg's own compressor), and shapes recorded through GDI's metafile device.
#include "support/SamplePictures.h"

#include <cmath>
#include <fstream>
#include <stdexcept>

#include "graphics/GdiHandles.h"
#include "graphics/bitmap/BmpSamples.h"
#include "graphics/icon/IconSamples.h"
#include "graphics/jpeg/JpegSamples.h"

namespace {

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint8_t Channel(double v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5)); }
samplebytes::Rgb ToRgb(Colour c) { return {Channel(c.r), Channel(c.g), Channel(c.b)}; }

// Repeatable grain: a hash of the position, -1 to 1.
double Grain(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0;
}

// One pixel of the landscape at (u, v), both 0 to 1 from the top left.
Colour Landscape(double u, double v, int x, int y) {
    const Colour skyTop{38, 86, 176}, skyLow{196, 222, 242}, sun{255, 244, 200};
    const Colour farHill{86, 118, 112}, nearHill{58, 132, 48}, nearShade{30, 82, 30};
    const double farRidge = 0.55 + 0.06 * std::sin(u * 7.0) + 0.03 * std::sin(u * 19.0 + 1.0);
    const double nearRidge = 0.70 + 0.08 * std::sin(u * 4.0 + 2.0) + 0.02 * std::sin(u * 23.0);
    Colour c;
    if (v >= nearRidge) {
        c = Mix(nearHill, nearShade, (v - nearRidge) / (1.0 - nearRidge + 1e-9));
    } else if (v >= farRidge) {
        c = Mix(farHill, nearHill, 0.25 * (v - farRidge) / (nearRidge - farRidge + 1e-9));
    } else {
        c = Mix(skyTop, skyLow, v / farRidge);
        // The sun and its glow; distances in heights so it stays round on any shape.
        const double du = (u - 0.74) * 4.0 / 3.0, dv = v - 0.24;
        const double d = std::sqrt(du * du + dv * dv);
        if (d < 0.07) c = sun;
        else c = Mix(sun, c, (d - 0.07) / 0.18);
    }
    const double grain = 7.0 * Grain(x, y);
    return {c.r + grain, c.g + grain, c.b + grain};
}

void WriteAll(const std::string& path, const samplebytes::Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    if (!file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())).flush())
        throw std::runtime_error("cannot write " + path);
}

// One square icon image: the badge in colour, the mask set where it is not.
icosamples::Entry Badge(int size) {
    icosamples::Entry e = icosamples::SolidEntry(size, {});
    e.seeThrough.assign(e.pixels.size(), 0);
    const double centre = (size - 1) / 2.0, radius = size / 2.0 - 0.5;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre) / radius;
            const size_t at = size_t(y) * size + x;
            if (d > 1.0) e.seeThrough[at] = 1;
            else if (d > 0.82) e.pixels[at] = {150, 30, 20};
            else if (d > 0.62) e.pixels[at] = {255, 255, 255};
            else e.pixels[at] = ToRgb(Mix(Colour{255, 200, 40}, Colour{240, 110, 20}, d / 0.62));
        }
    return e;
}

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

void WritePhotoJpeg(const std::string& path, int width, int height, int quality) {
    std::vector<samplebytes::Rgb> pixels;
    pixels.reserve(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(ToRgb(Landscape(double(x) / width, double(y) / height, x, y)));
    jpegsamples::Recipe recipe{"photo", width, height};
    recipe.quality = quality;
    recipe.rgb = &pixels[0].r;  // red, green, blue bytes, row after row
    WriteAll(path, jpegsamples::Make(recipe));
}

void WriteBarsBmp(const std::string& path, int width, int height) {
    static const samplebytes::Rgb bars[] = {{255, 255, 255}, {255, 230, 0}, {0, 220, 230}, {0, 200, 0},
                                            {230, 0, 230},   {230, 0, 0},   {0, 0, 230},   {20, 20, 20}};
    samples::Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t grey = Channel(255.0 * x / (width - 1));
            picture.pixels.push_back(y < height * 2 / 3 ? bars[x * 8 / width] : samplebytes::Rgb{grey, grey, grey});
        }
    WriteAll(path, samples::WriteBmp(picture, {}));
}

void WriteBadgeIcon(const std::string& path) { WriteAll(path, icosamples::WriteIcon({Badge(32), Badge(48)})); }

samplebytes::Bytes RecordEmf(const RECT& frame, const std::function<void(HDC)>& draw) {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!dc) throw std::runtime_error("cannot record a metafile");
    draw(dc);
    OwnedEnhMetafile emf(CloseEnhMetaFile(dc));
    samplebytes::Bytes bytes(GetEnhMetaFileBits(emf.get(), 0, nullptr));
    GetEnhMetaFileBits(emf.get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

samplebytes::Bytes RecordWmf(const std::function<void(HDC)>& draw) {
    HDC dc = CreateMetaFileA(nullptr);
    draw(dc);
    OwnedMetafile wmf(CloseMetaFile(dc));
    samplebytes::Bytes bytes(GetMetaFileBitsEx(wmf.get(), 0, nullptr));
    GetMetaFileBitsEx(wmf.get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

void WriteShapesEmf(const std::string& path, int widthMm, int heightMm) {
    // The frame is in hundredths of a millimetre; drawing is in the screen's pixels, the
    // reference device's units.
    HDC screen = GetDC(nullptr);
    const int w = MulDiv(widthMm, GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, HORZSIZE));
    const int h = MulDiv(heightMm, GetDeviceCaps(screen, VERTRES), GetDeviceCaps(screen, VERTSIZE));
    ReleaseDC(nullptr, screen);
    WriteAll(path, RecordEmf(RECT{0, 0, widthMm * 100, heightMm * 100}, [=](HDC dc) {
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
    }));
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
