#include "dialogs/OpenDialog.h"
#include <dlgs.h>
#include <algorithm>
#include <cstring>
#include "dialogs/DialogHost.h"
#include "framework/LayoutValues.h"

namespace {

constexpr DWORD kSingleCapacity = 260;
constexpr DWORD kMultiCapacity = 0xFFEF;
constexpr int kPathBuffer = 261;

// The platform's flag for each option, in TOpenOption order.
constexpr DWORD kOptionFlags[] = {
    OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR, OFN_SHOWHELP, OFN_NOVALIDATE,
    OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST, OFN_CREATEPROMPT,
    OFN_SHAREAWARE, OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON, OFN_NOLONGNAMES,
    OFN_EXPLORER, OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING, OFN_DONTADDTORECENT,
    OFN_FORCESHOWHIDDEN,
};

OSVERSIONINFOA PlatformVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version;
}

// Whether `text` ends in a "\" that is a character of its own, not the second byte of a
// double-byte character (0x5C is a valid Shift-JIS trail byte, as in "ソ").
bool EndsInDelimiter(const std::string& text, char delimiter = '\\') {
    bool last = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            ++i;
            last = false;
            continue;
        }
        last = text[i] == delimiter;
    }
    return last;
}

// The position of the last of `delimiters` that is a character of its own (a trail byte
// of a double-byte character is not one), or npos.
size_t LastDelimiter(const std::string& text, const char* delimiters) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (text[i] != '\0' && std::strchr(delimiters, text[i])) last = i;
    }
    return last;
}

// Whether the trailing delimiter follows a colon, as in a drive root ("C:\").
bool DelimiterFollowsColon(const std::string& text) {
    return text.size() >= 2 && text[text.size() - 2] == ':';
}

}  // namespace

std::string FilterToPlatform(const std::string& filter) {
    if (filter.empty()) return std::string();
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

std::vector<std::string> SplitFileNames(const char* buffer, size_t size, bool multiSelect, bool oldStyle) {
    const char separator = multiSelect && oldStyle ? ' ' : '\0';
    // Parts up to `size`; a NUL always ends the text of the old-style form.
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        const bool end = i == size || buffer[i] == '\0';
        if (i < size && buffer[i] != separator && !end) continue;
        parts.emplace_back(buffer + start, i - start);
        start = i + 1;
        if (end && (separator != '\0' || parts.back().empty())) break;
    }
    std::vector<std::string> files;
    if (!multiSelect) {
        files.push_back(parts[0]);
        return files;
    }
    if (parts.size() < 2 || parts[1].empty()) {
        files.push_back(parts[0]);
        return files;
    }
    std::string folder = parts[0];
    if (!EndsInDelimiter(folder)) folder += '\\';
    for (size_t i = 1; i < parts.size() && !parts[i].empty(); ++i) {
        const std::string& part = parts[i];
        const bool absolute = part[0] == '\\' || (part.size() >= 4 && part[1] == ':' && part[2] == '\\');
        files.push_back(absolute ? part : folder + part);
    }
    return files;
}

std::string NormalizeInitialDir(const std::string& value) {
    if (value.size() <= 1 || !EndsInDelimiter(value) || DelimiterFollowsColon(value)) return value;
    return value.substr(0, value.size() - 1);
}

TOpenDialog::TOpenDialog() = default;

void TOpenDialog::SetInitialDir(const std::string& value) { initialDir_ = NormalizeInitialDir(value); }

bool TOpenDialog::NewStyleDialogs() { return PlatformVersion().dwMajorVersion >= 4; }

DWORD TOpenDialog::RecordSize() {
    const OSVERSIONINFOA v = PlatformVersion();
    const bool full = (v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 5) ||
                      (v.dwPlatformId != VER_PLATFORM_WIN32_NT && v.dwMajorVersion >= 4 && v.dwMinorVersion >= 90);
    return full ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
}

bool TOpenDialog::OldStyle() const { return (Options & OptionBit(ofOldStyleDialog)) || !NewStyleDialogs(); }

