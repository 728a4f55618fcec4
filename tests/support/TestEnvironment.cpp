#include "support/TestEnvironment.h"
#include "dialogs/DialogsModule.h"
#include "framework/FloatingPoint.h"
#include "graphics/GraphicsModule.h"
#include "graphics/jpeg/JPEGModule.h"

void InitTestProcess() {
    // The program's start-up order: the floating-point unit, graphics, dialogs, then the
    // JPEG format's registration, which is the format registry's first use.
    InitFloatingPoint();
    InitGraphicsModule();
    InitDialogsModule();
    InitJPEGModule();
}
