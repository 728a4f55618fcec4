// The open-file dialog: the platform's explorer-style open dialog run modally, with its
// options, filter and file-name buffer, its notifications while it is open, and the file
// or files the user confirmed.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <functional>
#include <string>
#include <vector>
#include "dialogs/CommonDialog.h"
#include "rtl/Object.h"

// Bit positions in TOpenDialog::Options.
enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
    ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
    ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
    ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
    ofDontAddToRecent, ofForceShowHidden,
};
enum TOpenOptionEx { ofExNoPlacesBar };
constexpr uint32_t OptionBit(int option) { return 1u << option; }

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
using TIncludeItemEvent = std::function<void(TObject* sender, const OFNOTIFYEXA& item, bool& include)>;

// What one run hands the platform: the record and the texts it points into.
struct OpenFileRecord {
    OPENFILENAMEA record{};
    std::string filter, initialDir, title, defaultExt;
    std::vector<char> file;
};

class TOpenDialog : public TCommonDialog {
public:
    TOpenDialog();
    const char* ClassName() const noexcept override { return "TOpenDialog"; }

    bool RunModal() override;

    // While the dialog is open, the current selection's full path; else the stored name.
    std::string FileName() const;
    void SetFileName(const std::string& value) { fileName_ = value; }
    // While the dialog is open, the pair selected now; else the stored index.
    int32_t FilterIndex() const;
    void SetFilterIndex(int32_t value) { filterIndex_ = value; }
    const std::string& InitialDir() const { return initialDir_; }
    // Stored without a trailing "\", except a one-character text or a drive root.
    void SetInitialDir(const std::string& value);
    // Every file of the last confirmed run.
    const std::vector<std::string>& Files() const { return files_; }

    uint32_t Options = OptionBit(ofHideReadOnly) | OptionBit(ofEnableSizing);
    uint32_t OptionsEx = 0;
    std::string Filter;
    std::string Title;
    std::string DefaultExt;
    TCloseQueryEvent OnCanClose;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnTypeChange;
    TIncludeItemEvent OnIncludeItem;

    // The rectangle of the template's stc32 item in the child window's client
    // coordinates; the whole client area of an old-style dialog; empty while closed.
    TRect TemplateAreaRect() const;

    // Fills `out` as a run would, for the platform versions this process runs on.
    void PrepareRecord(OpenFileRecord& out) const;
    // The explorer-style dialog exists (platform major version 4 or more).
    static bool NewStyleDialogs();
    // The record size this platform version takes: the whole record from NT 5 and ME on,
    // else without its last three fields.
    static DWORD RecordSize();

    bool SetLayoutProperty(const std::string& property, const std::string& value) override;

protected:
    // Runs the prepared record through `dialogFunction` and stores the result.
    bool Execute(BOOL(WINAPI* dialogFunction)(LPOPENFILENAMEA));
    LRESULT RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Takes FileName and the file list from a returned buffer.
    void CollectFileNames(const char* buffer, size_t size);
    bool OldStyle() const;

    virtual void SelectionChanged();
    virtual void FolderChanged();
    virtual void FileTypeChanged();
    virtual bool ConfirmClose();
    virtual bool IncludeItemQuery(const OFNOTIFYEXA& item);

    static UINT_PTR CALLBACK ExplorerStyleHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::string fileName_;
    int32_t filterIndex_ = 1;
    int32_t currentFilterIndex_ = 1;
    std::string initialDir_;
    std::vector<std::string> files_;
    OPENFILENAMEA* running_ = nullptr;  // the record of the run in progress
};

// The filter as the platform wants it: a NUL appended and every "|" replaced by NUL,
// skipping the second byte of each double-byte character, so that with its terminator it
// ends in two NULs; empty for an empty filter.
std::string FilterToPlatform(const std::string& filter);
// The files a returned buffer names (the first is FileName): the single name; or, with
// multiple selection, a folder followed by names (NUL-separated, or space-separated in
// the old-style dialog) joined to it unless they are already full paths.
std::vector<std::string> SplitFileNames(const char* buffer, size_t size, bool multiSelect, bool oldStyle);
std::string NormalizeInitialDir(const std::string& value);
