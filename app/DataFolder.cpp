#include "DataFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

std::string programFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? "." : folder.substr(0, slash);
}

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The user's roaming application data: %APPDATA% as the user's session sets
// it, else what the shell knows.
std::string applicationData() {
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("APPDATA", value, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return value;
    char shell[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shell))) return shell;
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
    const std::string program = programFolder();
    folder.portable = fileExists(program + "\\portable");
    if (folder.portable) {
        folder.path = program;
    } else {
        const std::string roaming = applicationData();
        if (roaming.empty()) {
            folder.problem = "Windows names no folder for application data.";
            return folder;
        }
        folder.path = roaming + "\\Tallyon";
    }
    DWORD error = 0;
    if (!makeFolder(folder.path, error) || !takesNewFiles(folder.path, error)) {
        folder.problem = "The folder \"" + folder.path + "\" cannot be written (" + systemMessage(error) + ").";
        return folder;
    }
    folder.usable = true;
    return folder;
}
