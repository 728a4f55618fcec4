#include "graphics/jpeg/JPEGImage.h"
#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>
#include "graphics/bitmap/DibSupport.h"
#include "graphics/GdiHandles.h"
#include "graphics/LittleEndian.h"
#include "graphics/jpeg/JpegCodec.h"
#include "graphics/jpeg/UprightBitmap.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

static TGraphic* CreateJPEGImage() { return new TJPEGImage; }
const TGraphicClassInfo TJPEGImage::ClassInfo = {"TJPEGImage", &TGraphic::ClassInfo, &CreateJPEGImage};

TJPEGPixelFormat TJPEGImage::DefaultOutputDepth = TJPEGPixelFormat::Depth24;
bool TJPEGImage::DecodeAtDrawnSize = true;

namespace {

[[noreturn]] void RaiseJPEGError(int code) {
    throw EJPEG(Format(LoadResString(res::SJPEGError), {code}));
}

// A palette of the library's colour map; the map's rows are blue, green, red like the
// output rows, or one grey row.
HPALETTE PaletteFromColourMap(const jpeg::ColourMap& map) {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } block = {};
    const int count = std::min(map.count, 256);
    block.version = 0x300;
    block.count = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        PALETTEENTRY& e = block.entries[i];
        if (map.grey) {
            e.peRed = e.peGreen = e.peBlue = map.component[0][i];
        } else {
            e.peRed = map.component[2][i];
            e.peGreen = map.component[1][i];
            e.peBlue = map.component[0][i];
        }
    }
    return GdiCheck(CreatePalette(reinterpret_cast<LOGPALETTE*>(&block)));
}

// The decoded bitmap as the library fills it.
class BitmapTarget : public jpeg::DecodeTarget {
public:
    BitmapTarget(TJPEGImage& image, TBitmap& bitmap, HPALETTE& temporaryPalette)
        : image_(image), bitmap_(bitmap), temporaryPalette_(temporaryPalette) {}

    bool prepared = false;

    void Prepared(bool eightBit, bool grey, std::vector<uint8_t>& givenBgr) override {
        prepared = true;
        bitmap_.SetPixelDepth(eightBit ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
        image_.ReportProgress(&image_, TProgressStage::psStarting, 0, false, TRect{0, 0, 0, 0}, "");
        if (!temporaryPalette_) return;
        if (image_.OutputDepth() == TJPEGPixelFormat::Depth24) {
            DeleteObject(temporaryPalette_);
            temporaryPalette_ = nullptr;
            return;
        }
        // The library quantises one grey component on its own scale: a given palette
        // only serves colour pictures.
        if (!eightBit || grey) return;
        PALETTEENTRY entries[256];
        UINT count = GetPaletteEntries(temporaryPalette_, 0, 256, entries);
        if (count == 0) return;
        givenBgr.resize(size_t(count) * 3);
        for (UINT i = 0; i < count; ++i) {
            givenBgr[i * 3 + 0] = entries[i].peBlue;
            givenBgr[i * 3 + 1] = entries[i].peGreen;
            givenBgr[i * 3 + 2] = entries[i].peRed;
        }
        paletteFromDecoder_ = false;
        givenPalette_ = true;
    }

    void Started(int32_t width, int32_t height, const jpeg::ColourMap* map) override {
        // The palette goes in while the bitmap is still empty: given to a bitmap of full
        // size it would have every pixel converted once more, for nothing.
        if (givenPalette_) {
            bitmap_.SetPalette(CopyPalette(temporaryPalette_));
        } else if (map && paletteFromDecoder_) {
            bitmap_.SetPalette(PaletteFromColourMap(*map));
            image_.PaletteDirty = true;
        }
        // The decoder writes every row: only what a stopped decode leaves is whitened.
        bitmap_.SetSizeUnfilled(width, height);
        sized_ = true;
    }

    uint8_t* Row(int32_t y) override { return static_cast<uint8_t*>(bitmap_.ScanLine(y)); }
    void RowsDone(int32_t count) override { rowsDone_ = count; }

    // The rows not decoded (yet) white, as a handler that shows the picture so far, or
    // anyone after a stopped decode, sees them; once per decode.
    void WhitenTheRest() noexcept {
        if (!sized_ || whitened_) return;
        whitened_ = true;
        try {
            bitmap_.FillRowsWhite(rowsDone_);
        } catch (...) {
            // No context to be had: those rows stay as the platform made them (black); the
            // decode's own outcome is what counts.
        }
    }

    void Progress(uint8_t percent, bool redrawNow, int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        WhitenTheRest();
        image_.ReportProgress(&image_, TProgressStage::psRunning, percent, redrawNow, TRect{left, top, right, bottom},
                              "");
    }

    uint32_t Ticks() override { return GetTickCount(); }

private:
    TJPEGImage& image_;
    TBitmap& bitmap_;
    HPALETTE& temporaryPalette_;
    bool paletteFromDecoder_ = true;
    bool givenPalette_ = false;
    bool sized_ = false, whitened_ = false;
    int32_t rowsDone_ = 0;
};

class BitmapSource : public jpeg::EncodeSource {
public:
    BitmapSource(TJPEGImage& image, TBitmap& bitmap) : image_(image), bitmap_(bitmap) {}
    const uint8_t* Row(int32_t y) override { return static_cast<const uint8_t*>(bitmap_.ScanLine(y)); }
    void Progress(uint8_t percent) override {
        image_.ReportProgress(&image_, TProgressStage::psRunning, percent, false, TRect{0, 0, 0, 0}, "");
    }
    uint32_t Ticks() override { return GetTickCount(); }

private:
    TJPEGImage& image_;
    TBitmap& bitmap_;
};

}  // namespace

