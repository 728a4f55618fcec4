// Start-up and shut-down of the JPEG format: its two extensions in the format registry.
#pragma once

// Chooses the default output depth from the screen, then registers "jpeg", then "jpg", as
// TJPEGImage (the registry's first use fills it with the built-in formats first).
void InitJPEGModule();
// Removes the JPEG formats from the registries.
void FinalizeJPEGModule();
