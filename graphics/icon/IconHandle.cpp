#include "graphics/icon/IconHandle.h"
#include <vector>
#include "graphics/GdiHandles.h"
#include "graphics/GraphicsModule.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

[[noreturn]] void RaiseInvalidIcon() { throw EInvalidGraphic(LoadResString(res::SInvalidIcon)); }

// Without the screen's context nothing can be made; there is no last error to report then.
void RequireScreen(const WindowDC& screen) {
    if (!screen) throw EOutOfResources(LoadResString(res::SOutOfResources));
}

// A new bitmap of `size` holding the whole of `source`, scaled when the sizes differ.
OwnedBitmap CopyBitsToSize(HDC screen, HBITMAP source, SIZE size, bool monochrome) {
    OwnedBitmap result(GdiCheck(monochrome ? CreateBitmap(size.cx, size.cy, 1, 1, nullptr)
                                           : CreateCompatibleBitmap(screen, size.cx, size.cy)));
    BITMAP from{};
    if (!GetObjectA(source, sizeof from, &from)) RaiseOutOfResources();
    OwnedDC sourceDC(GdiCheck(CreateCompatibleDC(screen)));
    OwnedDC targetDC(GdiCheck(CreateCompatibleDC(screen)));
    {
        SelectedObject selectedSource(sourceDC.get(), source);
        SelectedObject selectedTarget(targetDC.get(), result.get());
        if (!selectedSource.ok() || !selectedTarget.ok()) RaiseOutOfResources();
        StretchBlt(targetDC.get(), 0, 0, size.cx, size.cy, sourceDC.get(), 0, 0, from.bmWidth, from.bmHeight,
                   SRCCOPY);
    }
    return result;
}

struct SplitBitmaps {
    OwnedBitmap colour, mask;
};

// The entry's colour pixels and transparency mask, each as a bitmap of `size`.
SplitBitmaps SplitIconBitmaps(const uint8_t* file, const ico::BitmapParts& parts, SIZE size) {
    WindowDC screen;
    RequireScreen(screen);
    SplitBitmaps result;
    auto makeBitmap = [&](const std::vector<uint8_t>& info, const uint8_t* pixels, bool monochrome) {
        const auto* description = reinterpret_cast<const BITMAPINFO*>(info.data());
        OwnedBitmap temporary(GdiCheck(CreateDIBitmap(screen.get(), &description->bmiHeader, CBM_INIT,
                                                      pixels, description, DIB_RGB_COLORS)));
        return CopyBitsToSize(screen.get(), temporary.get(), size, monochrome);
    };
    result.colour = makeBitmap(parts.colourInfo, parts.ColourPixels(file), false);
    result.mask = makeBitmap(parts.maskInfo, parts.MaskPixels(file), true);
    return result;
}

HICON MakeBitmapIcon(const uint8_t* file, size_t fileSize, const ico::DirectoryEntry& entry, SIZE size) {
    ico::BitmapParts parts;
    try {
        parts = ico::LayOutBitmap(file, fileSize, entry);
    } catch (const ico::IconError& e) {
        RaiseIconError(e);
    }
    SplitBitmaps bitmaps = SplitIconBitmaps(file, parts, size);
    BITMAP colour{}, mask{};
    if (!GetObjectA(bitmaps.colour.get(), sizeof colour, &colour) ||
        !GetObjectA(bitmaps.mask.get(), sizeof mask, &mask))
        RaiseOutOfResources();
    size_t maskBytes = size_t(mask.bmWidthBytes) * mask.bmHeight * mask.bmPlanes;
    size_t colourBytes = size_t(colour.bmWidthBytes) * colour.bmHeight * colour.bmPlanes;
    // One buffer, the mask first.
    std::vector<uint8_t> bits(maskBytes + colourBytes);
    GetBitmapBits(bitmaps.mask.get(), LONG(maskBytes), bits.data());
    GetBitmapBits(bitmaps.colour.get(), LONG(colourBytes), bits.data() + maskBytes);
    bitmaps = SplitBitmaps{};
    return GdiCheck(CreateIcon(GetModuleHandleA(nullptr), size.cx, size.cy, BYTE(colour.bmPlanes),
                               BYTE(colour.bmBitsPixel), bits.data(), bits.data() + maskBytes));
}

// PNG entries are decoded by the platform's own icon support; where it has none, or the
// stream is damaged past its header, the entry is an invalid icon image.
HICON MakePngIcon(const uint8_t* file, const ico::DirectoryEntry& entry, SIZE size) {
    HICON icon = CreateIconFromResourceEx(const_cast<uint8_t*>(file + entry.imageOffset), entry.bytesInRes, TRUE,
                                          0x00030000, size.cx, size.cy, LR_DEFAULTCOLOR);
    if (!icon) RaiseInvalidIcon();
    return icon;
}

}  // namespace

void RaiseIconError(const ico::IconError& error) {
    if (error.failure() == ico::Failure::ReadError) throw EReadError(LoadResString(res::SReadError));
    RaiseInvalidIcon();
}

MadeIcon MakeIconFromFile(const uint8_t* data, size_t size, SIZE wanted) {
    ico::IconFile file;
    try {
        file = ico::ReadIconFile(data, size);
    } catch (const ico::IconError& e) {
        RaiseIconError(e);
    }
    MadeIcon made;
    if (file.type == ico::kStockIconType) {
        made.handle = DefaultApplicationIcon();
        return made;
    }
    if (wanted.cx == 0 && wanted.cy == 0) wanted = SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
    uint32_t colourLimit;
    {
        WindowDC screen;
        RequireScreen(screen);
        colourLimit = ico::ColourLimit(
            uint16_t(GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES)));
    }
    const ico::DirectoryEntry& entry = file.entries[ico::ChooseEntry(file.entries, wanted.cx, wanted.cy, colourLimit)];
    made.size = SIZE{entry.width, entry.height};
    made.handle = entry.png ? MakePngIcon(data, entry, made.size) : MakeBitmapIcon(data, size, entry, made.size);
    return made;
}