TJPEGImage::TJPEGImage() : data_(new TJPEGData), outputDepth_(DefaultOutputDepth) { data_->Reference(); }

TJPEGImage::~TJPEGImage() {
    if (temporaryPalette_) DeleteObject(temporaryPalette_);
    decoded_.reset();
    data_->Release();
}

void TJPEGImage::ReplaceData(TJPEGData* data) {
    data->Reference();
    data_->Release();
    data_ = data;
}

void TJPEGImage::LoadBytes(TStream& stream, int64_t count) {
    ReplaceData(new TJPEGData);
    decoded_.reset();
    if (count < 0) throw EReadError(LoadResString(res::SReadError));
    auto bytes = std::make_unique<TMemoryStream>();
    try {
        bytes->SetSize(count);
    } catch (const std::bad_alloc&) {
        RaiseJPEGError(jpeg::CodeOutOfMemory());
    }
    for (int64_t done = 0; done < count;) {
        int32_t part = static_cast<int32_t>(std::min<int64_t>(count - done, 1 << 30));
        stream.ReadBuffer(bytes->Memory() + done, part);
        done += part;
    }
    data_->FileBytes = std::move(bytes);
    if (count > 0) {
        try {
            jpeg::Header header = jpeg::ReadHeader(data_->FileBytes->Memory(), static_cast<size_t>(count));
            // The pixel memory is known now: a picture too big to hold fails while loading,
            // not at its first draw.
            bool eightBit = header.components == 1 || (outputDepth_ == TJPEGPixelFormat::Depth8 && header.components == 3);
            jpeg::CheckPixelMemory(uint32_t(header.width), uint32_t(header.height), eightBit ? 8 : 24);
            // Turned upright, its rows are padded otherwise.
            jpeg::CheckPixelMemory(uint32_t(header.height), uint32_t(header.width), eightBit ? 8 : 24);
            // Drawn at its smallest, a file of several scans still needs the coefficients of
            // all its pixels beside the output.
            jpeg::CheckDecodeMemory(header, 1, eightBit);
            data_->HeaderWidth = header.width;
            data_->HeaderHeight = header.height;
            data_->Orientation = header.orientation;
            ProgressiveFile = header.progressive;
        } catch (const jpeg::Failure& failure) {
            RaiseJPEGError(failure.code());
        }
    }
    PaletteDirty = true;
    NotifyChanged(this);
}

