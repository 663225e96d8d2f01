// The save steps on Windows.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "SafeSave.h"
#include "WflStrings.h"

namespace {

// Antivirus scanners and indexers open a freshly written file for a moment;
// a replace that meets such a lock is tried again for about a second.
constexpr int kReplaceTries = 10;
constexpr DWORD kReplacePauseMs = 100;

bool transientLock(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

class WindowsSaveSteps : public SaveSteps {
public:
    bool createTemp(const std::string& target, std::string& tempPath) override {
        const std::size_t slash = target.find_last_of("\\/");
        const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
        // In UTF-16: a folder of 260 characters can take more than 260 bytes
        // in the code page.
        wchar_t name[MAX_PATH] = {};
        // GetTempFileNameW makes the file, so the name is ours alone.
        if (GetTempFileNameW(XUNICODE(folder).data(), L"tly", 0, name) == 0) return false;
        tempPath = XMULTIBYTE(name);
        file_ = CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file_ != INVALID_HANDLE_VALUE;
    }
    bool write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
            if (!WriteFile(file_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
            bytes.remove_prefix(written);
        }
        return true;
    }
    bool flush() override { return FlushFileBuffers(file_) != FALSE; }
    bool close() override {
        HANDLE f = file_;
        file_ = INVALID_HANDLE_VALUE;
        return CloseHandle(f) != FALSE;
    }
    bool replace(const std::string& tempPath, const std::string& target) override {
        // Windows refuses to replace a read-only file; Wine replaces it
        // (its rename does not look at the DOS read-only attribute), so the
        // check is made here, once, for both.
        const DWORD attributes = GetFileAttributesA(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
        for (int attempt = 1;; ++attempt) {
            if (MoveFileExA(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            if (!transientLock(GetLastError()) || attempt == kReplaceTries) return false;
            Sleep(kReplacePauseMs);
        }
    }
    void discard(const std::string& tempPath) override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        DeleteFileA(tempPath.c_str());
    }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<SaveSteps> makePlatformSaveSteps() { return std::make_unique<WindowsSaveSteps>(); }