void TOpenDialog::PrepareRecord(OpenFileRecord& out) const {
    OPENFILENAMEA& r = out.record;
    r = OPENFILENAMEA{};
    r.lStructSize = RecordSize();
    r.hInstance = GetModuleHandleA(nullptr);
    out.filter = FilterToPlatform(Filter);
    r.lpstrFilter = out.filter.c_str();
    r.nFilterIndex = static_cast<DWORD>(filterIndex_);

    const DWORD capacity = (Options & OptionBit(ofAllowMultiSelect)) ? kMultiCapacity : kSingleCapacity;
    out.file.assign(capacity + 2, '\0');
    std::copy_n(fileName_.begin(), std::min<size_t>(fileName_.size(), capacity), out.file.begin());
    r.lpstrFile = out.file.data();
    r.nMaxFile = capacity;
    out.initialDir = initialDir_;
    out.title = Title;
    r.lpstrInitialDir = out.initialDir.c_str();
    // No title means the platform's own ("開く"): Wine, unlike Windows, would caption the
    // dialog with an empty text given as such, so it is given as none.
    r.lpstrTitle = out.title.empty() ? nullptr : out.title.c_str();

    r.Flags = OFN_ENABLEHOOK;
    for (int option = ofReadOnly; option <= ofForceShowHidden; ++option)
        if (Options & OptionBit(option)) r.Flags |= kOptionFlags[option];
    if (NewStyleDialogs()) {
        r.Flags ^= OFN_EXPLORER;  // ofOldStyleDialog sets it above: set exactly without it
        if (r.lStructSize == sizeof(OPENFILENAMEA) && (OptionsEx & OptionBit(ofExNoPlacesBar)))
            r.FlagsEx = OFN_EX_NOPLACESBAR;
    } else {
        r.Flags &= ~static_cast<DWORD>(OFN_EXPLORER);
    }

    if (!DefaultExt.empty()) {
        out.defaultExt = DefaultExt;
    } else if (!(r.Flags & OFN_EXPLORER)) {
        // The old-style dialog keeps the extension of the name it starts with.
        const size_t dot = LastDelimiter(fileName_, ".");
        const size_t slash = LastDelimiter(fileName_, "\\:");
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            out.defaultExt = fileName_.substr(dot + 1);
    }
    r.lpstrDefExt = out.defaultExt.empty() ? nullptr : out.defaultExt.c_str();

    r.lpfnHook = OldStyle() ? &TCommonDialog::CentringHook : &TOpenDialog::ExplorerStyleHook;
    if (Template) {
        r.Flags |= OFN_ENABLETEMPLATE;
        r.lpTemplateName = Template;
    }
    r.hwndOwner = DialogOwner();
}

bool TOpenDialog::Execute(BOOL(WINAPI* dialogFunction)(LPOPENFILENAMEA)) {
    files_.clear();
    OpenFileRecord prepared;
    PrepareRecord(prepared);
    OPENFILENAMEA& record = prepared.record;
    currentFilterIndex_ = filterIndex_;
    running_ = &record;
    BOOL answer;
    try {
        answer = RunTaskModal(record.hwndOwner, [&] { return dialogFunction(&record); });
    } catch (...) {
        running_ = nullptr;
        throw;
    }
    running_ = nullptr;
    if (!answer) return false;
    CollectFileNames(prepared.file.data(), prepared.file.size());
    auto put = [this](int option, bool on) {
        if (on) Options |= OptionBit(option);
        else Options &= ~OptionBit(option);
    };
    put(ofExtensionDifferent, record.Flags & OFN_EXTENSIONDIFFERENT);
    put(ofReadOnly, record.Flags & OFN_READONLY);
    filterIndex_ = static_cast<int32_t>(record.nFilterIndex);
    return true;
}

bool TOpenDialog::RunModal() { return Execute(&GetOpenFileNameA); }

void TOpenDialog::CollectFileNames(const char* buffer, size_t size) {
    files_ = SplitFileNames(buffer, size, (Options & OptionBit(ofAllowMultiSelect)) != 0, OldStyle());
    fileName_ = files_.empty() ? std::string() : files_.front();
}

