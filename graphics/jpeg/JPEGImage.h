// The JPEG picture (extensions "jpeg" and "jpg"). Loading keeps the file's bytes and reads
// only the header. Drawing decodes at the smallest eighth of the picture's size that still
// covers the rectangle (a 160 x 120 slot needs an eighth of a 12000 x 9000 photo, not the
// 324 MB of all its pixels) and keeps that bitmap, so later draws at that size or smaller
// do not decode again; the whole picture is decoded only for what asks for all its pixels.
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
    // The kept decode when it covers width x height, else a new decode at the smallest
    // scale that does (replacing the kept one).
    TBitmap* BitmapForSize(int32_t width, int32_t height) override;

    // The whole picture decoded at its full size, decoding first when the picture holds no
    // such bitmap. The picture keeps it.
    TBitmap* DecodeToBitmap();

    TJPEGPixelFormat OutputDepth() const { return outputDepth_; }
    // For tests and the encoder.
    void SetOutputDepth(TJPEGPixelFormat depth) { outputDepth_ = depth; }
    bool ProgressiveFile = false;
    uint8_t EncodeQuality = 90;
    const TJPEGData& Data() const { return *data_; }
    bool HasDecodedBitmap() const { return decoded_ != nullptr; }
    // What the picture holds decoded (none before a draw), and its scale in eighths of the
    // picture's size (8: full).
    const TBitmap* KeptBitmap() const { return decoded_.get(); }
    int KeptEighths() const { return decoded_ ? decodedEighths_ : 0; }
    // Off, every draw decodes the whole picture, as before drawing decoded at the drawn size
    // (for the benchmark that compares the two in one run).
    static bool DecodeAtDrawnSize;
    // True while DecodeToBitmap fills the decoded bitmap: what it holds is not yet final.
    bool Decoding() const { return decoding_; }

    // Chosen at start-up from the screen's depth.
    static TJPEGPixelFormat DefaultOutputDepth;

private:
    void ReplaceData(TJPEGData* data);
    void LoadBytes(TStream& stream, int64_t count);
    void Encode();
    // The kept decode when it is `eighths`/8 of the picture's size or more, else the picture
    // decoded at eighths/8 in its place (none only when a change handler dropped it).
    TBitmap* DecodedAt(int eighths);
    // The scale a drawing at width x height needs. The size is asked as drawn; a picture
    // stored turned from how it is shown swaps the two here.
    int EighthsCovering(int32_t width, int32_t height) const;
    // Turns what a stopped or failed decode (whole or scaled) kept upright, or drops it when
    // it cannot be turned; a finished decode is turned where it ends, so that failing to turn
    // it is that decode's error.
    void DecodeFinished(TBitmap& bitmap);

    TJPEGData* data_;
    std::unique_ptr<TBitmap> decoded_;
    int decodedEighths_ = 8;  // the scale of decoded_
    mutable HPALETTE temporaryPalette_ = nullptr;
    TJPEGPixelFormat outputDepth_;
    bool decoding_ = false;
};
