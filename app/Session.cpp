#include "Session.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ParamListFile.h"
#include "SafeSave.h"
#include "Seams.h"
#include "Text.h"
#include "WflApp.h"
#include "WflDialog.h"
#include "WflStrings.h"
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


// The arguments of the command line the program was given (without the
// program's name), split as Windows splits them, in the code page the file
// routines use.
std::vector<std::string> commandLineFiles(const std::string& line) {
    std::vector<std::string> files;
    if (line.find_first_not_of(" \t") == std::string::npos) return files;
    // The splitter takes its first word as the program's name.
    const std::wstring whole = L"Tallyon.exe " + std::wstring(XUNICODE(line).data());
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(whole.c_str(), &count);
    if (!args) return files;
    for (int i = 1; i < count; ++i) {
        std::string path = XMULTIBYTE(args[i]);
        if (!path.empty()) files.push_back(std::move(path));
    }
    LocalFree(args);
    return files;
}

// Whether the title bar of a window at WINDOW could be taken with the
// mouse: its whole height, and a stretch of it wide enough to grab, lies in
// the work area of a monitor.
bool titleBarReachable(const RECT& window) {
    const int height = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const RECT bar{window.left, window.top, window.right, window.top + height};
    HMONITOR monitor = MonitorFromRect(&bar, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoA(monitor, &info)) return false;
    RECT shown{};
    if (!IntersectRect(&shown, &bar, &info.rcWork)) return false;
    const LONG grab = std::min<LONG>(100, window.right - window.left);
    return shown.bottom - shown.top >= height && shown.right - shown.left >= grab;
}

void placeWindow(XWND& frame, const Settings& settings) {
    if (!settings.windowX || !settings.windowY) return;
    RECT now{};
    GetWindowRect(frame.hwnd, &now);
    RECT there{*settings.windowX, *settings.windowY, *settings.windowX + (now.right - now.left),
               *settings.windowY + (now.bottom - now.top)};
    // Only where the title bar can be reached with the mouse: a monitor
    // unplugged since the last run, or a smaller screen, must not leave the
    // window out of sight or out of reach. Otherwise it is centred.
    if (!titleBarReachable(there)) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromRect(&there, MONITOR_DEFAULTTOPRIMARY), &info);
        const RECT& work = info.rcWork;
        there = {work.left + (work.right - work.left - (now.right - now.left)) / 2,
                 work.top + (work.bottom - work.top - (now.bottom - now.top)) / 2, 0, 0};
        there.left = std::max(there.left, work.left);
        there.top = std::max(there.top, work.top);
    }
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
            s.tableUnreadable = !readParameterList(table, &found);
            s.tableAsKnown = std::move(found.bytes);
            // Lines that could not be read are still the user's words: the
            // file is kept as it is under a dated name before the next save
            // writes only what was read. Once: a file unchanged since its
            // last copy gets no new one, and nothing more is said. A file
            // that could not be read at all is left as it is until a save
            // would replace it; that save keeps the copy.
            if (!s.tableUnreadable && found.unkeptLines > 0) {
                const std::optional<CopyAside> copy = keepCopyAside(table, *s.tableAsKnown);
                if (copy && copy->made) {
                    noticeSink().info("FILE KEPT", "\"" + table + "\" holds lines that the parameter table "
                                                   "cannot take (see the reports before).  The file as it is "
                                                   "is kept as \"" + copy->path + "\", since the next save "
                                                   "writes only what was read.");
                }
            }
        }
        s.historyAsKnown = readWholeFile(s.folder.file(kHistoryFile));
        s.history.load(s.historyAsKnown.value_or(""));
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

