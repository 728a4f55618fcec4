#include "graphics/jpeg/JPEGModule.h"
#include "graphics/Picture.h"
#include "graphics/jpeg/JPEGImage.h"
#include "rtl/ResourceStrings.h"

void InitJPEGModule() {
    TPicture::RegisterFileFormat("jpeg", LoadResString(res::SJPEGImageFile), &TJPEGImage::ClassInfo);
    TPicture::RegisterFileFormat("jpg", LoadResString(res::SJPEGImageFile), &TJPEGImage::ClassInfo);
}

void FinalizeJPEGModule() { TPicture::UnregisterGraphicClass(&TJPEGImage::ClassInfo); }
