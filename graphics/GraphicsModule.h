// Start-up and shut-down of the graphics subsystem.
#pragma once
#include <windows.h>

// Reads the screen's pixels per inch and fetches the system's default application icon.
void InitGraphicsModule();
// Destroys the format registries.
void FinalizeGraphicsModule();

// What start-up found (96 and the system icon's handle as defaults before it ran).
int ScreenLogPixels();
HICON DefaultApplicationIcon();
