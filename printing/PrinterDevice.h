// One known printer: the names the spooler and GDI need to reach it.
#pragma once
#include <string>
#include "rtl/Object.h"

class TPrinterDevice : public TObject {
public:
    TPrinterDevice(std::string driver, std::string device, std::string port)
        : DriverName(std::move(driver)), DeviceName(std::move(device)), PortName(std::move(port)) {}
    const char* ClassName() const noexcept override { return "TPrinterDevice"; }

    // The device name decides, byte for byte; a device without a port matches any port.
    // The driver name is not compared.
    bool IsSameDevice(const std::string& driver, const std::string& device,
                      const std::string& port) const {
        return DeviceName == device && (PortName.empty() || PortName == port);
    }

    std::string DriverName;
    std::string DeviceName;
    std::string PortName;
};
