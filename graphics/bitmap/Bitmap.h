// The bitmap picture: Windows bitmap files, and the pixel store every other format draws
// through. Pixels live in a device-independent section or a device-dependent bitmap held
// by a reference-counted image block that copies share until one of them changes.
#pragma once
#include <windows.h>
#include <atomic>
#include <memory>
#include <mutex>
#include "graphics/Canvas.h"
#include "graphics/Graphic.h"
#include "graphics/SharedImage.h"
#include "rtl/RecursiveLock.h"

class TMemoryStream;
class TBitmap;

class TBitmapImage : public TSharedImage {
public:
    TBitmapImage();
    ~TBitmapImage() override;
    const char* ClassName() const noexcept override { return "TBitmapImage"; }

    HBITMAP DrawHandle = nullptr;     // the section itself, or a device-dependent bitmap
    HBITMAP MaskBitmap = nullptr;     // monochrome transparency mask, made on demand
    HPALETTE PaletteHandle = nullptr; // owned, unless it is the standard 16-colour palette
    HBITMAP SectionHandle = nullptr;  // the device-independent section, if any
    DIBSECTION DibInfo;               // kept without pixels too: a size or depth set early
    std::unique_ptr<TMemoryStream> SavedFileBytes;  // a run-length file's own bytes
    bool FromCoreHeader = false;
    bool HalftonePalette = false;

protected:
    void ReleaseHandles() override;
};

// The bitmap's own drawing surface: a memory context holding the bitmap, made on demand
// and released after every window message.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap);
    ~TBitmapCanvas() override;
    const char* ClassName() const noexcept override { return "TBitmapCanvas"; }

    // Puts back what the context held and deletes it; the next use makes a new one.
    void FreeContext();
    HBITMAP SelectedBitmap() const { return selected_; }
    RecursiveLock& Lock() { return lock_; }

    // Marks the context as in use for as long as it lives. The release after each message
    // leaves a context in use alone, also when that message is dispatched by a loop nested
    // inside the drawing on the same thread (a printer's abort procedure), where the
    // thread's own lock would not stop it.
    class InUse {
    public:
        explicit InUse(TBitmapCanvas& canvas) : canvas_(canvas) { ++canvas_.inUse_; }
        ~InUse() { --canvas_.inUse_; }
        InUse(const InUse&) = delete;
        InUse& operator=(const InUse&) = delete;

    private:
        TBitmapCanvas& canvas_;
    };
    bool IsInUse() const { return inUse_ > 0; }

protected:
    void CreateHandle() override;

private:
    TBitmap* bitmap_;
    HDC context_ = nullptr;
    HBITMAP selected_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HPALETTE oldPalette_ = nullptr;
    RecursiveLock lock_;
    std::atomic<int> inUse_{0};
};

enum class TBitmapHandleType { bmDIB, bmDDB };
enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum class TTransparentMode { tmAuto, tmFixed };

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

class TBitmap : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TBitmap();
    ~TBitmap() override;

    // The graphic interface.
    void CopyFrom(TPersistent* source) override;
    void NotifyChanged(TObject* sender) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override;
    int32_t Width() const override { return image_->DibInfo.dsBm.bmWidth; }
    int32_t Height() const override;
    HPALETTE Palette() const override;
    void SetHeight(int32_t value) override;
    void SetPalette(HPALETTE value) override;
    void SetWidth(int32_t value) override;
    void ReadStoredData(TStream& stream) override;
    void WriteStoredData(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;
    // Itself at any size, unless transparent or empty.
    TBitmap* BitmapForSize(int32_t width, int32_t height) override;

    // Further virtual operations.
    // The pixels' handle for the caller to change: the image is made private first.
    virtual HBITMAP BitmapHandle();
    virtual HBITMAP MaskBitmapHandle();
    virtual void SetStorageKind(TBitmapHandleType kind);

    TBitmapHandleType StorageKind() const;
    TBitmapCanvas& Canvas();
    // Address of pixel row `row`, row 0 at the top whatever the file's row order.
    void* ScanLine(int32_t row);
    // For a decoder that writes every row itself: the size set at once, the pixels not
    // filled first; FillRowsWhite(first) then whitens the rows from `first` on that a
    // stopped decode left unwritten.
    void SetSizeUnfilled(int32_t width, int32_t height);
    void FillRowsWhite(int32_t first);
    TPixelFormat PixelDepth() const;
    void SetPixelDepth(TPixelFormat format);
    bool Monochrome() const;
    void LoadBitmapResource(HINSTANCE module, const char* resourceName);
    TColor TransparentKeyColor() const { return transparentKeyColor_; }
    void SetTransparentKeyColor(TColor color);
    TTransparentMode TransparentKeyMode() const { return transparentKeyMode_; }

    // The image block, for tests and for formats that draw through a bitmap.
    const TBitmapImage& Image() const { return *image_; }

    // Reads a BMP file of `size` bytes from the stream's position.
    void ReadBmpStream(TStream& stream, int64_t size);
    // Reads a DIB (header, tables, pixels) of `remaining` bytes; `fileHeader` when the
    // bytes came after a BITMAPFILEHEADER.
    void ReadDib(TStream& stream, int64_t remaining, const BITMAPFILEHEADER* fileHeader);

    // Runs before a change through the canvas and before pixel access is handed out.
    void BeforeCanvasChange();
    void EnsureSection();
    void EnsureMask();

private:
    friend class TBitmapCanvas;
    void EnsurePalette();
    void EnsureDrawHandle();
    void MakeImagePrivate();
    // DibInfo as the description of DrawHandle: without an info header for a device bitmap.
    DIBSECTION DrawHandleDescription() const;
    void ReplaceImage(HBITMAP handle, HPALETTE palette, DIBSECTION description, bool fill = true);
    void InstallImage(HBITMAP handle, HPALETTE palette, std::unique_ptr<TMemoryStream> saved,
                      bool fromCoreHeader, const DIBSECTION& description);
    void InstallEmptyImage();
    void FreeContext();
    void WriteBmpForm(TStream& stream);
    COLORREF MaskKeyColor();

    TBitmapImage* image_;
    std::unique_ptr<TBitmapCanvas> canvas_;
    bool noPalette_ = false;
    bool maskBitsUpToDate_ = false;
    bool maskUpToDate_ = false;
    TColor transparentKeyColor_ = clDefault;
    TTransparentMode transparentKeyMode_ = TTransparentMode::tmAuto;
};

// Makes a bitmap as `description` asks and copies the old picture into it (1:1 at the top
// left, the rest filled with the surface's brush or white, or, without `fill`, left as the
// platform made it). No handle for an empty size.
HBITMAP ConvertBitmap(HBITMAP oldHandle, HPALETTE oldPalette, HPALETTE newPalette, TCanvas* surface,
                      DIBSECTION& description, bool fill = true);

// The graphics-wide standard 16-colour palette, made on first use; never deleted by a
// bitmap.
HPALETTE StandardPalette16();

// Releases the drawing contexts that bitmaps made for their own surfaces and that are
// neither locked by another thread nor in use. The message loop calls this after every
// window message.
void FreeMemoryContexts();
// Graphics shut-down: releases every context and the standard palette.
void FinalizeBitmaps();
