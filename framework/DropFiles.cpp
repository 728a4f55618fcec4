#include "framework/DropFiles.h"

TDroppedFiles::~TDroppedFiles() {
    if (drop_) DragFinish(drop_);
}

std::vector<std::string> TDroppedFiles::Names() const {
    std::vector<std::string> names;
    if (!drop_) return names;
    const UINT count = DragQueryFileA(drop_, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // The length without its terminating zero; the buffer takes the zero too.
        const UINT length = DragQueryFileA(drop_, i, nullptr, 0);
        if (length == 0) continue;
        std::string name(length + 1, '\0');
        name.resize(DragQueryFileA(drop_, i, &name[0], length + 1));
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

bool TDroppedFiles::ClientPoint(POINT& point) const {
    point = POINT{-1, -1};
    return drop_ && DragQueryPoint(drop_, &point) != FALSE;
}