void TJPEGImage::ReadFromStream(TStream& stream) { LoadBytes(stream, stream.Size() - stream.Position()); }

void TJPEGImage::ReadStoredData(TStream& stream) {
    uint8_t raw[4];
    stream.ReadBuffer(raw, 4);
    int32_t count = le::GetInt32(raw);
    LoadBytes(stream, count);
}

void TJPEGImage::WriteStoredData(TStream& stream) {
    int64_t size = data_->FileBytes ? data_->FileBytes->Size() : 0;
    uint32_t count = static_cast<uint32_t>(size);
    uint8_t raw[4];
    le::Put32(raw, count);
    stream.WriteBuffer(raw, 4);
    if (size > 0) stream.WriteBuffer(data_->FileBytes->Memory(), static_cast<int32_t>(size));
}

void TJPEGImage::WriteToStream(TStream& stream) {
    if (!data_->FileBytes) Encode();
    if (data_->FileBytes && data_->FileBytes->Size() > 0)
        stream.WriteBuffer(data_->FileBytes->Memory(), static_cast<int32_t>(data_->FileBytes->Size()));
}

TBitmap* TJPEGImage::DecodeToBitmap() {
    if (decoding_) return decoded_.get();  // asked from a progress report: the rows so far
    return DecodedAt(8);
}

int TJPEGImage::EighthsCovering(int32_t width, int32_t height) const {
    if (!DecodeAtDrawnSize) return 8;
    // The size asked is the upright one; the decode's is the stored one.
    if (jpeg::SwapsAxes(data_->Orientation)) std::swap(width, height);
    return jpeg::CoveringEighths(data_->HeaderWidth, data_->HeaderHeight, std::abs(width), std::abs(height));
}

void TJPEGImage::DecodeFinished(TBitmap& bitmap) {
    // What a stopped decode keeps stands upright too (a finished one has been turned already,
    // where a failure to turn is the decode's error). Without the memory to turn it, it is
    // dropped rather than shown on its side in an upright frame.
    try {
        TurnUpright(bitmap, data_->Orientation);
    } catch (...) {
        bitmap.CopyFrom(nullptr);
    }
}

TBitmap* TJPEGImage::BitmapForSize(int32_t width, int32_t height) {
    if (decoding_) return nullptr;
    TBitmap* bitmap = DecodedAt(EighthsCovering(width, height));
    return bitmap ? bitmap->BitmapForSize(width, height) : nullptr;
}

