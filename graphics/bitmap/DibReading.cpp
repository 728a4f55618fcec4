// Reading BMP files into a bitmap: the byte parsing is the portable BmpDecoder; this side
// makes the section or device bitmap and installs it.
#include <algorithm>
#include <cstring>
#include <vector>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/bitmap/BmpDecoder.h"
#include "graphics/bitmap/DibSupport.h"
#include "graphics/GdiHandles.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

namespace {

// A TStream as the decoder's byte source, giving at most `limit` bytes: a bitmap of n
// bytes never reads what follows it in the stream.
class StreamSource : public bmp::ByteSource {
public:
    StreamSource(TStream& stream, uint64_t limit) : stream_(stream), left_(limit) {}
    size_t Read(void* buffer, size_t count) override {
        count = static_cast<size_t>(std::min<uint64_t>(count, left_));
        size_t total = 0;
        auto* out = static_cast<uint8_t*>(buffer);
        while (total < count) {
            int32_t chunk = static_cast<int32_t>(std::min<size_t>(count - total, 0x40000000));
            int32_t got = stream_.Read(out + total, chunk);
            if (got <= 0) break;
            total += static_cast<size_t>(got);
            if (got < chunk) break;
        }
        left_ -= total;
        return total;
    }

private:
    TStream& stream_;
    uint64_t left_;
};

// Reads `count` bytes into memory the platform has just handed out (a new section's),
// a megabyte at a time, writing a zero into each page of a step before the read fills it.
// Pages first touched inside the read itself were measured to make the whole load half as
// slow again as reading the file; a zero is what that memory holds anyway, so a file that
// ends early still leaves the rest zero. Gives the number of bytes read.
size_t ReadIntoFreshMemory(bmp::ByteSource& source, void* memory, size_t count) {
    constexpr size_t kStep = 1u << 20, kPage = 4096;
    auto* out = static_cast<volatile uint8_t*>(memory);
    size_t done = 0;
    while (done < count) {
        const size_t step = std::min(kStep, count - done);
        for (size_t at = 0; at < step; at += kPage) out[done + at] = 0;
        const size_t got = source.Read(const_cast<uint8_t*>(out) + done, step);
        done += got;
        if (got < step) break;
    }
    return done;
}

[[noreturn]] void RaiseDecodeError(const bmp::DecodeError& e) {
    if (e.failure() == bmp::Failure::ReadError) throw EReadError(LoadResString(res::SReadError));
    RaiseInvalidBitmap();
}


InfoBlock MakeInfoBlock(const bmp::DibLayout& layout) {
    InfoBlock block;
    std::memset(&block, 0, sizeof block);
    bmp::InfoHeader h = layout.PlatformHeader();
    block.header.biSize = sizeof(BITMAPINFOHEADER);
    block.header.biWidth = h.biWidth;
    block.header.biHeight = h.biHeight;
    block.header.biPlanes = 1;
    block.header.biBitCount = h.biBitCount;
    block.header.biCompression = h.biCompression;
    block.header.biSizeImage = h.biSizeImage;
    block.header.biXPelsPerMeter = h.biXPelsPerMeter;
    block.header.biYPelsPerMeter = h.biYPelsPerMeter;
    block.header.biClrUsed = h.biClrUsed;
    block.header.biClrImportant = h.biClrImportant;
    if (h.biCompression == bmp::kBiBitfields) {
        // The masks stand where the colour table would, as the platform expects after a
        // 40-byte header; a colour table (allowed for deeper pictures) is not passed then.
        std::memcpy(block.colours, layout.masks, sizeof layout.masks);
        block.header.biClrUsed = 0;
    } else {
        std::memcpy(block.colours, layout.colours, layout.colourCount * 4);
        // A table longer than the depth can index is read from the file but not passed on.
        if (h.biBitCount <= 8) block.header.biClrUsed = std::min<uint32_t>(h.biClrUsed, 1u << h.biBitCount);
    }
    return block;
}

}  // namespace

void TBitmap::ReadFromStream(TStream& stream) {
    ReadBmpStream(stream, stream.Size() - stream.Position());
}

void TBitmap::ReadStoredData(TStream& stream) {
    int32_t size = 0;
    stream.ReadBuffer(&size, sizeof size);
    ReadBmpStream(stream, size);
}

void TBitmap::ReadBmpStream(TStream& stream, int64_t size) {
    FreeContext();
    if (size <= 0) {
        InstallEmptyImage();
        return;
    }
    StreamSource source(stream, static_cast<uint64_t>(size));
    bmp::FileHeader parsed;
    try {
        parsed = bmp::ReadFileHeader(source);
    } catch (const bmp::DecodeError& e) {
        RaiseDecodeError(e);
    }
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = parsed.bfType;
    fileHeader.bfSize = parsed.bfSize;
    fileHeader.bfReserved1 = parsed.bfReserved1;
    fileHeader.bfReserved2 = parsed.bfReserved2;
    fileHeader.bfOffBits = parsed.bfOffBits;
    ReadDib(stream, size - static_cast<int64_t>(bmp::kFileHeaderSize), &fileHeader);
}

