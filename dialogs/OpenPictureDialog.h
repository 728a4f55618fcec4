// The picture-open dialog: the open-file dialog with a strip right of its standard
// controls that previews the selected picture, reports its size and opens it at natural
// size in a window of its own.
#pragma once
#include <memory>
#include <string>
#include "dialogs/OpenDialog.h"
#include "framework/Panel.h"

class TForm;
class TLabel;
class TImage;
class TPicture;
class TSpeedButton;

// The preview window, hidden: `picture` copied into an image that fills a panel in a
// resizable tool window sized to show it at its natural size, held to three quarters of
// its monitor. Escape closes it. The members go in reverse order, children first.
struct TPreviewWindow {
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TPanel> Panel;
    std::unique_ptr<TImage> Image;
    ~TPreviewWindow();
};
std::unique_ptr<TPreviewWindow> MakePreviewWindow(TPicture& picture, HWND owner);

// A panel whose painting never reports an error: a picture that fails while it draws
// leaves "画像が不正です" in its place.
class TSilentPaintPanel : public TPanel {
public:
    const char* ClassName() const noexcept override { return "TSilentPaintPanel"; }

protected:
    void PaintWindow(HDC dc, const RECT& region) override;
};

class TOpenPictureDialog : public TOpenDialog {
public:
    TOpenPictureDialog();
    ~TOpenPictureDialog() override;
    const char* ClassName() const noexcept override { return "TOpenPictureDialog"; }

    bool RunModal() override;
    // The preview button's click and the preview image's double-click: the picture at
    // its natural size in a resizable window, closed by Escape.
    void OpenPreviewWindow(TObject* sender);

    TPanel& PicturePanel() { return *picturePanel_; }
    TLabel& PictureLabel() { return *pictureLabel_; }
    TSpeedButton& PreviewButton() { return *previewButton_; }
    TSilentPaintPanel& PaintPanel() { return *paintPanel_; }
    TImage& PaintBox() { return *paintBox_; }
    const std::string& LastPreviewedName() const { return lastPreviewedName_; }

protected:
    void DialogShown() override;
    void DialogClosed() override;
    void SelectionChanged() override;

private:
    void WidenStripForScreen();

    std::unique_ptr<TPanel> picturePanel_;
    std::unique_ptr<TLabel> pictureLabel_;
    std::unique_ptr<TSpeedButton> previewButton_;
    std::unique_ptr<TSilentPaintPanel> paintPanel_;
    std::unique_ptr<TImage> paintBox_;
    std::string lastPreviewedName_;
};

// Whether `name` is a file the preview may load: it exists, is not a folder, and its
// last-write time converts to a local DOS date and time.
bool PreviewableFile(const std::string& name);
