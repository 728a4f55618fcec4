// Changing a bitmap's pixels or their form: copy on modification, conversion between
// storages and depths, size, palette, row access, the transparency mask, and writing the
// BMP form.
#include <algorithm>
#include <cstring>
#include <vector>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/bitmap/DibSupport.h"
#include "graphics/GdiHandles.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

namespace {


uint32_t Stride(int32_t width, int bitCount) {
    return static_cast<uint32_t>(((static_cast<int64_t>(width) * bitCount + 31) & ~int64_t(31)) / 8);
}

bool IsSection(HBITMAP bitmap) {
    DIBSECTION ds;
    return bitmap && GetObjectA(bitmap, sizeof ds, &ds) == sizeof ds;
}

UINT PaletteColours(HPALETTE palette, RGBQUAD* colours) {
    PALETTEENTRY entries[256];
    UINT n = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
    for (UINT i = 0; i < n; ++i) colours[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return n;
}

// The colour table of an existing bitmap: a section's own, or what GetDIBits gives for a
// device-dependent one.
UINT OldColourTable(HBITMAP old, int bitCount, RGBQUAD* colours) {
    if (IsSection(old)) return SectionColourTable(old, colours);
    InfoBlock block;
    std::memset(&block, 0, sizeof block);
    BITMAP bm;
    GetObjectA(old, sizeof bm, &bm);
    block.header.biSize = sizeof(BITMAPINFOHEADER);
    block.header.biWidth = bm.bmWidth;
    block.header.biHeight = bm.bmHeight;
    block.header.biPlanes = 1;
    block.header.biBitCount = static_cast<WORD>(bitCount);
    WindowDC screen;
    if (!GetDIBits(screen.get(), old, 0, 0, nullptr, block.info(), DIB_RGB_COLORS)) return 0;
    std::memcpy(colours, block.colours, sizeof block.colours);
    return 1u << bitCount;
}

}  // namespace

HBITMAP ConvertBitmap(HBITMAP oldHandle, HPALETTE oldPalette, HPALETTE newPalette, TCanvas* surface,
                      DIBSECTION& description, bool fill) {
    BITMAPINFOHEADER& bih = description.dsBmih;
    const bool infoHeader = bih.biSize >= sizeof(BITMAPINFOHEADER);
    if (infoHeader ? (bih.biWidth == 0 || bih.biHeight == 0)
                   : (description.dsBm.bmWidth == 0 || description.dsBm.bmHeight == 0))
        return nullptr;

    BITMAP oldBm = {};
    if (oldHandle) {
        DeselectBitmap(oldHandle);
        if (GetObjectA(oldHandle, sizeof oldBm, &oldBm) < static_cast<int>(sizeof oldBm)) RaiseInvalidBitmap();
    }

    WindowDC screen;
    if (!screen) RaiseOutOfResources();
    OwnedBitmap result;
    BITMAPINFOHEADER asked = {};
    if (infoHeader) {
        bih.biSize = sizeof(BITMAPINFOHEADER);
        bih.biPlanes = 1;
        if (bih.biBitCount == 0) bih.biBitCount = static_cast<WORD>(ScreenDepth());
        description.dsBm.bmWidth = bih.biWidth;
        description.dsBm.bmHeight = bih.biHeight;
        InfoBlock block;
        std::memset(&block, 0, sizeof block);
        block.header = bih;
        block.header.biSizeImage = 0;
        asked = block.header;
        if (bih.biBitCount <= 8) {
            UINT count;
            if (bih.biBitCount == 1 && (!oldHandle || !IsSection(oldHandle))) {
                block.colours[0] = {0, 0, 0, 0};
                block.colours[1] = {255, 255, 255, 0};
                count = 2;
            } else if (newPalette) {
                count = PaletteColours(newPalette, block.colours);
            } else if (oldHandle) {
                count = OldColourTable(oldHandle, bih.biBitCount, block.colours);
            } else {
                count = 0;
            }
            count = std::min<UINT>(count, 1u << bih.biBitCount);
            block.header.biClrUsed = count;
        } else {
            block.header.biClrUsed = 0;
            if (bih.biCompression == BI_BITFIELDS) {
                DWORD* masks = description.dsBitfields;
                if (!masks[0] && !masks[1] && !masks[2]) {
                    if (bih.biBitCount == 16) { masks[0] = 0xF800; masks[1] = 0x07E0; masks[2] = 0x001F; }
                    else { masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF; }
                }
                std::memcpy(block.colours, masks, 3 * sizeof(DWORD));
            }
        }
        void* bits = nullptr;
        result.reset(CreateDIBSection(screen.get(), block.info(), DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!result || !bits) RaiseOutOfResources();
        int newHeight = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
        int oldHeight = oldBm.bmHeight < 0 ? -oldBm.bmHeight : oldBm.bmHeight;
        if (oldHandle && oldBm.bmWidth == bih.biWidth && oldHeight == newHeight && bih.biBitCount > 8) {
            // Same size, deep enough for any colour: let the platform convert the rows.
            GetDIBits(screen.get(), oldHandle, 0, newHeight, bits, block.info(), DIB_RGB_COLORS);
            DescribeBitmap(result.get(), &block.header, description);
            return result.release();
        }
    } else if (description.dsBm.bmPlanes == 1 && description.dsBm.bmBitsPixel == 1) {
        result.reset(GdiCheck(CreateBitmap(description.dsBm.bmWidth, std::abs(description.dsBm.bmHeight), 1, 1,
                                           nullptr)));
    } else {
        result.reset(GdiCheck(
            CreateCompatibleBitmap(screen.get(), description.dsBm.bmWidth, std::abs(description.dsBm.bmHeight))));
    }

    OwnedDC newDC(GdiCheck(CreateCompatibleDC(screen.get())));
    SelectedObject selected(newDC.get(), result.get());
    SelectedPalette newSelected(newDC.get(), newPalette, FALSE);
    if (newPalette) RealizePalette(newDC.get());
    BITMAP newBm = {};
    GetObjectA(result.get(), sizeof newBm, &newBm);
    RECT all = {0, 0, newBm.bmWidth, newBm.bmHeight};
    if (fill && surface) {
        HBRUSH brush = surface->Brush().Handle();
        FillRect(newDC.get(), &all, brush);
        SetTextColor(newDC.get(), ColorToRGB(surface->Font().Color));
        SetBkColor(newDC.get(), ColorToRGB(surface->Brush().Color));
        if (infoHeader && bih.biBitCount == 1) {
            COLORREF fore = ColorToRGB(surface->Font().Color), back = ColorToRGB(surface->Brush().Color);
            RGBQUAD two[2] = {{GetBValue(fore), GetGValue(fore), GetRValue(fore), 0},
                              {GetBValue(back), GetGValue(back), GetRValue(back), 0}};
            SetDIBColorTable(newDC.get(), 0, 2, two);
        }
    } else if (fill) {
        PatBlt(newDC.get(), 0, 0, newBm.bmWidth, newBm.bmHeight, WHITENESS);
    }
    if (oldHandle) {
        OwnedDC oldDC(GdiCheck(CreateCompatibleDC(screen.get())));
        SelectedObject oldSelected(oldDC.get(), oldHandle);
        SelectedPalette oldPaletteSelected(oldDC.get(), oldPalette, FALSE);
        if (oldPalette) RealizePalette(oldDC.get());
        BitBlt(newDC.get(), 0, 0, oldBm.bmWidth, oldBm.bmHeight, oldDC.get(), 0, 0, SRCCOPY);
    }
    DescribeBitmap(result.get(), infoHeader ? &asked : nullptr, description);
    return result.release();
}

void TBitmap::ReplaceImage(HBITMAP handle, HPALETTE palette, DIBSECTION description, bool fill) {
    FreeContext();
    OwnedPalette copied;
    HPALETTE newPalette = palette;
    if (palette != StandardPalette16()) {
        copied.reset(CopyPalette(palette));
        newPalette = copied.get();
    }
    OwnedBitmap converted(
        ConvertBitmap(handle, image_->PaletteHandle, newPalette, canvas_.get(), description, fill));
    InstallImage(converted.get(), newPalette, nullptr, image_->FromCoreHeader, description);
    converted.release();
    copied.release();
}

DIBSECTION TBitmap::DrawHandleDescription() const {
    DIBSECTION d = image_->DibInfo;
    // A device bitmap keeps the form of the section it was made from (or still lies beside)
    // in DibInfo, for rows and writing; what is drawn, and so what a copy or a resize must
    // make again, is a device bitmap.
    if (image_->DrawHandle && image_->DrawHandle != image_->SectionHandle) d.dsBmih.biSize = 0;
    return d;
}

void TBitmap::MakeImagePrivate() {
    if (image_->RefCount() > 1) {
        EnsureDrawHandle();
        ReplaceImage(image_->DrawHandle, image_->HalftonePalette ? nullptr : image_->PaletteHandle,
                     DrawHandleDescription());
    } else if (image_->SectionHandle && image_->DrawHandle != image_->SectionHandle) {
        // The device bitmap is what changes: the section beside it would go stale.
        DeselectBitmap(image_->SectionHandle);
        if (!DeleteObject(image_->SectionHandle)) RaiseOutOfResources();
        image_->SectionHandle = nullptr;
        image_->DibInfo.dsBm.bmBits = nullptr;
    }
}

void TBitmap::BeforeCanvasChange() {
    MakeImagePrivate();
    image_->DibInfo.dsBmih.biClrUsed = 0;
    image_->DibInfo.dsBmih.biClrImportant = 0;
    image_->SavedFileBytes.reset();
}

HBITMAP TBitmap::BitmapHandle() {
    FreeContext();
    EnsureDrawHandle();
    BeforeCanvasChange();
    return image_->DrawHandle;
}

void TBitmap::SetWidth(int32_t value) {
    if (value == image_->DibInfo.dsBm.bmWidth) return;
    EnsureDrawHandle();
    DIBSECTION d = DrawHandleDescription();
    d.dsBm.bmWidth = value;
    d.dsBmih.biWidth = value;
    ReplaceImage(image_->DrawHandle, image_->PaletteHandle, d);
    NotifyChanged(this);
}

void TBitmap::SetHeight(int32_t value) {
    if (value == image_->DibInfo.dsBm.bmHeight) return;
    EnsureDrawHandle();
    DIBSECTION d = DrawHandleDescription();
    d.dsBm.bmHeight = value;
    d.dsBmih.biHeight = value;
    ReplaceImage(image_->DrawHandle, image_->PaletteHandle, d);
    NotifyChanged(this);
}

void TBitmap::SetSizeUnfilled(int32_t width, int32_t height) {
    // A fill here would write every pixel once before the decoder writes it again.
    EnsureDrawHandle();
    DIBSECTION d = DrawHandleDescription();
    d.dsBm.bmWidth = d.dsBmih.biWidth = width;
    d.dsBm.bmHeight = d.dsBmih.biHeight = height;
    ReplaceImage(image_->DrawHandle, image_->PaletteHandle, d, false);
    NotifyChanged(this);
}

void TBitmap::FillRowsWhite(int32_t first) {
    const int32_t height = Height();
    if (first < 0) first = 0;
    if (first >= height || !image_->DrawHandle) return;
    MakeImagePrivate();
    if (!DeselectBitmap(image_->DrawHandle)) return;
    WindowDC screen;
    OwnedDC dc(GdiCheck(CreateCompatibleDC(screen.get())));
    SelectedObject selected(dc.get(), image_->DrawHandle);
    SelectedPalette palette(dc.get(), image_->PaletteHandle, FALSE);
    if (image_->PaletteHandle) RealizePalette(dc.get());
    // The same white a new bitmap gets, palette pictures included.
    PatBlt(dc.get(), 0, first, Width(), height - first, WHITENESS);
    GdiFlush();
}

TBitmapHandleType TBitmap::StorageKind() const {
    if (image_->DrawHandle) return image_->DrawHandle == image_->SectionHandle ? TBitmapHandleType::bmDIB
                                                                              : TBitmapHandleType::bmDDB;
    if (image_->SectionHandle) return TBitmapHandleType::bmDIB;
    return image_->DibInfo.dsBmih.biSize >= sizeof(BITMAPINFOHEADER) ? TBitmapHandleType::bmDIB
                                                                      : TBitmapHandleType::bmDDB;
}

TPixelFormat TBitmap::PixelDepth() const {
    if (StorageKind() == TBitmapHandleType::bmDDB) return TPixelFormat::pfDevice;
    const DIBSECTION& d = image_->DibInfo;
    switch (d.dsBmih.biBitCount) {
    case 1: return TPixelFormat::pf1bit;
    case 4: return TPixelFormat::pf4bit;
    case 8: return TPixelFormat::pf8bit;
    case 16:
        if (d.dsBmih.biCompression == BI_RGB) return TPixelFormat::pf15bit;
        if (d.dsBmih.biCompression == BI_BITFIELDS && d.dsBitfields[1] == 0x07E0) return TPixelFormat::pf16bit;
        return TPixelFormat::pfCustom;
    case 24: return TPixelFormat::pf24bit;
    case 32: return d.dsBmih.biCompression == BI_RGB ? TPixelFormat::pf32bit : TPixelFormat::pfCustom;
    default: return TPixelFormat::pfCustom;
    }
}

void TBitmap::SetPixelDepth(TPixelFormat format) {
    if (format == PixelDepth()) return;
    if (format == TPixelFormat::pfDevice) {
        SetStorageKind(TBitmapHandleType::bmDDB);
        return;
    }
    if (format == TPixelFormat::pfCustom) throw EInvalidGraphic(LoadResString(res::SInvalidPixelFormat));
    static const WORD kBits[] = {0, 1, 4, 8, 16, 16, 24, 32};
    DIBSECTION d = image_->DibInfo;
    std::memset(&d.dsBmih, 0, sizeof d.dsBmih);
    std::memset(d.dsBitfields, 0, sizeof d.dsBitfields);
    d.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    d.dsBmih.biWidth = d.dsBm.bmWidth;
    d.dsBmih.biHeight = d.dsBm.bmHeight;
    d.dsBmih.biPlanes = 1;
    d.dsBmih.biBitCount = kBits[static_cast<int>(format)];
    OwnedPalette halftone;
    HPALETTE palette = image_->PaletteHandle;
    if (format == TPixelFormat::pf4bit) {
        palette = StandardPalette16();
    } else if (format == TPixelFormat::pf8bit) {
        WindowDC screen;
        halftone.reset(GdiCheck(CreateHalftonePalette(screen.get())));
        palette = halftone.get();
    } else if (format == TPixelFormat::pf16bit) {
        d.dsBmih.biCompression = BI_BITFIELDS;
        d.dsBitfields[0] = 0xF800;
        d.dsBitfields[1] = 0x07E0;
        d.dsBitfields[2] = 0x001F;
    }
    ReplaceImage(BitmapHandle(), palette, d);
    if (palette) PaletteDirty = true;
    NotifyChanged(this);
}

void TBitmap::SetPalette(HPALETTE value) {
    if (image_->PaletteHandle == value) return;
    if (value || image_->RefCount() > 1) {
        FreeContext();
        EnsureDrawHandle();
        DIBSECTION d = DrawHandleDescription();
        OwnedBitmap converted(ConvertBitmap(image_->DrawHandle, image_->PaletteHandle, value, nullptr, d));
        // The bitmap owns `value` from here on.
        InstallImage(converted.get(), value, nullptr, image_->FromCoreHeader, d);
        converted.release();
    } else {
        // The bitmap's own context may still have the palette selected, and a selected
        // palette cannot be deleted: give the context up first.
        FreeContext();
        DeleteOwnedPalette(image_->PaletteHandle);
        image_->PaletteHandle = nullptr;
        image_->HalftonePalette = false;
    }
    if (image_->SectionHandle && image_->DibInfo.dsBmih.biBitCount <= 8 && value) {
        RGBQUAD colours[256];
        UINT n = PaletteColours(value, colours);
        WindowDC screen;
        OwnedDC dc(GdiCheck(CreateCompatibleDC(screen.get())));
        DeselectBitmap(image_->SectionHandle);
        SelectedObject selected(dc.get(), image_->SectionHandle);
        SetDIBColorTable(dc.get(), 0, n, colours);
    }
    PaletteDirty = true;
    NotifyChanged(this);
}

void* TBitmap::ScanLine(int32_t row) {
    BeforeCanvasChange();
    int32_t height = Height();
    if (row < 0 || row >= height)
        throw EInvalidGraphicOperation(LoadResString(res::SScanLine));
    EnsureSection();
    if (image_->DrawHandle != image_->SectionHandle) {
        // Rows written here must be what is drawn: a device bitmap beside the section
        // would be drawn instead, and the section dropped at the next change. The image
        // is private by now, so the section simply takes over.
        HBITMAP device = image_->DrawHandle;
        DeselectBitmap(device);
        image_->DrawHandle = image_->SectionHandle;
        DeleteObject(device);
    }
    GdiFlush();
    const DIBSECTION& d = image_->DibInfo;
    auto* bits = static_cast<uint8_t*>(d.dsBm.bmBits);
    if (!bits) throw EInvalidGraphicOperation(LoadResString(res::SScanLine));
    int32_t r = d.dsBmih.biHeight < 0 ? row : height - row - 1;
    return bits + static_cast<size_t>(r) * Stride(d.dsBmih.biWidth, d.dsBmih.biBitCount);
}

void TBitmap::EnsureSection() {
    if (!image_->DrawHandle || image_->SectionHandle) return;
    EnsurePalette();
    DIBSECTION& d = image_->DibInfo;
    if (d.dsBmih.biSize < sizeof(BITMAPINFOHEADER)) {
        d.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        d.dsBmih.biWidth = d.dsBm.bmWidth;
        d.dsBmih.biHeight = d.dsBm.bmHeight;
        d.dsBmih.biPlanes = 1;
        d.dsBmih.biBitCount = static_cast<WORD>(d.dsBm.bmPlanes * d.dsBm.bmBitsPixel);
        d.dsBmih.biCompression = BI_RGB;
    }
    DIBSECTION converted = d;
    HBITMAP section = ConvertBitmap(image_->DrawHandle, image_->PaletteHandle, image_->PaletteHandle, nullptr,
                                    converted);
    image_->SectionHandle = section;
    image_->DibInfo = converted;
}

void TBitmap::SetStorageKind(TBitmapHandleType kind) {
    if (kind == StorageKind()) return;
    if (IsEmpty()) {
        if (image_->RefCount() > 1) {
            DIBSECTION d = image_->DibInfo;
            InstallImage(nullptr, nullptr, nullptr, image_->FromCoreHeader, d);
        }
        image_->DibInfo.dsBmih.biSize = kind == TBitmapHandleType::bmDDB ? 0 : sizeof(BITMAPINFOHEADER);
        return;
    }
    EnsurePalette();
    if (kind == TBitmapHandleType::bmDIB) {
        EnsureSection();
        if (image_->RefCount() == 1) {
            HBITMAP old = image_->DrawHandle;
            DeselectBitmap(old);
            image_->DrawHandle = image_->SectionHandle;
            if (old && old != image_->SectionHandle) DeleteObject(old);
        } else {
            ReplaceImage(image_->SectionHandle, image_->PaletteHandle, image_->DibInfo);
        }
    } else {
        DIBSECTION d = image_->DibInfo;
        d.dsBmih.biSize = 0;
        OwnedBitmap device(ConvertBitmap(image_->SectionHandle ? image_->SectionHandle : image_->DrawHandle,
                                         image_->PaletteHandle, image_->PaletteHandle, nullptr, d));
        if (image_->RefCount() == 1) {
            FreeContext();
            image_->DrawHandle = device.release();
        } else {
            OwnedPalette palette(CopyPalette(image_->PaletteHandle));
            InstallImage(device.get(), palette.get(), nullptr, image_->FromCoreHeader, d);
            device.release();
            palette.release();
        }
    }
    NotifyChanged(this);
}

// ---------------------------------------------------------------- transparency

COLORREF TBitmap::MaskKeyColor() {
    if (transparentKeyColor_ != clDefault) return ColorToRGB(transparentKeyColor_) | 0x02000000;
    if (Monochrome()) return 0x02FFFFFF;
    HDC dc = Canvas().Handle();
    return GetPixel(dc, 0, Height() - 1) | 0x02000000;
}

void TBitmap::EnsureMask() {
    if (maskUpToDate_ && maskBitsUpToDate_) return;
    if (image_->MaskBitmap) {
        DeselectBitmap(image_->MaskBitmap);
        DeleteObject(image_->MaskBitmap);
        image_->MaskBitmap = nullptr;
    }
    FreeContext();
    EnsureDrawHandle();
    int width = Width(), height = Height();
    if (width > 0 && height > 0) {
        WindowDC screen;
        OwnedBitmap mask(GdiCheck(CreateBitmap(width, height, 1, 1, nullptr)));
        OwnedDC maskDC(GdiCheck(CreateCompatibleDC(screen.get())));
        SelectedObject maskSelected(maskDC.get(), mask.get());
        if (transparentKeyColor_ == clNone) {
            PatBlt(maskDC.get(), 0, 0, width, height, BLACKNESS);
        } else {
            COLORREF key = MaskKeyColor();
            FreeContext();
            // Colour-to-monochrome copies use the source's background colour as the key;
            // a section is copied to a device bitmap first, as the platform expects.
            OwnedBitmap device;
            HBITMAP source = image_->DrawHandle;
            if (source == image_->SectionHandle) {
                DIBSECTION d = image_->DibInfo;
                d.dsBmih.biSize = 0;
                device.reset(ConvertBitmap(source, image_->PaletteHandle, image_->PaletteHandle, nullptr, d));
                source = device.get();
            }
            OwnedDC sourceDC(GdiCheck(CreateCompatibleDC(screen.get())));
            SelectedObject sourceSelected(sourceDC.get(), source);
            SelectedPalette p1(sourceDC.get(), image_->PaletteHandle, FALSE);
            SelectedPalette p2(maskDC.get(), image_->PaletteHandle, FALSE);
            if (image_->PaletteHandle) {
                RealizePalette(sourceDC.get());
                RealizePalette(maskDC.get());
            }
            SetBkColor(sourceDC.get(), key);
            BitBlt(maskDC.get(), 0, 0, width, height, sourceDC.get(), 0, 0, SRCCOPY);
        }
        image_->MaskBitmap = mask.release();
    }
    maskUpToDate_ = true;
    maskBitsUpToDate_ = true;
}

HBITMAP TBitmap::MaskBitmapHandle() {
    if (Transparent()) EnsureMask();
    return image_->MaskBitmap;
}

// ---------------------------------------------------------------- writing

void TBitmap::WriteToStream(TStream& stream) {
    if (image_->SavedFileBytes) {
        TMemoryStream& saved = *image_->SavedFileBytes;
        stream.WriteBuffer(saved.Memory(), static_cast<int32_t>(saved.Size()));
        return;
    }
    WriteBmpForm(stream);
}

void TBitmap::WriteStoredData(TStream& stream) {
    TMemoryStream form;
    WriteToStream(form);
    int32_t size = static_cast<int32_t>(form.Size());
    stream.WriteBuffer(&size, sizeof size);
    if (size) stream.WriteBuffer(form.Memory(), size);
}

void TBitmap::WriteBmpForm(TStream& stream) {
    FreeContext();
    EnsureDrawHandle();
    EnsureSection();
    if (!image_->SectionHandle) return;  // no pixels: nothing to write
    GdiFlush();
    const DIBSECTION& d = image_->DibInfo;
    const BITMAPINFOHEADER& bih = d.dsBmih;
    // The core header holds 16-bit sizes: a picture changed beyond them is written with the
    // 40-byte header.
    const bool core = image_->FromCoreHeader && bih.biHeight > 0 && bih.biBitCount != 16 && bih.biBitCount != 32 &&
                      bih.biWidth <= 0xFFFF && bih.biHeight <= 0xFFFF;
    RGBQUAD colours[256];
    UINT colourCount = bih.biBitCount <= 8 ? SectionColourTable(image_->SectionHandle, colours) : 0;
    const bool masks = bih.biBitCount > 8 && bih.biCompression == BI_BITFIELDS;
    const int32_t height = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    const uint32_t pixelBytes = Stride(bih.biWidth, bih.biBitCount) * static_cast<uint32_t>(height);

    std::vector<uint8_t> head;
    auto put16 = [&](uint32_t v) { head.push_back(uint8_t(v)); head.push_back(uint8_t(v >> 8)); };
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) head.push_back(uint8_t(v >> (8 * i))); };
    if (core) {
        put32(12);
        put16(static_cast<uint32_t>(bih.biWidth));
        put16(static_cast<uint32_t>(bih.biHeight));
        put16(1);
        put16(bih.biBitCount);
    } else {
        put32(40);
        put32(static_cast<uint32_t>(bih.biWidth));
        put32(static_cast<uint32_t>(bih.biHeight));
        put16(1);
        put16(bih.biBitCount);
        put32(masks ? BI_BITFIELDS : BI_RGB);
        put32(pixelBytes);
        put32(static_cast<uint32_t>(bih.biXPelsPerMeter));
        put32(static_cast<uint32_t>(bih.biYPelsPerMeter));
        put32(colourCount);
        put32(0);
        if (masks)
            for (int i = 0; i < 3; ++i) put32(d.dsBitfields[i]);
    }
    for (UINT i = 0; i < colourCount; ++i) {
        head.push_back(colours[i].rgbBlue);
        head.push_back(colours[i].rgbGreen);
        head.push_back(colours[i].rgbRed);
        if (!core) head.push_back(0);
    }
    std::vector<uint8_t> info;
    std::swap(info, head);  // `head` now gathers the file header
    head.push_back('B');
    head.push_back('M');
    put32(static_cast<uint32_t>(14 + info.size() + pixelBytes));
    put32(0);
    put32(static_cast<uint32_t>(14 + info.size()));
    stream.WriteBuffer(head.data(), static_cast<int32_t>(head.size()));
    stream.WriteBuffer(info.data(), static_cast<int32_t>(info.size()));
    stream.WriteBuffer(d.dsBm.bmBits, static_cast<int32_t>(pixelBytes));
}

