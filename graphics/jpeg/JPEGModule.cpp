#include "graphics/jpeg/JPEGModule.h"
#include "graphics/Picture.h"
#include "graphics/jpeg/JPEGImage.h"
#include "graphics/bitmap/DibSupport.h"
#include "rtl/ResourceStrings.h"

void InitJPEGModule() {
    // On a palette screen pictures decode straight to its colours.
    TJPEGImage::DefaultOutputDepth = ScreenDepth() <= 8 ? TJPEGPixelFormat::Depth8 : TJPEGPixelFormat::Depth24;
    TPicture::RegisterFileFormat("jpeg", LoadResString(res::SJPEGImageFile), &TJPEGImage::ClassInfo);
    TPicture::RegisterFileFormat("jpg", LoadResString(res::SJPEGImageFile), &TJPEGImage::ClassInfo);
}

void FinalizeJPEGModule() { TPicture::UnregisterGraphicClass(&TJPEGImage::ClassInfo); }
