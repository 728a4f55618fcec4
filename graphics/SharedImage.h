// The reference-counted block that copies of a graphic share: each format keeps its pixels,
// handles or bytes in one, so that a copy costs a reference until one side changes.
#pragma once
#include <cstdint>
#include "rtl/Object.h"

// Image data shared between copies of a graphic. Releasing the last reference runs
// ReleaseHandles and destroys the block.
class TSharedImage : public TObject {
public:
    const char* ClassName() const noexcept override { return "TSharedImage"; }
    void Reference() { ++refCount_; }
    void Release();
    int32_t RefCount() const { return refCount_; }

protected:
    virtual void ReleaseHandles() = 0;

private:
    int32_t refCount_ = 0;
};
