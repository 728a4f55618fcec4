#include "support/PrintedPages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>

#include "support/UiDriver.h"

namespace {

// The directory of job files (Linux path), from TETRAFOL_PRINTS.
std::string PrintsDirectory() {
    const char* dir = std::getenv("TETRAFOL_PRINTS");
    return dir ? dir : "";
}

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
    std::map<int, std::string> fresh;  // lowest number first
    for (const auto& [path, job] : Scan()) {
        auto old = atStart_.find(path);
        if (old != atStart_.end() && old->second.stamp == job.stamp) continue;  // an earlier run's file
        if (job.marker)
            DeleteFileA(WindowsPathOf(path).c_str());
        else if (job.number > taken_)
            fresh[job.number] = path;
    }
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

RenderedPage RenderJob(const std::string& unixJobPath, int dpi) {
    RenderedPage page;
    static int counter = 0;
    const std::string prefix = ScratchPath("page-" + std::to_string(++counter));
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
    const Pixels sheet = code == 0 ? ReadPpm(WindowsPathOf(prefix + "-1.ppm")) : Pixels();
    RunUnixShell("rm -f " + prefix + "-*.ppm");
    if (sheet.rgb.empty()) return page;
    page.pages = pages;
    page.landscape = landscape > 0;
    if (!page.landscape || sheet.width > sheet.height) {
        static_cast<Pixels&>(page) = sheet;
        return page;
    }
    // The sheet holds the landscape drawing turned: device (x, y) is sheet column y,
    // row (sheet height - 1 - x).
    page.width = sheet.height;
    page.height = sheet.width;
    page.rgb.resize(sheet.rgb.size());
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            page.rgb[static_cast<size_t>(y) * page.width + x] = sheet.At(y, sheet.height - 1 - x);
    return page;
}

RenderedPage RenderNextJob(PrintJobWatcher& jobs, int dpi, DWORD timeoutMs) {
    const std::string job = jobs.WaitForNewJob(timeoutMs);
    return job.empty() ? RenderedPage() : RenderJob(job, dpi);
}

std::string PrintSheetConfirmed(AppProcess& app) {
    PrintJobWatcher jobs;
    return app.Print(true) ? jobs.WaitForNewJob() : "";
}
