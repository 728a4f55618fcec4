// Where the native checks and the fuzzer decode to: each row a heap block of its own, exactly
// as long as the program's, so a longer write shows, made when the decoder asks for it (a
// picture's memory is not what a stopped decode costs); the colour map as it came.
#pragma once
#include <cstdint>
#include <vector>
#include "graphics/jpeg/JpegCodec.h"

class RowStore : public jpeg::DecodeTarget {
public:
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;
    bool eightBit = false;
    void Prepared(bool eight, bool, std::vector<uint8_t>&) override { eightBit = eight; }
    void Started(int32_t width, int32_t height, const jpeg::ColourMap* map) override {
        rows.assign(size_t(height), {});
        rowBytes = size_t(width) * (eightBit ? 1 : 3);
        for (int i = 0; map && i < map->count; ++i)
            for (int c = 0; c < 3; ++c) palette.push_back(map->component[map->grey ? 0 : c][i]);
    }
    uint8_t* Row(int32_t y) override { return ++rowsAsked, rows[size_t(y)].resize(rowBytes), rows[size_t(y)].data(); }
    size_t rowBytes = 0;
    int rowsAsked = 0;
    void Progress(uint8_t, bool, int32_t, int32_t, int32_t, int32_t) override {}
    uint32_t Ticks() override { return clock += 300; }
    uint32_t clock = 0;
};
