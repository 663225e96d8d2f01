// Folder picker, directory listing and shell shortcuts.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "WflFile.h"
#include "WflStrings.h"
#include "WflWnd.h"
#include "Text.h"

namespace {

int CALLBACK browseCallback(HWND window, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED) SetWindowTextA(window, "Browse");
    return 0;
}

// COM for the length of one call, whatever the thread had before.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (ok_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool ok_;
};

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

}  // namespace

bool XBROWSE(XWND& owner, std::span<char> folder) {
    ComScope com;
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = IsWindow(owner.hwnd) ? owner.hwnd : nullptr;
    info.pszDisplayName = display;
    info.lpszTitle = "Select folder:";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = browseCallback;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr) return false;
    char path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListA(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (ok) XC2F(path, folder);
    return ok;
}

std::vector<std::string> XENUMFILES(std::string_view directory) {
    std::vector<std::string> names;
    const std::string pattern = textkit::trimmedRight(directory) + "\\*.*";
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string_view name = found.cFileName;
        if (name != "." && name != "..") names.emplace_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool XCREATESHORTCUT(std::string_view target, std::string_view linkPath, std::string_view description,
                     std::string_view arguments, std::string_view workingDirectory) {
    ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.p)))) {
        return false;
    }
    link.p->SetPath(textkit::trimmedRight(target).c_str());
    if (!textkit::trimmedRight(description).empty()) link.p->SetDescription(textkit::trimmedRight(description).c_str());
    if (!textkit::trimmedRight(arguments).empty()) link.p->SetArguments(textkit::trimmedRight(arguments).c_str());
    if (!textkit::trimmedRight(workingDirectory).empty()) {
        link.p->SetWorkingDirectory(textkit::trimmedRight(workingDirectory).c_str());
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p)))) return false;
    const std::vector<wchar_t> wide = XUNICODE(textkit::trimmedRight(linkPath));
    return SUCCEEDED(file.p->Save(wide.data(), TRUE));
}
