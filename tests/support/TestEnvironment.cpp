#include "support/TestEnvironment.h"
#include "graphics/GraphicsModule.h"
#include "graphics/jpeg/JPEGModule.h"

void InitTestProcess() {
    // The program's module order: graphics first, then the JPEG format's registration,
    // which is the registry's first use.
    InitGraphicsModule();
    InitJPEGModule();
}
