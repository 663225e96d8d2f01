// The common file dialogs: flags, filters, titles, placement.
#include "WflFile.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "WflStrings.h"
#include "WflWnd.h"
#include "Text.h"

namespace {

constexpr std::size_t kPathBytes = 3 * MAX_PATH + 1;

std::string_view fieldValue(std::span<char> field) {
    // A field may also carry a NUL before its end.
    std::string_view s(field.data(), field.size());
    return textkit::trimRight(s.substr(0, CLEN(s)));
}

void setField(std::span<char> field, std::string_view value) {
    const std::size_t n = std::min(value.size(), field.size());
    std::copy_n(value.data(), n, field.data());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(n), field.end(), ' ');
}

// The folder and the name of one chosen file, split at its last separator.
// The dialog's own nFileOffset is not used: Wine counts it in characters,
// not bytes, when the code page takes several bytes a character (measured
// with UTF-8: the split fell inside the folder's name).
void splitChosen(std::string_view path, std::span<char> directory, std::span<char> fileName) {
    const std::size_t slash = path.find_last_of("\\/");
    setField(directory, slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash));
    setField(fileName, slash == std::string_view::npos ? path : path.substr(slash + 1));
}

struct Placement {
    int x = -1;
    int y = -1;
    HWND owner = nullptr;
    bool placed = false;
};

// Moves or centres the dialog once it exists, then brings it to the front.
void placeDialog(HWND dialog, Placement& place) {
    if (place.placed || dialog == nullptr) return;
    place.placed = true;
    RECT box{};
    GetWindowRect(dialog, &box);
    int left = place.x, top = place.y;
    if (place.x == -1 || place.y == -1) {
        RECT area{};
        HWND over = IsWindow(place.owner) ? place.owner : GetDesktopWindow();
        GetWindowRect(over, &area);
        left = (area.left + area.right - (box.right - box.left)) / 2;
        top = (area.top + area.bottom - (box.bottom - box.top)) / 2;
    }
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetForegroundWindow(dialog);
}

// The hook of explorer-style dialogs runs for a child dialog inside the
// real one, so the window to move is its parent.
UINT_PTR CALLBACK fileDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
        SetWindowLongPtrA(child, DWLP_USER, static_cast<LONG_PTR>(ofn->lCustData));
        return 0;
    }
    if (message == WM_NOTIFY) {
        const auto* note = reinterpret_cast<const OFNOTIFYA*>(lParam);
        if (note->hdr.code == CDN_INITDONE) {
            auto* place = reinterpret_cast<Placement*>(GetWindowLongPtrA(child, DWLP_USER));
            if (place) placeDialog(GetParent(child), *place);
        }
    }
    return 0;
}

struct DialogRun {
    OPENFILENAMEA ofn{};
    std::string filters;
    std::string initialDir;
    std::string titleText;
    std::vector<char> names;
    Placement place;
};

// What one file dialog is asked to show.
struct DialogRequest {
    XWND& owner;
    std::span<char> directory;   // where it opens; the current folder when blank
    std::string_view firstName;  // the name it shows first
    DWORD flags = 0;
    XFileFilter filter;
    std::string_view title;         // blank: defaultTitle
    std::string_view defaultTitle;  // "Open" or "Save"
    XDialogPlace place;
    // Bytes for the chosen names: a path of MAX_PATH characters takes up to
    // three bytes a character in UTF-8, and a name that does not fit makes
    // the dialog fail as if it were cancelled.
    std::size_t nameRoom = kPathBytes;
};

