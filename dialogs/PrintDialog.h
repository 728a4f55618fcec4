// The print dialog: hands the printer object's current printer and settings to the
// system's print dialog and, when confirmed, takes over what the user chose.
#pragma once
#include "dialogs/CommonDialog.h"

enum TPrintRange { prAllPages = 0, prSelection = 1, prPageNums = 2 };
enum TPrintDialogOption : unsigned {
    poPrintToFile = 1u << 0,
    poPageNums = 1u << 1,
    poSelection = 1u << 2,
    poWarning = 1u << 3,
    poHelp = 1u << 4,
    poDisablePrintToFile = 1u << 5,
};

class TPrintDialog : public TCommonDialog {
public:
    const char* ClassName() const noexcept override { return "TPrintDialog"; }

    bool RunModal() override;

    int Copies() const { return copies_; }
    // Also writes the printer's copy count (creating the printer object and selecting the
    // default printer on first use).
    void SetCopies(int value);

    // The PrintDlgA flags these settings ask for.
    DWORD DialogFlags() const;

    int32_t FromPage = 0;
    int32_t ToPage = 0;
    bool Collate = false;
    unsigned Options = 0;  // TPrintDialogOption bits
    bool PrintToFile = false;
    TPrintRange PrintRange = prAllPages;
    int32_t MinPage = 0;
    int32_t MaxPage = 0;

private:
    int copies_ = 0;
};

// DEVNAMES in movable global memory: the driver, device and port names after the four
// offsets; wDefault 0. Returns none when memory runs out.
HGLOBAL BuildDevNames(const char* driver, const char* device, const char* port);
