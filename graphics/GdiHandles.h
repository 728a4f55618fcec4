// Owners for GDI objects, device contexts and global memory: whatever path a function
// leaves by, what it made is released.
#pragma once
#include <windows.h>
#include <utility>

// A handle released by `Release` unless it has been given away with release().
template <class Handle, class Releaser>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        Handle old = std::exchange(handle_, handle);
        if (old) Releaser()(old);
    }

private:
    Handle handle_ = nullptr;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DeleteDeviceContext {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct FreeGlobalMemory {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};
struct DestroyIconHandle {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct DeleteEnhMetafile {
    void operator()(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
};
struct DeleteOldMetafile {
    void operator()(HMETAFILE h) const { DeleteMetaFile(h); }
};

using OwnedBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using OwnedPalette = UniqueHandle<HPALETTE, DeleteGdiObject>;
using OwnedFont = UniqueHandle<HFONT, DeleteGdiObject>;
using OwnedPen = UniqueHandle<HPEN, DeleteGdiObject>;
using OwnedBrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using OwnedRegion = UniqueHandle<HRGN, DeleteGdiObject>;
using OwnedGdiObject = UniqueHandle<HGDIOBJ, DeleteGdiObject>;
// A context made by CreateCompatibleDC or CreateDCA.
using OwnedDC = UniqueHandle<HDC, DeleteDeviceContext>;
using OwnedGlobal = UniqueHandle<HGLOBAL, FreeGlobalMemory>;
using OwnedIcon = UniqueHandle<HICON, DestroyIconHandle>;
using OwnedEnhMetafile = UniqueHandle<HENHMETAFILE, DeleteEnhMetafile>;
using OwnedMetafile = UniqueHandle<HMETAFILE, DeleteOldMetafile>;

// A context obtained with GetDC (nullptr: the screen), given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a context and puts the previous one back at the end of the scope,
// so the object can be deleted afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    bool ok() const { return old_ != nullptr && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The same for palettes, which have their own selection call.
class SelectedPalette {
public:
    SelectedPalette(HDC dc, HPALETTE palette, BOOL background = TRUE)
        : dc_(dc), background_(background), old_(palette ? SelectPalette(dc, palette, background) : nullptr) {}
    ~SelectedPalette() {
        if (old_) SelectPalette(dc_, old_, background_);
    }
    SelectedPalette(const SelectedPalette&) = delete;
    SelectedPalette& operator=(const SelectedPalette&) = delete;

private:
    HDC dc_;
    BOOL background_;
    HPALETTE old_;
};

// A locked global-memory block, unlocked at the end of the scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockGuard() {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* get() const { return data_; }
    template <class T>
    T* as() const { return static_cast<T*>(data_); }

private:
    HGLOBAL memory_;
    void* data_;
};

// Saves the whole state of a context (SaveDC) and restores it at the end of the scope.
class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDCState() {
        if (id_) RestoreDC(dc_, id_);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC dc_;
    int id_;
};

// A GDI call that must give an object gave none: EOutOfResources with the platform's text
// for the last error, or "システム リソースが足りません" when there is none.
[[noreturn]] void RaiseOutOfResources();
template <class Handle>
Handle GdiCheck(Handle handle) {
    if (!handle) RaiseOutOfResources();
    return handle;
}
