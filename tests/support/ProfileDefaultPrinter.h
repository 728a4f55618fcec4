// The spooler under Wine names no default printer, so the profile's "device" value
// ("windows" section) does: this replaces it for one test and puts it back afterwards.
#pragma once
#include <windows.h>
#include <string>

class ProfileDefaultPrinter {
public:
    explicit ProfileDefaultPrinter(const char* device) {
        // Wine's spooler sets the value from CUPS when it is first loaded in the session; loaded
        // here first, it cannot overwrite the replacement in a program started after this.
        LoadLibraryA("winspool.drv");
        char old[1024] = {};
        had_ = GetProfileStringA("windows", "device", "", old, sizeof old) > 0;
        old_ = old;
        WriteProfileStringA("windows", "device", device);
    }
    ~ProfileDefaultPrinter() { WriteProfileStringA("windows", "device", had_ ? old_.c_str() : nullptr); }
    ProfileDefaultPrinter(const ProfileDefaultPrinter&) = delete;
    ProfileDefaultPrinter& operator=(const ProfileDefaultPrinter&) = delete;

private:
    bool had_ = false;
    std::string old_;
};
