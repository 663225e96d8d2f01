#include "DataFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <iterator>
#include <optional>
#include <string>

#include "WflStrings.h"

namespace {

std::wstring programFolder() {
    wchar_t path[32768] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::wstring folder(path, n);
    const std::size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

// The user's roaming application data: %APPDATA% as the user's session sets
// it, else what the shell knows. Read as Windows holds it (in UTF-16): the
// narrow read of a variable can give another name than the one set.
std::wstring applicationData() {
    wchar_t value[32768] = {};
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", value, static_cast<DWORD>(std::size(value)));
    if (n > 0 && n < std::size(value)) return value;
    wchar_t shell[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shell))) return shell;
    return {};
}

std::string systemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n > 0 && text ? std::string(text, n) : "error " + std::to_string(error);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

// Makes the folder and every missing folder above it.
bool makeFolder(const std::string& path, DWORD& error) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
        error = ERROR_DIRECTORY;  // a file stands where the folder should
        return false;
    }
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos && slash > 2 && !makeFolder(path.substr(0, slash), error)) return false;
    if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    error = GetLastError();
    return false;
}

// Whether a new file can be made there: one of our own, deleted at once.
bool takesNewFiles(const std::string& folder, DWORD& error) {
    char name[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), "tly", 0, name) == 0) {
        error = GetLastError();
        return false;
    }
    DeleteFileA(name);
    return true;
}

}  // namespace

DataFolder locateDataFolder() {
    DataFolder folder;
    const std::wstring program = programFolder();
    const DWORD marker = GetFileAttributesW((program + L"\\portable").c_str());
    folder.portable = marker != INVALID_FILE_ATTRIBUTES && !(marker & FILE_ATTRIBUTE_DIRECTORY);
    std::wstring wide;
    if (folder.portable) {
        wide = program;
    } else {
        const std::wstring roaming = applicationData();
        if (roaming.empty()) {
            folder.problem = "Windows names no folder for application data.";
            return folder;
        }
        wide = roaming + L"\\Tallyon";
    }
    // Nothing when the path holds a character the code page the file
    // routines use has no place for: converted anyway it would name another
    // folder ("Łukasz" as "Lukasz"), or none.
    const std::optional<std::string> path = XMULTIBYTEEXACT(wide);
    if (!path) {
        folder.problem = "The folder \"" + XMULTIBYTE(wide.c_str()) + "\" has a name with characters that Tallyon's "
                         "file routines cannot spell in this Windows code page, so nothing is kept there (and "
                         "nothing in a folder of a similar name).";
        return folder;
    }
    folder.path = *path;
    DWORD error = 0;
    if (!makeFolder(folder.path, error) || !takesNewFiles(folder.path, error)) {
        folder.problem = "The folder \"" + folder.path + "\" cannot be written (" + systemMessage(error) + ").";
        return folder;
    }
    folder.usable = true;
    return folder;
}
