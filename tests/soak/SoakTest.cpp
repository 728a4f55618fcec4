// The soak: the main window's own work repeated until leaks would show. Load cycles put
// each kind of picture in turn into a slot (through the slot's picture container, as the
// slot's click does after its dialog), paint the window and press "クリア"; print cycles
// fill all four slots, press "印刷" with the print dialog confirmed, and clear. After
// every cycle the process's GDI objects, USER objects, private bytes and heap bytes in use
// are read. After the warm-up they must stay flat.
//
// The short form runs in make test; make soak sets TETRAFOL_SOAK_CYCLES=1000 and
// TETRAFOL_SOAK_PRINTS=50.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "display/Image.h"
#include "framework/Application.h"
#include "graphics/Picture.h"
#include "rtl/Exceptions.h"
#include "support/PrintedPages.h"
#include "support/ProcessFigures.h"
#include "support/SamplePictures.h"
#include "support/SystemDialogAnswerer.h"
#include "support/TempDir.h"
#include "support/UiDriver.h"
#include "support/TerminalText.h"

namespace {

int CountFromEnvironment(const char* name, int shortForm) {
    const char* value = std::getenv(name);
    const int n = value ? std::atoi(value) : 0;
    return n > 0 ? n : shortForm;
}

// Flatness: the lowest reading of the last window may exceed the highest reading of the
// window right after the warm-up by no more than the tolerance. A leak raises every
// reading from some cycle on, so it lifts the end window's lowest reading, while objects
// and blocks that come and go within a cycle (caches, the allocator's free lists) only
// move single readings. The tolerances allow for a cache that fills once more late:
// two GDI or USER objects, 2 MiB of private bytes (the allocator reserves in steps),
// 4 KiB of heap (where nothing leaks, the heap in use ends within a few hundred bytes of
// where it was). Over the full 1000 load cycles a leak of one object per 400 cycles, or
// of 5 heap bytes per cycle, fails.
struct Limit {
    const char* name;
    double tolerance;
    double (*read)(const ProcessFigures&);
};
const Limit kLimits[] = {
    {"GDI objects", 2, [](const ProcessFigures& f) { return double(f.gdiObjects); }},
    {"USER objects", 2, [](const ProcessFigures& f) { return double(f.userObjects); }},
    {"private bytes", 2.0 * 1024 * 1024, [](const ProcessFigures& f) { return double(f.privateBytes); }},
    {"heap bytes in use", 4.0 * 1024, [](const ProcessFigures& f) { return double(f.heapBytesInUse); }},
};

std::string Amount(double value, const Limit& limit) {
    char text[64];
    if (limit.tolerance >= 1024) std::snprintf(text, sizeof text, "%.1f KiB", value / 1024.0);
    else std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// Checks one series and prints its figures; the warm-up is the first tenth (at least 2).
void ExpectFlat(const char* what, const std::vector<ProcessFigures>& readings) {
    const size_t n = readings.size();
    const size_t warmUp = std::max<size_t>(2, n / 10);
    const size_t window = std::max<size_t>(2, n / 10);
    ASSERT_GE(n, warmUp + 2 * window) << "too few cycles to judge " << what;
    std::printf("%s: %zu cycles, warm-up %zu, windows of %zu\n", what, n, warmUp, window);
    for (const Limit& limit : kLimits) {
        double baseHigh = 0, endLow = 1e300;
        for (size_t i = warmUp; i < warmUp + window; ++i) baseHigh = std::max(baseHigh, limit.read(readings[i]));
        for (size_t i = n - window; i < n; ++i) endLow = std::min(endLow, limit.read(readings[i]));
        std::printf("  %-18s first %-12s after warm-up (highest) %-12s end (lowest) %-12s growth %s\n",
                    limit.name, Amount(limit.read(readings[0]), limit).c_str(), Amount(baseHigh, limit).c_str(),
                    Amount(endLow, limit).c_str(), Amount(endLow - baseHigh, limit).c_str());
        EXPECT_GE(limit.read(readings[0]), 0) << limit.name << " cannot be read";
        EXPECT_LE(endLow - baseHigh, limit.tolerance)
            << what << ": " << limit.name << " grew from " << Amount(baseHigh, limit) << " to "
            << Amount(endLow, limit);
    }
    std::fflush(stdout);
}

class Soak : public testing::Test {
protected:
    void SetUp() override {
        Application().Initialize();
        // Small pictures: the soak is about what stays behind, not about speed.
        samples_ = {{"photo.jpg", "JPEG", folder_.File("photo.jpg")},
                    {"bars.bmp", "BMP", folder_.File("bars.bmp")},
                    {"badge.ico", "icon", folder_.File("badge.ico")},
                    {"shapes.emf", "EMF", folder_.File("shapes.emf")}};
        WritePhotoJpeg(samples_[0].path, 320, 240);
        WriteBarsBmp(samples_[1].path, 160, 120);
        WriteBadgeIcon(samples_[2].path);
        WriteShapesEmf(samples_[3].path, 40, 30);
        form_ = std::make_unique<TForm1>();
        form_->Show(SW_SHOWNORMAL);
        slots_ = {form_->Image1, form_->Image2, form_->Image3, form_->Image4};
    }
    void TearDown() override {
        form_.reset();
        Application().ProcessMessages();
        for (const auto& [kind, count] : loaded_) std::printf("  %s pictures loaded %d times\n", kind.c_str(), count);
        for (const auto& [kind, failure] : failures_)
            std::printf("  %s pictures did not load (%d times): %s\n", kind.c_str(), failure.count,
                        TerminalText(failure.message).c_str());
        std::fflush(stdout);
    }

    // Loads as the slot's click does once its dialog is confirmed; a picture the program
    // refuses is counted and reported (the message box is the only difference).
    void Load(int slot, const SamplePicture& sample) {
        try {
            slots_[slot]->Picture().LoadPictureFile(sample.path);
            ++loaded_[sample.kind];
        } catch (const Exception& error) {
            Failure& failure = failures_[sample.kind];
            ++failure.count;
            failure.message = error.Message();
        }
    }
    void Paint() {
        RedrawWindow(form_->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Application().ProcessMessages();
    }
    void Clear() {
        form_->Button2Click(form_->Button2);
        Application().ProcessMessages();
    }
    // Prints the sheet through the confirmed print dialog; the job file is checked for
    // and removed, so the spooler's folder does not fill up.
    void Print() {
        PrintJobWatcher jobs;
        {
            SystemDialogAnswerer answer([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
            form_->Button1Click(form_->Button1);
        }
        Application().ProcessMessages();
        const std::string job = jobs.WaitForNewJob(60000);
        ASSERT_NE(job, "") << "the spooler received no job";
        DeleteFileA(WindowsPathOf(job).c_str());
    }

    struct Failure {
        int count = 0;
        std::string message;
    };
    TempDir folder_;
    std::vector<SamplePicture> samples_;
    std::unique_ptr<TForm1> form_;
    std::vector<TImage*> slots_;
    std::map<std::string, int> loaded_;
    std::map<std::string, Failure> failures_;
};

TEST_F(Soak, LoadDrawAndClearCyclesLeaveNothingBehind) {
    const int cycles = CountFromEnvironment("TETRAFOL_SOAK_CYCLES", 120);
    std::vector<ProcessFigures> readings;
    readings.reserve(size_t(cycles));  // allocated up front: the heap figure is the program's
    for (int i = 0; i < cycles; ++i) {
        Load(i % 4, samples_[size_t(i) % samples_.size()]);
        Paint();
        Clear();
        readings.push_back(ReadProcessFigures());
    }
    ExpectFlat("load, draw and clear", readings);
}

TEST_F(Soak, PrintCyclesLeaveNothingBehind) {
    const int cycles = CountFromEnvironment("TETRAFOL_SOAK_PRINTS", 8);
    std::vector<ProcessFigures> readings;
    readings.reserve(size_t(cycles));  // allocated up front: the heap figure is the program's
    for (int i = 0; i < cycles; ++i) {
        for (int slot = 0; slot < 4; ++slot) Load(slot, samples_[size_t(slot)]);
        Paint();
        Print();
        if (HasFatalFailure()) return;
        Clear();
        readings.push_back(ReadProcessFigures());
    }
    ExpectFlat("print", readings);
}

}  // namespace

namespace {

// The USER counter sees a window and an icon that are left behind, and their going.
TEST(UserCounter, CountsAWindowAndAnIconLeftBehind) {
    const int before = LiveUserObjects();
    ASSERT_GT(before, 0);
    HWND window = CreateWindowExA(0, "STATIC", "left behind", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(LiveUserObjects(), before + 1);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, window, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    EXPECT_EQ(LiveUserObjects(), before + 2);
    const BYTE andMask[32 * 4] = {}, xorMask[32 * 4] = {};
    HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andMask, xorMask);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LiveUserObjects(), before + 3);
    DestroyIcon(icon);
    DestroyWindow(child);
    DestroyWindow(window);
    EXPECT_EQ(LiveUserObjects(), before);
}

// Private bytes follow a committed block.
TEST(ProcessFiguresTest, PrivateBytesFollowACommittedBlock) {
    const uint64_t before = ReadProcessFigures().privateBytes;
    ASSERT_GT(before, 0u);
    const size_t size = 16 * 1024 * 1024;
    void* block = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    const uint64_t during = ReadProcessFigures().privateBytes;
    VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_GE(during, before + size - 1024 * 1024);
    EXPECT_LE(ReadProcessFigures().privateBytes, during - size + 1024 * 1024);
}

}  // namespace
