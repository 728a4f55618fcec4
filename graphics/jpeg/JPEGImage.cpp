#include "graphics/jpeg/JPEGImage.h"
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

static TGraphic* CreateJPEGImage() { return new TJPEGImage; }
const TGraphicClassInfo TJPEGImage::ClassInfo = {"TJPEGImage", &TGraphic::ClassInfo, &CreateJPEGImage};

void TJPEGImage::DrawStretched(TCanvas&, const TRect&) {}

void TJPEGImage::SetWidth(int32_t) { throw EInvalidGraphicOperation(LoadResString(res::SChangeJPGSize)); }

void TJPEGImage::SetHeight(int32_t) { throw EInvalidGraphicOperation(LoadResString(res::SChangeJPGSize)); }

void TJPEGImage::ReadFromStream(TStream&) {
    // The library's own code for a feature left out of the build.
    throw EJPEG(Format(LoadResString(res::SJPEGError), {static_cast<int>(JERR_NOT_COMPILED)}));
}

void TJPEGImage::WriteToStream(TStream&) {}

void TJPEGImage::ReadClipboardData(uint16_t, HANDLE, HPALETTE) {
    throw EInvalidGraphic(LoadResString(res::SUnknownClipboardFormat));
}

void TJPEGImage::WriteClipboardData(uint16_t&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation(LoadResString(res::SUnknownClipboardFormat));
}
