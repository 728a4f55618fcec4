#include "app/Unit1.h"
#include "app/FourUpSheet.h"
#include "app/PrintDialogComponent.h"
#include "dialogs/OpenPictureDialog.h"
#include "display/Image.h"
#include "display/Label.h"
#include "graphics/bitmap/Bitmap.h"

TForm1* Form1 = nullptr;

TForm1::TForm1() {
    RegisterHandler("Image2Click", [this](TObject* s) { Image2Click(s); });
    RegisterHandler("Image1Click", [this](TObject* s) { Image1Click(s); });
    RegisterHandler("Image3Click", [this](TObject* s) { Image3Click(s); });
    RegisterHandler("Image4Click", [this](TObject* s) { Image4Click(s); });
    RegisterHandler("Button1Click", [this](TObject* s) { Button1Click(s); });
    RegisterHandler("Button2Click", [this](TObject* s) { Button2Click(s); });
    ReadLayoutResource("TFORM1");
    Image1 = Component<TImage>("Image1");
    OpenPictureDialog1 = Component<TOpenPictureDialog>("OpenPictureDialog1");
    Image2 = Component<TImage>("Image2");
    Image3 = Component<TImage>("Image3");
    Image4 = Component<TImage>("Image4");
    Button1 = Component<TButton>("Button1");
    Button2 = Component<TButton>("Button2");
    Label1 = Component<TLabel>("Label1");
    Label2 = Component<TLabel>("Label2");
    Label3 = Component<TLabel>("Label3");
    Label4 = Component<TLabel>("Label4");
    PrintDialog1 = Component<TPrintDialog>("PrintDialog1");
}

std::unique_ptr<TComponent> TForm1::CreateComponent(const std::string& className) {
    if (className == "TImage") return std::make_unique<TImage>();
    if (className == "TLabel") return std::make_unique<TLabel>();
    if (className == "TOpenPictureDialog") return std::make_unique<TOpenPictureDialog>();
    if (className == "TPrintDialog") return std::make_unique<TLayoutPrintDialog>();
    return TForm::CreateComponent(className);
}

void TForm1::LoadSlot(TImage& image) {
    // While a sheet is being printed its pictures must stay alive: no slot changes then.
    if (SheetPrintInProgress()) return;
    if (!OpenPictureDialog1->RunModal()) return;
    image.Picture().LoadPictureFile(OpenPictureDialog1->FileName());
}

void TForm1::Image2Click(TObject*) { LoadSlot(*Image2); }
void TForm1::Image1Click(TObject*) { LoadSlot(*Image1); }
void TForm1::Image3Click(TObject*) { LoadSlot(*Image3); }
void TForm1::Image4Click(TObject*) { LoadSlot(*Image4); }

void TForm1::Button1Click(TObject*) {
    // A sheet cannot start inside the one printing: its dialog would end in "現在印刷中です".
    if (SheetPrintInProgress()) return;
    TPicture* const slots[4] = {&Image1->Picture(), &Image2->Picture(), &Image3->Picture(), &Image4->Picture()};
    PrintFourUpSheet(*PrintDialog1, slots);
}

void TForm1::Button2Click(TObject*) {
    if (SheetPrintInProgress()) return;
    // One empty bitmap; each container installs its own copy of it.
    auto empty = std::make_unique<TBitmap>();
    Image1->Picture().SetGraphic(empty.get());
    Image2->Picture().SetGraphic(empty.get());
    Image3->Picture().SetGraphic(empty.get());
    Image4->Picture().SetGraphic(empty.get());
}
