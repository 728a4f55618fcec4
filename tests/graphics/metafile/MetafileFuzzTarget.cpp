// libFuzzer entry: any byte string is a metafile the walk accepts or refuses, reading only
// inside the bytes it was given.
#include <cstddef>
#include <cstdint>
#include "graphics/metafile/MetafileRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)mf::CheckMetafileFile(data, size);
    return 0;
}
