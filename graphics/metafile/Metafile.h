// The metafile picture (extensions "wmf" and "emf"): whatever the file, the picture holds an
// enhanced metafile, and a placeable Windows metafile is converted when it is read. Drawing
// plays the metafile into the target rectangle, so on a printer it stays vector drawing.
#pragma once
#include "graphics/Canvas.h"
#include "graphics/SharedImage.h"
#include "graphics/GdiHandles.h"
#include "graphics/Graphic.h"

// The metafile data shared between copies of a picture.
class TMetafileImage : public TSharedImage {
public:
    const char* ClassName() const noexcept override { return "TMetafileImage"; }

    OwnedEnhMetafile MetafileHandle;
    int32_t FrameWidth = 0;   // 0.01 mm
    int32_t FrameHeight = 0;  // 0.01 mm
    OwnedPalette PaletteHandle;  // the metafile's own palette, made on first request
    uint16_t UnitsPerInch = 0;   // the placeable header's Inch as read; 0 for an enhanced file
    int32_t PendingWidth = 0;    // pixels asked for while there is no metafile
    int32_t PendingHeight = 0;

protected:
    void ReleaseHandles() override {}  // the owners above release them with the block
};

class TMetafile : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TMetafile();
    ~TMetafile() override;

    void CopyFrom(TPersistent* source) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsEmpty() const override { return image_ == nullptr; }
    int32_t Width() const override;
    int32_t Height() const override;
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t value) override;
    HPALETTE Palette() const override;
    void SetTransparent(bool) override {}
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadStoredData(TStream& stream) override;
    void WriteStoredData(TStream& stream) override;
    void WriteToFile(const std::string& fileName) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;

    // The form the picture is written in: enhanced, or a placeable Windows metafile.
    bool IsEnhanced = true;
    HENHMETAFILE Handle() const { return image_ ? image_->MetafileHandle.get() : nullptr; }
    const TMetafileImage* Image() const { return image_; }

private:
    void NewImage();
    void MakeDataUnique();
    void ReadEnhancedMetafile(TStream& stream);
    void ReadPlaceableMetafile(TStream& stream, int64_t length);
    void AfterLoading();
    int32_t PixelsFromFrame(int32_t frame, bool horizontal) const;
    int32_t FrameFromPixels(int32_t pixels, bool horizontal) const;

    TMetafileImage* image_ = nullptr;
};
