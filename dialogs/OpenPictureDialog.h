// The picture-open dialog (stand-in until the dialog with its preview strip exists): the
// system's open-file dialog over every registered picture format.
#pragma once
#include <string>
#include "framework/Component.h"

class TOpenPictureDialog : public TComponent {
public:
    TOpenPictureDialog();
    const char* ClassName() const noexcept override { return "TOpenPictureDialog"; }

    // Runs the dialog with the program's windows disabled; true when the user chose a file.
    // A cancelled run leaves FileName and FilterIndex as they were.
    bool RunModal();
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value) { fileName_ = value; }

    std::string Filter;   // pairs separated by "|"; BuildFileFilter of every graphic at creation
    int32_t FilterIndex = 1;

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;

private:
    std::string fileName_;
};

// The filter as the system wants it: a NUL appended and every "|" replaced by NUL (double-
// byte aware), so that with its terminator it ends in two NULs; empty for an empty filter.
std::string FilterToPlatform(const std::string& filter);
