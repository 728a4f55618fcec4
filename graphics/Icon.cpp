#include "graphics/Icon.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

static TGraphic* CreateIcon() { return new TIcon; }
const TGraphicClassInfo TIcon::ClassInfo = {"TIcon", &TGraphic::ClassInfo, &CreateIcon};

void TIcon::DrawStretched(TCanvas&, const TRect&) {}

void TIcon::ReadFromStream(TStream&) { throw EInvalidGraphic(LoadResString(res::SInvalidIcon)); }

void TIcon::WriteToStream(TStream&) {}

void TIcon::ReadClipboardData(uint16_t, HANDLE, HPALETTE) {
    throw EInvalidGraphicOperation(LoadResString(res::SIconToClipboard));
}

void TIcon::WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation(LoadResString(res::SIconToClipboard));
}
