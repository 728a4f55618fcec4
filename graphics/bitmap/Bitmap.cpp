#include "graphics/bitmap/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include "graphics/bitmap/DibSupport.h"
#include "graphics/GdiHandles.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

static TGraphic* NewBitmap() { return new TBitmap; }
const TGraphicClassInfo TBitmap::ClassInfo = {"TBitmap", &TGraphic::ClassInfo, &NewBitmap};

// ---------------------------------------------------------------- shared helpers

namespace {

std::mutex contextListLock;
std::vector<TBitmapCanvas*> contextList;  // bitmap canvases that hold a context, oldest first
HPALETTE standardPalette = nullptr;

const BYTE kStandardColours[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {128, 128, 128}, {192, 192, 192}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

bool PaletteDisplay(HDC screen) {
    return (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) && GetDeviceCaps(screen, SIZEPALETTE) >= 16;
}

struct LogPalette256 {
    WORD version = 0x300;
    WORD count = 0;
    PALETTEENTRY entries[256] = {};
};

}  // namespace

std::mutex& BitmapImageLock() {
    static std::mutex lock;
    return lock;
}

void RegisterBitmapContext(TBitmapCanvas* canvas) {
    std::lock_guard<std::mutex> guard(contextListLock);
    contextList.push_back(canvas);
}

void UnregisterBitmapContext(TBitmapCanvas* canvas) {
    std::lock_guard<std::mutex> guard(contextListLock);
    contextList.erase(std::remove(contextList.begin(), contextList.end(), canvas), contextList.end());
}

bool DeselectBitmap(HBITMAP bitmap) {
    if (!bitmap) return true;
    std::vector<TBitmapCanvas*> holders;
    {
        std::lock_guard<std::mutex> guard(contextListLock);
        for (auto it = contextList.rbegin(); it != contextList.rend(); ++it)
            if ((*it)->SelectedBitmap() == bitmap) holders.push_back(*it);
    }
    // A paint pumped by a printer's abort procedure may run inside the draw that copies
    // from one of these contexts: deleting it there would leave that draw without a source.
    bool free = true;
    for (TBitmapCanvas* canvas : holders) {
        std::lock_guard<RecursiveLock> busy(canvas->Lock());
        if (canvas->IsInUse()) free = false;
        else canvas->FreeContext();
    }
    return free;
}

void FreeMemoryContexts() {
    std::vector<TBitmapCanvas*> all;
    {
        std::lock_guard<std::mutex> guard(contextListLock);
        all.assign(contextList.rbegin(), contextList.rend());
    }
    for (TBitmapCanvas* canvas : all) {
        std::unique_lock<RecursiveLock> busy(canvas->Lock(), std::try_to_lock);
        if (busy.owns_lock() && !canvas->IsInUse()) canvas->FreeContext();
    }
}

void FinalizeBitmaps() {
    FreeMemoryContexts();
    if (standardPalette) {
        DeleteObject(standardPalette);
        standardPalette = nullptr;
    }
}

HPALETTE StandardPalette16() {
    if (standardPalette) return standardPalette;
    LogPalette256 lp;
    lp.count = 16;
    WindowDC screen;
    int size = screen && PaletteDisplay(screen.get()) ? GetDeviceCaps(screen.get(), SIZEPALETTE) : 0;
    if (size >= 16) {
        // Take the system's static colours, as the display shows them.
        std::vector<PALETTEENTRY> system(size);
        GetSystemPaletteEntries(screen.get(), 0, size, system.data());
        for (int i = 0; i < 8; ++i) lp.entries[i] = system[i];
        for (int i = 8; i < 16; ++i) lp.entries[i] = system[size - 16 + i];
        const PALETTEENTRY& e7 = system[7];
        if (e7.peRed == 192 && e7.peGreen == 192 && e7.peBlue == 192) {
            lp.entries[7] = system[size - 8];
            lp.entries[8] = system[7];
            for (int i = 9; i < 16; ++i) lp.entries[i] = system[size - 16 + i];
        }
        for (auto& e : lp.entries) e.peFlags = 0;
    } else {
        for (int i = 0; i < 16; ++i)
            lp.entries[i] = {kStandardColours[i][0], kStandardColours[i][1], kStandardColours[i][2], 0};
    }
    standardPalette = GdiCheck(CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
    return standardPalette;
}

HPALETTE PaletteFromColours(const RGBQUAD* colours, UINT count) {
    if (count == 0) return nullptr;
    count = std::min<UINT>(count, 256);
    LogPalette256 lp;
    lp.count = static_cast<WORD>(count);
    WindowDC screen;
    if (count == 16 && screen && PaletteDisplay(screen.get())) {
        PALETTEENTRY standard[16];
        GetPaletteEntries(StandardPalette16(), 0, 16, standard);
        for (int i = 0; i < 16; ++i) lp.entries[i] = standard[i];
    } else {
        for (UINT i = 0; i < count; ++i)
            lp.entries[i] = {colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, 0};
    }
    return GdiCheck(CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
}

UINT SectionColourTable(HBITMAP section, RGBQUAD* colours) {
    if (!section) return 0;
    // The table is read through a context of our own, and a bitmap is selected into one
    // context at a time: a copy's drawing context that holds it gives it up first.
    DeselectBitmap(section);
    WindowDC screen;
    OwnedDC dc(CreateCompatibleDC(screen.get()));
    if (!dc) return 0;
    SelectedObject selected(dc.get(), section);
    return GetDIBColorTable(dc.get(), 0, 256, colours);
}

HPALETTE CopyPalette(HPALETTE palette) {
    if (!palette) return nullptr;
    WORD count = 0;
    if (!GetObjectA(palette, sizeof count, &count) || count == 0) return nullptr;
    LogPalette256 lp;
    lp.count = std::min<WORD>(count, 256);
    GetPaletteEntries(palette, 0, lp.count, lp.entries);
    return GdiCheck(CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
}

void DeleteOwnedPalette(HPALETTE palette) {
    if (palette && palette != standardPalette) DeleteObject(palette);
}

void DescribeBitmap(HBITMAP bitmap, const BITMAPINFOHEADER* asked, DIBSECTION& description) {
    std::memset(&description, 0, sizeof description);
    if (!bitmap) return;
    int size = GetObjectA(bitmap, sizeof description, &description);
    if (size != sizeof description || !asked) return;
    BITMAPINFOHEADER& bih = description.dsBmih;
    int32_t height = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    bih.biHeight = asked->biHeight < 0 ? -height : height;
    if (asked->biCompression == BI_RGB && bih.biCompression == BI_BITFIELDS) {
        bih.biCompression = BI_RGB;
        std::memset(description.dsBitfields, 0, sizeof description.dsBitfields);
    }
}

int ScreenDepth() {
    WindowDC screen;
    if (!screen) return 0;
    return GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
}

void RaiseInvalidBitmap() { throw EInvalidGraphic(LoadResString(res::SInvalidBitmap)); }

void RaisePixelsRefused() {
    DWORD code = GetLastError();
    if (code == 0) RaiseInvalidBitmap();
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (buffer) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    throw EOSError(Format(LoadResString(res::SOSError), {static_cast<int>(code), text}));
}

// ---------------------------------------------------------------- image blocks

TBitmapImage::TBitmapImage() { std::memset(&DibInfo, 0, sizeof DibInfo); }

TBitmapImage::~TBitmapImage() {
    if (SectionHandle) {
        DeselectBitmap(SectionHandle);
        if (DrawHandle == SectionHandle) DrawHandle = nullptr;
        DeleteObject(SectionHandle);
        SectionHandle = nullptr;
    }
    ReleaseHandles();
    if (DibInfo.dshSection) CloseHandle(DibInfo.dshSection);
}

void TBitmapImage::ReleaseHandles() {
    if (DrawHandle && DrawHandle != SectionHandle) {
        DeselectBitmap(DrawHandle);
        DeleteObject(DrawHandle);
    }
    if (MaskBitmap) {
        DeselectBitmap(MaskBitmap);
        DeleteObject(MaskBitmap);
    }
    DeleteOwnedPalette(PaletteHandle);
    DrawHandle = nullptr;
    MaskBitmap = nullptr;
    PaletteHandle = nullptr;
}

// ---------------------------------------------------------------- the bitmap's canvas

TBitmapCanvas::TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {
    OnChanging = [this](TObject*) { bitmap_->BeforeCanvasChange(); };
    OnChange = [this](TObject*) { bitmap_->NotifyChanged(bitmap_); };
}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
    std::lock_guard<RecursiveLock> guard(lock_);
    if (context_) return;
    bitmap_->EnsureDrawHandle();
    HBITMAP bitmap = bitmap_->image_->DrawHandle;
    DeselectBitmap(bitmap);
    bitmap_->EnsurePalette();
    WindowDC screen;
    OwnedDC dc(GdiCheck(CreateCompatibleDC(screen.get())));
    HGDIOBJ oldBitmap = bitmap ? SelectObject(dc.get(), bitmap) : nullptr;
    HPALETTE oldPalette = nullptr;
    if (HPALETTE palette = bitmap_->image_->PaletteHandle) {
        oldPalette = SelectPalette(dc.get(), palette, TRUE);
        RealizePalette(dc.get());
    }
    context_ = dc.release();
    selected_ = bitmap;
    oldBitmap_ = oldBitmap;
    oldPalette_ = oldPalette;
    SetHandle(context_);
    RegisterBitmapContext(this);
}

void TBitmapCanvas::FreeContext() {
    std::lock_guard<RecursiveLock> guard(lock_);
    if (!context_) return;
    SetHandle(nullptr);  // font, pen and brush go back first
    if (oldBitmap_) SelectObject(context_, oldBitmap_);
    if (oldPalette_) SelectPalette(context_, oldPalette_, TRUE);
    DeleteDC(context_);
    context_ = nullptr;
    selected_ = nullptr;
    oldBitmap_ = nullptr;
    oldPalette_ = nullptr;
    UnregisterBitmapContext(this);
}

// ---------------------------------------------------------------- TBitmap basics

TBitmap::TBitmap() : image_(new TBitmapImage) { image_->Reference(); }

TBitmap::~TBitmap() {
    canvas_.reset();
    image_->Release();
}

TBitmapCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        EnsureDrawHandle();
        canvas_ = std::make_unique<TBitmapCanvas>(this);
    }
    return *canvas_;
}

void TBitmap::FreeContext() {
    if (canvas_) canvas_->FreeContext();
}

bool TBitmap::IsEmpty() const {
    return !image_->DrawHandle && !image_->SectionHandle && !image_->SavedFileBytes;
}

TBitmap* TBitmap::BitmapForSize(int32_t, int32_t) { return Transparent() || IsEmpty() ? nullptr : this; }

int32_t TBitmap::Height() const {
    int32_t h = image_->DibInfo.dsBm.bmHeight;
    return h < 0 ? -h : h;
}

bool TBitmap::Monochrome() const {
    const BITMAP& bm = image_->DibInfo.dsBm;
    return bm.bmPlanes == 1 && bm.bmBitsPixel == 1;
}

HPALETTE TBitmap::Palette() const {
    auto* self = const_cast<TBitmap*>(this);
    self->EnsurePalette();
    return image_->PaletteHandle;
}

void TBitmap::NotifyChanged(TObject* sender) {
    maskBitsUpToDate_ = false;
    TGraphic::NotifyChanged(sender);
}

void TBitmap::SetTransparentKeyColor(TColor color) {
    if (color == transparentKeyColor_) return;
    transparentKeyColor_ = color;
    transparentKeyMode_ = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    maskBitsUpToDate_ = false;
    NotifyChanged(this);
}

void TBitmap::InstallImage(HBITMAP handle, HPALETTE palette, std::unique_ptr<TMemoryStream> saved,
                           bool fromCoreHeader, const DIBSECTION& description) {
    auto* image = new TBitmapImage;
    image->DrawHandle = handle;
    image->PaletteHandle = palette;
    image->DibInfo = description;
    image->FromCoreHeader = fromCoreHeader;
    image->SavedFileBytes = std::move(saved);
    if (description.dsBm.bmBits) image->SectionHandle = handle;
    image->Reference();
    {
        std::lock_guard<std::mutex> guard(BitmapImageLock());
        std::swap(image, image_);
    }
    image->Release();
    maskUpToDate_ = false;
    // A new image may well have a palette where the old one could not.
    noPalette_ = false;
}

void TBitmap::InstallEmptyImage() {
    DIBSECTION none;
    std::memset(&none, 0, sizeof none);
    InstallImage(nullptr, nullptr, nullptr, false, none);
}

void TBitmap::CopyFrom(TPersistent* source) {
    auto* other = dynamic_cast<TBitmap*>(source);
    if (source && !other) {
        TGraphic::CopyFrom(source);
        return;
    }
    FreeContext();
    if (other) {
        if (other != this) {
            std::lock_guard<std::mutex> guard(BitmapImageLock());
            other->image_->Reference();
            image_->Release();
            image_ = other->image_;
        }
        maskUpToDate_ = false;
        transparent_ = other->transparent_;
        transparentKeyColor_ = other->transparentKeyColor_;
        transparentKeyMode_ = other->transparentKeyMode_;
    } else {
        InstallEmptyImage();
    }
    PaletteDirty = PaletteDirty || Palette() != nullptr;
    NotifyChanged(this);
}

void TBitmap::EnsurePalette() {
    if (noPalette_ || image_->PaletteHandle || !image_->SectionHandle) return;
    RGBQUAD colours[256];
    UINT count = SectionColourTable(image_->SectionHandle, colours);
    image_->PaletteHandle = PaletteFromColours(colours, count);
    if (!image_->PaletteHandle) {
        const BITMAP& bm = image_->DibInfo.dsBm;
        if (image_->HalftonePalette || ScreenDepth() < bm.bmBitsPixel * bm.bmPlanes) {
            image_->HalftonePalette = true;
            WindowDC screen;
            image_->PaletteHandle = GdiCheck(CreateHalftonePalette(screen.get()));
        }
    }
    if (!image_->PaletteHandle) noPalette_ = true;
}

void TBitmap::EnsureDrawHandle() {
    if (!image_->DrawHandle && !image_->SectionHandle && image_->SavedFileBytes) {
        // The block may go while it is read from: read from a copy of its bytes.
        TMemoryStream bytes(image_->SavedFileBytes->Memory(), static_cast<size_t>(image_->SavedFileBytes->Size()));
        TNotifyEvent onChange = std::move(OnChange);
        OnChange = nullptr;
        try {
            ReadBmpStream(bytes, bytes.Size());
        } catch (...) {
            OnChange = std::move(onChange);
            throw;
        }
        OnChange = std::move(onChange);
    }
    if (!image_->DrawHandle) image_->DrawHandle = image_->SectionHandle;
}

// ---------------------------------------------------------------- drawing

namespace {

// Masked stretch: where the mask is white the destination stays, elsewhere the source.
void TransparentStretch(HDC dest, const TRect& d, HDC source, int sx, int sy, int sw, int sh, HDC mask) {
    if (sw == d.Width() && sh == d.Height()) {
        MaskBlt(dest, d.Left, d.Top, d.Width(), d.Height(), source, sx, sy,
                static_cast<HBITMAP>(GetCurrentObject(mask, OBJ_BITMAP)), sx, sy, MAKEROP4(0x00AA0029, SRCCOPY));
        return;
    }
    WindowDC screen;
    OwnedDC memory(GdiCheck(CreateCompatibleDC(screen.get())));
    // In the screen's format, not the source's: a palette section's copy would take the
    // mask's black and white as indices into a table that may hold neither.
    OwnedBitmap temporary(GdiCheck(CreateCompatibleBitmap(screen.get(), sw, sh)));
    SelectedObject selected(memory.get(), temporary.get());
    HPALETTE palette = static_cast<HPALETTE>(GetCurrentObject(source, OBJ_PAL));
    if (!palette) palette = StandardPalette16();
    SelectedPalette selectedPalette(memory.get(), palette, FALSE);
    RealizePalette(memory.get());
    BitBlt(memory.get(), 0, 0, sw, sh, mask, sx, sy, SRCCOPY);
    BitBlt(memory.get(), 0, 0, sw, sh, source, sx, sy, SRCERASE);
    COLORREF oldText = SetTextColor(dest, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dest, RGB(255, 255, 255));
    StretchBlt(dest, d.Left, d.Top, d.Width(), d.Height(), mask, sx, sy, sw, sh, SRCAND);
    StretchBlt(dest, d.Left, d.Top, d.Width(), d.Height(), memory.get(), 0, 0, sw, sh, SRCINVERT);
    SetTextColor(dest, oldText);
    SetBkColor(dest, oldBack);
}

}  // namespace

void TBitmap::DrawStretched(TCanvas& surface, const TRect& rect) {
    surface.RequiredState(TCanvas::csAllValid);
    EnsurePalette();
    HDC dc = surface.Handle();
    SelectedPalette palette(dc, image_->PaletteHandle);
    if (image_->PaletteHandle) RealizePalette(dc);

    const BITMAP& bm = image_->DibInfo.dsBm;
    int surfaceDepth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (surfaceDepth <= 8 && surfaceDepth < bm.bmBitsPixel * bm.bmPlanes) {
        POINT origin;
        GetBrushOrgEx(dc, &origin);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    } else if (!Monochrome()) {
        SetStretchBltMode(dc, COLORONCOLOR);
    }
    if (IsEmpty()) return;  // a source of no extent: nothing to draw

    if (Transparent()) EnsureMask();
    TBitmapCanvas& own = Canvas();
    std::lock_guard<RecursiveLock> busy(own.Lock());
    TBitmapCanvas::InUse inUse(own);
    HDC source = own.Handle();
    const BITMAP& info = image_->DibInfo.dsBm;
    int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (Transparent()) {
        WindowDC screen;
        OwnedDC maskDC(GdiCheck(CreateCompatibleDC(screen.get())));
        SelectedObject mask(maskDC.get(), image_->MaskBitmap);
        TransparentStretch(dc, rect, source, 0, 0, info.bmWidth, height, maskDC.get());
    } else {
        StretchBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, info.bmWidth, height,
                   surface.CopyMode);
    }
}
