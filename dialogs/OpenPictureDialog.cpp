#include "dialogs/OpenPictureDialog.h"
#include <windows.h>
#include <commdlg.h>
#include <algorithm>
#include <vector>
#include "framework/Application.h"
#include "framework/TaskWindows.h"
#include "graphics/Picture.h"

namespace {
constexpr DWORD kFileNameCapacity = 260;
}

std::string FilterToPlatform(const std::string& filter) {
    if (filter.empty()) return std::string();
    // One NUL more; with the string's own terminator the text ends in the two NULs the
    // system wants.
    std::string out = filter;
    out.push_back('\0');
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(out[i])) && i + 1 < out.size()) {
            ++i;  // a trail byte equal to "|" is part of its character
            continue;
        }
        if (out[i] == '|') out[i] = '\0';
    }
    return out;
}

TOpenPictureDialog::TOpenPictureDialog() : Filter(GraphicFilter(&TGraphic::ClassInfo)) {}

bool TOpenPictureDialog::RunModal() {
    std::string filter = FilterToPlatform(Filter);
    std::vector<char> buffer(kFileNameCapacity + 2, '\0');
    fileName_.copy(buffer.data(), std::min<size_t>(fileName_.size(), kFileNameCapacity));

    OPENFILENAMEA record{};
    record.lStructSize = sizeof record;
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = static_cast<DWORD>(FilterIndex);
    record.lpstrFile = buffer.data();
    record.nMaxFile = kFileNameCapacity;
    record.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    HWND active = GetActiveWindow();
    record.hwndOwner = active ? active : (ApplicationExists() ? Application().Handle() : nullptr);

    BOOL confirmed;
    {
        // Every window of the program is out of reach while the dialog shows.
        TaskWindowsDisabled disabled;
        confirmed = GetOpenFileNameA(&record);
    }
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (!confirmed) return false;
    fileName_ = buffer.data();
    FilterIndex = static_cast<int32_t>(record.nFilterIndex);
    return true;
}

bool TOpenPictureDialog::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "FileName") fileName_ = value;
    else if (property == "Filter") Filter = value;
    else return false;
    return true;
}
