#include "framework/MessageLevels.h"
#include "framework/Application.h"
#include "graphics/bitmap/Bitmap.h"

namespace {

// Window procedures of the framework running on this thread, one inside the other, and
// how many of them the running modal loop was entered from.
thread_local int depth = 0;
thread_local int loopLevel = 0;

}  // namespace

WindowMessageLevel::WindowMessageLevel() { ++depth; }

WindowMessageLevel::~WindowMessageLevel() {
    if (--depth != loopLevel) return;
    try {
        FreeMemoryContexts();
    } catch (...) {
        if (ApplicationExists()) Application().HandleException();
    }
}

ModalLoopLevel::ModalLoopLevel() : saved_(loopLevel) { loopLevel = depth; }

ModalLoopLevel::~ModalLoopLevel() { loopLevel = saved_; }
