// The JPEG picture (extensions "jpeg" and "jpg"). Loading keeps the file's bytes and reads
// only the header; the picture is decoded into a bitmap when it is first drawn, and the
// bitmap is kept, so later draws and prints do not decode again.
#pragma once
#include <memory>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/Graphic.h"
#include "rtl/Streams.h"

enum class TJPEGPixelFormat { Depth24, Depth8 };

// The file's bytes and the size its header gives, shared by copies; never changed once filled.
class TJPEGData : public TSharedImage {
public:
    const char* ClassName() const noexcept override { return "TJPEGData"; }
    std::unique_ptr<TMemoryStream> FileBytes;  // none in a block that was never filled
    int32_t HeaderWidth = 0;
    int32_t HeaderHeight = 0;
    // How the camera held the picture (EXIF, 1 to 8): the decoded bitmap is turned upright by
    // it, and the picture's size is the upright one. 1 for a block filled by the encoder.
    int Orientation = 1;

protected:
    void ReleaseHandles() override {}
};

class TJPEGImage : public TGraphic {
public:
    static const TGraphicClassInfo ClassInfo;
    GraphicClass ClassType() const override { return &ClassInfo; }

    TJPEGImage();
    ~TJPEGImage() override;

    void CopyFrom(TPersistent* source) override;
    void CopyTo(TPersistent* dest) override;
    void DrawStretched(TCanvas& canvas, const TRect& rect) override;
    bool IsSameImage(TGraphic* other) override;
    bool IsEmpty() const override;
    int32_t Width() const override;
    int32_t Height() const override;
    HPALETTE Palette() const override;
    void SetPalette(HPALETTE value) override;
    // A JPEG image's size comes from its data only.
    void SetWidth(int32_t value) override;
    void SetHeight(int32_t value) override;
    void ReadStoredData(TStream& stream) override;
    void WriteStoredData(TStream& stream) override;
    void ReadFromStream(TStream& stream) override;
    void WriteToStream(TStream& stream) override;
    void ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) override;
    void WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) override;

    // The decoded picture, decoding first when there is none. The picture keeps it.
    TBitmap* DecodeToBitmap();

    TJPEGPixelFormat OutputDepth() const { return outputDepth_; }
    // For tests and the encoder.
    void SetOutputDepth(TJPEGPixelFormat depth) { outputDepth_ = depth; }
    bool ProgressiveFile = false;
    uint8_t EncodeQuality = 90;
    const TJPEGData& Data() const { return *data_; }
    bool HasDecodedBitmap() const { return decoded_ != nullptr; }
    // True while DecodeToBitmap fills the decoded bitmap: what it holds is not yet final.
    bool Decoding() const { return decoding_; }

    // Chosen at start-up from the screen's depth.
    static TJPEGPixelFormat DefaultOutputDepth;

private:
    void ReplaceData(TJPEGData* data);
    void LoadBytes(TStream& stream, int64_t count);
    void Encode();

    TJPEGData* data_;
    std::unique_ptr<TBitmap> decoded_;
    mutable HPALETTE temporaryPalette_ = nullptr;
    TJPEGPixelFormat outputDepth_;
    bool decoding_ = false;
};
