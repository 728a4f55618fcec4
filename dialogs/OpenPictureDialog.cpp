#include "dialogs/OpenPictureDialog.h"
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/ScreenScale.h"
#include "framework/SpeedButton.h"
#include "graphics/GdiHandles.h"
#include "graphics/GraphicsModule.h"
#include "graphics/Picture.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

namespace {
const char kTemplateName[] = "DLGTEMPLATE";
constexpr TColor clWindow = static_cast<TColor>(0x80000000u | COLOR_WINDOW);
}

bool PreviewableFile(const std::string& name) {
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    FILETIME local;
    WORD date, time;
    return FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time);
}

void TSilentPaintPanel::PaintWindow(HDC dc, const RECT& region) {
    try {
        TPanel::PaintWindow(dc, region);
    } catch (...) {
        // The caption change repaints once; a picture that fails again leaves it as it is.
        SetCaption(LoadResString(res::SInvalidImage));
    }
}

TOpenPictureDialog::TOpenPictureDialog() {
    Filter = GraphicFilter(&TGraphic::ClassInfo);
    // Designed in pixels of a 96 dpi screen; on others every size and the text follow it
    // as the main window's layout does.
    const TScreenScale scale = ScreenScale();

    picturePanel_ = std::make_unique<TPanel>();
    picturePanel_->Name = "PicturePanel";
    picturePanel_->SetBounds(scale(204), scale(5), scale(169), scale(200));
    picturePanel_->BevelOuter = bvNone;
    picturePanel_->BorderWidth = scale(6);
    picturePanel_->TabOrder = 1;
    picturePanel_->Font().Height = ScreenFontHeight();  // its children take it
    picturePanel_->FontChanged();

    pictureLabel_ = std::make_unique<TLabel>();
    pictureLabel_->Name = "PictureLabel";
    pictureLabel_->SetAutoSize(false);
    pictureLabel_->SetBounds(scale(6), scale(6), scale(157), scale(23));
    pictureLabel_->Align = alTop;
    pictureLabel_->SetParent(picturePanel_.get());

    previewButton_ = std::make_unique<TSpeedButton>();
    previewButton_->Name = "PreviewButton";
    previewButton_->SetBounds(scale(77), scale(1), scale(23), scale(22));
    previewButton_->SetEnabled(false);
    previewButton_->LoadGlyph("PREVIEWGLYPH", scale);
    previewButton_->Hint = LoadResString(res::SPreviewLabel);
    previewButton_->ShowHint = true;
    previewButton_->OnClick = [this](TObject* sender) { OpenPreviewWindow(sender); };
    previewButton_->SetParent(picturePanel_.get());

    paintPanel_ = std::make_unique<TSilentPaintPanel>();
    paintPanel_->Name = "PaintPanel";
    paintPanel_->SetBounds(scale(6), scale(29), scale(157), scale(145));
    paintPanel_->Align = alClient;
    paintPanel_->BevelInner = bvRaised;
    paintPanel_->BevelOuter = bvLowered;
    paintPanel_->BevelWidth = scale(1);
    paintPanel_->TabOrder = 0;
    paintPanel_->SetParent(picturePanel_.get());

    paintBox_ = std::make_unique<TImage>();
    paintBox_->Name = "PaintBox";
    paintBox_->Align = alClient;
    paintBox_->OnDblClick = [this](TObject* sender) { OpenPreviewWindow(sender); };
    paintBox_->SetParent(paintPanel_.get());
    paintBox_->SetProportional(true);
    paintBox_->SetStretch(true);
    paintBox_->SetCenter(true);
    paintBox_->IncrementalDisplay = true;

    picturePanel_->AlignControls();
}

TOpenPictureDialog::~TOpenPictureDialog() {
    // Children before their parents.
    paintBox_.reset();
    paintPanel_.reset();
    previewButton_.reset();
    pictureLabel_.reset();
    picturePanel_.reset();
}

