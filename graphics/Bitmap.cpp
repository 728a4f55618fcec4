#include "graphics/Bitmap.h"
#include "rtl/Exceptions.h"

static TGraphic* CreateBitmap() { return new TBitmap; }
const TGraphicClassInfo TBitmap::ClassInfo = {"TBitmap", &TGraphic::ClassInfo, &CreateBitmap};

void TBitmap::CopyFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TBitmap*>(source)) {
        width_ = other->width_;
        height_ = other->height_;
        NotifyChanged(this);
        return;
    }
    TGraphic::CopyFrom(source);
}

void TBitmap::DrawStretched(TCanvas&, const TRect&) {}
void TBitmap::SetWidth(int32_t value) { width_ = value; NotifyChanged(this); }
void TBitmap::SetHeight(int32_t value) { height_ = value; NotifyChanged(this); }
void TBitmap::ReadFromStream(TStream&) { throw EInvalidGraphic("Bitmap reading is not built yet"); }
void TBitmap::WriteToStream(TStream&) {}
void TBitmap::ReadClipboardData(uint16_t, HANDLE, HPALETTE) {
    throw EInvalidGraphicOperation("clipboard");
}
void TBitmap::WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation("clipboard");
}

void FreeMemoryContexts() {}
