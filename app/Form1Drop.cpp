// Pictures dragged from the file manager onto the main window. Each dropped file takes the
// path of a file confirmed in the picture-open dialog: loaded into its slot's picture, or
// refused with the same error box, one box per file, the slot keeping what it had.
#include <algorithm>
#include "app/DropPlan.h"
#include "app/FourUpSheet.h"
#include "app/Shortcuts.h"
#include "app/Unit1.h"
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Application.h"
#include "framework/DropFiles.h"
#include "graphics/FileFormats.h"
#include "graphics/Picture.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

namespace {

// A shortcut stands for the file it points to, as in the open dialog. A folder holds no
// picture: it is refused as a name without a picture format is.
void LoadDroppedFile(TPicture& picture, const std::string& dropped) {
    const std::string name = FollowShortcut(dropped);
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw EInvalidGraphic(Format(LoadResString(res::SUnknownExtension), {ExtractPictureExtension(name)}));
    picture.LoadPictureFile(name);
}

}  // namespace

void TForm1::CreateHandle() {
    TForm::CreateHandle();
    DragAcceptFiles(hwnd_, TRUE);
}

LRESULT TForm1::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DROPFILES: {
        const TDroppedFiles files(reinterpret_cast<HDROP>(wParam));
        DropPictures(files);
        return 0;
    }
    case WM_ENABLE:
        // While a modal dialog or error box has the window disabled it says it takes no
        // files, so the pointer shows the drop refused rather than a drop that is dropped.
        DragAcceptFiles(hwnd_, wParam ? TRUE : FALSE);
        break;
    default:
        break;
    }
    return TForm::WindowProc(message, wParam, lParam);
}

void TForm1::DropPictures(const TDroppedFiles& files) {
    // Wine hands a disabled window drops all the same, and a drop under way when a modal
    // dialog or error box came up arrives through that box's message loop: the window takes
    // no input then, so it takes no files either. During a print job the sheet's pictures
    // must stay, as for a slot click.
    if (!IsWindowEnabled(hwnd_) || SheetPrintInProgress()) return;
    std::vector<std::string> names = files.Names();
    // The file manager hands the files over in an order of its own (the one dragged first);
    // they fill the slots in the order it lists them by name.
    std::stable_sort(names.begin(), names.end(), ListedBefore);

    TImage* const images[4] = {Image1, Image2, Image3, Image4};
    TLabel* const labels[4] = {Label1, Label2, Label3, Label4};
    int onSlot = -1;
    bool empty[4];
    POINT point;
    const TControl* under = files.ClientPoint(point) ? ControlAtPos(point) : nullptr;
    for (int slot = 0; slot < 4; ++slot) {
        const TGraphic* graphic = images[slot]->Picture().Graphic();
        empty[slot] = !graphic || graphic->IsEmpty();
        if (under && (under == images[slot] || under == labels[slot])) onSlot = slot;
    }
    const std::vector<int> slots = DropTargetSlots(onSlot, empty, names.size());
    for (size_t i = 0; i < slots.size(); ++i) {
        try {
            LoadDroppedFile(images[slots[i]]->Picture(), names[i]);
        } catch (...) {
            // Shown at once, as the dialog's load would be; the other files still load.
            Application().HandleException();
        }
    }
}
