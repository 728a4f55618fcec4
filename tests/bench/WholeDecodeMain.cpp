// Linked beside the program's own entry point into a second Tetrafol.exe for the photo
// benchmark (scripts/bench-photos.sh): the program as it drew JPEG photos before they were
// decoded at the size drawn, every draw decoding the whole picture, to measure beside it in
// one run. Not part of the program.
#include "graphics/jpeg/JPEGImage.h"

namespace {
// Runs before WinMain: the flag is constant-initialised, this assignment dynamically.
const bool wholeDecode = (TJPEGImage::DecodeAtDrawnSize = false, true);
}  // namespace
