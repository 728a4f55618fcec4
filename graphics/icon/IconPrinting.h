// Icons on printers. Printer drivers commonly carry out only plain copies, not the
// AND-then-XOR raster operations an icon is drawn with (Wine's PostScript driver never
// returns from DrawIconEx at all), so on a printer the icon is composed in memory and
// copied through a clipping region that leaves out its see-through pixels.
#pragma once
#include <windows.h>

// Whether `dc` draws on a printer or plotter rather than a screen, memory or metafile.
bool IsPrinterContext(HDC dc);

// Draws `icon` at (x, y) at `size` (its own size) on a printer's context.
void DrawIconOnPrinter(HDC dc, int x, int y, HICON icon, SIZE size);
