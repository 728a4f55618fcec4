#include "display/Image.h"
#include <cstring>
#include "display/FittedRect.h"
#include "framework/Form.h"
#include "framework/LayoutValues.h"
#include "graphics/ReducedPicture.h"
#include "graphics/bitmap/Bitmap.h"

namespace {

// Metafiles and icons keep their own transparency; the image does not impose its own.
bool KeepsOwnTransparency(const TGraphic& graphic) {
    for (GraphicClass c = graphic.ClassType(); c; c = c->parent)
        if (std::strcmp(c->name, "TMetafile") == 0 || std::strcmp(c->name, "TIcon") == 0) return true;
    return false;
}

}  // namespace

TImage::TImage() : picture_(std::make_unique<TPicture>()) {
    ControlStyle |= csReplicatable;
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject* sender) { PictureUpdated(sender); };
    picture_->OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percent, bool redraw,
                                  const TRect& r, const std::string& msg) {
        PictureProgress(sender, stage, percent, redraw, r, msg);
    };
}

TImage::~TImage() {
    picture_->OnChange = nullptr;
    picture_->OnProgress = nullptr;
}

void TImage::SetPicture(TPicture* value) { picture_->CopyFrom(value); }

void TImage::SetStretch(bool value) {
    if (stretch_ == value) return;
    stretch_ = value;
    PictureUpdated(this);
}

void TImage::SetCenter(bool value) {
    if (center_ == value) return;
    center_ = value;
    PictureUpdated(this);
}

void TImage::SetProportional(bool value) {
    if (proportional_ == value) return;
    proportional_ = value;
    PictureUpdated(this);
}

void TImage::SetTransparent(bool value) {
    if (transparent_ == value) return;
    transparent_ = value;
    PictureUpdated(this);
}

TRect TImage::FittedRect() const {
    TGraphic* graphic = picture_->Graphic();
    int32_t w = graphic ? graphic->Width() : 0;
    int32_t h = graphic ? graphic->Height() : 0;
    return FitPictureRect(w, h, Width(), Height(), stretch_, proportional_, center_);
}

HPALETTE TImage::Palette() const {
    TGraphic* graphic = picture_->Graphic();
    return graphic ? graphic->Palette() : nullptr;
}

bool TImage::AutoSizeQuery(int32_t& newWidth, int32_t& newHeight) const {
    if (Align == alNone || Align == alLeft || Align == alRight) newWidth = picture_->Width();
    if (Align == alNone || Align == alTop || Align == alBottom) newHeight = picture_->Height();
    return true;
}

void TImage::Paint() {
    bool wasPainting = inPaint_;
    inPaint_ = true;
    try {
        const TRect rect = FittedRect();
        if (!PaintReduced(rect)) Canvas().StretchGraphic(rect, picture_->Graphic());
    } catch (...) {
        inPaint_ = wasPainting;
        throw;
    }
    inPaint_ = wasPainting;
}

void TImage::DropReducedCopy() {
    reduced_.Clear();
    reducedTried_ = false;
}

bool TImage::PaintReduced(const TRect& rect) {
    if (reducedTried_ && (rect.Width() != reducedWidth_ || rect.Height() != reducedHeight_)) {
        // While the user drags the window's frame, the copy made for an earlier size is
        // drawn stretched: remaking it reads and averages the whole picture at every step.
        // The form repaints once the size settles, and the copy is made for that size.
        TForm* form = ParentForm();
        if (!reduced_.Empty() && form && form->Resizing()) return DrawReducedCopy(Canvas(), rect, reduced_, true);
        DropReducedCopy();
    }
    if (!reducedTried_) {
        // A JPEG picture is decoded here, as its drawing would; while that decode runs, the
        // paints its progress asks for find no bitmap and show the rows so far as they are.
        TBitmap* bitmap = ReducibleBitmap(picture_->Graphic(), rect.Width(), rect.Height());
        if (!bitmap || !ReducesOnto(Canvas().Handle())) return false;
        reducedTried_ = true;
        reducedWidth_ = rect.Width();
        reducedHeight_ = rect.Height();
        reduced_.Make(*bitmap, rect.Width(), rect.Height());  // stays empty for a bitmap not larger
    }
    return DrawReducedCopy(Canvas(), rect, reduced_);
}

void TImage::PictureUpdated(TObject* sender) {
    DropReducedCopy();
    if (AutoSize && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    if (TGraphic* graphic = picture_->Graphic()) {
        if (!KeepsOwnTransparency(*graphic)) graphic->SetTransparent(transparent_);
        TRect d = FittedRect();
        bool opaque = !graphic->Transparent() && d.Left <= 0 && d.Top <= 0 && d.Right >= Width() &&
                      d.Bottom >= Height();
        if (opaque) ControlStyle |= csOpaque;
        else ControlStyle &= ~csOpaque;
        if (RequestPaletteRealize() && inPaint_) Update();
    } else {
        ControlStyle &= ~csOpaque;
    }
    // A graphic that changes while it draws itself (lazy decoding) must not ask for
    // another paint: that would paint forever.
    if (!inPaint_) Invalidate();
}

void TImage::PictureProgress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                             const TRect& r, const std::string& msg) {
    if (IncrementalDisplay && redrawNow) {
        if (RequestPaletteRealize()) {
            Update();
        } else if (!progressPaint_) {
            // A picture that decodes when first drawn reports its rows from inside that
            // drawing; they are shown at once from its partly filled image. A paint made
            // here never starts another, so a graphic that reports whenever it draws
            // cannot recurse.
            progressPaint_ = true;
            try {
                PaintNow();
            } catch (...) {
                progressPaint_ = false;
                throw;
            }
            progressPaint_ = false;
        }
    }
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

bool TImage::RequestPaletteRealize() {
    TGraphic* graphic = picture_->Graphic();
    if (!Visible() || Loading() || !graphic || !graphic->PaletteDirty) return false;
    if (!graphic->Palette()) {
        graphic->PaletteDirty = false;
        return false;
    }
    TForm* form = ParentForm();
    if (form && form->Active() && form->HandleAllocated()) {
        if (inPaint_) SendMessageA(form->WindowHandle(), WM_QUERYNEWPALETTE, 0, 0);
        else PostMessageA(form->WindowHandle(), WM_QUERYNEWPALETTE, 0, 0);
        graphic->PaletteDirty = false;
        return true;
    }
    return false;
}

bool TImage::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "Center") SetCenter(LayoutBoolean(value));
    else if (property == "Proportional") SetProportional(LayoutBoolean(value));
    else if (property == "Stretch") SetStretch(LayoutBoolean(value));
    else if (property == "Transparent") SetTransparent(LayoutBoolean(value));
    else if (property == "IncrementalDisplay") IncrementalDisplay = LayoutBoolean(value);
    else if (property == "AutoSize") AutoSize = LayoutBoolean(value);
    else return TGraphicControl::SetLayoutProperty(property, value);
    return true;
}
