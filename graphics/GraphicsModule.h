// Start-up and shut-down of the graphics subsystem.
#pragma once
#include <windows.h>

// Reads the screen's pixels per inch, fetches the system's default application icon and
// makes the standard 16-colour palette.
void InitGraphicsModule();
// Destroys the format registries, then the bitmaps' contexts and the standard palette.
void FinalizeGraphicsModule();

// What start-up found (96 and the system icon's handle as defaults before it ran).
int ScreenLogPixels();
HICON DefaultApplicationIcon();
