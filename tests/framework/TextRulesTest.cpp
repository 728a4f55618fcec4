// The application title rule and the wording of error boxes.
#include <gtest/gtest.h>
#include "framework/Application.h"
#include "framework/TextRules.h"

TEST(ApplicationTitle, TakesTheFileNameBeforeItsFirstDotWithTheRestLowerCased) {
    EXPECT_EQ(ApplicationTitleFromPath("C:\\Program Files\\Tetrafol\\Tetrafol.exe"), "Tetrafol");
    EXPECT_EQ(ApplicationTitleFromPath("C:\\APPS\\TETRAFOL.EXE"), "Tetrafol");
    EXPECT_EQ(ApplicationTitleFromPath("c:\\bin\\tETRAFOL.exe"), "tetrafol");
    // Only the first dot of the file name counts; dots in folder names do not.
    EXPECT_EQ(ApplicationTitleFromPath("D:\\photos.2001\\My.Sheet.Tool.exe"), "My");
    EXPECT_EQ(ApplicationTitleFromPath("Tetrafol.exe"), "Tetrafol");
    EXPECT_EQ(ApplicationTitleFromPath("C:\\dir\\.hidden"), "");
}

TEST(ApplicationTitle, KeepsDoubleByteCharactersWhole) {
    // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash and must not cut.
    EXPECT_EQ(ApplicationTitleFromPath("C:\\表示\\表計算.EXE"), "表計算");
    EXPECT_EQ(ApplicationTitleFromPath("C:\\ソフト\\四枚印刷ABC.exe"), "四枚印刷abc");
    // A double-byte first character stays as it is, the ASCII after it is lowered.
    EXPECT_EQ(ApplicationTitleFromPath("C:\\x\\表TOOL.exe"), "表tool");
}

TEST(ApplicationTitle, OfThisExecutable) {
    // The test executable is unit_tests.exe: its first character stays as it is.
    EXPECT_EQ(ComputeApplicationTitle(), "unit_tests");
}

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersThatSortAboveIt) {
    EXPECT_EQ(ErrorBoxText("画像フォーマットが不正です"), "画像フォーマットが不正です.");
    EXPECT_EQ(ErrorBoxText("JPEG エラー #5"), "JPEG エラー #5.");
    EXPECT_EQ(ErrorBoxText("Bitmap is invalid"), "Bitmap is invalid.");
    EXPECT_EQ(ErrorBoxText("path a/"), "path a/.");  // "/" is 0x2F
    EXPECT_EQ(ErrorBoxText("ｱ"), "ｱ.");              // a single-byte katakana (0xB1)
}

TEST(ErrorBoxText, LeavesMessagesEndingInAFullStopOrBelowItUnchanged) {
    EXPECT_EQ(ErrorBoxText("拡張子 .png の画像形式は処理できません."), "拡張子 .png の画像形式は処理できません.");
    EXPECT_EQ(ErrorBoxText("failed (code 3)"), "failed (code 3)");
    EXPECT_EQ(ErrorBoxText("trailing blank "), "trailing blank ");
    EXPECT_EQ(ErrorBoxText("a, b,"), "a, b,");
    EXPECT_EQ(ErrorBoxText("range -"), "range -");
    EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(FatalErrorText, NamesTheClassModuleAddressAndMessage) {
    EXPECT_EQ(FatalErrorText("EReadError", "Tetrafol.exe", reinterpret_cast<const void*>(0x00401A2C),
                             "PrintDialog1.Copies の読み込み中のエラー : デフォルト プリンタが存在しません"),
              "EReadErrorがモジュール Tetrafol.exe の 00401A2C で発生しました。\n"
              "PrintDialog1.Copies の読み込み中のエラー : デフォルト プリンタが存在しません.");
    // A message that already ends in "." gets no second one.
    EXPECT_EQ(FatalErrorText("EPrinter", "Tetrafol.exe", reinterpret_cast<const void*>(0x10), "done."),
              "EPrinterがモジュール Tetrafol.exe の 00000010 で発生しました。\ndone.");
}
