// WflFile: the common file dialogs and a few file-system services.
//
// Directory and file-name arguments are blank-padded fields of any capacity.
// On success the folder of the chosen file comes back in the directory field
// and the bare file name in the file-name field; the caller joins them with
// a backslash.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct XWND;

// Flags of the dialogs when the caller gives none.
constexpr DWORD kOpenFileFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK;
constexpr DWORD kSaveFileFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT;

// Filters as two parallel lists; the shorter one sets the number of pairs.
struct XFileFilter {
    std::span<const std::string_view> patterns;
    std::span<const std::string_view> descriptions;
};

// Placement: with both coordinates the dialog's top-left corner goes there;
// otherwise it is centred over the owner (or the desktop).
struct XDialogPlace {
    std::optional<int> x;
    std::optional<int> y;
};

// Open one file. `filterIndex` is the 1-based filter shown first and, on
// success, the one the user ended with (0 means the first).
bool PXGETOPENFILE_1(XWND& owner, std::span<char> directory, int& filterIndex, std::span<char> fileName,
                     std::optional<DWORD> flags = {}, XFileFilter filter = {}, std::string_view title = {},
                     XDialogPlace place = {});
// Open one or several files: with more than one field the user may choose
// several; field i receives the i-th chosen name and the rest are blanked.
bool PXGETOPENFILE_2(XWND& owner, std::span<char> directory, int& filterIndex,
                     std::span<const std::span<char>> fileNames, std::optional<DWORD> flags = {},
                     XFileFilter filter = {}, std::string_view title = {}, XDialogPlace place = {});
inline bool XGETOPENFILE(XWND& owner, std::span<char> directory, int& filterIndex, std::span<char> fileName,
                         std::optional<DWORD> flags = {}, XFileFilter filter = {}, std::string_view title = {},
                         XDialogPlace place = {}) {
    return PXGETOPENFILE_1(owner, directory, filterIndex, fileName, flags, filter, title, place);
}
inline bool XGETOPENFILE(XWND& owner, std::span<char> directory, int& filterIndex,
                         std::span<const std::span<char>> fileNames, std::optional<DWORD> flags = {},
                         XFileFilter filter = {}, std::string_view title = {}, XDialogPlace place = {}) {
    return PXGETOPENFILE_2(owner, directory, filterIndex, fileNames, flags, filter, title, place);
}

// A field that holds any path Windows allows, in UTF-8 (up to three bytes a
// character): for the directory and file-name fields of the dialogs.
constexpr std::size_t kPathFieldBytes = 3 * 260;

bool XGETSAVEFILE(XWND& owner, std::span<char> directory, std::span<char> fileName,
                  std::optional<DWORD> flags = {}, XFileFilter filter = {}, std::string_view title = {},
                  XDialogPlace place = {});

// The folder picker; true and the chosen folder (blank-padded) on success.
bool XBROWSE(XWND& owner, std::span<char> folder);

// The names in a directory (files and folders, without "." and "..").
std::vector<std::string> XENUMFILES(std::string_view directory);

// A shell shortcut at `linkPath` to `target`.
bool XCREATESHORTCUT(std::string_view target, std::string_view linkPath, std::string_view description = {},
                     std::string_view arguments = {}, std::string_view workingDirectory = {});

// The filter list in the double-NUL-terminated form the dialogs expect.
std::string fileFilterList(XFileFilter filter);
