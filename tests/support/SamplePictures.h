// The four sample pictures of the demo and the soak, one per kind of file the program
// reads: a photo-like JPEG, a 24-bit BMP, an icon and an EMF drawing. Made in code through
// the formats' own sample writers, so a fresh clone needs no picture files.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "support/SampleBytes.h"

struct SamplePicture {
    std::string fileName;  // "photo.jpg"
    std::string kind;      // "JPEG", "BMP", "icon", "EMF"
    std::string path;      // where it was written (the directory given + fileName)
};

// Writes the four samples into `directory` (a Windows path, created when missing) in the
// order of the slots they go into; throws std::runtime_error when a file cannot be written.
std::vector<SamplePicture> WriteSamplePictures(const std::string& directory);

// The single writers, for pictures of other sizes.
// A landscape with sky, sun, hills and grain, as a baseline JPEG of `quality`.
void WritePhotoJpeg(const std::string& path, int width, int height, int quality = 88);
// Colour bars over a grey ramp, bottom-up 24-bit, 40-byte header.
void WriteBarsBmp(const std::string& path, int width, int height);
// A round badge as a two-entry icon (32 x 32 and 48 x 48, 24-bit colour with a mask).
void WriteBadgeIcon(const std::string& path);
// Shapes recorded as an enhanced metafile `widthMm` x `heightMm` millimetres in size.
void WriteShapesEmf(const std::string& path, int widthMm = 80, int heightMm = 60);

// `draw` recorded on the screen's reference device with a frame in 0.01 mm: the bytes of
// an enhanced metafile.
samplebytes::Bytes RecordEmf(const RECT& frame, const std::function<void(HDC)>& draw);
// `draw` recorded as a standard Windows metafile (no placeable header).
samplebytes::Bytes RecordWmf(const std::function<void(HDC)>& draw);