std::string TOpenDialog::FileName() const {
    if (Handle() && !OldStyle()) {
        char path[kPathBuffer] = {};
        const LRESULT length =
            SendMessageA(GetParent(Handle()), CDM_GETFILEPATH, kPathBuffer, reinterpret_cast<LPARAM>(path));
        // No answer (a folder or another item that is not a file) means no name: the stored
        // one is the last run's, not this selection's.
        return length > 0 ? std::string(path, strnlen(path, kPathBuffer)) : std::string();
    }
    return fileName_;
}

int32_t TOpenDialog::FilterIndex() const { return Handle() ? currentFilterIndex_ : filterIndex_; }

TRect TOpenDialog::TemplateAreaRect() const {
    HWND window = Handle();
    if (!window) return Rect(0, 0, 0, 0);
    RECT r{};
    if (OldStyle()) {
        GetClientRect(window, &r);
    } else if (HWND area = GetDlgItem(window, stc32)) {
        GetWindowRect(area, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    }
    return Rect(r.left, r.top, r.right, r.bottom);
}

UINT_PTR CALLBACK TOpenDialog::ExplorerStyleHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        AttachDialogBeingCreated(window, wParam, lParam);
    } else if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(CDN_INITDONE)) {
        CentreOnMonitor(GetParent(window));
    }
    return 0;
}

LRESULT TOpenDialog::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool answered = false;
    if (message == WM_INITDIALOG && !OldStyle()) return 0;  // DialogShown waits for CDN_INITDONE
    if (message == WM_NOTIFY) {
        const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
        switch (notify->hdr.code) {
        case CDN_INITDONE:
            DialogShown();
            break;
        case CDN_SELCHANGE:
            SelectionChanged();
            break;
        case CDN_FOLDERCHANGE:
            FolderChanged();
            break;
        case CDN_TYPECHANGE: {
            const OPENFILENAMEA* record = running_ ? running_ : notify->lpOFN;
            if (record && static_cast<int32_t>(record->nFilterIndex) != currentFilterIndex_) {
                currentFilterIndex_ = static_cast<int32_t>(record->nFilterIndex);
                FileTypeChanged();
            }
            break;
        }
        case CDN_FILEOK: {
            const OPENFILENAMEA* record = running_ ? running_ : notify->lpOFN;
            if (record && record->lpstrFile) CollectFileNames(record->lpstrFile, record->nMaxFile + 2);
            const bool close = ConfirmClose();
            files_.clear();
            if (!close) {
                SetWindowLongPtrA(window, DWLP_MSGRESULT, 1);
                return 1;  // the dialog stays open
            }
            break;
        }
        case CDN_INCLUDEITEM:
            if (lParam) {
                result = IncludeItemQuery(*reinterpret_cast<const OFNOTIFYEXA*>(lParam)) ? 1 : 0;
                answered = true;
            }
            break;
        default:
            break;
        }
    }
    const LRESULT passed = TCommonDialog::RouteMessage(window, message, wParam, lParam);
    return answered ? result : passed;
}

void TOpenDialog::SelectionChanged() {
    if (OnSelectionChange) OnSelectionChange(this);
}

void TOpenDialog::FolderChanged() {
    if (OnFolderChange) OnFolderChange(this);
}

void TOpenDialog::FileTypeChanged() {
    if (OnTypeChange) OnTypeChange(this);
}

bool TOpenDialog::ConfirmClose() {
    bool canClose = true;
    if (OnCanClose) OnCanClose(this, canClose);
    return canClose;
}

bool TOpenDialog::IncludeItemQuery(const OFNOTIFYEXA& item) {
    bool include = true;
    if (OnIncludeItem) OnIncludeItem(this, item, include);
    return include;
}

bool TOpenDialog::SetLayoutProperty(const std::string& property, const std::string& value) {
    if (property == "FileName") fileName_ = value;
    else if (property == "Filter") Filter = value;
    else if (property == "FilterIndex") filterIndex_ = LayoutInteger(value);
    else if (property == "InitialDir") SetInitialDir(value);
    else if (property == "Title") Title = value;
    else if (property == "DefaultExt") DefaultExt = value;
    else if (property == "FileEditStyle") {
        // Obsolete: older layouts still carry it; it has no effect.
    } else return TCommonDialog::SetLayoutProperty(property, value);
    return true;
}
