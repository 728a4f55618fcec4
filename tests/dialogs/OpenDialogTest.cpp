// The open-file dialog's side of the platform record, the names it takes back, the
// folder it starts in, and the picture dialog's child template and glyph as linked in.
#include <windows.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/OpenDialog.h"
#include "support/SystemDialogAnswerer.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"

namespace {

TEST(OpenDialogRecord, FlagsBufferAndHookFollowTheOptions) {
    const uint32_t defaults = OptionBit(ofHideReadOnly) | OptionBit(ofEnableSizing);
    const struct {
        const char* name;
        uint32_t options, optionsEx;
        LPCSTR templateName;
        DWORD flags, flagsEx, maxFile;
        bool explorerHook;
    } cases[] = {
        {"defaults", defaults, 0, nullptr, 0x880024, 0, 260, true},
        {"picture dialog", defaults, 0, "DLGTEMPLATE", 0x880064, 0, 260, true},
        {"multiple selection", defaults | OptionBit(ofAllowMultiSelect), 0, nullptr, 0x880224, 0, 0xFFEF, true},
        {"old style", defaults | OptionBit(ofOldStyleDialog), 0, nullptr, 0x800024, 0, 260, false},
        {"no places bar", OptionBit(ofFileMustExist), OptionBit(ofExNoPlacesBar), nullptr, 0x81020,
         OFN_EX_NOPLACESBAR, 260, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TOpenDialog dialog;
        dialog.Options = c.options;
        dialog.OptionsEx = c.optionsEx;
        dialog.Template = c.templateName;
        OpenFileRecord out;
        dialog.PrepareRecord(out);
        EXPECT_EQ(out.record.Flags, c.flags);
        EXPECT_EQ(out.record.FlagsEx, c.flagsEx);
        EXPECT_EQ(out.record.nMaxFile, c.maxFile);
        EXPECT_EQ(out.file.size(), c.maxFile + 2u);
        EXPECT_EQ(out.record.lpTemplateName, c.templateName);
        EXPECT_EQ(out.record.lpfnHook == &TCommonDialog::CentringHook, !c.explorerHook);
        EXPECT_EQ(out.record.nFilterIndex, 1u);
        EXPECT_EQ(out.record.hInstance, GetModuleHandleA(nullptr));
        EXPECT_EQ(out.record.lpstrTitle, nullptr) << "no title: the platform's own caption";
        // Wine reports an NT version above 5: the whole 64-bit record.
        EXPECT_EQ(out.record.lStructSize, sizeof(OPENFILENAMEA));
        EXPECT_EQ(out.record.lpstrDefExt, nullptr);
        ASSERT_NE(out.record.lpstrFilter, nullptr);
        EXPECT_EQ(out.record.lpstrFilter[0], '\0') << "an empty filter is an empty text";
    }
    EXPECT_EQ(OPENFILENAME_SIZE_VERSION_400A, offsetof(OPENFILENAMEA, pvReserved));
}

TEST(OpenDialogRecord, TextsAndTheNameAndFolderTheDialogStartsWith) {
    TOpenDialog dialog;
    dialog.Filter = "ポ (*.x)|*.x";  // 0x83 0x7C: the trail byte is a bar
    dialog.SetFilterIndex(2);
    dialog.SetFileName(std::string(300, 'a') + ".bmp");
    dialog.Title = "開く";
    dialog.SetInitialDir("C:\\Pictures\\");
    OpenFileRecord out;
    dialog.PrepareRecord(out);
    EXPECT_EQ(std::string(out.record.lpstrFilter, 14), std::string("ポ (*.x)\0*.x\0", 14));
    EXPECT_EQ(out.record.nFilterIndex, 2u);
    EXPECT_EQ(std::string(out.record.lpstrFile), std::string(260, 'a')) << "cut to the capacity";
    EXPECT_EQ(std::string(out.record.lpstrTitle), "開く");
    EXPECT_EQ(std::string(out.record.lpstrInitialDir), "C:\\Pictures");

    // Only the old-style dialog takes the default extension from the name.
    dialog.SetFileName("C:\\photos\\old.wmf");
    dialog.PrepareRecord(out);
    EXPECT_EQ(out.record.lpstrDefExt, nullptr);
    dialog.Options |= OptionBit(ofOldStyleDialog);
    // "ソ" is 0x83 0x5C: its trail byte is no folder delimiter.
    for (auto [name, extension] : {std::pair<const char*, const char*>{"C:\\photos\\old.wmf", "wmf"},
                                   {"C:\\photos\\a.ソ", "ソ"},
                                   {"C:\\photos.d\\none", nullptr}}) {
        dialog.SetFileName(name);
        OpenFileRecord fresh;
        dialog.PrepareRecord(fresh);
        EXPECT_STREQ(fresh.record.lpstrDefExt, extension) << name;
    }
    dialog.DefaultExt = "bmp";
    dialog.PrepareRecord(out);
    EXPECT_STREQ(out.record.lpstrDefExt, "bmp");

    // Older layouts carry an edit style that no longer means anything: read, ignored.
    EXPECT_TRUE(dialog.SetLayoutProperty("FileEditStyle", "fsEdit"));

    // The folder's trailing delimiter is dropped, but for roots.
    for (const auto& [given, kept] : {std::pair<const char*, const char*>{"", ""}, {"\\", "\\"}, {"C:\\", "C:\\"},
                                      {"C:\\Pictures\\", "C:\\Pictures"}, {"C:\\Pictures", "C:\\Pictures"},
                                      {"\\\\server\\share\\", "\\\\server\\share"},
                                      {"C:\\ソ", "C:\\ソ"}}) {  // ends in byte 0x5C, which belongs to its character
        dialog.SetInitialDir(given);
        EXPECT_EQ(dialog.InitialDir(), kept) << given;
    }
}

TEST(OpenDialogNames, SingleAndMultipleSelectionInBothStyles) {
    const struct {
        const char* name;
        std::string buffer;
        bool multi, oldStyle;
        std::vector<std::string> files;
    } cases[] = {
        {"single", std::string("C:\\a\\b.bmp\0\0", 12), false, false, {"C:\\a\\b.bmp"}},
        {"single, spaces kept", std::string("C:\\my pics\\b c.bmp\0", 19), false, false, {"C:\\my pics\\b c.bmp"}},
        {"multi, one file", std::string("C:\\a\\b.bmp\0\0", 12), true, false, {"C:\\a\\b.bmp"}},
        {"multi, folder and names", std::string("C:\\a\0b.bmp\0c.ico\0\0", 18), true, false,
         {"C:\\a\\b.bmp", "C:\\a\\c.ico"}},
        {"multi, root keeps one delimiter", std::string("C:\\\0b.bmp\0\0", 11), true, false, {"C:\\b.bmp"}},
        {"multi, full paths stay", std::string("C:\\a\0D:\\x\\y.bmp\0\\\\srv\\z.bmp\0\0", 28), true, false,
         {"D:\\x\\y.bmp", "\\\\srv\\z.bmp"}},
        {"old style, space-separated", std::string("C:\\A B.BMP C.ICO\0", 17), true, true,
         {"C:\\A\\B.BMP", "C:\\A\\C.ICO"}},
        {"old style, stops at an empty part", std::string("C:\\A B.BMP  C.ICO\0", 18), true, true,
         {"C:\\A\\B.BMP"}},
        // "ソ" is 0x83 0x5C: its trail byte is no delimiter, so one is still added.
        {"multi, folder ending in a double-byte character", std::string("C:\\ソ\0b.bmp\0\0", 13), true, false,
         {"C:\\ソ\\b.bmp"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitFileNames(c.buffer.data(), c.buffer.size(), c.multi, c.oldStyle), c.files);
    }
}

// While the dialog is open its answer alone names the selection: no answer (the system
// dialog gives none for an item that is not a file) means no name, not the last run's.
// Wine's dialog always answers with at least its folder, so a plain window that does not
// know the message stands in for the dialog's top-level window.
TEST(OpenDialogNames, WhileOpenNoAnswerMeansNoName) {
    struct Attachable : TOpenDialog {
        using TCommonDialog::Attach;
    } dialog;
    HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    dialog.SetFileName("C:\\last.bmp");
    dialog.Attach(child);
    EXPECT_EQ(dialog.FileName(), "");
    DestroyWindow(top);  // the dialog's window is gone: the stored name again
    EXPECT_EQ(dialog.FileName(), "C:\\last.bmp");
}

TEST(OpenDialogRun, ARefusedCloseKeepsTheDialogOpen) {
    TempDir dir;
    const std::string file = dir.Write("refused.bmp", std::string("BM"));
    TOpenDialog dialog;
    std::atomic<int> asked{0};
    dialog.OnCanClose = [&](TObject*, bool& canClose) {
        ++asked;
        canClose = false;
    };
    bool settled = false, stillOpen = false;
    SystemDialogAnswerer answer([&](HWND d) {
        // Asked, and the dialog has acted on the answer and gone back to its loop.
        settled = AppProcess::AnswerOpenDialog(d, file) && WaitUntil([&] { return asked > 0; }, 5000) && Settle(d);
        stillOpen = IsWindowVisible(d) != FALSE;
        PressButton(d, IDCANCEL);
    });
    EXPECT_FALSE(dialog.RunModal());
    answer.Wait();
    EXPECT_TRUE(settled) << "the dialog was not asked, or did not settle";
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(stillOpen) << "the dialog's message result kept it open";
    EXPECT_TRUE(dialog.Files().empty());
}

TEST(PictureDialogResources, TemplateBytesAndGlyph) {
    const uint8_t expected[82] = {
        0x44, 0x04, 0x00, 0x54, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,  // style, extended style, items
        0x00, 0x00, 0x00, 0x00, 0x3C, 0x01, 0x4C, 0x00,              // 0, 0, 316, 76
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                          // menu, class, title
        0x08, 0x00, 'M', 0, 'S', 0, ' ', 0, 'S', 0, 'a', 0, 'n', 0, 's', 0, ' ', 0,
        'S', 0, 'e', 0, 'r', 0, 'i', 0, 'f', 0, 0, 0,                // 8 points, "MS Sans Serif"
        0x00, 0x00,                                                  // padding
        0x00, 0x00, 0x02, 0x40, 0x00, 0x00, 0x00, 0x00,              // WS_CHILD | WS_GROUP
        0x00, 0x00, 0x00, 0x00, 0xCC, 0x00, 0x4C, 0x00,              // 0, 0, 204, 76
        0x5F, 0x04,                                                  // stc32
        0xFF, 0xFF, 0x82, 0x00, 0x00, 0x00, 0x00, 0x00,              // static, no title, no data
    };
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, "DLGTEMPLATE", MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(module, found), 82u);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 82), std::vector<uint8_t>(expected, expected + 82));

    HBITMAP glyph = static_cast<HBITMAP>(LoadImageA(module, "PREVIEWGLYPH", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(glyph, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(glyph, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBmih.biWidth, 16);
    EXPECT_EQ(dib.dsBmih.biHeight, 16);
    EXPECT_EQ(dib.dsBmih.biBitCount, 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, glyph);
    EXPECT_EQ(GetPixel(dc, 0, 15), RGB(128, 128, 0)) << "olive background, the key colour";
    EXPECT_EQ(GetPixel(dc, 4, 3), RGB(255, 255, 255)) << "the page";
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(glyph);
}

}  // namespace
