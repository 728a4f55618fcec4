// Files dropped on a window (WM_DROPFILES): the names and the point the system hands over,
// and the drop's memory given back when the owner goes, on every path out of the handler.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

class TDroppedFiles {
public:
    explicit TDroppedFiles(HDROP drop) : drop_(drop) {}
    ~TDroppedFiles();  // DragFinish
    TDroppedFiles(const TDroppedFiles&) = delete;
    TDroppedFiles& operator=(const TDroppedFiles&) = delete;

    // The full paths in the order the system gave them, in the ANSI code page as every other
    // file name the program handles (a character the code page lacks comes out as "?", and
    // such a file fails to open as it would when typed into the open dialog).
    std::vector<std::string> Names() const;
    // Where the files were let go, in the window's client coordinates; false when that was
    // outside the client area (on the frame or the title bar).
    bool ClientPoint(POINT& point) const;

private:
    HDROP drop_;
};
