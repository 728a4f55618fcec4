// Owner of a block of global memory handed to or taken from the system dialogs: frees
// it unless released to a new owner.
#pragma once
#include <windows.h>

class GlobalBlock {
public:
    explicit GlobalBlock(HGLOBAL handle = nullptr) : handle_(handle) {}
    ~GlobalBlock() { if (handle_) GlobalFree(handle_); }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL get() const { return handle_; }
    HGLOBAL release() { HGLOBAL h = handle_; handle_ = nullptr; return h; }
    // Takes `handle` in place of the one held (which the system dialog may have replaced
    // and freed itself).
    void reset(HGLOBAL handle) { handle_ = handle; }

private:
    HGLOBAL handle_;
};

// A movable, zero-filled copy of `source` of the size the system reports; none for none.
HGLOBAL CopyGlobalBlock(HGLOBAL source);