void TBitmap::ReadDib(TStream& stream, int64_t remainingBytes, const BITMAPFILEHEADER* fileHeader) {
    uint64_t remaining = remainingBytes > 0 ? static_cast<uint64_t>(remainingBytes) : 0;
    StreamSource streamSource(stream, remaining);
    // A run-length file's bytes are read once, into the memory the picture keeps; its
    // tables and runs are then read from there.
    std::unique_ptr<TMemoryStream> saved;
    bmp::DibLayout layout;
    std::unique_ptr<bmp::MemorySource> savedSource;
    bmp::ByteSource* source = &streamSource;
    try {
        bmp::DibHeader header = bmp::ReadDibHeader(streamSource, remaining);
        if (bmp::KeepsFileBytes(header)) {
            bmp::FileHeader given;
            if (fileHeader) {
                given.bfType = fileHeader->bfType;
                given.bfSize = fileHeader->bfSize;
                given.bfReserved1 = fileHeader->bfReserved1;
                given.bfReserved2 = fileHeader->bfReserved2;
                given.bfOffBits = fileHeader->bfOffBits;
            }
            const int64_t left = stream.Size() - stream.Position();
            saved = std::make_unique<TMemoryStream>(
                bmp::BuildSavedFileBytes(fileHeader ? &given : nullptr, header, streamSource, remaining,
                                         left > 0 ? static_cast<uint64_t>(left) : 0));
            savedSource = std::make_unique<bmp::MemorySource>(saved->Memory(), static_cast<size_t>(saved->Size()));
            savedSource->Seek(bmp::kFileHeaderSize + header.raw.size());
            source = savedSource.get();
        }
        layout = bmp::ReadDibTables(*source, std::move(header), remaining);
    } catch (const bmp::DecodeError& e) {
        RaiseDecodeError(e);
    }

    InfoBlock block = MakeInfoBlock(layout);
    WindowDC screen;
    if (!screen) RaiseOutOfResources();
    OwnedBitmap pixels;
    OwnedPalette palette;
    if (!layout.compressed) {
        void* bits = nullptr;
        SetLastError(0);
        pixels.reset(CreateDIBSection(screen.get(), block.info(), DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!pixels || !bits) RaisePixelsRefused();
        // Straight into the section; what the file lacks stays zero.
        if (ReadIntoFreshMemory(*source, bits, layout.pixelBytesToRead) != layout.pixelBytesToRead)
            throw EReadError(LoadResString(res::SReadError));
    } else {
        // The runs are decoded where they lie in the kept bytes, here, where every write is
        // checked, rather than by the platform; the device bitmap then gets plain rows.
        if (!saved) RaiseInvalidBitmap();  // run-length pictures always keep their bytes
        const size_t runs = savedSource->Position();
        if (static_cast<size_t>(saved->Size()) - runs < layout.pixelBytesToRead)
            throw EReadError(LoadResString(res::SReadError));
        std::vector<uint8_t> expanded(layout.pixelStoreBytes, 0);
        bmp::DecodeRunLength(layout, saved->Memory() + runs, layout.pixelBytesToRead, expanded.data());
        OwnedDC memory(GdiCheck(CreateCompatibleDC(screen.get())));
        OwnedBitmap one(GdiCheck(CreateCompatibleBitmap(screen.get(), 1, 1)));
        SelectedObject selected(memory.get(), one.get());
        if (layout.colourCount) palette.reset(PaletteFromColours(block.colours, layout.colourCount));
        SelectedPalette selectedPalette(memory.get(), palette.get(), FALSE);
        if (palette) RealizePalette(memory.get());
        SetLastError(0);
        pixels.reset(CreateDIBitmap(memory.get(), &block.header, CBM_INIT, expanded.data(), block.info(),
                                    DIB_RGB_COLORS));
        if (!pixels) RaisePixelsRefused();
    }
    // From the file's table: in a bit-field picture's info block the masks stand where
    // the table would.
    if (layout.header.info.biBitCount > 8 && layout.colourCount && !palette)
        palette.reset(PaletteFromColours(reinterpret_cast<const RGBQUAD*>(layout.colours), layout.colourCount));

    DIBSECTION description;
    DescribeBitmap(pixels.get(), layout.compressed ? nullptr : &block.header, description);
    const bmp::InfoHeader& info = layout.header.info;
    description.dsBmih.biXPelsPerMeter = info.biXPelsPerMeter;
    description.dsBmih.biYPelsPerMeter = info.biYPelsPerMeter;
    description.dsBmih.biClrUsed = info.biClrUsed;
    description.dsBmih.biClrImportant = info.biClrImportant;

    HPALETTE paletteHandle = palette.get();
    InstallImage(pixels.get(), paletteHandle, std::move(saved), layout.header.fromCoreHeader, description);
    pixels.release();
    palette.release();
    PaletteDirty = PaletteDirty || Palette() != nullptr;
    NotifyChanged(this);
}

void TBitmap::LoadBitmapResource(HINSTANCE module, const char* resourceName) {
    HRSRC found = FindResourceA(module, resourceName, MAKEINTRESOURCEA(2));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) RaiseInvalidBitmap();
    TPointerStream stream(data, SizeofResource(module, found));
    FreeContext();
    ReadDib(stream, stream.Size(), nullptr);
}
