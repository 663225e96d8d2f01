// Tallyon.exe run as a process of its own, as a user starts it, for the
// tests that need the real program: its own manifest, command line and
// data folder.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "TallyonRes.h"
#include "WflStrings.h"

namespace portable_tallyon {

namespace fs = std::filesystem;

// Tallyon.exe as a user starts it: a copy in a folder of its own, with the
// "portable" marker beside it unless told otherwise, run as a process of its
// own and worked through its windows.
class PortableTallyon {
public:
    // A fresh copy in FOLDER; with `fresh` false, a second window of the
    // copy that is there already. With `portable` false, the copy keeps its
    // data where an installed one does (%APPDATA%).
    explicit PortableTallyon(const fs::path& folder, bool fresh = true, bool portable = true)
        : folder_(folder), owner_(fresh) {
        if (!fresh) return;
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const fs::path program = fs::path(self).parent_path().parent_path() / "Tallyon.exe";
        std::error_code error;
        fs::remove_all(folder_, error);
        fs::create_directories(folder_);
        fs::copy_file(program, folder_ / "Tallyon.exe");
        if (portable) std::ofstream(folder_ / "portable") << "";
    }
    ~PortableTallyon() {
        quit();
        std::error_code error;
        if (owner_) fs::remove_all(folder_, error);
    }

    // Starts it with ARGUMENTS (files to read, as Explorer hands them over),
    // in UTF-8. With APPDATA given, the program gets it as its %APPDATA%: this
    // process, the program's launcher, sets it in UTF-16 for the child (Wine
    // sets a program's %APPDATA% afresh when a Unix process starts it, but a
    // Windows parent's environment is inherited as it is).
    bool start(const std::string& arguments = {}, const std::wstring& appData = {}) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + (folder_ / "Tallyon.exe").wstring() + L"\"";
        if (!arguments.empty()) line += L" " + std::wstring(XUNICODE(arguments).data());
        wchar_t before[32768] = {};
        const DWORD had = GetEnvironmentVariableW(L"APPDATA", before, 32768);
        if (!appData.empty()) SetEnvironmentVariableW(L"APPDATA", appData.c_str());
        const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            folder_.wstring().c_str(), &startup, &process_);
        if (!appData.empty()) SetEnvironmentVariableW(L"APPDATA", had > 0 ? before : nullptr);
        if (!started) return false;
        return waitFor([&] { return (window_ = findMainWindow()) != nullptr; });
    }
    void evaluate(const std::string& expression) {
        SendMessageA(field(IDE_MAIN_EXPRESSION), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(expression.c_str()));
        SendMessageA(field(IDT_MAIN_COMPLEX_LABEL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        PostMessageA(field(IDB_MAIN_EVALUATE), BM_CLICK, 0, 0);
        waitFor([&] { return !fieldText(IDT_MAIN_COMPLEX_LABEL).empty(); });
    }
    std::string realResult() const { return fieldText(IDE_MAIN_REAL_RESULT); }
    // Empties the expression field, as a user starting a new line does.
    void clear() { SendMessageA(field(IDE_MAIN_EXPRESSION), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")); }
    // Presses Up in the expression field; the line it then shows.
    std::string up() {
        const std::string before = fieldText(IDE_MAIN_EXPRESSION);
        PostMessageA(field(IDE_MAIN_EXPRESSION), WM_KEYDOWN, VK_UP, 1);
        waitFor([&] { return fieldText(IDE_MAIN_EXPRESSION) != before; });
        return fieldText(IDE_MAIN_EXPRESSION);
    }
    // Quit, as the button does; true when the process ended.
    bool quit() {
        if (!process_.hProcess) return true;
        if (window_) PostMessageA(field(IDCANCEL), BM_CLICK, 0, 0);
        const bool ended = WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        process_ = {};
        window_ = nullptr;
        return ended;
    }

private:
    HWND field(int id) const { return GetDlgItem(window_, id); }
    std::string fieldText(int id) const {
        char buf[256] = {};
        SendMessageA(field(id), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    HWND findMainWindow() const {
        struct Search {
            DWORD pid;
            HWND found;
        } search{process_.dwProcessId, nullptr};
        EnumWindows(
            [](HWND w, LPARAM data) {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                char title[64] = {};
                GetWindowTextA(w, title, sizeof title);
                if (pid == s->pid && IsWindowVisible(w) && std::string(title) == "XNumberEx Demo Program") {
                    s->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The other process does the work: look again every few milliseconds,
    // up to a bound.
    static bool waitFor(const std::function<bool()>& done) {
        const ULONGLONG end = GetTickCount64() + 20000;
        while (!done()) {
            if (GetTickCount64() >= end) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return true;
    }

    fs::path folder_;
    bool owner_ = true;  // made the folder, and removes it
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};


}  // namespace portable_tallyon

using portable_tallyon::PortableTallyon;