void prepare(DialogRun& run, const DialogRequest& request) {
    const auto& [owner, directory, firstName, flags, filter, title, defaultTitle, place, nameRoom] = request;
    run.filters = fileFilterList(filter);
    run.initialDir = std::string(fieldValue(directory));
    if (run.initialDir.empty()) {
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        run.initialDir = cwd;
    }
    // The system's own default titles differ between versions ("Save As");
    // ours are always "Open" and "Save".
    run.titleText = std::string(textkit::trimRight(title).empty() ? defaultTitle : textkit::trimRight(title));
    run.names.assign(nameRoom, '\0');
    std::copy_n(firstName.data(), std::min(firstName.size(), nameRoom - 1), run.names.data());
    run.place.x = place.x && place.y ? *place.x : -1;
    run.place.y = place.x && place.y ? *place.y : -1;
    run.place.owner = IsWindow(owner.hwnd) ? owner.hwnd : nullptr;

    OPENFILENAMEA& ofn = run.ofn;
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = run.place.owner;
    ofn.lpstrFilter = run.filters.c_str();
    ofn.lpstrFile = run.names.data();
    ofn.nMaxFile = static_cast<DWORD>(run.names.size());
    ofn.lpstrInitialDir = run.initialDir.c_str();
    ofn.lpstrTitle = run.titleText.c_str();
    ofn.Flags = flags;
    ofn.lpfnHook = fileDialogHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&run.place);
}

DWORD chosenFlags(std::optional<DWORD> flags, DWORD defaults) {
    return flags ? (*flags | OFN_EXPLORER | OFN_ENABLEHOOK) : defaults;
}

}  // namespace

std::string fileFilterList(XFileFilter filter) {
    std::string list;
    const std::size_t pairs = std::min(filter.patterns.size(), filter.descriptions.size());
    if (pairs == 0) {
        list.append("All files (*.*)").push_back('\0');
        list.append("*").push_back('\0');
    }
    for (std::size_t i = 0; i < pairs; ++i) {
        list.append(textkit::trimRight(filter.descriptions[i])).push_back('\0');
        list.append(textkit::trimRight(filter.patterns[i])).push_back('\0');
    }
    list.push_back('\0');
    return list;
}

bool PXGETOPENFILE_1(XWND& owner, std::span<char> directory, int& filterIndex, std::span<char> fileName,
                     std::optional<DWORD> flags, XFileFilter filter, std::string_view title, XDialogPlace place) {
    const std::span<char> one[1] = {fileName};
    return PXGETOPENFILE_2(owner, directory, filterIndex, one, flags, filter, title, place);
}

bool PXGETOPENFILE_2(XWND& owner, std::span<char> directory, int& filterIndex,
                     std::span<const std::span<char>> fileNames, std::optional<DWORD> flags, XFileFilter filter,
                     std::string_view title, XDialogPlace place) {
    if (fileNames.empty()) return false;
    DWORD defaults = kOpenFileFlags;
    if (fileNames.size() > 1) defaults |= OFN_ALLOWMULTISELECT;
    DialogRun run;
    prepare(run, {owner, directory, fieldValue(fileNames[0]), chosenFlags(flags, defaults), filter, title, "Open", place,
                  fileNames.size() > 1 ? std::size_t{32768} : kPathBytes});
    run.ofn.nFilterIndex = static_cast<DWORD>(std::max(filterIndex, 0));
    if (!GetOpenFileNameA(&run.ofn)) return false;  // cancelled or failed: fields unchanged

    filterIndex = static_cast<int>(run.ofn.nFilterIndex);
    const char* buffer = run.names.data();
    const std::size_t offset = run.ofn.nFileOffset;
    if (offset > 0 && buffer[offset - 1] == '\0') {
        // Several names: the folder, then each name, each NUL-terminated.
        setField(directory, buffer);
        std::size_t i = 0;
        for (const char* p = buffer + offset; *p != '\0' && i < fileNames.size(); p += std::strlen(p) + 1) {
            setField(fileNames[i++], p);
        }
        for (; i < fileNames.size(); ++i) setField(fileNames[i], {});
        return true;
    }
    splitChosen(buffer, directory, fileNames[0]);
    for (std::size_t i = 1; i < fileNames.size(); ++i) setField(fileNames[i], {});
    return true;
}

bool XGETSAVEFILE(XWND& owner, std::span<char> directory, std::span<char> fileName, std::optional<DWORD> flags,
                  XFileFilter filter, std::string_view title, XDialogPlace place) {
    DialogRun run;
    prepare(run, {owner, directory, fieldValue(fileName), chosenFlags(flags, kSaveFileFlags), filter, title, "Save",
                  place});
    if (!GetSaveFileNameA(&run.ofn)) return false;
    splitChosen(run.names.data(), directory, fileName);
    return true;
}