bool TOpenPictureDialog::RunModal() {
    Template = !(Options & OptionBit(ofOldStyleDialog)) && NewStyleDialogs() ? kTemplateName : nullptr;
    return Execute(&GetOpenFileNameA);
}

namespace {

// The dialog manager's horizontal base unit for `font` at `height`: half the mean width of
// the letters, rounded.
int DialogBaseUnitX(LOGFONTA font, LONG height) {
    font.lfHeight = height;
    OwnedFont made(CreateFontIndirectA(&font));
    WindowDC screen;
    if (!made || !screen) return 0;
    SelectedObject selected(screen.get(), made.get());
    SIZE letters{};
    GetTextExtentPoint32A(screen.get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    return (letters.cx / 26 + 1) / 2;
}

}  // namespace

// The strip is as wide as the template's units in the template's font, and a font does
// not grow quite as the resolution does: at 144 dpi the strip came out 4/3 as wide as at
// 96. The dialog is widened by what the strip lacks of its 96 dpi width scaled as the
// rest of the program is, before it is centred.
void TOpenPictureDialog::WidenStripForScreen() {
    const TScreenScale scale = ScreenScale();
    HWND child = Handle(), dialog = child ? GetParent(child) : nullptr;
    if (scale.Unscaled() || !dialog || OldStyle()) return;
    LOGFONTA font{};
    auto fontHandle = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    if (!fontHandle || !GetObjectA(fontHandle, sizeof font, &font)) return;
    RECT client, unit{0, 0, 4, 8};
    GetClientRect(child, &client);
    MapDialogRect(child, &unit);
    const int strip = client.right - TemplateAreaRect().Right;
    // The font's height at 96 dpi through its size in points, as the template gives it
    // (rounded on each screen: 13 pixels at 120 dpi would come back as 10 instead of 11).
    const int points = MulDiv(std::abs(font.lfHeight), 72, ScreenLogPixels());
    const int designedUnit = DialogBaseUnitX(font, -MulDiv(points, 96, 72));
    if (unit.right <= 0 || designedUnit <= 0) return;
    const int grow = scale(MulDiv(MulDiv(strip, 4, unit.right), designedUnit, 4)) - strip;
    if (grow <= 0) return;
    RECT outer;
    GetWindowRect(dialog, &outer);
    SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left + grow, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(child, &client);
    if (client.right - TemplateAreaRect().Right < strip + grow) {  // the dialog left its child as it was
        GetWindowRect(child, &outer);
        SetWindowPos(child, nullptr, 0, 0, outer.right - outer.left + grow, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TOpenPictureDialog::DialogShown() {
    WidenStripForScreen();
    RECT client;
    GetClientRect(Handle(), &client);
    const TRect area = TemplateAreaRect();
    const TScreenScale scale = ScreenScale();
    client.left = area.Right;
    client.top += scale(4);
    picturePanel_->SetBounds(client.left, client.top, client.right - client.left, client.bottom - client.top);
    previewButton_->SetBounds(paintPanel_->Left() + paintPanel_->Width() - previewButton_->Width() - scale(2),
                              previewButton_->Top(), previewButton_->Width(), previewButton_->Height());
    paintBox_->Picture().SetGraphic(nullptr);
    lastPreviewedName_.clear();
    paintPanel_->SetCaption(LoadResString(res::SNone));
    picturePanel_->SetParentWindow(Handle());
    TOpenDialog::DialogShown();
}

void TOpenPictureDialog::SelectionChanged() {
    const std::string name = FileName();
    if (name != lastPreviewedName_) {
        lastPreviewedName_ = name;
        bool valid = PreviewableFile(name);
        if (valid) {
            try {
                paintBox_->Picture().LoadPictureFile(name);
                pictureLabel_->SetCaption(
                    Format(LoadResString(res::SPictureDesc), {paintBox_->Picture().Width(), paintBox_->Picture().Height()}));
                previewButton_->SetEnabled(true);
                paintPanel_->SetCaption("");
            } catch (...) {
                valid = false;  // the preview never reports: the name just does not preview
            }
        }
        if (!valid) {
            pictureLabel_->SetCaption(LoadResString(res::SPictureLabel));
            previewButton_->SetEnabled(false);
            paintBox_->Picture().SetGraphic(nullptr);
            paintPanel_->SetCaption(LoadResString(res::SNone));
        }
    }
    TOpenDialog::SelectionChanged();
}

void TOpenPictureDialog::DialogClosed() {
    TOpenDialog::DialogClosed();
    if (ApplicationExists()) Application().HideHint();
}

TPreviewWindow::~TPreviewWindow() {
    Image.reset();
    Panel.reset();
    Form.reset();
}

std::unique_ptr<TPreviewWindow> MakePreviewWindow(TPicture& picture, HWND owner) {
    auto preview = std::make_unique<TPreviewWindow>();
    preview->Form = std::make_unique<TForm>();
    preview->Panel = std::make_unique<TPanel>();
    preview->Image = std::make_unique<TImage>();
    TForm* form = preview->Form.get();
    TPanel* panel = preview->Panel.get();
    TImage* image = preview->Image.get();

    form->Name = "PreviewForm";
    const TScreenScale scale = ScreenScale();
    form->SetBounds(0, 0, scale(320), scale(240));  // kept when there is no picture to size it to
    form->SetVisible(false);
    form->SetCaption(LoadResString(res::SPreviewLabel));
    form->BorderStyle = bsSizeToolWin;
    form->KeyPreview = true;
    form->OnKeyPress = [form](TObject*, char& key) {
        if (key == 27) form->Close();
    };
    form->Position = poScreenCenter;
    form->OwnerWindow = owner;

    panel->Name = "Panel";
    panel->Align = alClient;
    panel->BevelOuter = bvNone;
    panel->BorderStyle = bsSingle;
    panel->BorderWidth = scale(5);
    panel->SetColor(clWindow);
    panel->DoubleBuffered = true;
    panel->SetParent(form);

    image->Name = "Image";
    image->Align = alClient;
    image->SetParent(panel);
    image->SetStretch(true);
    image->SetProportional(true);
    image->SetCenter(true);
    image->Picture().CopyFrom(&picture);

    form->Handle();  // the window and its panel exist: their client sizes can be measured
    if (picture.Width() > 0) {
        HMONITOR monitor = MonitorFromWindow(form->WindowHandle(), MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(monitor, &info);
        const int monitorWidth = info.rcMonitor.right - info.rcMonitor.left;
        const int monitorHeight = info.rcMonitor.bottom - info.rcMonitor.top;
        RECT panelClient;
        GetClientRect(panel->WindowHandle(), &panelClient);
        // In 64 bits: a picture may claim a size up to the largest 32-bit number, and the
        // frame and borders added to it must not wrap the window's size round to a negative.
        // The picture keeps its pixels at every resolution: the image area is its size,
        // inside the panel's two borders.
        const int64_t borders = int64_t{panel->BorderWidth} * 2;
        const int64_t width = std::min<int64_t>(
            monitorWidth * 3 / 4, int64_t{form->ClientWidth()} - panelClient.right + picture.Width() + borders);
        const int64_t height = std::min<int64_t>(
            monitorHeight * 3 / 4, int64_t{form->ClientHeight()} - panelClient.bottom + picture.Height() + borders);
        form->SetClientSize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    }
    return preview;
}

void TOpenPictureDialog::OpenPreviewWindow(TObject*) {
    HWND dialogWindow = Handle() ? GetParent(Handle()) : nullptr;
    MakePreviewWindow(paintBox_->Picture(), dialogWindow ? dialogWindow : GetActiveWindow())->Form->ShowModal();
}
