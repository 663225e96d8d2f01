#include "Session.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ParamListFile.h"
#include "SafeSave.h"
#include "Seams.h"
#include "WflApp.h"
#include "WflDialog.h"
#include "WflWnd.h"
#include "XExpression.h"

namespace {

// The table's change count when a file last held all of it.
std::uint64_t& savedChanges() {
    static std::uint64_t changes = 0;
    return changes;
}

// Says once, and plainly, that nothing will be kept.
void tellFolderProblem() {
    Session& s = session();
    if (s.folder.usable || s.folderProblemTold) return;
    s.folderProblemTold = true;
    noticeSink().warn("NOTHING REMEMBERED", s.folder.problem +
                                                "  Tallyon works as always, but its parameters, expression history "
                                                "and settings will not be kept after it closes.");
}

bool keeping() { return session().folder.usable; }

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The arguments of the command line the program was given (without the
// program's name), split as Windows splits them, in the ANSI code page the
// file routines use.
std::vector<std::string> commandLineFiles(const std::string& line) {
    std::vector<std::string> files;
    if (line.find_first_not_of(" \t") == std::string::npos) return files;
    const int units = MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), units);
    // The splitter takes its first word as the program's name.
    const std::wstring whole = L"Tallyon.exe " + wide;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(whole.c_str(), &count);
    if (!args) return files;
    for (int i = 1; i < count; ++i) {
        const int n = WideCharToMultiByte(CP_ACP, 0, args[i], -1, nullptr, 0, nullptr, nullptr);
        if (n <= 1) continue;
        std::string path(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, args[i], -1, path.data(), n, nullptr, nullptr);
        path.pop_back();
        files.push_back(path);
    }
    LocalFree(args);
    return files;
}

void placeWindow(XWND& frame, const Settings& settings) {
    if (!settings.windowX || !settings.windowY) return;
    RECT now{};
    GetWindowRect(frame.hwnd, &now);
    RECT there{*settings.windowX, *settings.windowY, *settings.windowX + (now.right - now.left),
               *settings.windowY + (now.bottom - now.top)};
    // Only where a present monitor shows it: a monitor unplugged since the
    // last run must not leave the window out of sight.
    if (MonitorFromRect(&there, MONITOR_DEFAULTTONULL) == nullptr) return;
    SetWindowPos(frame.hwnd, nullptr, there.left, there.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Session& session() {
    static Session s;
    return s;
}

bool tableUnsaved() { return paramTableChanges() != savedChanges(); }
void tableHeldByFile() { savedChanges() = paramTableChanges(); }
bool remembering() { return session().settings.remember; }
void setRemembering(bool on) { session().settings.remember = on; }

void beginSession(XWND& frame, std::string_view commandLine) {
    Session& s = session();
    s = Session{};
    s.commandLine = std::string(commandLine);
    s.folder = locateDataFolder();
    if (keeping()) s.settings = loadSettings(s.folder.file(kSettingsFile));
    placeWindow(frame, s.settings);
    if (s.settings.alwaysOnTop) {
        SetWindowPos(frame.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    tableHeldByFile();
}

void readAtStart(XWND&) {
    Session& s = session();
    tellFolderProblem();
    if (keeping() && remembering()) {
        const std::string table = s.folder.file(kParametersFile);
        if (GetFileAttributesA(table.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ListRead found;
            readParameterList(table, &found);
            // Lines that could not be read are still the user's words: the
            // file is kept as it is under a dated name before the next save
            // writes only what was read.
            if (found.faultyLines > 0) keepCopyAside(table, found.bytes);
        }
        s.history.load(fileText(s.folder.file(kHistoryFile)));
    }
    tableHeldByFile();
    // A file handed over on the command line (a .par opened from Explorer)
    // comes on top of the remembered table, as Read would bring it.
    for (const std::string& file : commandLineFiles(s.commandLine)) readParameterFile(file);
}

void readParameterFile(const std::string& path) {
    // Read merges: changes made before it are still in no file.
    const bool unchangedBefore = !tableUnsaved();
    if (readParameterList(path) && unchangedBefore) tableHeldByFile();
}

bool endSession(XWND& frame, bool canAsk) {
    Session& s = session();
    if (keeping()) {
        RECT at{};
        if (GetWindowRect(frame.hwnd, &at) && !IsIconic(frame.hwnd)) {
            s.settings.windowX = at.left;
            s.settings.windowY = at.top;
        }
        saveSettings(s.folder.file(kSettingsFile), s.settings);
    }
    bool kept = false;
    if (keeping() && remembering()) {
        const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
        saveFileSafely(s.folder.file(kHistoryFile), s.history.text(), *steps);
        kept = saveParameterList(s.folder.file(kParametersFile));  // says so when it fails
        if (kept) tableHeldByFile();
    }
    if (kept || !canAsk || !tableUnsaved()) return true;
    // Nothing keeps the changes: quitting asks first. Only Yes quits; No,
    // Esc and the question's close box keep the program open.
    XMESSAGEBEEP(MB_ICONQUESTION);
    return XMESSAGEBOX("Parameters were changed and not saved. Quit anyway?", "NOT SAVED",
                       MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, frame.hwnd) == IDYES;
}
