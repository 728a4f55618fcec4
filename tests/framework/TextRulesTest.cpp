// The application title rule and the wording of error boxes.
#include <gtest/gtest.h>
#include "framework/Application.h"
#include "framework/TextRules.h"

TEST(ApplicationTitle, TakesTheFileNameBeforeItsFirstDotWithTheRestLowerCased) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Tetrafol\\Tetrafol.exe", "Tetrafol"}, {"C:\\APPS\\TETRAFOL.EXE", "Tetrafol"},
        {"c:\\bin\\tETRAFOL.exe", "tetrafol"}, {"Tetrafol.exe", "Tetrafol"}, {"C:\\dir\\.hidden", ""},
        // Only the first dot of the file name counts; dots in folder names do not.
        {"D:\\photos.2001\\My.Sheet.Tool.exe", "My"},
        // "表" is 0x95 0x5C in Shift-JIS: its second byte is a backslash and must not cut. A
        // double-byte first character stays as it is, the ASCII after it is lowered.
        {"C:\\表示\\表計算.EXE", "表計算"}, {"C:\\ソフト\\四枚印刷ABC.exe", "四枚印刷abc"}, {"C:\\x\\表TOOL.exe", "表tool"},
    };
    for (const auto& [path, title] : cases) EXPECT_EQ(ApplicationTitleFromPath(path), title) << path;
    EXPECT_EQ(ComputeApplicationTitle(), "unit_tests") << "this executable, unit_tests.exe";
}

TEST(ErrorBoxText, AppendsAFullStopOnlyAfterCharactersThatSortAboveItAlsoInTheFatalBox) {
    const std::pair<const char*, const char*> cases[] = {
        {"画像フォーマットが不正です", "画像フォーマットが不正です."}, {"JPEG エラー #5", "JPEG エラー #5."},
        {"Bitmap is invalid", "Bitmap is invalid."}, {"path a/", "path a/."},  // "/" is 0x2F
        {"ｱ", "ｱ."},  // a single-byte katakana (0xB1)
        // Ending in a full stop or below it: unchanged.
        {"拡張子 .png の画像形式は処理できません.", "拡張子 .png の画像形式は処理できません."},
        {"failed (code 3)", "failed (code 3)"}, {"trailing blank ", "trailing blank "}, {"a, b,", "a, b,"},
        {"range -", "range -"}, {"", ""},
    };
    for (const auto& [message, text] : cases) EXPECT_EQ(ErrorBoxText(message), text) << message;
    // The fatal box names the class, module, address and message, by the same rule.
    EXPECT_EQ(FatalErrorText("EReadError", "Tetrafol.exe", reinterpret_cast<const void*>(0x00401A2C),
                             "PrintDialog1.Copies の読み込み中のエラー : デフォルト プリンタが存在しません"),
              "EReadErrorがモジュール Tetrafol.exe の 00401A2C で発生しました。\n"
              "PrintDialog1.Copies の読み込み中のエラー : デフォルト プリンタが存在しません.");
    // A message that already ends in "." gets no second one.
    EXPECT_EQ(FatalErrorText("EPrinter", "Tetrafol.exe", reinterpret_cast<const void*>(0x10), "done."),
              "EPrinterがモジュール Tetrafol.exe の 00000010 で発生しました。\ndone.");
}
