// The headless demo: starts Tetrafol.exe and uses it as a person would. It clicks each slot,
// picks one of four sample pictures (a JPEG photo, a BMP, an icon, an EMF drawing) in the
// picture-open dialog by selecting it in the file list, clicks "印刷", confirms the print
// dialog and checks the job the spooler received: one landscape page with each loaded
// picture in its cell. Leaves screenshots of the filled window and of the dialog with its
// preview as BMP files; scripts/demo.sh turns them and the job into the demo's files.
//
// Usage (inside the rig): tetrafol_demo.exe <output directory, Linux path>
// Exit code 0 when every loaded picture was printed in its cell on one landscape page; a
// picture that does not load is reported, and its empty cell is what the sheet must show.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include <commctrl.h>

#include "support/Form1Points.h"
#include "support/PrintedPages.h"
#include "support/SamplePictures.h"
#include "support/SheetCells.h"
#include "support/TerminalText.h"
#include "support/UiDriver.h"

namespace {

const char* const kSlotPlaces[4] = {"top left", "top right", "bottom left", "bottom right"};

// Picks `sample` in the open dialog the way a person does: types its folder into the
// file-name box and presses Enter, then selects the file in the list by typing its name,
// which also shows its preview. Falls back to typing the full path when the list does
// not answer; the caller confirms.
bool SelectInDialog(HWND dialog, const std::string& folder, const SamplePicture& sample) {
    HWND list = nullptr;
    // The list is made anew for the folder; it answers once it holds the folder's files.
    if (AppProcess::AnswerOpenDialog(dialog, folder) && WaitUntil([&] {
            list = FindChild(dialog, "SysListView32");
            return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
        }, 5000)) {
        const RECT r = ScreenRectOf(list);
        ClickScreen(r.right - 12, r.bottom - 12);  // blank space of the list: gives it the focus
        if (WaitUntil([&] { return FocusOf(dialog) == list; }, 3000)) {
            TypeText(sample.fileName);
            if (WaitUntil([&] { return Lower(EditText(AppProcess::FileNameEdit(dialog))) == Lower(sample.fileName); }, 3000) &&
                Settle(dialog))  // the preview follows the selection
                return true;
        }
    }
    SendMessageA(AppProcess::FileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sample.path.c_str()));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tetrafol_demo.exe <output directory (Linux path)>\n");
        return 2;
    }
    const std::string outUnix = argv[1];
    const std::string out = WindowsPathOf(outUnix);
    CreateDirectoryA(out.c_str(), nullptr);
    const std::string folder = out + "\\pictures\\";
    const std::vector<SamplePicture> samples = WriteSamplePictures(folder);
    std::printf("sample pictures written to %s/pictures\n", outUnix.c_str());

    AppProcess app;
    HWND main = app.Ready();
    if (!main) {
        std::printf("FAILED: the main window did not appear\n");
        return 1;
    }

    bool loaded[4] = {};
    std::string notLoaded;
    for (int slot = 0; slot < 4; ++slot) {
        const SamplePicture& sample = samples[slot];
        ClickClient(main, kSlotCentre[slot].x, kSlotCentre[slot].y);
        HWND dialog = app.WaitForDialog(nullptr);
        if (!dialog) {
            std::printf("FAILED: a click on slot %d opened no picture-open dialog\n", slot + 1);
            return 1;
        }
        const bool fromList = SelectInDialog(dialog, folder, sample);
        if (slot == 0) CaptureScreen(ScreenRectOf(dialog)).SaveBmp(out + "\\dialog.bmp");
        ClickCentre(ScreenRectOf(GetDlgItem(dialog, IDOK)));  // a real click on the button
        const std::string error =
            app.Finished(dialog) ? app.TakeErrorBox(1000).text : "(the program did not finish loading it)";
        loaded[slot] = error.empty();
        std::printf("slot %d (%s): %-16s %-5s %s%s\n", slot + 1, kSlotPlaces[slot], sample.fileName.c_str(),
                    sample.kind.c_str(), loaded[slot] ? "loaded" : "NOT LOADED: ", TerminalText(error).c_str());
        if (!fromList) std::printf("        (the file list did not take the name; typed the path instead)\n");
        if (!loaded[slot]) notLoaded += " " + sample.kind;
    }
    CaptureScreen(ScreenRectOf(main)).SaveBmp(out + "\\window.bmp");

    PrintJobWatcher jobs;
    ClickClient(main, kPrintButton.x, kPrintButton.y);
    HWND printDialog = app.WaitForDialog(nullptr, 20000);
    if (!printDialog) {
        std::printf("FAILED: a click on the print button opened no print dialog\n");
        return 1;
    }
    ClickCentre(ScreenRectOf(GetDlgItem(printDialog, IDOK)));
    // The job file, or the error box of a sheet that failed.
    const std::string printError = app.Finished(printDialog, 300000) ? app.TakeErrorBox(0).text : "(no answer)";
    if (!printError.empty()) {
        std::printf("FAILED: printing showed \"%s\"\n", TerminalText(printError).c_str());
        return 1;
    }
    const std::string job = jobs.WaitForNewJob(300000);
    if (job.empty()) {
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        CaptureScreen(screen).SaveBmp(out + "\\failure.bmp");
        std::printf("FAILED: the spooler received no job in 5 minutes (the screen: %s/failure.png)\n",
                    outUnix.c_str());
        return 1;
    }
    std::printf("job=%s\n", job.c_str());

    // What the sheet must show: each loaded picture inside its own cell, nothing in the
    // cells of pictures that did not load.
    const RenderedPage page = RenderJob(job, kSheetDpi);
    bool sheetRight = bool(IsOneRigSheet(page));
    int drawn = 0;
    for (int slot = 0; slot < 4 && sheetRight; ++slot) {
        const RECT& cell = kSheetCells[slot];
        const bool inked = page.Count(cell, 0xFFFFFF, 8) < long(cell.right - cell.left) * (cell.bottom - cell.top);
        drawn += inked;
        if (inked != loaded[slot]) sheetRight = false;
    }
    std::string summary = std::to_string(loaded[0] + loaded[1] + loaded[2] + loaded[3]) + " of 4 pictures loaded" +
                          (notLoaded.empty() ? "" : " (not loaded:" + notLoaded + ")");
    summary += "; printed " + std::to_string(page.pages) + " page" + (page.pages == 1 ? "" : "s") + ", " +
               (page.landscape ? "landscape" : "portrait") + " " + std::to_string(page.width) + " x " +
               std::to_string(page.height) + ", " + std::to_string(drawn) + " of 4 cells drawn";
    std::printf("summary=%s%s\n", sheetRight ? "" : "WRONG SHEET: ", summary.c_str());
    std::fflush(stdout);
    app.Close();
    app.WaitForExit(10000);
    return sheetRight ? 0 : 1;
}
