// The main window: four picture slots (an image area over a placeholder label each) and
// the "印刷" and "クリア" buttons.
#pragma once
#include "framework/Button.h"
#include "framework/Form.h"

class TImage;
class TLabel;
class TOpenPictureDialog;
class TPrintDialog;
class TPicture;
class TDroppedFiles;

class TForm1 : public TForm {
public:
    TForm1();  // built from the stored layout "TFORM1"
    const char* ClassName() const noexcept override { return "TForm1"; }

    TImage* Image1 = nullptr;
    TOpenPictureDialog* OpenPictureDialog1 = nullptr;
    TImage* Image2 = nullptr;
    TImage* Image3 = nullptr;
    TImage* Image4 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;

    void Image2Click(TObject* sender);
    void Image1Click(TObject* sender);
    void Image3Click(TObject* sender);
    void Image4Click(TObject* sender);
    void Button1Click(TObject* sender);
    void Button2Click(TObject* sender);

protected:
    std::unique_ptr<TComponent> CreateComponent(const std::string& className) override;
    // Files dragged from the file manager (app/Form1Drop.cpp).
    void CreateHandle() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LoadSlot(TImage& image);
    void DropPictures(const TDroppedFiles& files);
};

// The main window, once created.
extern TForm1* Form1;
