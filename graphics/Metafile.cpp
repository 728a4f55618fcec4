#include "graphics/Metafile.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

static TGraphic* CreateMetafile() { return new TMetafile; }
const TGraphicClassInfo TMetafile::ClassInfo = {"TMetafile", &TGraphic::ClassInfo, &CreateMetafile};

void TMetafile::DrawStretched(TCanvas&, const TRect&) {}

void TMetafile::ReadFromStream(TStream&) { throw EInvalidGraphic(LoadResString(res::SInvalidMetafile)); }

void TMetafile::WriteToStream(TStream&) {}

void TMetafile::ReadClipboardData(uint16_t, HANDLE, HPALETTE) {
    throw EInvalidGraphic(LoadResString(res::SUnknownClipboardFormat));
}

void TMetafile::WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation(LoadResString(res::SUnknownClipboardFormat));
}
