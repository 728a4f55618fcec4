#include "graphics/Graphic.h"
#include <cstring>
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"
#include "rtl/Streams.h"

const TGraphicClassInfo TGraphic::ClassInfo = {"TGraphic", nullptr, nullptr};

[[noreturn]] static void RaiseAssignError(const char* source, const char* dest) {
    throw EConvertError(Format(LoadResString(res::SAssignError), {source, dest}));
}

void TPersistent::CopyTo(TPersistent* dest) {
    RaiseAssignError(ClassName(), dest ? dest->ClassName() : "nil");
}

void TPersistent::CopyFrom(TPersistent* source) {
    if (source) {
        source->CopyTo(this);
        return;
    }
    RaiseAssignError("nil", ClassName());
}

void TGraphic::CopyFrom(TPersistent* source) { TPersistent::CopyFrom(source); }

TBitmap* TGraphic::BitmapForSize(int32_t, int32_t) { return nullptr; }

void TGraphic::NotifyChanged(TObject*) {
    Dirty = true;
    if (OnChange) OnChange(this);
}

bool TGraphic::IsSameImage(TGraphic* other) {
    if (!other) return false;
    bool empty = IsEmpty(), otherEmpty = other->IsEmpty();
    if (empty || otherEmpty) return empty && otherEmpty;
    if (ClassType() != other->ClassType()) return false;
    TMemoryStream mine, theirs;
    WriteStoredData(mine);
    other->WriteStoredData(theirs);
    return mine.Size() == theirs.Size() &&
           std::memcmp(mine.Memory(), theirs.Memory(), static_cast<size_t>(mine.Size())) == 0;
}

void TGraphic::ReadStoredData(TStream& stream) { ReadFromStream(stream); }

void TGraphic::WriteStoredData(TStream& stream) { WriteToStream(stream); }

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    NotifyChanged(this);
}

void TGraphic::ReadFromFile(const std::string& fileName) {
    // Others may read the file meanwhile but not change it; the stream closes on every path.
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    ReadFromStream(stream);
}

void TGraphic::WriteToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    WriteToStream(stream);
}

void TGraphic::ReportProgress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                              const TRect& r, const std::string& msg) {
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, msg);
}

bool TGraphic::StoredDataWanted(TPersistent* ancestor) {
    if (ancestor) {
        if (auto* graphic = dynamic_cast<TGraphic*>(ancestor)) return !IsSameImage(graphic);
        return true;
    }
    return !IsEmpty();
}
