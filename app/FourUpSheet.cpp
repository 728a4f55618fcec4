#include "app/FourUpSheet.h"

#include "app/FourUpSheetLayout.h"
#include "dialogs/PrintDialog.h"
#include "graphics/Picture.h"
#include "graphics/ReducedPicture.h"
#include "printing/Printer.h"
#include "printing/PrinterCanvas.h"

namespace {

// Holds the sheet's job: a failure before FinishJob abandons it, so nothing half-drawn
// is printed and the printer is ready for the next sheet.
class SheetJob {
public:
    explicit SheetJob(TPrinter& printer) : printer_(printer) { printer_.StartJob(); }
    ~SheetJob() {
        if (printer_.IsPrinting()) {
            try {
                printer_.AbandonJob();
            } catch (...) {
                // The error that got us here is the one to report.
            }
        }
    }
    SheetJob(const SheetJob&) = delete;
    SheetJob& operator=(const SheetJob&) = delete;

private:
    TPrinter& printer_;
};

}  // namespace

// The printer's own job state: it is up before the job's document starts, which already
// dispatches messages.
bool SheetPrintInProgress() { return PrintJobOpen(); }

void PrintFourUpSheet(TPrintDialog& dialog, TPicture* const slots[4]) {
    if (!dialog.RunModal()) return;
    TPrinter& printer = *Printer();
    printer.SetPageOrientation(TPrinterOrientation::poLandscape);
    SheetJob job(printer);
    const TSheetCell cell = SheetCellSize(printer.PrintableWidth(), printer.PrintableHeight());
    for (int slot = 0; slot < 4; ++slot) {
        TGraphic* graphic = slots[slot] ? slots[slot]->Graphic() : nullptr;
        if (!graphic) continue;
        const int32_t width = graphic->Width();
        const int32_t height = graphic->Height();
        if (!SheetSlotDrawn(width, height)) continue;
        // A photo goes to the printer at the size of its cell in device pixels: the driver
        // would otherwise write all of its pixels into the job for the printer to scale down.
        StretchGraphicReduced(printer.Canvas(), SheetTargetRect(slot, cell, width, height), graphic);
    }
    printer.FinishJob();
}
