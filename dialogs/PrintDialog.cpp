#include "dialogs/PrintDialog.h"

#include <commdlg.h>
#include <cstring>
#include <string>

#include "dialogs/DialogHost.h"
#include "dialogs/GlobalBlock.h"
#include "printing/Printer.h"
#include "rtl/Exceptions.h"
#include "rtl/ResourceStrings.h"

namespace {

constexpr size_t kNameBuffer = 1024;

struct DeviceNames {
    std::string driver, device, port;
};

DeviceNames ReadDevNames(HGLOBAL handle) {
    DeviceNames names;
    const auto* block = static_cast<const char*>(GlobalLock(handle));
    if (!block) return names;
    const SIZE_T size = GlobalSize(handle);
    if (size < sizeof(DEVNAMES)) {
        GlobalUnlock(handle);
        return names;
    }
    const auto* header = reinterpret_cast<const DEVNAMES*>(block);
    // Offsets come from the system dialog; never read outside the block.
    auto nameAt = [&](WORD offset) -> std::string {
        if (offset >= size) return {};
        return std::string(block + offset, strnlen(block + offset, size - offset));
    };
    names.driver = nameAt(header->wDriverOffset);
    names.device = nameAt(header->wDeviceOffset);
    names.port = nameAt(header->wOutputOffset);
    GlobalUnlock(handle);
    return names;
}

}  // namespace

HGLOBAL CopyGlobalBlock(HGLOBAL source) {
    if (!source) return nullptr;
    const SIZE_T size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!copy) throw EOutOfMemory(LoadResString(res::SOutOfMemory));
    void* to = GlobalLock(copy);
    const void* from = GlobalLock(source);
    if (to && from) std::memcpy(to, from, size);
    if (from) GlobalUnlock(source);
    if (to) GlobalUnlock(copy);
    return copy;
}

HGLOBAL BuildDevNames(const char* driver, const char* device, const char* port) {
    const size_t driverLength = std::strlen(driver), deviceLength = std::strlen(device),
                 portLength = std::strlen(port);
    const size_t size = sizeof(DEVNAMES) + driverLength + deviceLength + portLength + 3;
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!handle) return nullptr;
    auto* block = static_cast<char*>(GlobalLock(handle));
    if (!block) {
        GlobalFree(handle);
        return nullptr;
    }
    auto* names = reinterpret_cast<DEVNAMES*>(block);
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driverLength + 1);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + deviceLength + 1);
    names->wDefault = 0;
    std::memcpy(block + names->wDriverOffset, driver, driverLength);
    std::memcpy(block + names->wDeviceOffset, device, deviceLength);
    std::memcpy(block + names->wOutputOffset, port, portLength);
    GlobalUnlock(handle);
    return handle;
}

DWORD TPrintDialog::DialogFlags() const {
    static const DWORD kRangeFlags[] = {PD_ALLPAGES, PD_SELECTION, PD_PAGENUMS};
    DWORD flags = kRangeFlags[PrintRange] | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
    if (Collate) flags |= PD_COLLATE;
    if (!(Options & poPrintToFile)) flags |= PD_HIDEPRINTTOFILE;
    if (!(Options & poPageNums)) flags |= PD_NOPAGENUMS;
    if (!(Options & poSelection)) flags |= PD_NOSELECTION;
    if (Options & poDisablePrintToFile) flags |= PD_DISABLEPRINTTOFILE;
    if (PrintToFile) flags |= PD_PRINTTOFILE;
    if (Options & poHelp) flags |= PD_SHOWHELP;
    if (!(Options & poWarning)) flags |= PD_NOWARNING;
    return flags;
}

void TPrintDialog::SetCopies(int value) {
    copies_ = value;
    Printer()->SetCopyCount(value);
}

bool TPrintDialog::RunModal() {
    PRINTDLGA record{};
    record.lStructSize = sizeof(record);
    record.hInstance = GetModuleHandleA(nullptr);

    char device[kNameBuffer], driver[kNameBuffer], port[kNameBuffer];
    HGLOBAL printerSettings = nullptr;
    TPrinter* printer = Printer();
    printer->GetCurrentDevice(device, driver, port, kNameBuffer, printerSettings);
    // The dialog gets copies; the printer's own block never leaves the printer object.
    GlobalBlock devNames(printerSettings ? BuildDevNames(driver, device, port) : nullptr);
    GlobalBlock devMode(CopyGlobalBlock(printerSettings));

    record.hDevNames = devNames.get();
    record.hDevMode = devMode.get();
    record.Flags = DialogFlags();
    record.nFromPage = static_cast<WORD>(FromPage);
    record.nToPage = static_cast<WORD>(ToPage);
    record.nMinPage = static_cast<WORD>(MinPage);
    record.nMaxPage = static_cast<WORD>(MaxPage);
    record.lpfnPrintHook = reinterpret_cast<LPPRINTHOOKPROC>(&TCommonDialog::CentringHook);
    record.lpfnSetupHook = reinterpret_cast<LPSETUPHOOKPROC>(&TCommonDialog::CentringHook);
    record.hwndOwner = DialogOwner();
    record.lCustData = 0;

    const bool confirmed = RunTaskModal(record.hwndOwner, [&] { return PrintDlgA(&record); }) != FALSE;
    // The system dialog may have replaced both blocks; from here on we own its ones.
    devNames.reset(record.hDevNames);
    devMode.reset(record.hDevMode);
    if (!confirmed) return false;

    if (devNames.get()) {
        const DeviceNames chosen = ReadDevNames(devNames.get());
        // From here the settings block belongs to the printer object, if it took it.
        HGLOBAL settings = devMode.release();
        try {
            printer->SelectPrinter(chosen.device, chosen.driver, chosen.port, settings);
        } catch (...) {
            if (settings && printer->DeviceModeHandle() != settings) GlobalFree(settings);
            throw;
        }
    }
    Collate = (record.Flags & PD_COLLATE) != 0;
    PrintToFile = (record.Flags & PD_PRINTTOFILE) != 0;
    if (record.Flags & PD_SELECTION)
        PrintRange = prSelection;
    else if (record.Flags & PD_PAGENUMS)
        PrintRange = prPageNums;
    else
        PrintRange = prAllPages;
    FromPage = record.nFromPage;
    ToPage = record.nToPage;
    SetCopies(record.nCopies != 1 ? record.nCopies : printer->CopyCount());
    return true;
}
