#include <gtest/gtest.h>
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

TEST(Format, PlaceholdersTakeArgumentsInOrderAndAnIndexRestartsTheCount) {
    EXPECT_EQ(Format("%s を %s に代入することはできません", {"TBitmap", "TIcon"}),
              "TBitmap を TIcon に代入することはできません");
    EXPECT_EQ(Format("JPEG エラー #%d", {5}), "JPEG エラー #5");
    EXPECT_EQ(Format("%d/%d", {-12, 0}), "-12/0");
    EXPECT_EQ(Format("100%% %s", {"done"}), "100% done");
    EXPECT_EQ(Format("", {}), "");
    // The filter's own formats: "%2:s" repeats the extension, "%1:s" the mask list.
    EXPECT_EQ(Format("%s%s (*.%s)|*.%2:s", {"", "ビットマップ", "bmp"}), "ビットマップ (*.bmp)|*.bmp");
    EXPECT_EQ(Format("%s (%s)|%1:s|%s", {"すべて", "*.a;*.b", "X|*.a"}), "すべて (*.a;*.b)|*.a;*.b|X|*.a");
    EXPECT_EQ(Format("%1:s %s %0:s %s", {"a", "b", "c"}), "b c a b");
    // Width, precision and hex.
    EXPECT_EQ(Format("[%4d][%-4d][%.3d]", {7, 7, 7}), "[   7][7   ][007]");
    EXPECT_EQ(Format("%x", {255}), "FF");
    EXPECT_EQ(Format(" (%dx%d)", {640, 480}), " (640x480)");
}

TEST(Format, PointerIsAtLeastEightUpperCaseHexDigits) {
    EXPECT_EQ(Format("%p", {reinterpret_cast<const void*>(uintptr_t{0xAB12})}), "0000AB12");
    int local = 0;
    std::string text = Format("%p", {static_cast<const void*>(&local)});
    char expected[32];
    snprintf(expected, sizeof expected, "%08llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&local)));
    EXPECT_EQ(text, expected);
}

TEST(Format, MismatchesAndHostileFormatsRaiseConvertError) {
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s", {3}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"only one"}), EConvertError);
    EXPECT_THROW(Format("%3:s", {"a", "b"}), EConvertError);
    EXPECT_THROW(Format("trailing %", {}), EConvertError);
    EXPECT_THROW(Format("%q", {1}), EConvertError);
    EXPECT_THROW(Format("%99999999999999999999:s", {"a"}), EConvertError);
    EXPECT_THROW(Format("%99999999999999999999d", {1}), EConvertError);
    EXPECT_THROW(Format("%.99999999999999999999d", {1}), EConvertError);
    EXPECT_THROW(Format("%:s", {"a"}), EConvertError);
    try {
        Format("%d", {"x"});
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("'%d'"), std::string::npos) << e.Message();
    }
}

TEST(ResourceStrings, LoadFromTheStringTableAndEveryNamedMessageIsPresent) {
    EXPECT_EQ(LoadResString(res::SVBitmaps), "ビットマップ");
    EXPECT_EQ(LoadResString(res::SDefaultFilter), "すべてのファイル");
    EXPECT_EQ(LoadResString(res::SJPEGImageFile), "JPEG イメージファイル");
    EXPECT_EQ(LoadResString(res::SPictureDesc), " (%dx%d)");
    EXPECT_EQ(LoadResString(res::SException), "%sがモジュール %s の %p で発生しました。\n%s%s");
    EXPECT_EQ(LoadResString(res::SOSError), "システムエラー。コード：%d.\r\n%s");
    EXPECT_EQ(LoadResString(12345), "");
    // Every named message is present.
    const int ids[] = {res::SUnknownExtension, res::SAssignError, res::SNoCanvasHandle, res::SInvalidBitmap,
                       res::SUnknownClipboardFormat, res::SOutOfResources, res::SInvalidPixelFormat,
                       res::SScanLine, res::SChangeIconSize, res::SIconToClipboard, res::SInvalidIcon,
                       res::SInvalidMetafile, res::SChangeJPGSize, res::SJPEGError, res::SReadError,
                       res::SWriteError, res::SFOpenError, res::SFCreateError, res::SInvalidFormat,
                       res::SPropertyReadError, res::SZeroDivide, res::SInvalidOp, res::SOverflow,
                       res::SOutOfMemory, res::SOSError, res::SUnkOSError, res::SExceptTitle, res::SException,
                       res::SPrinting, res::SNotPrinting, res::SInvalidPrinter, res::SNoDefaultPrinter,
                       res::SPrinterNotSupported, res::SPrinterOnPort, res::SPictureLabel, res::SPreviewLabel,
                       res::SNone, res::SInvalidImage, res::SVMetafiles, res::SVEnhMetafiles, res::SVIcons};
    for (int id : ids) EXPECT_FALSE(LoadResString(id).empty()) << id;
    EXPECT_EQ(Format(LoadResString(res::SPropertyReadError), {"PrintDialog1", ".", "Copies", "x"}),
              "PrintDialog1.Copies の読み込み中のエラー : x");
}
