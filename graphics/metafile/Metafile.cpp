#include "graphics/metafile/Metafile.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

#include "graphics/Canvas.h"
#include "graphics/GraphicsModule.h"
#include "graphics/metafile/MetafilePlayer.h"
#include "graphics/metafile/MetafileRecords.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

static TGraphic* CreateMetafile() { return new TMetafile; }
const TGraphicClassInfo TMetafile::ClassInfo = {"TMetafile", &TGraphic::ClassInfo, &CreateMetafile};

namespace {

[[noreturn]] void RaiseInvalidMetafile() { throw EInvalidGraphic(LoadResString(res::SInvalidMetafile)); }

std::vector<uint8_t> AllocateBytes(size_t count) {
    try {
        return std::vector<uint8_t>(count);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(LoadResString(res::SOutOfMemory));
    }
}

// The platform's MulDiv, with a divisor that may not fit its 32-bit argument (a reference
// device's millimetres times 100): such a quotient is as unrepresentable as MulDiv's own -1.
int32_t MulDivWide(int32_t x, int32_t y, int64_t z) {
    if (z > INT32_MAX || z < INT32_MIN) return -1;
    return MulDiv(x, y, static_cast<int>(z));
}

// The size needs the fields up to szlMillimeters, which end at byte 88: the original
// header (nSize 88) has no more, and the platform copies no more than the header holds.
bool ReadEnhHeader(HENHMETAFILE handle, ENHMETAHEADER& header) {
    header = ENHMETAHEADER{};
    return GetEnhMetaFileHeader(handle, sizeof header, &header) >= offsetof(ENHMETAHEADER, cbPixelFormat);
}

// The enhanced reader runs only for more than 100 bytes whose first 100 are an enhanced
// metafile's header; the stream is left where it was.
bool LooksLikeEmf(TStream& stream) {
    if (stream.Size() - stream.Position() <= static_cast<int64_t>(mf::kEmfHeaderSize)) return false;
    uint8_t header[mf::kEmfHeaderSize];
    stream.ReadBuffer(header, sizeof header);
    stream.Seek(-static_cast<int64_t>(sizeof header), soCurrent);
    return mf::LooksLikeEmfHeader(header);
}

// Reads `count` bytes with the failing read; counts past one read call go in pieces.
void ReadAll(TStream& stream, uint8_t* into, size_t count) {
    while (count) {
        const int32_t piece = static_cast<int32_t>(std::min<size_t>(count, 1u << 30));
        stream.ReadBuffer(into, piece);
        into += piece;
        count -= static_cast<size_t>(piece);
    }
}

// The plain read: as many of `count` bytes as there are.
size_t ReadSome(TStream& stream, uint8_t* into, size_t count) {
    size_t done = 0;
    while (done < count) {
        const int32_t piece = static_cast<int32_t>(std::min<size_t>(count - done, 1u << 30));
        const int32_t got = stream.Read(into + done, piece);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

int32_t Extent(int32_t from, int32_t to) { return static_cast<int32_t>(static_cast<int64_t>(to) - from); }

}  // namespace

TMetafile::TMetafile() {
    transparent_ = true;
    CopyFrom(nullptr);
}

TMetafile::~TMetafile() {
    if (image_) image_->Release();
}

void TMetafile::NewImage() {
    auto* fresh = new TMetafileImage;
    fresh->Reference();
    if (image_) image_->Release();
    image_ = fresh;
}

void TMetafile::CopyFrom(TPersistent* source) {
    auto* other = dynamic_cast<TMetafile*>(source);
    if (source && !other) {
        TGraphic::CopyFrom(source);
        return;
    }
    const HPALETTE oldPalette = image_ ? image_->PaletteHandle.get() : nullptr;
    if (other) {
        // Referenced before the old block goes, so copying a picture onto itself keeps it.
        other->image_->Reference();
        if (image_) image_->Release();
        image_ = other->image_;
        IsEnhanced = other->IsEnhanced;
    } else {
        NewImage();
        IsEnhanced = true;
    }
    const HPALETTE palette = Palette();
    PaletteDirty = palette != nullptr && palette != oldPalette;
    NotifyChanged(this);
}

void TMetafile::MakeDataUnique() {
    if (image_->RefCount() < 2) return;
    auto* copy = new TMetafileImage;
    copy->Reference();
    if (image_->MetafileHandle) {
        copy->MetafileHandle.reset(CopyEnhMetaFile(image_->MetafileHandle.get(), nullptr));
        if (!copy->MetafileHandle) {
            copy->Release();
            RaiseOutOfResources();
        }
    }
    copy->FrameWidth = image_->FrameWidth;
    copy->FrameHeight = image_->FrameHeight;
    copy->UnitsPerInch = image_->UnitsPerInch;
    copy->PendingWidth = image_->PendingWidth;
    copy->PendingHeight = image_->PendingHeight;
    image_->Release();
    image_ = copy;
}

// ---- Size

int32_t TMetafile::PixelsFromFrame(int32_t frame, bool horizontal) const {
    if (image_->UnitsPerInch) return MulDiv(frame, ScreenLogPixels(), 2540);
    ENHMETAHEADER header;
    if (!ReadEnhHeader(image_->MetafileHandle.get(), header)) return 0;
    return horizontal ? MulDivWide(frame, header.szlDevice.cx, int64_t{header.szlMillimeters.cx} * 100)
                      : MulDivWide(frame, header.szlDevice.cy, int64_t{header.szlMillimeters.cy} * 100);
}

int32_t TMetafile::FrameFromPixels(int32_t pixels, bool horizontal) const {
    if (image_->UnitsPerInch) return MulDiv(pixels, 2540, ScreenLogPixels());
    ENHMETAHEADER header;
    if (!ReadEnhHeader(image_->MetafileHandle.get(), header)) return 0;
    const int64_t millimetres = horizontal ? header.szlMillimeters.cx : header.szlMillimeters.cy;
    const int32_t device = horizontal ? header.szlDevice.cx : header.szlDevice.cy;
    if (millimetres * 100 > INT32_MAX || millimetres * 100 < INT32_MIN) return -1;
    return MulDiv(pixels, static_cast<int>(millimetres * 100), device);
}

int32_t TMetafile::Width() const {
    if (!image_) return 0;
    if (!image_->UnitsPerInch && !image_->MetafileHandle) return image_->PendingWidth;
    return PixelsFromFrame(image_->FrameWidth, true);
}

int32_t TMetafile::Height() const {
    if (!image_) return 0;
    if (!image_->UnitsPerInch && !image_->MetafileHandle) return image_->PendingHeight;
    return PixelsFromFrame(image_->FrameHeight, false);
}

void TMetafile::SetWidth(int32_t value) {
    if (!image_) NewImage();
    if (!image_->UnitsPerInch && !image_->MetafileHandle) {
        image_->PendingWidth = value;
        return;
    }
    const int32_t frame = FrameFromPixels(value, true);
    image_->PendingWidth = 0;
    if (frame == image_->FrameWidth) return;
    MakeDataUnique();
    image_->FrameWidth = frame;
    NotifyChanged(this);
}

void TMetafile::SetHeight(int32_t value) {
    if (!image_) NewImage();
    if (!image_->UnitsPerInch && !image_->MetafileHandle) {
        image_->PendingHeight = value;
        return;
    }
    const int32_t frame = FrameFromPixels(value, false);
    image_->PendingHeight = 0;
    if (frame == image_->FrameHeight) return;
    MakeDataUnique();
    image_->FrameHeight = frame;
    NotifyChanged(this);
}

// ---- Palette and drawing

HPALETTE TMetafile::Palette() const {
    if (!image_ || !image_->MetafileHandle) return nullptr;
    if (image_->PaletteHandle) return image_->PaletteHandle.get();
    UINT count = GetEnhMetaFilePaletteEntries(image_->MetafileHandle.get(), 0, nullptr);
    if (count == 0 || count == GDI_ERROR) return nullptr;
    count = std::min<UINT>(count, 256);
    // LOGPALETTE holds one entry itself; room for 256.
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[255];
    } palette{};
    palette.head.palVersion = 0x300;
    palette.head.palNumEntries = static_cast<WORD>(count);
    // Some platforms fill the entries and still answer GDI_ERROR: the zeroed buffer keeps a
    // real failure harmless, so the answer is not used.
    GetEnhMetaFilePaletteEntries(image_->MetafileHandle.get(), count, palette.head.palPalEntry);
    image_->PaletteHandle.reset(GdiCheck(CreatePalette(&palette.head)));
    return image_->PaletteHandle.get();
}

void TMetafile::DrawStretched(TCanvas& canvas, const TRect& rect) {
    if (!image_) return;
    const HPALETTE palette = Palette();
    HDC dc = canvas.Handle();
    SelectedPalette selected(dc, palette, TRUE);
    if (palette) RealizePalette(dc);
    if (!image_->MetafileHandle) return;
    // The player takes the rectangle with its right and bottom edges inside.
    const RECT target{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1};
    PlayMetafile(dc, image_->MetafileHandle.get(), target);
}

// ---- Reading

void TMetafile::AfterLoading() {
    PaletteDirty = Palette() != nullptr;
    NotifyChanged(this);
}

void TMetafile::ReadFromStream(TStream& stream) {
    if (LooksLikeEmf(stream))
        ReadEnhancedMetafile(stream);
    else
        ReadPlaceableMetafile(stream, stream.Size() - stream.Position());
    AfterLoading();
}

void TMetafile::ReadStoredData(TStream& stream) {
    uint8_t countBytes[4];
    stream.ReadBuffer(countBytes, sizeof countBytes);
    const int32_t count = mf::GetInt32(countBytes);
    if (count <= 4) {
        CopyFrom(nullptr);
        return;
    }
    if (LooksLikeEmf(stream))
        ReadEnhancedMetafile(stream);
    else
        ReadPlaceableMetafile(stream, int64_t{count} - 4);
    AfterLoading();
}

void TMetafile::ReadEnhancedMetafile(TStream& stream) {
    NewImage();
    uint8_t head[mf::kEmfHeaderSize];
    stream.ReadBuffer(head, sizeof head);
    const mf::EmfHeader header = mf::ParseEmfHeader(head);
    if (header.signature != mf::kEmfSignature || header.bytes < mf::kEmfHeaderSize) RaiseInvalidMetafile();
    // A count past the stream's end would fail in the read below: fail before allocating it.
    const uint64_t rest = header.bytes - mf::kEmfHeaderSize;
    if (rest > static_cast<uint64_t>(std::max<int64_t>(stream.Size() - stream.Position(), 0)))
        throw EReadError(LoadResString(res::SReadError));
    std::vector<uint8_t> bytes = AllocateBytes(header.bytes);
    std::copy(head, head + sizeof head, bytes.begin());
    ReadAll(stream, bytes.data() + sizeof head, rest);

    // The platform gets the bytes with the header's counts as the records have them.
    const mf::WalkResult walked = mf::CheckEnhancedMetafile(bytes.data(), bytes.size());
    if (!walked.ok()) RaiseInvalidMetafile();
    const size_t length = mf::RepairEnhancedHeader(bytes.data(), walked);
    image_->MetafileHandle.reset(SetEnhMetaFileBits(static_cast<UINT>(length), bytes.data()));
    if (!image_->MetafileHandle) RaiseInvalidMetafile();
    image_->UnitsPerInch = 0;
    image_->FrameWidth = Extent(header.frameLeft, header.frameRight);
    image_->FrameHeight = Extent(header.frameTop, header.frameBottom);
    IsEnhanced = true;
}

void TMetafile::ReadPlaceableMetafile(TStream& stream, int64_t length) {
    NewImage();
    if (length < static_cast<int64_t>(mf::kPlaceableHeaderSize)) RaiseInvalidMetafile();
    uint8_t head[mf::kPlaceableHeaderSize];
    if (ReadSome(stream, head, sizeof head) != sizeof head) RaiseInvalidMetafile();
    const mf::PlaceableHeader header = mf::ParsePlaceableHeader(head);
    if (!header.Valid()) RaiseInvalidMetafile();

    // What the header announces, but no more than the stream holds.
    const int64_t available = std::max<int64_t>(stream.Size() - stream.Position(), 0);
    const int64_t bitsCount = std::min<int64_t>(length - mf::kPlaceableHeaderSize, available);
    // The platform takes the metafile's size as a UINT: more would be cut to its low bits.
    if (bitsCount > static_cast<int64_t>(std::numeric_limits<UINT>::max())) RaiseInvalidMetafile();
    const size_t wanted = static_cast<size_t>(bitsCount);
    std::vector<uint8_t> bits = AllocateBytes(wanted);
    bits.resize(ReadSome(stream, bits.data(), wanted));
    // The platform gets the records up to the end-of-file record, with the header's size,
    // object count and largest record as the records have them.
    const mf::WalkResult walked = mf::CheckWindowsMetafile(bits.data(), bits.size());
    if (!walked.ok()) RaiseInvalidMetafile();
    bits.resize(mf::RepairWindowsHeader(bits.data(), walked));

    image_->UnitsPerInch = header.inch;
    const int inch = header.inch ? header.inch : 96;
    image_->FrameWidth = MulDiv(header.right - header.left, 2540, inch);
    image_->FrameHeight = MulDiv(header.bottom - header.top, 2540, inch);

    // The platform works out the picture's frame in a first conversion; the second gives the
    // metafile that frame as its explicit extent.
    METAFILEPICT picture{MM_ANISOTROPIC, 0, 0, nullptr};
    OwnedEnhMetafile first(SetWinMetaFileBits(static_cast<UINT>(bits.size()), bits.data(), nullptr, &picture));
    if (!first) RaiseInvalidMetafile();
    ENHMETAHEADER converted;
    if (!ReadEnhHeader(first.get(), converted)) RaiseInvalidMetafile();
    first.reset();
    picture.xExt = converted.rclFrame.right;
    picture.yExt = converted.rclFrame.bottom;
    image_->MetafileHandle.reset(SetWinMetaFileBits(static_cast<UINT>(bits.size()), bits.data(), nullptr, &picture));
    if (!image_->MetafileHandle) RaiseInvalidMetafile();
    IsEnhanced = false;
}

// ---- Writing

void TMetafile::WriteToStream(TStream& stream) {
    const HENHMETAFILE handle = Handle();
    if (IsEnhanced) {
        const UINT size = handle ? GetEnhMetaFileBits(handle, 0, nullptr) : 0;
        if (size == 0) return;
        std::vector<uint8_t> bytes = AllocateBytes(size);
        if (GetEnhMetaFileBits(handle, size, bytes.data()) != size) RaiseOutOfResources();
        stream.WriteBuffer(bytes.data(), static_cast<int32_t>(size));
        return;
    }
    const int inch = image_->UnitsPerInch ? image_->UnitsPerInch : 96;
    uint8_t head[mf::kPlaceableHeaderSize];
    mf::WritePlaceableHeader(head, 0, 0, static_cast<int16_t>(MulDiv(image_->FrameWidth, inch, 2540)),
                             static_cast<int16_t>(MulDiv(image_->FrameHeight, inch, 2540)),
                             static_cast<uint16_t>(inch));
    stream.WriteBuffer(head, sizeof head);
    WindowDC screen;
    const UINT size = handle ? GetWinMetaFileBits(handle, 0, nullptr, MM_ANISOTROPIC, screen.get()) : 0;
    if (size == 0) return;
    std::vector<uint8_t> bits = AllocateBytes(size);
    if (GetWinMetaFileBits(handle, size, bits.data(), MM_ANISOTROPIC, screen.get()) < size) RaiseOutOfResources();
    stream.WriteBuffer(bits.data(), static_cast<int32_t>(size));
}

void TMetafile::WriteStoredData(TStream& stream) {
    const int64_t start = stream.Position();
    int32_t count = 0;
    stream.WriteBuffer(&count, sizeof count);
    WriteToStream(stream);
    const int64_t end = stream.Position();
    count = static_cast<int32_t>(end - start);
    stream.SetPosition(start);
    stream.WriteBuffer(&count, sizeof count);
    stream.SetPosition(end);
}

void TMetafile::WriteToFile(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : fileName.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".wmf") {
        TGraphic::WriteToFile(fileName);
        return;
    }
    const bool saved = IsEnhanced;
    IsEnhanced = false;
    try {
        TGraphic::WriteToFile(fileName);
    } catch (...) {
        IsEnhanced = saved;
        throw;
    }
    IsEnhanced = saved;
}

// ---- Clipboard

void TMetafile::ReadClipboardData(uint16_t format, HANDLE data, HPALETTE) {
    if (format != CF_ENHMETAFILE || !data) throw EInvalidGraphic(LoadResString(res::SUnknownClipboardFormat));
    NewImage();
    image_->MetafileHandle.reset(GdiCheck(CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr)));
    ENHMETAHEADER header;
    if (!ReadEnhHeader(image_->MetafileHandle.get(), header)) RaiseInvalidMetafile();
    image_->FrameWidth = Extent(header.rclFrame.left, header.rclFrame.right);
    image_->FrameHeight = Extent(header.rclFrame.top, header.rclFrame.bottom);
    IsEnhanced = true;
    AfterLoading();
}

void TMetafile::WriteClipboardData(uint16_t& format, HANDLE& data, HPALETTE& palette) {
    format = CF_ENHMETAFILE;
    data = Handle() ? GdiCheck(CopyEnhMetaFile(Handle(), nullptr)) : nullptr;
    palette = nullptr;
}
