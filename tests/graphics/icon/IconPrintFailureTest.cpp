// An icon that cannot be made stops reporting on the screen after its first error box,
// but a printed sheet still hears of it: the sheet must not come out without it in silence.
#include <gtest/gtest.h>

#include "graphics/Canvas.h"
#include "graphics/icon/Icon.h"
#include "printing/Printer.h"
#include "rtl/Exceptions.h"
#include "rtl/Streams.h"
#include "support/DibSurface.h"
#include "graphics/icon/IconSamples.h"
#include "support/RaisedMessage.h"

using namespace icosamples;

namespace {

std::string MessageOfDraw(TIcon& icon, HDC dc) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    const std::string message = MessageOf<Exception>([&] { canvas.StretchGraphic(Rect(10, 20, 500, 400), &icon); });
    canvas.SetHandle(nullptr);
    return message;
}

}  // namespace

TEST(IconPrintFailure, APrinterHearsOfTheFailureAfterTheScreenFellSilent) {
    Entry entry = SolidEntry(32, Rgb{255, 0, 0});
    entry.png = true;
    Bytes file = WriteIcon({entry});
    for (size_t k = 6 + 16 + 41; k < 6 + 16 + 60; ++k) file[k] ^= 0x5A;  // the compressed pixels
    TIcon icon;
    TPointerStream stream(file.data(), file.size());
    icon.ReadFromStream(stream);

    DibSurface screen(320, 320, RGB(255, 255, 255));
    ASSERT_EQ(MessageOfDraw(icon, screen.dc()), "アイコンイメージが不正です");
    ASSERT_EQ(MessageOfDraw(icon, screen.dc()), "no error") << "a repaint does not report it again";

    TPrinter printer;
    printer.PrintableWidth();  // the printer's context
    ASSERT_NE(printer.DeviceContext(), nullptr);
    EXPECT_EQ(MessageOfDraw(icon, printer.DeviceContext()), "アイコンイメージが不正です");
    EXPECT_EQ(MessageOfDraw(icon, screen.dc()), "no error") << "and the screen stays quiet";
}