TBitmap* TJPEGImage::DecodedAt(int eighths) {
    // A picture made from a bitmap has no file to decode again: its bitmap is all there is.
    if (decoded_ && (decodedEighths_ >= eighths || !data_->FileBytes)) return decoded_.get();
    // The smaller decode goes before the larger one is made: they never live together.
    decoded_.reset();
    decoded_ = std::make_unique<TBitmap>();
    // A decode that fails or is cancelled leaves its rows so far as the picture's for good,
    // at any size, as a failed whole decode always did: only a finished one says its scale.
    decodedEighths_ = 8;
    TBitmap& bitmap = *decoded_;
    if (!data_->FileBytes) return &bitmap;  // an empty picture has nothing to decode

    BitmapTarget target(*this, bitmap, temporaryPalette_);
    jpeg::DecodeOptions options;
    options.eightBit = outputDepth_ == TJPEGPixelFormat::Depth8;
    options.eighths = eighths;
    bool upright = false;
    auto ending = [&](bool success) {
        target.WhitenTheRest();
        if (!upright) {
            upright = true;
            DecodeFinished(bitmap);
        }
        // A handler that cancels raises the abort at every report once cancelled, this last
        // one too: that ends the decode as quietly as an abort during it.
        try {
            ReportProgress(this, TProgressStage::psEnding, success ? 100 : 0, PaletteDirty, TRect{0, 0, 0, 0}, "");
        } catch (const EAbort&) {
        }
        if (PaletteDirty) NotifyChanged(this);
    };
    struct DecodingFlag {
        bool& flag;
        explicit DecodingFlag(bool& f) : flag(f) { flag = true; }
        ~DecodingFlag() { flag = false; }
    };
    try {
        DecodingFlag decoding(decoding_);
        jpeg::Decode(data_->FileBytes->Memory(), static_cast<size_t>(data_->FileBytes->Size()), options, target);
        target.WhitenTheRest();
        TurnUpright(bitmap, data_->Orientation);
        upright = true;
    } catch (const EAbort&) {
        // Cancelled by a progress handler: the rows so far stay.
        if (target.prepared) ending(false);
        return decoded_.get();
    } catch (const jpeg::Failure& failure) {
        if (target.prepared) ending(false);
        // Too big at this scale before anything was made: a smaller one may still be drawn.
        if (!target.prepared && failure.code() == jpeg::CodeTooBig()) decoded_.reset();
        RaiseJPEGError(failure.code());
    } catch (const EOutOfResources&) {
        // No pixel memory to be had for a picture within the limit.
        if (target.prepared) ending(false);
        RaiseJPEGError(jpeg::CodeOutOfMemory());
    } catch (const std::bad_alloc&) {
        if (target.prepared) ending(false);
        RaiseJPEGError(jpeg::CodeOutOfMemory());
    } catch (...) {
        if (target.prepared) ending(false);
        throw;
    }
    decodedEighths_ = eighths;
    ending(true);
    return decoded_.get();  // what a change handler may have asked for meanwhile
}

void TJPEGImage::Encode() {
    if (!decoded_ || decoded_->Width() == 0 || decoded_->Height() == 0) {
        data_->FileBytes = std::make_unique<TMemoryStream>();
        return;
    }
    TBitmap rows;
    rows.CopyFrom(decoded_.get());
    rows.SetPixelDepth(TPixelFormat::pf24bit);
    BitmapSource source(*this, rows);
    jpeg::EncodeOptions options;
    options.quality = EncodeQuality;
    options.progressive = ProgressiveFile;
    // The block (perhaps shared with copies) gets its file only once the file is whole: a
    // cancelled or failed encode must not leave it holding an empty one, which later writes
    // would save as the picture.
    std::vector<uint8_t> bytes;
    try {
        ReportProgress(this, TProgressStage::psStarting, 0, false, TRect{0, 0, 0, 0}, "");
        bytes = jpeg::Encode(rows.Width(), rows.Height(), options, source);
    } catch (const EAbort&) {
        ReportProgress(this, TProgressStage::psEnding, 0, false, TRect{0, 0, 0, 0}, "");
        ReplaceData(new TJPEGData);
        return;
    } catch (const jpeg::Failure& failure) {
        ReportProgress(this, TProgressStage::psEnding, 0, false, TRect{0, 0, 0, 0}, "");
        RaiseJPEGError(failure.code());
    } catch (...) {
        ReportProgress(this, TProgressStage::psEnding, 0, false, TRect{0, 0, 0, 0}, "");
        throw;
    }
    auto file = std::make_unique<TMemoryStream>();
    file->WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    file->SetPosition(0);
    data_->FileBytes = std::move(file);
    data_->HeaderWidth = rows.Width();
    data_->HeaderHeight = rows.Height();
    data_->Orientation = 1;  // the rows written are upright, and the file says nothing of a camera
    ReportProgress(this, TProgressStage::psEnding, 100, false, TRect{0, 0, 0, 0}, "");
}

