#include "graphics/icon/Icon.h"
#include "graphics/Canvas.h"
#include "graphics/GraphicsModule.h"
#include "graphics/icon/IconDirectory.h"
#include "graphics/icon/IconHandle.h"
#include "graphics/icon/IconPrinting.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

namespace {

TGraphic* NewIcon() { return new TIcon; }

// Far beyond any real icon file (a 256 x 256 true-colour entry takes 256 KB); larger files
// are refused before their bytes are copied into memory.
constexpr int64_t kMaxIconFileBytes = 64 << 20;

}  // namespace

const TGraphicClassInfo TIcon::ClassInfo = {"TIcon", &TGraphic::ClassInfo, &NewIcon};

TIconImage::TIconImage() = default;

TIconImage::~TIconImage() = default;

void TIconImage::ReleaseHandles() {
    // The default application icon is the system's shared one: it is never destroyed.
    if (IconHandle && IconHandle != DefaultApplicationIcon()) DestroyIcon(IconHandle);
    IconHandle = nullptr;
}

TIcon::TIcon() : image_(new TIconImage) {
    image_->Reference();
    transparent_ = true;
}

TIcon::~TIcon() { image_->Release(); }

void TIcon::ReplaceImage(TIconImage* image) {
    image->Reference();
    image_->Release();
    image_ = image;
}

void TIcon::CopyFrom(TPersistent* source) {
    auto* other = dynamic_cast<TIcon*>(source);
    if (source && !other) {
        TGraphic::CopyFrom(source);
        return;
    }
    if (!other) ReplaceImage(new TIconImage);
    else if (other != this) ReplaceImage(other->image_);
    NotifyChanged(this);
}

void TIcon::EnsureIconHandle() {
    if (image_->IconHandle || !image_->FileBytes) return;
    TMemoryStream& bytes = *image_->FileBytes;
    MadeIcon made = MakeIconFromFile(bytes.Memory(), static_cast<size_t>(bytes.Size()), wantedIconSize_);
    image_->IconHandle = made.handle;
    image_->IconSize = made.size;
}

void TIcon::DrawStretched(TCanvas& canvas, const TRect& rect) {
    HDC dc = canvas.Handle();
    try {
        EnsureIconHandle();
    } catch (...) {
        // Shown once on the screen; after that the slot stays blank rather than raising the
        // same error box again at every repaint. A printed sheet is asked for anew each time
        // and always hears of it: one that came out without the icon would pass for a success.
        if (IsPrinterContext(dc)) throw;
        if (image_->FailureReported) return;
        image_->FailureReported = true;
        throw;
    }
    if (!image_->IconHandle) return;
    if (IsPrinterContext(dc)) DrawIconOnPrinter(dc, rect.Left, rect.Top, image_->IconHandle, SIZE{Width(), Height()});
    else DrawIconEx(dc, rect.Left, rect.Top, image_->IconHandle, 0, 0, 0, nullptr, DI_NORMAL);
}

bool TIcon::IsEmpty() const { return !image_->IconHandle && !image_->FileBytes; }

int32_t TIcon::Width() const { return image_->IconSize.cx ? image_->IconSize.cx : GetSystemMetrics(SM_CXICON); }

int32_t TIcon::Height() const { return image_->IconSize.cy ? image_->IconSize.cy : GetSystemMetrics(SM_CYICON); }

void TIcon::SetWidth(int32_t value) {
    if (image_->IconHandle) throw EInvalidGraphicOperation(LoadResString(res::SChangeIconSize));
    wantedIconSize_.cx = value;
}

void TIcon::SetHeight(int32_t value) {
    if (image_->IconHandle) throw EInvalidGraphicOperation(LoadResString(res::SChangeIconSize));
    wantedIconSize_.cy = value;
}

void TIcon::ReadFromStream(TStream& stream) {
    int64_t count = stream.Size() - stream.Position();
    if (count > kMaxIconFileBytes) throw EInvalidGraphic(LoadResString(res::SInvalidIcon));
    auto bytes = std::make_unique<TMemoryStream>();
    if (count > 0) {
        bytes->SetSize(count);
        stream.ReadBuffer(bytes->Memory(), static_cast<int32_t>(count));
    }
    // The whole directory is checked now, so that a damaged file is refused while it is
    // chosen instead of failing later at every repaint.
    try {
        ico::ReadIconFile(bytes->Memory(), static_cast<size_t>(bytes->Size()));
    } catch (const ico::IconError& e) {
        RaiseIconError(e);
    }
    auto* image = new TIconImage;
    image->FileBytes = std::move(bytes);
    ReplaceImage(image);
    NotifyChanged(this);
}

void TIcon::WriteToStream(TStream& stream) {
    if (!image_->FileBytes) return;
    TMemoryStream& bytes = *image_->FileBytes;
    stream.WriteBuffer(bytes.Memory(), static_cast<int32_t>(bytes.Size()));
}

void TIcon::ReadClipboardData(uint16_t, HANDLE, HPALETTE) {
    throw EInvalidGraphicOperation(LoadResString(res::SIconToClipboard));
}

void TIcon::WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation(LoadResString(res::SIconToClipboard));
}
