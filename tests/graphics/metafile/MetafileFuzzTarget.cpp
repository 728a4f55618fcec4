// libFuzzer entry: any byte string is a metafile the walk accepts or refuses, reading only
// inside the bytes it was given; the copy an accepted one is handed over as passes the walk
// itself, with nothing more to repair.
#include <cstddef>
#include <cstdint>
#include "graphics/metafile/MetafileSamples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!mfsamples::RepairedCopyHolds(mfsamples::Bytes(data, data + size))) __builtin_trap();
    return 0;
}
