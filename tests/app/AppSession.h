// Running the real Tallyon program inside a test, driven by a script of
// steps as a user would drive it.
//
// A step returns true when it is done; it is called again on the next tick
// until then, so a step can wait for what the program does. The ticks come
// from a thread timer, which every message loop of the program dispatches,
// modal ones included.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <functional>
#include <utility>
#include <vector>

#include "WflApp.h"
#include "WindowMenu.h"
#include "XExpression.h"

using Step = std::function<bool()>;

struct AppSession {
    std::vector<Step> steps;
    std::size_t next = 0;
    std::chrono::steady_clock::time_point deadline;
    bool timedOut = false;
    bool inStep = false;
    UINT_PTR timer = 0;
};

inline AppSession*& currentAppSession() {
    static AppSession* session = nullptr;
    return session;
}

// The visible "Expression Error" dialog, also one whose caption goes on to
// name the parameter of a file being read.
inline HWND expressionErrorDialog() {
    struct Search {
        DWORD thread;
        HWND found;
    } search{GetCurrentThreadId(), nullptr};
    EnumThreadWindows(
        search.thread,
        [](HWND w, LPARAM data) {
            char title[256] = {};
            GetWindowTextA(w, title, sizeof title);
            if (!IsWindowVisible(w) || std::string_view(title).substr(0, 16) != "Expression Error") return TRUE;
            reinterpret_cast<Search*>(data)->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// After a time-out: answer whatever box is open so the program can end.
inline void closeOpenBoxes() {
    if (HWND report = expressionErrorDialog()) PostMessageA(report, WM_COMMAND, IDCANCEL, 0);
    for (const char* title :
         {"Expression Error", "FIX IT NOW?", "YOU SURE ?", "BAD NAME", "TOO LONG", "SAVE FAILURE",
          "READ FAILURE", "READ WARNINGS", "NOT SAVED", "LOGIC ERROR", "FILE KEPT", "Parameter List File to Read"}) {
        if (HWND box = FindWindowA(nullptr, title)) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
}

inline void CALLBACK appSessionTick(HWND, UINT, UINT_PTR, DWORD) {
    if (currentAppSession() == nullptr) return;  // a tick that outlived its run
    AppSession& s = *currentAppSession();
    if (s.timedOut) {
        closeOpenBoxes();
        return;
    }
    if (std::chrono::steady_clock::now() > s.deadline) {
        s.timedOut = true;
        closeOpenBoxes();
        PostQuitMessage(99);
        return;
    }
    // A step that pumps messages itself (a screenshot waits for the screen)
    // must not see the next tick start the steps over again inside it.
    if (s.inStep) return;
    s.inStep = true;
    while (s.next < s.steps.size() && s.steps[s.next]()) ++s.next;
    s.inStep = false;
}

inline bool scriptedAppInit(const FixedText<256>& commandLine, int& show) {
    if (!XINIT(commandLine, show)) return false;
    currentAppSession()->timer = SetTimer(nullptr, 0, 20, appSessionTick);
    return true;
}

// A data folder of its own for one run of the program, empty, so no run
// sees what another remembered. Runs that should remember pass the same
// folder to runProgram again.
inline std::string freshDataFolder() {
    static int runs = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "tallyon-appdata-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++runs);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);
    return folder;
}

// Runs the program through the steps (the last one should end it) on an
// empty parameter table, with `appData` as %APPDATA% (a fresh folder when
// empty); returns the program's exit code.
inline int runSteps(std::vector<Step> steps, std::string commandLine);
inline int runProgram(std::vector<Step> steps, std::string appData = {}, std::string commandLine = {}) {
    if (appData.empty()) appData = freshDataFolder();
    SetEnvironmentVariableA("APPDATA", appData.c_str());
    return runSteps(std::move(steps), std::move(commandLine));
}
// The same with %APPDATA% set as Windows holds it, in UTF-16, as a user's
// session may have it.
inline int runProgramWithAppData(std::vector<Step> steps, const std::wstring& appData) {
    SetEnvironmentVariableW(L"APPDATA", appData.c_str());
    return runSteps(std::move(steps), {});
}
inline int runSteps(std::vector<Step> steps, std::string commandLine) {
    resetExpressionEngine();
    AppSession s;
    s.steps = std::move(steps);
    s.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    currentAppSession() = &s;
    const int code = runApplication(GetModuleHandleA(nullptr), commandLine, SW_SHOWNORMAL, scriptedAppInit);
    // The run's timer ends with it: a tick left behind would start the next
    // run's steps twice as often, or reach a session that is gone.
    if (s.timer != 0) KillTimer(nullptr, s.timer);
    currentAppSession() = nullptr;
    EXPECT_FALSE(s.timedOut) << "stopped at step " << s.next;
    return code;
}

inline HWND mainWindow() { return frameWindow().hwnd; }

// The question the program asks before it quits with parameters that no
// file holds.
inline constexpr char kQuitQuestionCaption[] = "NOT SAVED";

// Presses Quit; when the program asks about unsaved parameters, answers
// Yes and notes that it asked.
inline Step quitProgram(bool* asked = nullptr) {
    return [asked, pressed = false]() mutable {
        if (!pressed) {
            PostMessageA(GetDlgItem(mainWindow(), IDCANCEL), BM_CLICK, 0, 0);
            pressed = true;
            return false;
        }
        HWND box = FindWindowA("#32770", kQuitQuestionCaption);
        if (!box || !IsWindowVisible(box)) return false;
        if (asked) *asked = true;
        PostMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        return true;
    };
}

// Turns "Remember Parameters and History" off through the window menu, as
// a user would: then nothing keeps the table when the program quits.
inline Step stopRemembering() {
    return [] {
        PostMessageA(mainWindow(), WM_SYSCOMMAND, kMenuRemember, 0);
        return true;
    };
}

// Waits until the program has handled everything posted so far.
inline Step settle() {
    return [n = 0]() mutable { return ++n > 3; };
}