void TJPEGImage::DrawStretched(TCanvas& canvas, const TRect& rect) {
    // Drawn from a progress report of its own decode: the rows so far, unless they are still
    // to be turned (a photo stored on its side would show so in its upright frame).
    if (decoding_) {
        if (data_->Orientation <= 1) canvas.StretchGraphic(rect, decoded_.get());
        return;
    }
    canvas.StretchGraphic(rect, DecodedAt(EighthsCovering(rect.Width(), rect.Height())));
}

bool TJPEGImage::IsEmpty() const {
    if (data_->FileBytes) return false;
    return !(decoded_ && !decoded_->IsEmpty());
}

// The upright size, whatever scale the picture holds decoded; a picture made from a bitmap
// has the bitmap's.
int32_t TJPEGImage::Width() const {
    if (data_->FileBytes) return jpeg::SwapsAxes(data_->Orientation) ? data_->HeaderHeight : data_->HeaderWidth;
    return decoded_ ? decoded_->Width() : 0;
}

int32_t TJPEGImage::Height() const {
    if (data_->FileBytes) return jpeg::SwapsAxes(data_->Orientation) ? data_->HeaderWidth : data_->HeaderHeight;
    return decoded_ ? decoded_->Height() : 0;
}

void TJPEGImage::SetWidth(int32_t) { throw EInvalidGraphicOperation(LoadResString(res::SChangeJPGSize)); }

void TJPEGImage::SetHeight(int32_t) { throw EInvalidGraphicOperation(LoadResString(res::SChangeJPGSize)); }

HPALETTE TJPEGImage::Palette() const {
    if (decoded_) return decoded_->Palette();
    if (temporaryPalette_) return temporaryPalette_;
    if (outputDepth_ == TJPEGPixelFormat::Depth8) return nullptr;
    if (ScreenDepth() > 8) return nullptr;
    WindowDC screen;
    temporaryPalette_ = CreateHalftonePalette(screen.get());
    return temporaryPalette_;
}

void TJPEGImage::SetPalette(HPALETTE value) {
    if (value == temporaryPalette_) return;
    // The decoded bitmap's own palette, as Palette (read) gives it: keeping it as well would
    // make two owners of one handle.
    if (value && decoded_ && decoded_->Palette() == value) return;
    bool dropped = false;
    if (decoded_ && decoded_->Palette() != value) {
        decoded_.reset();
        dropped = true;
    }
    if (temporaryPalette_) DeleteObject(temporaryPalette_);
    temporaryPalette_ = value;
    if (dropped) {
        PaletteDirty = true;
        NotifyChanged(this);
    }
}

void TJPEGImage::CopyFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TJPEGImage*>(source)) {
        if (other == this) return;
        ReplaceData(other->data_);
        decoded_.reset();
        if (other->decoded_) {
            auto copy = std::make_unique<TBitmap>();
            copy->CopyFrom(other->decoded_.get());
            decoded_ = std::move(copy);
            decodedEighths_ = other->decodedEighths_;
        }
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        auto copy = std::make_unique<TBitmap>();
        copy->CopyFrom(bitmap);
        ReplaceData(new TJPEGData);
        decoded_ = std::move(copy);
        decodedEighths_ = 8;
        return;
    }
    TGraphic::CopyFrom(source);
}

void TJPEGImage::CopyTo(TPersistent* dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(dest)) {
        bitmap->CopyFrom(DecodeToBitmap());
        return;
    }
    TGraphic::CopyTo(dest);
}

bool TJPEGImage::IsSameImage(TGraphic* other) {
    auto* jpeg = dynamic_cast<TJPEGImage*>(other);
    if (!jpeg) return false;
    if (data_->FileBytes && jpeg->data_->FileBytes) return TGraphic::IsSameImage(other);
    return data_ == jpeg->data_;
}

void TJPEGImage::ReadClipboardData(uint16_t format, HANDLE data, HPALETTE palette) {
    TBitmap bitmap;
    bitmap.ReadClipboardData(format, data, palette);
    CopyFrom(&bitmap);
}

void TJPEGImage::WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) {
    DecodeToBitmap()->WriteClipboardData(format, data, palette);
}
