#include "graphics/GraphicsModule.h"
#include "graphics/bitmap/Bitmap.h"
#include "graphics/FileFormats.h"
#include "graphics/GdiHandles.h"

namespace {
int screenLogPixels = 96;
HICON applicationIcon = nullptr;
}  // namespace

void InitGraphicsModule() {
    WindowDC screen;
    if (screen) screenLogPixels = GetDeviceCaps(screen.get(), LOGPIXELSY);
    applicationIcon = LoadIcon(nullptr, IDI_APPLICATION);
    StandardPalette16();
}

void FinalizeGraphicsModule() {
    ReleaseGraphicRegistries();
    FinalizeBitmaps();
}

int ScreenLogPixels() { return screenLogPixels; }

HICON DefaultApplicationIcon() {
    if (!applicationIcon) applicationIcon = LoadIcon(nullptr, IDI_APPLICATION);
    return applicationIcon;
}
