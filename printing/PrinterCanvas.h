// The printer's drawing surface: draws only inside a job, and takes the printer's
// device context as its own.
#pragma once
#include "graphics/Canvas.h"

class TPrinter;

class TPrinterCanvas : public TCanvas {
public:
    explicit TPrinterCanvas(TPrinter& printer);
    const char* ClassName() const noexcept override { return "TPrinterCanvas"; }

    // Before every drawing: a job must be open; then the before-change handler and the
    // font's resolution follows the printer's.
    void Changing() override;
    // Keeps the font's height in pixels in step with the printer's resolution.
    void MatchFontResolution();
    // Deselects the font, pen and brush so that the next drawing selects them again.
    void ReleaseObjects() { DeselectHandles(); }

protected:
    void CreateHandle() override;

private:
    TPrinter& printer_;
    int fontPixelsPerInch_;
};
