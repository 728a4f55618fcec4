#include "printing/PrinterCanvas.h"

#include "graphics/GraphicsModule.h"
#include "printing/Printer.h"

TPrinterCanvas::TPrinterCanvas(TPrinter& printer)
    : printer_(printer), fontPixelsPerInch_(ScreenLogPixels()) {}

void TPrinterCanvas::Changing() {
    printer_.RequireJobState(true);
    TCanvas::Changing();
    MatchFontResolution();
}

void TPrinterCanvas::CreateHandle() {
    printer_.SetContextState(TPrinter::TContextState::InfoContext);
    MatchFontResolution();
    SetHandle(printer_.DeviceContext());
}

void TPrinterCanvas::MatchFontResolution() {
    HDC dc = printer_.DeviceContext();
    if (!dc) return;
    const int printerPpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (printerPpi == fontPixelsPerInch_ || printerPpi <= 0) return;
    // Keep the point size: the height in pixels follows the new resolution.
    TFont& font = Font();
    const int pointSize = -MulDiv(font.Height, 72, fontPixelsPerInch_);
    fontPixelsPerInch_ = printerPpi;
    font.Height = -MulDiv(pointSize, fontPixelsPerInch_, 72);
    font.Changed();
}
