// libFuzzer entry: any byte string must be read as an icon file or refused cleanly, and an
// accepted file's entries must lie inside it whichever one is chosen.
#include <cstddef>
#include <cstdint>
#include "graphics/icon/IconDirectory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        ico::IconFile icon = ico::ReadIconFile(data, size);
        if (icon.entries.empty()) return 0;
        const ico::DirectoryEntry& entry =
            icon.entries[ico::ChooseEntry(icon.entries, 32, 32, ico::ColourLimit(size % 33))];
        volatile uint8_t sink = 0;
        if (entry.png) {
            sink = sink ^ data[entry.imageOffset + entry.bytesInRes - 1];
            return 0;
        }
        ico::BitmapParts parts = ico::LayOutBitmap(data, size, entry);
        // Touch every byte the platform would read.
        const uint8_t *colour = parts.ColourPixels(data), *mask = parts.MaskPixels(data);
        for (size_t i = 0; i < parts.colourBytes; ++i) sink = sink ^ colour[i];
        for (size_t i = 0; i < parts.maskBytes; ++i) sink = sink ^ mask[i];
    } catch (const ico::IconError&) {
    }
    return 0;
}
