#include "graphics/SharedImage.h"

void TSharedImage::Release() {
    if (--refCount_ == 0) {
        ReleaseHandles();
        delete this;
    }
}
