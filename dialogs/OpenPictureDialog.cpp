#include "dialogs/OpenPictureDialog.h"
#include <algorithm>
#include <cstdint>
#include "display/Image.h"
#include "display/Label.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/SpeedButton.h"
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

    picturePanel_ = std::make_unique<TPanel>();
    picturePanel_->Name = "PicturePanel";
    picturePanel_->SetBounds(204, 5, 169, 200);
    picturePanel_->BevelOuter = bvNone;
    picturePanel_->BorderWidth = 6;
    picturePanel_->TabOrder = 1;

    pictureLabel_ = std::make_unique<TLabel>();
    pictureLabel_->Name = "PictureLabel";
    pictureLabel_->SetAutoSize(false);
    pictureLabel_->SetBounds(6, 6, 157, 23);
    pictureLabel_->Align = alTop;
    pictureLabel_->SetParent(picturePanel_.get());

    previewButton_ = std::make_unique<TSpeedButton>();
    previewButton_->Name = "PreviewButton";
    previewButton_->SetBounds(77, 1, 23, 22);
    previewButton_->SetEnabled(false);
    previewButton_->LoadGlyph("PREVIEWGLYPH");
    previewButton_->Hint = LoadResString(res::SPreviewLabel);
    previewButton_->ShowHint = true;
    previewButton_->OnClick = [this](TObject* sender) { OpenPreviewWindow(sender); };
    previewButton_->SetParent(picturePanel_.get());

    paintPanel_ = std::make_unique<TSilentPaintPanel>();
    paintPanel_->Name = "PaintPanel";
    paintPanel_->SetBounds(6, 29, 157, 145);
    paintPanel_->Align = alClient;
    paintPanel_->BevelInner = bvRaised;
    paintPanel_->BevelOuter = bvLowered;
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

void TOpenPictureDialog::DialogShown() {
    RECT client;
    GetClientRect(Handle(), &client);
    const TRect area = TemplateAreaRect();
    client.left = area.Right;
    client.top += 4;
    picturePanel_->SetBounds(client.left, client.top, client.right - client.left, client.bottom - client.top);
    previewButton_->SetBounds(paintPanel_->Left() + paintPanel_->Width() - previewButton_->Width() - 2,
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
    form->SetBounds(0, 0, 320, 240);  // kept when there is no picture to size it to
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
    panel->BorderWidth = 5;
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
        const int64_t width = std::min<int64_t>(
            monitorWidth * 3 / 4, int64_t{form->ClientWidth()} - panelClient.right + picture.Width() + 10);
        const int64_t height = std::min<int64_t>(
            monitorHeight * 3 / 4, int64_t{form->ClientHeight()} - panelClient.bottom + picture.Height() + 10);
        form->SetClientSize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    }
    return preview;
}

void TOpenPictureDialog::OpenPreviewWindow(TObject*) {
    HWND dialogWindow = Handle() ? GetParent(Handle()) : nullptr;
    MakePreviewWindow(paintBox_->Picture(), dialogWindow ? dialogWindow : GetActiveWindow())->Form->ShowModal();
}
