// The abstract picture: one image of one file format that can read itself from a stream,
// report its size and draw itself stretched into a rectangle of any drawing surface.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "graphics/GraphicClass.h"
#include "rtl/Object.h"

class TCanvas;
class TStream;
class TFiler;
class TBitmap;

enum class TProgressStage : uint8_t { psStarting = 0, psRunning = 1, psEnding = 2 };

using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone,
                                          bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TPersistent : public TObject {
public:
    const char* ClassName() const noexcept override { return "TPersistent"; }
    // Copy this object into `dest`; the default refuses with the copy error.
    virtual void CopyTo(TPersistent* dest);
    // Make this object a copy of `source` (nullptr allowed); the default asks the source.
    virtual void CopyFrom(TPersistent* source);
};

class TGraphic : public TPersistent {
public:
    static const TGraphicClassInfo ClassInfo;
    virtual GraphicClass ClassType() const { return &ClassInfo; }
    const char* ClassName() const noexcept override { return ClassType()->name; }

    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    void CopyFrom(TPersistent* source) override;
    virtual void NotifyChanged(TObject* sender);
    virtual void DrawStretched(TCanvas& canvas, const TRect& rect) = 0;
    virtual bool IsSameImage(TGraphic* other);
    virtual bool IsEmpty() const = 0;
    virtual int32_t Height() const = 0;
    virtual HPALETTE Palette() const { return nullptr; }
    virtual bool Transparent() const { return transparent_; }
    virtual int32_t Width() const = 0;
    virtual void ReadStoredData(TStream& stream);
    virtual void SetHeight(int32_t value) = 0;
    virtual void SetPalette(HPALETTE) {}
    virtual void SetTransparent(bool value);
    virtual void SetWidth(int32_t value) = 0;
    virtual void WriteStoredData(TStream& stream);
    virtual void ReadFromFile(const std::string& fileName);
    virtual void WriteToFile(const std::string& fileName);
    virtual void ReadFromStream(TStream& stream) = 0;
    virtual void WriteToStream(TStream& stream) = 0;
    virtual void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) = 0;
    virtual void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) = 0;
    virtual void ReportProgress(TObject* sender, TProgressStage stage, uint8_t percentDone,
                                bool redrawNow, const TRect& r, const std::string& msg);
    // The bitmap this graphic draws through when shown at width x height, for drawing code
    // that reduces it to that size itself; at least that size when the graphic has that many
    // pixels. None (the default) when the graphic has no such bitmap, or it is transparent or
    // empty: the graphic then draws itself. May make the bitmap (a JPEG picture decodes
    // here, and raises as its drawing would); valid until the graphic is changed or asked
    // again.
    virtual TBitmap* BitmapForSize(int32_t width, int32_t height);

    // Whether the stored "Data" property is written, given the filer's ancestor (may be null).
    bool StoredDataWanted(TPersistent* ancestor);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;
    bool Dirty = false;
    bool PaletteDirty = false;

protected:
    bool transparent_ = false;
};
