// The program's single connection to the print spooler: the installed printers, the
// current printer with its device settings, the device context queries and printing need,
// and at most one one-page print job.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "printing/PrinterDevice.h"
#include "rtl/Object.h"

class TPrinterCanvas;

enum class TPrinterOrientation { poPortrait = DMORIENT_PORTRAIT, poLandscape = DMORIENT_LANDSCAPE };

class TPrinter : public TObject {
public:
    enum class TContextState { NoContext, InfoContext, DrawingContext };
    // One entry of the printer list: the text shown for it and the device it names.
    using TPrinterEntry = std::pair<std::string, std::unique_ptr<TPrinterDevice>>;

    TPrinter();
    ~TPrinter() override;  // finishes a job still open
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;
    const char* ClassName() const noexcept override { return "TPrinter"; }

    const std::vector<TPrinterEntry>& PrinterList();
    int SelectedPrinter();  // selects the default printer when none is chosen yet
    void SelectDefaultPrinter();
    // `devMode` (movable global memory, or none) becomes the printer object's own.
    void SelectPrinter(const std::string& device, const std::string& driver,
                       const std::string& port, HGLOBAL devMode);
    // Copies the current printer's names into buffers of `size` bytes each; the handle
    // stays the printer object's.
    void GetCurrentDevice(char* device, char* driver, char* port, size_t size, HGLOBAL& devMode);

    int CopyCount();
    void SetCopyCount(int value);
    void SetPageOrientation(TPrinterOrientation value);
    int PrintableWidth();
    int PrintableHeight();

    void StartJob();
    void FinishJob();
    // Ends an open job without printing its page (AbortDoc) and returns to the idle state.
    void AbandonJob();
    bool IsPrinting() const { return isPrinting_; }

    TPrinterCanvas& Canvas();
    void RequireJobState(bool printingWanted);
    void SetContextState(TContextState target);
    TContextState ContextState() const { return contextState_; }
    HDC DeviceContext() const { return dc_; }
    const DEVMODEA* DeviceMode() const { return deviceMode_; }
    HGLOBAL DeviceModeHandle() const { return deviceModeHandle_; }

    std::string JobTitle;

private:
    // Ends a job that cannot go on: aborts its document when one is open, and leaves the
    // printer idle with no context, so that the next job gets a fresh one.
    void DropJob(bool documentOpen);
    void DiscardContext();
    void CreateContext(TContextState target);
    std::vector<TPrinterEntry> BuildPrinterList();
    int DeviceIndex(const std::string& driver, const std::string& device, const std::string& port);
    void RequireDeviceSettings();

    std::unique_ptr<TPrinterCanvas> canvas_;
    std::unique_ptr<std::vector<TPrinterEntry>> printers_;
    int selectedPrinter_ = -1;
    bool isPrinting_ = false;
    TContextState contextState_ = TContextState::NoContext;
    HDC dc_ = nullptr;
    DEVMODEA* deviceMode_ = nullptr;
    HGLOBAL deviceModeHandle_ = nullptr;
    HANDLE printerHandle_ = nullptr;
};

// Systems outside the NT family list a printer once per port of its comma-separated
// port list, shown as "printer. port".
void AppendPortEntries(std::vector<TPrinter::TPrinterEntry>& list, const std::string& printer,
                       const std::string& ports);

// The process's printer object, created on first use.
TPrinter* Printer();
// Whether the printer object has a job open (false when it has not been made). Set before
// the job's document starts, so the messages its abort procedure dispatches see it.
bool PrintJobOpen();
// Module finalisation: destroys the printer object if it was made (finishing an open job).
void FinalizePrintingModule();

// What the abort procedure runs while GDI spools a job: dispatch the pending messages.
// The window framework installs its own process-messages step; the default pumps the
// thread's queue.
using TProcessMessages = void (*)();
void SetPrintingMessagePump(TProcessMessages pump);