// ---------------------------------------------------------------- clipboard forms

void TBitmap::ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) {
    if (format != CF_BITMAP || !data) throw EInvalidGraphic(LoadResString(res::SUnknownClipboardFormat));
    FreeContext();
    DIBSECTION d;
    std::memset(&d, 0, sizeof d);
    if (!GetObjectA(data, sizeof d.dsBm, &d.dsBm)) RaiseInvalidBitmap();
    OwnedPalette copied(CopyPalette(palette));
    OwnedBitmap copy(ConvertBitmap(static_cast<HBITMAP>(data), palette, copied.get(), nullptr, d));
    InstallImage(copy.get(), copied.get(), nullptr, false, d);
    copy.release();
    copied.release();
    PaletteDirty = PaletteDirty || Palette() != nullptr;
    NotifyChanged(this);
}

void TBitmap::WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) {
    format = CF_BITMAP;
    EnsureDrawHandle();
    DIBSECTION d = image_->DibInfo;
    d.dsBmih.biSize = 0;
    OwnedBitmap copy(ConvertBitmap(image_->DrawHandle, image_->PaletteHandle, image_->PaletteHandle, nullptr, d));
    OwnedPalette copied(CopyPalette(image_->PaletteHandle));
    data = copy.release();
    palette = copied.release();
}
