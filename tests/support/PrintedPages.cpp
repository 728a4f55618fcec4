#include "support/PrintedPages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <utility>

#include "printing/Printer.h"
#include "support/Form1Points.h"
#include "support/UiDriver.h"

std::string PrintsDirectory() {
    const char* dir = std::getenv("TETRAFOL_PRINTS");
    return dir ? dir : "";
}

namespace {

// Sends the default queue a raw job of its own; answers its number (0 when the spooler
// did not take it). "request id is Tetrafol_PDF-12 (0 file(s))"
int SendMarkerJob() {
    std::string answer;
    if (RunUnixShell("echo tetrafol-marker | LC_ALL=C lp -o raw -t tetrafol-marker", &answer, 30000) != 0) return 0;
    const size_t at = answer.find("request id is ");
    if (at == std::string::npos) return 0;
    const size_t end = answer.find(' ', at + 14);
    const size_t dash = answer.rfind('-', end);
    return dash == std::string::npos || dash < at ? 0 : std::atoi(answer.c_str() + dash + 1);
}

}  // namespace

PrintJobWatcher::PrintJobWatcher() : atStart_(Scan()), taken_(SendMarkerJob()) {}

std::map<std::string, PrintJobWatcher::JobFile> PrintJobWatcher::Scan() const {
    std::map<std::string, JobFile> files;
    const std::string dir = PrintsDirectory();
    if (dir.empty()) return files;
    const std::string windowsDir = WindowsPathOf(dir);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((windowsDir + "\\job-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        JobFile job;
        char ext[16] = {};
        if (std::sscanf(found.cFileName, "job-%d.%15s", &job.number, ext) != 2) continue;
        job.marker = std::strcmp(ext, "prn") == 0;
        job.stamp = ((static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                     found.ftLastWriteTime.dwLowDateTime) ^ found.nFileSizeLow;
        files[dir + "/" + found.cFileName] = job;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

std::vector<std::string> PrintJobWatcher::NewJobs() {
    std::vector<std::pair<int, std::string>> fresh;
    for (const auto& [path, job] : Scan()) {
        auto old = atStart_.find(path);
        if (old != atStart_.end() && old->second.stamp == job.stamp) continue;  // an earlier run's file
        if (job.marker)
            DeleteFileA(WindowsPathOf(path).c_str());
        else if (job.number > taken_)
            fresh.emplace_back(job.number, path);
    }
    std::sort(fresh.begin(), fresh.end());
    std::vector<std::string> paths;
    for (auto& [number, path] : fresh) paths.push_back(path);
    return paths;
}

std::string PrintJobWatcher::WaitForNewJob(DWORD timeoutMs) {
    std::string path;
    WaitUntil([&] {
        const std::vector<std::string> fresh = NewJobs();
        if (fresh.empty()) return false;
        path = fresh.front();
        return true;
    }, timeoutMs);
    if (!path.empty()) taken_ = Scan()[path].number;
    return path;
}

size_t PrintJobWatcher::CountNewJobs() {
    const int marker = SendMarkerJob();
    const std::string markerFile = WindowsPathOf(PrintsDirectory() + "/job-" + std::to_string(marker) + ".prn");
    if (!marker || !WaitUntil([&] { return GetFileAttributesA(markerFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
        return SIZE_MAX;  // without the barrier no count can be trusted
    size_t count = 0;
    for (const std::string& path : NewJobs()) count += Scan()[path].number < marker;
    DeleteFileA(markerFile.c_str());
    taken_ = marker;
    return count;
}

namespace {

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        if (std::abs(ca - cb) > tolerance) return false;
    }
    return true;
}

// The next header number of a PPM, skipping blanks and "#" comments.
bool ReadHeaderNumber(FILE* f, int& value) {
    int c = std::fgetc(f);
    for (;;) {
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = std::fgetc(f);
        if (c != '#') break;
        while (c != '\n' && c != EOF) c = std::fgetc(f);
    }
    if (c < '0' || c > '9') return false;
    value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        c = std::fgetc(f);
    }
    return true;  // the one blank after the number is consumed
}

// Reads a binary PPM (P6, maxval 255).
bool ReadPpm(const std::string& windowsPath, RenderedPage& page) {
    FILE* f = std::fopen(windowsPath.c_str(), "rb");
    if (!f) return false;
    int maxval = 0;
    const bool ok = std::fgetc(f) == 'P' && std::fgetc(f) == '6' && ReadHeaderNumber(f, page.width) &&
                    ReadHeaderNumber(f, page.height) && ReadHeaderNumber(f, maxval) && maxval == 255 &&
                    page.width > 0 && page.height > 0;
    if (!ok) {
        std::fclose(f);
        return false;
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(page.width) * page.height * 3);
    const bool complete = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    if (!complete) return false;
    page.pixels.resize(static_cast<size_t>(page.width) * page.height);
    for (size_t i = 0; i < page.pixels.size(); ++i)
        page.pixels[i] = (bytes[i * 3] << 16) | (bytes[i * 3 + 1] << 8) | bytes[i * 3 + 2];
    return true;
}

}  // namespace

RECT RenderedPage::BoxOf(uint32_t rgb, int tolerance) const {
    RECT box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Near(At(x, y), rgb, tolerance)) {
                if (x < box.left) box.left = x;
                if (y < box.top) box.top = y;
                if (x + 1 > box.right) box.right = x + 1;
                if (y + 1 > box.bottom) box.bottom = y + 1;
            }
    if (box.right == 0) return RECT{0, 0, 0, 0};
    return box;
}

long RenderedPage::Count(uint32_t rgb, const RECT& area, int tolerance) const {
    long count = 0;
    for (int y = std::max<int>(0, area.top); y < std::min<int>(height, area.bottom); ++y)
        for (int x = std::max<int>(0, area.left); x < std::min<int>(width, area.right); ++x)
            if (Near(At(x, y), rgb, tolerance)) ++count;
    return count;
}

RenderedPage RenderJob(const std::string& unixJobPath, int dpi) {
    RenderedPage page;
    static int counter = 0;
    const std::string prefix = "/tmp/tetrafol-page-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++counter);
    const std::string script =
        "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=ppmraw -r" + std::to_string(dpi) + " -sOutputFile=" +
        prefix + "-%d.ppm '" + unixJobPath + "' >/dev/null && echo pages=$(ls " + prefix +
        "-*.ppm | wc -l) && echo landscape=$(head -c 4096 '" + unixJobPath +
        "' | grep -a -c '^%%Orientation: Landscape')";
    std::string answer;
    const int code = RunUnixShell(script, &answer, 120000);
    int pages = 0, landscape = 0;
    if (const char* p = std::strstr(answer.c_str(), "pages=")) std::sscanf(p, "pages=%d", &pages);
    if (const char* p = std::strstr(answer.c_str(), "landscape=")) std::sscanf(p, "landscape=%d", &landscape);
    RenderedPage sheet;
    const bool read = code == 0 && ReadPpm(WindowsPathOf(prefix + "-1.ppm"), sheet);
    RunUnixShell("rm -f " + prefix + "-*.ppm");
    if (!read) return page;
    page.pages = pages;
    page.landscape = landscape > 0;
    if (!page.landscape || sheet.width > sheet.height) {
        sheet.pages = pages;
        sheet.landscape = page.landscape;
        return sheet;
    }
    // The sheet holds the landscape drawing turned: device (x, y) is sheet column y,
    // row (sheet height - 1 - x).
    page.width = sheet.height;
    page.height = sheet.width;
    page.pixels.resize(sheet.pixels.size());
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            page.pixels[static_cast<size_t>(y) * page.width + x] = sheet.At(y, sheet.height - 1 - x);
    return page;
}

PageGeometry LandscapeGeometry() {
    TPrinter printer;
    printer.SetPageOrientation(TPrinterOrientation::poLandscape);
    PageGeometry page;
    page.width = printer.PrintableWidth();
    page.height = printer.PrintableHeight();
    page.dpi = GetDeviceCaps(printer.DeviceContext(), LOGPIXELSX);
    page.offsetX = GetDeviceCaps(printer.DeviceContext(), PHYSICALOFFSETX);
    page.offsetY = GetDeviceCaps(printer.DeviceContext(), PHYSICALOFFSETY);
    return page;
}

RenderedPage RenderNextJob(PrintJobWatcher& jobs, int dpi, DWORD timeoutMs) {
    const std::string job = jobs.WaitForNewJob(timeoutMs);
    return job.empty() ? RenderedPage() : RenderJob(job, dpi);
}

std::string PrintSheetConfirmed(AppProcess& app, HWND main) {
    PrintJobWatcher jobs;
    ClickClient(main, kPrintButton.x, kPrintButton.y);
    HWND dialog = app.WaitForDialog(nullptr);
    if (!dialog) return "";
    PressButton(dialog, IDOK);
    return jobs.WaitForNewJob();
}
