// The pages the private spooler printed: each job is a file in the directory named by
// TETRAFOL_PRINTS (PostScript, as Wine's driver sends it); tests wait for new ones and
// render them with Ghostscript to read pixels.
#pragma once
#include <windows.h>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Remembers the job files present when made; reports the ones that appear afterwards.
class PrintJobWatcher {
public:
    PrintJobWatcher();
    // Linux paths of job files new (or rewritten) since construction or the last Take.
    std::vector<std::string> NewJobs() const;
    // Waits until a new job file appears; returns its Linux path ("" on timeout) and
    // counts it as seen.
    std::string WaitForNewJob(DWORD timeoutMs = 30000);
    // Waits `quietMs` and returns how many new job files appeared meanwhile.
    size_t CountNewJobsAfter(DWORD quietMs);

private:
    std::map<std::string, uint64_t> Scan() const;
    std::map<std::string, uint64_t> seen_;
};

// The first page of a job, rendered and turned so that its pixels line up with the
// printer's device pixels (a landscape page is spooled as a portrait sheet with its
// drawing turned; it is turned back here). 0x00RRGGBB, top row first.
struct RenderedPage {
    int pages = 0;           // pages in the document; 0 when it could not be rendered
    bool landscape = false;  // the document declares landscape orientation
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The smallest rectangle holding every pixel within `tolerance` (per channel) of
    // `rgb`; empty (all zero) when there is none. Right and bottom are exclusive.
    RECT BoxOf(uint32_t rgb, int tolerance = 40) const;
    // How many pixels are within `tolerance` of `rgb` inside `area`.
    long Count(uint32_t rgb, const RECT& area, int tolerance = 40) const;
};

// Renders a job file (PostScript or PDF) with Ghostscript at `dpi`.
RenderedPage RenderJob(const std::string& unixJobPath, int dpi = 300);

// The directory of job files (Linux path), from TETRAFOL_PRINTS.
std::string PrintsDirectory();

// The printer's landscape page as the program will see it, asked of the same spooler.
struct PageGeometry {
    int width = 0, height = 0, dpi = 0;
    int offsetX = 0, offsetY = 0;  // the printable area's origin on the sheet
};
PageGeometry LandscapeGeometry();

class AppProcess;
// Clicks "印刷" in the running program's main window, confirms the print dialog and waits
// for the job; answers its Linux path, or "" when no dialog or no job came.
std::string PrintSheetConfirmed(AppProcess& app, HWND main);