namespace {

std::string definition(const FileParameter& p) {
    return (p.factorOnly ? "*" : "") + std::string(textkit::trim(p.expression)) + "!" +
           std::string(textkit::trimRight(p.comment));
}

std::string definitionInTable(int index) {
    FileParameter p;
    XPARAMFETCH(index, &p.name, &p.expression, &p.comment, &p.factorOnly);
    return definition(p);
}

// The remembered table file changed since this window read it (another
// window quit first, or an editor saved it): the table takes in what
// changed there, and keeps what changed here. For each name, compared with
// the file as this window knew it:
// - changed or added only there: taken from the file (new names go last,
//   in the file's order); deleted there and unchanged here: deleted;
// - changed or deleted only here: this window's stands;
// - changed on both sides to different definitions: this window's stands,
//   and the file as the other left it is kept under a dated name.
// The names both changed, for telling the user.
std::vector<std::string> mergeRememberedTable(std::string_view disk, std::string_view known) {
    const ListScan there = scanParameterList(disk);
    const ListScan before = scanParameterList(known);
    std::map<std::string, std::string> knownDefinitions;
    for (const FileParameter& p : before.entries) knownDefinitions[p.key] = definition(p);
    std::set<std::string> onDisk;
    std::vector<std::string> conflicts;
    // Nothing is evaluated on the way out, and nothing reported.
    XPARAMQUIET(true);
    for (const FileParameter& p : there.entries) {
        onDisk.insert(p.key);
        const std::string theirs = definition(p);
        const auto was = knownDefinitions.find(p.key);
        int index = 0;
        XPARAMFIND(p.name, index);
        if (index == 0) {
            // Deleted here (and not changed there since), or never here.
            if (was == knownDefinitions.end() || was->second != theirs) {
                XPARAMNEW(p.name, p.expression, p.comment, p.factorOnly, false);
            }
            continue;
        }
        const std::string ours = definitionInTable(index);
        if (ours == theirs) continue;
        if (was != knownDefinitions.end() && was->second == ours) {
            XPARAMEDIT(p.name, p.expression, p.comment, p.factorOnly, false);
        } else if (was == knownDefinitions.end() || was->second != theirs) {
            conflicts.push_back(p.name);
        }
    }
    for (const FileParameter& p : before.entries) {
        if (onDisk.count(p.key) != 0) continue;
        int index = 0;
        XPARAMFIND(p.name, index);
        if (index != 0 && definitionInTable(index) == knownDefinitions[p.key]) XPARAMDELETE(p.name);
    }
    XPARAMQUIET(false);
    return conflicts;
}

// Keeps the remembered table; true when a file holds it afterwards.
bool keepRememberedTable() {
    Session& s = session();
    const std::string path = s.folder.file(kParametersFile);
    const std::optional<std::string> disk = readWholeFile(path);
    if (disk != s.tableAsKnown) {
        const std::vector<std::string> conflicts = mergeRememberedTable(disk.value_or(""), s.tableAsKnown.value_or(""));
        if (!conflicts.empty() && disk) {
            const std::optional<CopyAside> copy = keepCopyAside(path, *disk);
            std::string names;
            for (const std::string& n : conflicts) names += (names.empty() ? "" : ", ") + n;
            noticeSink().info(
                "FILE KEPT",
                "The remembered parameters were changed by another Tallyon window (or another program) while "
                "this one ran, and both changed " + names + ".  This window's definitions are kept" +
                    (copy ? "; the other ones are in \"" + copy->path + "\"." : "."));
        }
        s.tableUnreadable = s.tableUnreadable && disk == s.tableAsKnown;
    }
    // A file that could not be read is not replaced by a table that holds
    // nothing: it stays as it is, for the user to mend.
    if (s.tableUnreadable && XPARAMCOUNT() == 0) return true;
    if (!saveParameterList(path)) return false;  // says so
    s.tableAsKnown = readWholeFile(path);
    s.tableUnreadable = false;
    return true;
}

void keepRememberedHistory() {
    Session& s = session();
    const std::string path = s.folder.file(kHistoryFile);
    const std::optional<std::string> disk = readWholeFile(path);
    if (disk.value_or("") != s.historyAsKnown.value_or("")) s.history.mergeWith(disk.value_or(""));
    const std::string text = s.history.text();
    const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
    if (saveFileSafely(path, text, *steps)) s.historyAsKnown = text;
}

}  // namespace

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
        keepRememberedHistory();
        kept = keepRememberedTable();
        if (kept) tableHeldByFile();
    }
    if (kept || !canAsk || !tableUnsaved()) return true;
    // Nothing keeps the changes: quitting asks first. Only Yes quits; No,
    // Esc and the question's close box keep the program open.
    XMESSAGEBEEP(MB_ICONQUESTION);
    return XMESSAGEBOX("Parameters were changed and not saved. Quit anyway?", "NOT SAVED",
                       MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, frame.hwnd) == IDYES;
}
