#include "app/Shortcuts.h"
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <memory>
#include "graphics/FileFormats.h"

namespace {

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComOwner = std::unique_ptr<T, ComRelease>;

// COM for the time of one lookup; on a thread that has it already (the open dialog sets it
// up and leaves it) this only counts up and down again.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

}  // namespace

std::string FollowShortcut(const std::string& path) {
    if (AnsiLowerCase(ExtractPictureExtension(path)) != "lnk") return path;
    ComScope com;
    void* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, &raw))) return path;
    ComOwner<IShellLinkA> link(static_cast<IShellLinkA*>(raw));
    if (FAILED(link->QueryInterface(IID_IPersistFile, &raw))) return path;
    ComOwner<IPersistFile> file(static_cast<IPersistFile*>(raw));
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size())));
    char target[MAX_PATH] = {};
    if (wide.empty() || FAILED(file->Load(wide.c_str(), STGM_READ)) ||
        link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK || !target[0])
        return path;
    return target;
}
