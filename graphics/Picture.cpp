#include "graphics/Picture.h"
#include <utility>
#include "graphics/bitmap/Bitmap.h"
#include "graphics/FileFormats.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

namespace {

// A new, empty graphic of `graphicClass`; the abstract base cannot be made.
std::shared_ptr<TGraphic> CreateGraphic(GraphicClass graphicClass, const char* sourceName) {
    if (!graphicClass->create)
        throw EConvertError(Format(LoadResString(res::SAssignError), {sourceName, graphicClass->name}));
    return std::shared_ptr<TGraphic>(graphicClass->create());
}

}  // namespace

TPicture::TPicture() {
    GlobalFileFormats();
    GlobalClipboardFormats();
}

TPicture::~TPicture() { Replace(nullptr); }

void TPicture::Attach(TGraphic& graphic) {
    graphic.OnChange = [this](TObject* sender) { NotifyChanged(sender); };
    graphic.OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                                const TRect& r, const std::string& msg) {
        ReportProgress(sender, stage, percentDone, redrawNow, r, msg);
    };
}

void TPicture::Replace(std::shared_ptr<TGraphic> graphic) {
    std::shared_ptr<TGraphic> old = std::exchange(graphic_, std::move(graphic));
    // Someone may still hold the old graphic (HoldGraphic); it must not reach this container.
    if (old) {
        old->OnChange = nullptr;
        old->OnProgress = nullptr;
    }
}

void TPicture::SetGraphic(TGraphic* value) {
    std::shared_ptr<TGraphic> fresh;
    if (value) {
        fresh = CreateGraphic(value->ClassType(), value->ClassName());
        fresh->CopyFrom(value);
        Attach(*fresh);
    }
    Replace(std::move(fresh));
    NotifyChanged(this);
}

void TPicture::LoadPictureFile(const std::string& fileName) {
    std::string extension = ExtractPictureExtension(fileName);
    GraphicClass graphicClass = GlobalFileFormats().FindFormatByExtension(extension);
    if (!graphicClass || !graphicClass->create)
        throw EInvalidGraphic(Format(LoadResString(res::SUnknownExtension), {extension}));

    std::shared_ptr<TGraphic> fresh(graphicClass->create());
    // Progress reaches the owner while reading; changes made while reading do not.
    fresh->OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                               const TRect& r, const std::string& msg) {
        ReportProgress(sender, stage, percentDone, redrawNow, r, msg);
    };
    try {
        fresh->ReadFromFile(fileName);
    } catch (...) {
        fresh->OnProgress = nullptr;
        throw;
    }
    Replace(fresh);
    fresh->OnChange = [this](TObject* sender) { NotifyChanged(sender); };
    NotifyChanged(this);
}

void TPicture::CopyFrom(TPersistent* source) {
    if (!source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
        SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::CopyFrom(source);
    }
}

void TPicture::CopyTo(TPersistent* dest) {
    auto* target = dynamic_cast<TGraphic*>(dest);
    if (graphic_ && target && graphic_->ClassType()->InheritsFrom(target->ClassType())) {
        target->CopyFrom(graphic_.get());
        return;
    }
    TPersistent::CopyTo(dest);
}

int32_t TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }

int32_t TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

TBitmap* TPicture::AsBitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) {
        auto bitmap = std::make_shared<TBitmap>();
        Attach(*bitmap);
        Replace(bitmap);
        NotifyChanged(this);
    }
    return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::ReadFromStream(TStream& stream) { AsBitmap()->ReadFromStream(stream); }

void TPicture::WriteToStream(TStream& stream) { AsBitmap()->WriteToStream(stream); }

bool TPicture::StoredDataWanted(TPersistent* ancestor) {
    if (!ancestor) return graphic_ != nullptr;
    auto* other = dynamic_cast<TPicture*>(ancestor);
    if (!other) return true;
    TGraphic* mine = Graphic();
    TGraphic* theirs = other->Graphic();
    if (mine == theirs) return false;
    return !(mine && theirs && mine->IsSameImage(theirs));
}

void TPicture::WriteStoredData(TStream& stream) {
    std::string name = graphic_ ? graphic_->ClassName() : "";
    if (name.size() > 63) name.resize(63);
    uint8_t length = static_cast<uint8_t>(name.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), length);
    if (graphic_) graphic_->WriteStoredData(stream);
}

void TPicture::ReadStoredData(TStream& stream) {
    uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    std::shared_ptr<TGraphic> fresh;
    GraphicClass graphicClass = GlobalFileFormats().FindFormatByClassName(name);
    if (graphicClass && graphicClass->create) {
        fresh.reset(graphicClass->create());
        fresh->ReadStoredData(stream);  // on failure `fresh` goes and the old graphic stays
        Attach(*fresh);
    }
    Replace(std::move(fresh));
    NotifyChanged(this);
}

void TPicture::NotifyChanged(TObject*) {
    if (OnChange) OnChange(this);
    if (Notifier) Notifier->Changed();
}

void TPicture::ReportProgress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                              const TRect& r, const std::string& msg) {
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  GraphicClass graphicClass) {
    GlobalFileFormats().AddFormat(extension, description, graphicClass, 0);
}

void TPicture::UnregisterGraphicClass(GraphicClass graphicClass) {
    if (GlobalFileFormatsExist()) GlobalFileFormats().RemoveFormatClass(graphicClass);
    if (GlobalClipboardFormatsExist()) GlobalClipboardFormats().RemoveFormatClass(graphicClass);
}

std::string GraphicFilter(GraphicClass graphicClass) {
    std::string filter, masks;
    GlobalFileFormats().BuildFileFilter(graphicClass, filter, masks);
    return filter;
}
