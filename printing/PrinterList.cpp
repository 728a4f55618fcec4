// The printer list and the choice of the system's default printer.
#include <memory>
#include <vector>

#include "printing/Printer.h"
#include "printing/SpoolerErrors.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

namespace {

bool IsNtFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return true;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The enumeration's answer at `level`, or an empty buffer when there is none.
std::vector<BYTE> EnumeratePrinters(DWORD flags, DWORD level, DWORD& count) {
    count = 0;
    DWORD needed = 0;
    EnumPrintersA(flags, nullptr, level, nullptr, 0, &needed, &count);
    if (needed == 0) return {};
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(flags, nullptr, level, buffer.data(), needed, &needed, &count)) {
        count = 0;
        return {};
    }
    return buffer;
}

bool SameTextLocale(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                          b.c_str(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

std::vector<TPrinter::TPrinterEntry> TPrinter::BuildPrinterList() {
    std::vector<TPrinterEntry> list;
    DWORD count = 0;
    if (IsNtFamily()) {
        const std::vector<BYTE> buffer =
            EnumeratePrinters(PRINTER_ENUM_CONNECTIONS | PRINTER_ENUM_LOCAL, 4, count);
        const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            const std::string name = info[i].pPrinterName ? info[i].pPrinterName : "";
            list.emplace_back(name, std::make_unique<TPrinterDevice>("", name, ""));
        }
        return list;
    }
    const std::vector<BYTE> buffer = EnumeratePrinters(PRINTER_ENUM_LOCAL, 5, count);
    const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        AppendPortEntries(list, info[i].pPrinterName ? info[i].pPrinterName : "",
                          info[i].pPortName ? info[i].pPortName : "");
    return list;
}

void AppendPortEntries(std::vector<TPrinter::TPrinterEntry>& list, const std::string& printer,
                       const std::string& ports) {
    size_t pos = 0;
    for (std::string port = NextListItem(ports, pos); !port.empty(); port = NextListItem(ports, pos))
        list.emplace_back(Format(LoadResString(res::SPrinterOnPort), {printer, port}),
                          std::make_unique<TPrinterDevice>("", printer, port));
}

void TPrinter::SelectDefaultPrinter() {
    DWORD needed = 0, count = 0;
    if (!EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 5, nullptr, 0, &needed, &count)) {
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER) {
            if (error == ERROR_INVALID_NAME) throw EPrinter(LoadResString(res::SNoDefaultPrinter));
            RaiseOSError(error);
        }
    }
    std::vector<BYTE> buffer(needed);
    count = 0;
    std::string name;
    if (needed && EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 5, buffer.data(), needed, &needed, &count) &&
        count > 0) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
        if (info->pPrinterName) name = info->pPrinterName;
    } else {
        // The spooler names no default: the system profile does ("name,driver,port").
        char device[1024] = {};
        GetProfileStringA("windows", "device", "", device, 1023);
        size_t pos = 0;
        name = NextListItem(device, pos);
    }
    for (const TPrinterEntry& entry : PrinterList()) {
        const TPrinterDevice& device = *entry.second;
        if (SameTextLocale(device.DeviceName, name)) {
            const std::string deviceName = device.DeviceName, driver = device.DriverName,
                              port = device.PortName;
            SelectPrinter(deviceName, driver, port, nullptr);
            return;
        }
    }
    throw EPrinter(LoadResString(res::SNoDefaultPrinter));
}
