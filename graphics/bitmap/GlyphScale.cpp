#include "graphics/bitmap/GlyphScale.h"

#include <stdexcept>
#include "graphics/bitmap/BoxReduce.h"

namespace glyph {

Image Doubled(const Image& source) {
    const uint32_t w = source.width, h = source.height;
    Image out{w * 2, h * 2, std::vector<uint32_t>(size_t(w) * h * 4)};
    auto at = [&](uint32_t x, uint32_t y) { return source.pixels[size_t(y) * w + x]; };
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t p = at(x, y);
            const uint32_t up = y > 0 ? at(x, y - 1) : p, down = y + 1 < h ? at(x, y + 1) : p;
            const uint32_t left = x > 0 ? at(x - 1, y) : p, right = x + 1 < w ? at(x + 1, y) : p;
            uint32_t* top = &out.pixels[size_t(y) * 2 * out.width + size_t(x) * 2];
            uint32_t* bottom = top + out.width;
            top[0] = left == up && left != down && up != right ? up : p;
            top[1] = up == right && up != left && right != down ? right : p;
            bottom[0] = down == left && down != right && left != up ? left : p;
            bottom[1] = right == down && right != up && down != left ? down : p;
        }
    }
    return out;
}

Image Scaled(const Image& source, uint32_t keyColour, uint32_t width, uint32_t height) {
    if (source.width == 0 || source.height == 0 || width < source.width || height < source.height ||
        width / 64 > source.width || height / 64 > source.height)
        throw std::invalid_argument("glyph size");
    Image big = source;
    while (big.width < width || big.height < height) big = Doubled(big);

    // Colour premultiplied by coverage, and the coverage itself as a grey picture: each is
    // averaged on its own, then joined again.
    const size_t count = big.pixels.size();
    std::vector<uint32_t> colour(count), cover(count);
    for (size_t i = 0; i < count; ++i) {
        const bool key = (big.pixels[i] & 0xFFFFFFu) == (keyColour & 0xFFFFFFu);
        colour[i] = key ? 0 : big.pixels[i] & 0xFFFFFFu;
        cover[i] = key ? 0 : 0xFFFFFFu;
    }
    Image out{width, height, std::vector<uint32_t>(size_t(width) * height)};
    std::vector<uint32_t> alpha(out.pixels.size());
    const ptrdiff_t stride = ptrdiff_t(big.width) * 4;
    box::Reducer(big.width, big.height, width, height, reinterpret_cast<uint8_t*>(out.pixels.data()), size_t(width) * 4)
        .AddRows(reinterpret_cast<const uint8_t*>(colour.data()), stride, big.height);
    box::Reducer(big.width, big.height, width, height, reinterpret_cast<uint8_t*>(alpha.data()), size_t(width) * 4)
        .AddRows(reinterpret_cast<const uint8_t*>(cover.data()), stride, big.height);
    for (size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = (out.pixels[i] & 0xFFFFFFu) | (alpha[i] & 0xFFu) << 24;
    return out;
}

}  // namespace glyph
