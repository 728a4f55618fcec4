// The raster samples: pixels made up in code and written as JPEG (through libjpeg's own
// compressor), BMP and ICO bytes. No platform calls here beyond the C library's files.
#include "support/SamplePictures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <jpeglib.h>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint8_t Channel(double v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5)); }

// Repeatable grain: a hash of the position, -1 to 1.
double Grain(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0;
}

// One pixel of the landscape at (u, v), both 0 to 1 from the top left.
Rgb Landscape(double u, double v, int x, int y) {
    const Rgb skyTop{38, 86, 176}, skyLow{196, 222, 242}, sun{255, 244, 200};
    const Rgb farHill{86, 118, 112}, nearHill{58, 132, 48}, nearShade{30, 82, 30};
    const double farRidge = 0.55 + 0.06 * std::sin(u * 7.0) + 0.03 * std::sin(u * 19.0 + 1.0);
    const double nearRidge = 0.70 + 0.08 * std::sin(u * 4.0 + 2.0) + 0.02 * std::sin(u * 23.0);
    Rgb c;
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

FILE* OpenForWriting(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    return file;
}

void WriteAll(const std::string& path, const void* data, size_t size) {
    FILE* file = OpenForWriting(path);
    const bool ok = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A 40-byte BITMAPINFOHEADER for a 24-bit bottom-up picture.
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, uint32_t imageBytes) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 3780);  // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
}

// One icon image: colour pixels (bottom-up) and the AND mask, 1 where the badge is not.
std::vector<uint8_t> BadgeImage(int size) {
    const uint32_t colourStride = (static_cast<uint32_t>(size) * 3 + 3) & ~3u;
    const uint32_t maskStride = ((static_cast<uint32_t>(size) + 31) / 32) * 4;
    std::vector<uint8_t> colour(colourStride * size), mask(maskStride * size, 0);
    const double centre = (size - 1) / 2.0, radius = size / 2.0 - 0.5;
    for (int row = 0; row < size; ++row) {
        const int y = size - 1 - row;  // bottom-up
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre) / radius;
            Rgb c{0, 0, 0};
            if (d > 1.0) mask[row * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            else if (d > 0.82) c = {150, 30, 20};
            else if (d > 0.62) c = {255, 255, 255};
            else c = Mix(Rgb{255, 200, 40}, Rgb{240, 110, 20}, d / 0.62);
            uint8_t* p = &colour[row * colourStride + x * 3];
            p[0] = Channel(c.b);
            p[1] = Channel(c.g);
            p[2] = Channel(c.r);
        }
    }
    std::vector<uint8_t> out;
    PutInfoHeader(out, size, size * 2, static_cast<uint32_t>(colour.size() + mask.size()));
    out.insert(out.end(), colour.begin(), colour.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

}  // namespace

void WritePhotoJpeg(const std::string& path, int width, int height, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = Landscape(double(x) / width, double(y) / height, x, y);
            row[x * 3] = Channel(c.r);
            row[x * 3 + 1] = Channel(c.g);
            row[x * 3 + 2] = Channel(c.b);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    try {
        WriteAll(path, buffer, size);
    } catch (...) {
        std::free(buffer);
        throw;
    }
    std::free(buffer);
}

void WriteBarsBmp(const std::string& path, int width, int height) {
    static const Rgb bars[] = {{255, 255, 255}, {255, 230, 0}, {0, 220, 230}, {0, 200, 0},
                               {230, 0, 230},   {230, 0, 0},   {0, 0, 230},   {20, 20, 20}};
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, width, height, imageBytes);
    out.resize(out.size() + imageBytes, 0);
    uint8_t* pixels = out.data() + 14 + 40;
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            Rgb c;
            if (y < height * 2 / 3) c = bars[x * 8 / width];
            else c = Mix(Rgb{0, 0, 0}, Rgb{255, 255, 255}, double(x) / (width - 1));
            uint8_t* p = pixels + row * stride + x * 3;
            p[0] = Channel(c.b);
            p[1] = Channel(c.g);
            p[2] = Channel(c.r);
        }
    }
    WriteAll(path, out.data(), out.size());
}

void WriteBadgeIcon(const std::string& path) {
    const int sizes[] = {32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) images.push_back(BadgeImage(size));
    std::vector<uint8_t> out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // icon
    Put16(out, 2);  // entries
    uint32_t offset = 6 + 16 * 2;
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(0);  // colour count: more than a palette
        out.push_back(0);
        Put16(out, 1);   // planes
        Put16(out, 24);  // bits per pixel
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    WriteAll(path, out.data(), out.size());
}
