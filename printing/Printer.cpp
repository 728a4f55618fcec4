#include "printing/Printer.h"

#include "printing/PrinterCanvas.h"
#include "printing/SpoolerErrors.h"
#include "rtl/Format.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

void PumpThreadMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the program's own message loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TProcessMessages g_pump = &PumpThreadMessages;

// GDI calls this while the spooler works; the program stays responsive and never asks
// to stop.
BOOL CALLBACK ContinuePrinting(HDC, int) {
    g_pump();
    return TRUE;
}

void FreeDeviceMode(HGLOBAL& handle, DEVMODEA*& locked) {
    if (!handle) return;
    if (locked) GlobalUnlock(handle);
    GlobalFree(handle);
    handle = nullptr;
    locked = nullptr;
}

}  // namespace

void SetPrintingMessagePump(TProcessMessages pump) { g_pump = pump ? pump : &PumpThreadMessages; }

TPrinter::TPrinter() = default;

TPrinter::~TPrinter() {
    try {
        if (isPrinting_) FinishJob();
        SetContextState(TContextState::NoContext);
    } catch (...) {
        // Destruction must go on: release what is held below.
    }
    printers_.reset();
    canvas_.reset();
    if (dc_) DeleteDC(dc_);
    if (printerHandle_) ClosePrinter(printerHandle_);
    FreeDeviceMode(deviceModeHandle_, deviceMode_);
}

const std::vector<TPrinter::TPrinterEntry>& TPrinter::PrinterList() {
    if (!printers_) printers_ = std::make_unique<std::vector<TPrinterEntry>>(BuildPrinterList());
    return *printers_;
}

int TPrinter::SelectedPrinter() {
    if (selectedPrinter_ == -1) SelectDefaultPrinter();
    return selectedPrinter_;
}

void TPrinter::RequireJobState(bool printingWanted) {
    if (isPrinting_ == printingWanted) return;
    throw EPrinter(LoadResString(printingWanted ? res::SNotPrinting : res::SPrinting));
}

void TPrinter::DiscardContext() {
    if (canvas_) canvas_->SetHandle(nullptr);
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
}

void TPrinter::SetContextState(TContextState target) {
    if (target == contextState_) return;
    if (target == TContextState::NoContext) {
        RequireJobState(false);
        DiscardContext();
        contextState_ = target;
        return;
    }
    // A device context answers every query an information context would.
    if (target == TContextState::InfoContext && contextState_ == TContextState::DrawingContext) return;
    if (target == TContextState::DrawingContext) DiscardContext();
    CreateContext(target);
}

void TPrinter::CreateContext(TContextState target) {
    const TPrinterDevice& device = *PrinterList()[SelectedPrinter()].second;
    const auto create = target == TContextState::DrawingContext ? &CreateDCA : &CreateICA;
    // An empty name is passed as none: an empty output name would be taken for a file.
    auto nameOrNone = [](const std::string& name) { return name.empty() ? nullptr : name.c_str(); };
    HDC dc = create(nameOrNone(device.DriverName), device.DeviceName.c_str(), nameOrNone(device.PortName),
                    deviceMode_);
    if (!dc) {
        // Whatever context was held is gone: say so, so the next query tries again.
        DiscardContext();
        contextState_ = TContextState::NoContext;
        throw EPrinter(LoadResString(res::SInvalidPrinter));
    }
    dc_ = dc;
    if (canvas_) canvas_->SetHandle(dc_);
    contextState_ = target;
}

int TPrinter::DeviceIndex(const std::string& driver, const std::string& device,
                          const std::string& port) {
    PrinterList();
    for (size_t i = 0; i < printers_->size(); ++i) {
        TPrinterDevice& entry = *(*printers_)[i].second;
        if (entry.IsSameDevice(driver, device, port)) {
            entry.PortName = port;
            return static_cast<int>(i);
        }
    }
    printers_->emplace_back(Format(LoadResString(res::SPrinterOnPort), {device, port}),
                            std::make_unique<TPrinterDevice>(driver, device, port));
    return static_cast<int>(printers_->size() - 1);
}

