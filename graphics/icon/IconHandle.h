// Turning an icon file's bytes into a platform icon: the directory entry that suits the
// screen and the wanted size, made into a colour image and a transparency mask of the
// entry's size.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include "graphics/icon/IconDirectory.h"

struct MadeIcon {
    HICON handle = nullptr;  // the caller's to destroy, unless it is the default application icon
    SIZE size{0, 0};         // the chosen entry's size; (0, 0) for the default application icon
};

// The file's checks failed: EReadError for a file shorter than its header, otherwise
// EInvalidGraphic with "アイコンイメージが不正です".
[[noreturn]] void RaiseIconError(const ico::IconError& error);

// The icon for a whole file. `wanted` (0, 0) asks for the platform's standard icon size.
// Fails like RaiseIconError for bytes the directory checks refuse, with EInvalidGraphic for
// a PNG entry the platform cannot decode, and with EOutOfResources when the platform cannot
// make a bitmap or the icon.
MadeIcon MakeIconFromFile(const uint8_t* data, size_t size, SIZE wanted);
