// The pages the private spooler printed: each job is a file in the directory named by
// TETRAFOL_PRINTS (PostScript, as Wine's driver sends it); tests wait for new ones and
// render them with Ghostscript to read pixels.
#pragma once
#include <windows.h>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/Pixels.h"

// Follows the spooler's jobs by their numbers. On construction it sends the queue a raw
// marker job: the jobs numbered above the marker are this watcher's, so a late job of an
// earlier test is never taken for this one. Markers come out as job-N.prn and are removed.
class PrintJobWatcher {
public:
    PrintJobWatcher();
    // Linux paths of this watcher's job files not taken yet, lowest number first.
    std::vector<std::string> NewJobs();
    // Waits for the next job after the last one taken; returns its Linux path ("" on
    // timeout) and counts it as taken.
    std::string WaitForNewJob(DWORD timeoutMs = 30000);
    // How many jobs not taken yet the spooler has written, once every job sent before
    // this call is out: the queue prints in order, so a marker sent now comes out after
    // them. Counts them as taken.
    size_t CountNewJobs();

private:
    struct JobFile {
        int number = 0;
        bool marker = false;
        uint64_t stamp = 0;
    };
    std::map<std::string, JobFile> Scan() const;
    std::map<std::string, JobFile> atStart_;
    int taken_ = 0;  // the highest job number accounted for
};

// The first page of a job, rendered and turned so that its pixels line up with the
// printer's device pixels (a landscape page is spooled as a portrait sheet with its
// drawing turned; it is turned back here).
struct RenderedPage : Pixels {
    int pages = 0;           // pages in the document; 0 when it could not be rendered
    bool landscape = false;  // the document declares landscape orientation
};

// How far a printed colour may stray from the colour drawn, channel by channel, once the
// renderer has smoothed its edges.
constexpr int kPrinted = 40;

// Renders a job file (PostScript or PDF) with Ghostscript at `dpi`.
RenderedPage RenderJob(const std::string& unixJobPath, int dpi = 300);
// The watcher's next job rendered at `dpi`; a page of 0 pages when no job came in time.
RenderedPage RenderNextJob(PrintJobWatcher& jobs, int dpi = 300, DWORD timeoutMs = 30000);

class AppProcess;
// Clicks "印刷" in the running program's main window, confirms the print dialog and waits
// for the job; answers its Linux path, or "" when no dialog or no job came.
std::string PrintSheetConfirmed(AppProcess& app);