void TPrinter::SelectPrinter(const std::string& device, const std::string& driver,
                             const std::string& port, HGLOBAL devMode) {
    RequireJobState(false);
    if (devMode != deviceModeHandle_) {
        FreeDeviceMode(deviceModeHandle_, deviceMode_);
        deviceModeHandle_ = devMode;
    }
    if (deviceModeHandle_ && !deviceMode_)
        deviceMode_ = static_cast<DEVMODEA*>(GlobalLock(deviceModeHandle_));
    if (printerHandle_) {
        ClosePrinter(printerHandle_);
        printerHandle_ = nullptr;
    }
    SetContextState(TContextState::NoContext);
    selectedPrinter_ = DeviceIndex(driver, device, port);

    std::string name = device;  // OpenPrinterA wants a writable name
    if (!OpenPrinterA(name.data(), &printerHandle_, nullptr)) {
        printerHandle_ = nullptr;
        return;
    }
    if (deviceModeHandle_) return;
    // No settings were handed over: take the driver's current defaults.
    const LONG size = DocumentPropertiesA(nullptr, printerHandle_, name.data(), nullptr, nullptr, 0);
    if (size <= 0) return;
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
    if (!handle) return;
    auto* settings = static_cast<DEVMODEA*>(GlobalLock(handle));
    if (!settings ||
        DocumentPropertiesA(nullptr, printerHandle_, name.data(), settings, nullptr, DM_OUT_BUFFER) < 0) {
        if (settings) GlobalUnlock(handle);
        GlobalFree(handle);
        return;
    }
    deviceModeHandle_ = handle;
    deviceMode_ = settings;
}

void TPrinter::GetCurrentDevice(char* device, char* driver, char* port, size_t size,
                                HGLOBAL& devMode) {
    const TPrinterDevice& current = *PrinterList()[SelectedPrinter()].second;
    lstrcpynA(device, current.DeviceName.c_str(), static_cast<int>(size));
    lstrcpynA(driver, current.DriverName.c_str(), static_cast<int>(size));
    lstrcpynA(port, current.PortName.c_str(), static_cast<int>(size));
    devMode = deviceModeHandle_;
}

void TPrinter::RequireDeviceSettings() {
    SelectedPrinter();
    if (!deviceMode_) throw EPrinter(LoadResString(res::SPrinterNotSupported));
}

int TPrinter::CopyCount() {
    RequireDeviceSettings();
    return deviceMode_->dmCopies;
}

void TPrinter::SetCopyCount(int value) {
    RequireJobState(false);
    RequireDeviceSettings();
    SetContextState(TContextState::NoContext);
    deviceMode_->dmCopies = static_cast<short>(value);
}

void TPrinter::SetPageOrientation(TPrinterOrientation value) {
    RequireJobState(false);
    RequireDeviceSettings();
    SetContextState(TContextState::NoContext);
    deviceMode_->dmOrientation = static_cast<short>(value);
}

int TPrinter::PrintableWidth() {
    SetContextState(TContextState::InfoContext);
    return GetDeviceCaps(dc_, HORZRES);
}

int TPrinter::PrintableHeight() {
    SetContextState(TContextState::InfoContext);
    return GetDeviceCaps(dc_, VERTRES);
}

TPrinterCanvas& TPrinter::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(*this);
    return *canvas_;
}

void TPrinter::StartJob() {
    RequireJobState(false);
    SetContextState(TContextState::DrawingContext);
    TPrinterCanvas& canvas = Canvas();
    canvas.ReleaseObjects();
    canvas.MatchFontResolution();
    isPrinting_ = true;

    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = JobTitle.c_str();
    SetAbortProc(dc_, &ContinuePrinting);
    // A job the spooler refused would print nothing while the sheet reported success:
    // the job is not open then, and the spooler's error is raised.
    if (StartDocA(dc_, &info) <= 0) {
        const DWORD error = GetLastError();
        DropJob(false);
        RaiseOSError(error);
    }
    if (StartPage(dc_) <= 0) {
        const DWORD error = GetLastError();
        DropJob(true);
        RaiseOSError(error);
    }
}

void TPrinter::FinishJob() {
    RequireJobState(true);
    SetLastError(0);
    if (EndPage(dc_) <= 0) {
        // The spooler may still hold the page: ending the document could print it while
        // the user is told it failed, and a second try would print it twice.
        const DWORD pageError = GetLastError();
        DropJob(true);
        RaiseOSError(pageError);
    }
    SetLastError(0);
    const bool documentEnded = EndDoc(dc_) > 0;
    const DWORD documentError = GetLastError();
    isPrinting_ = false;
    if (!documentEnded) RaiseOSError(documentError);
}

void TPrinter::AbandonJob() {
    if (isPrinting_) DropJob(true);
}

void TPrinter::DropJob(bool documentOpen) {
    if (canvas_) canvas_->ReleaseObjects();
    if (documentOpen) AbortDoc(dc_);
    isPrinting_ = false;
    // The context saw a document that did not end well; the next job starts from a fresh one.
    SetContextState(TContextState::NoContext);
}

namespace {
std::unique_ptr<TPrinter>& GlobalPrinter() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}
}  // namespace

bool PrintJobOpen() {
    const auto& printer = GlobalPrinter();
    return printer && printer->IsPrinting();
}

TPrinter* Printer() {
    auto& printer = GlobalPrinter();
    if (!printer) printer = std::make_unique<TPrinter>();
    return printer.get();
}

void FinalizePrintingModule() { GlobalPrinter().reset(); }
