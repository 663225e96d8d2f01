// The window benchmarks, run under Windows (or Wine) from the Windows build:
//
//   start-up   Tallyon.exe from process creation to its main window shown,
//              beside a minimal dialog program built the same way;
//   fill       the SHOW ALL page filled with 1 000 parameters, beside the
//              same rows put into a twin list view with plain
//              LVM_INSERTITEMA/LVM_SETITEMA calls;
//   sort       a click on the "Parameter" header, beside LVM_SORTITEMSEX
//              with a trivial comparison on the twin;
//   large      Parameter Maintenance with 100 000 parameters: each step a
//              user takes (open, SHOW ALL, a sort, RE-ARRANGE, Move Up, Move
//              Down, Delete, back to ENTER/EDIT, Done), timed once each,
//              and SHOW ALL beside a plain virtual list view of as many rows
//              (LVS_OWNERDATA, LVM_SETITEMCOUNT).
//
// Each pair is measured in alternation, the order swapped every round, and
// the medians are compared. Prints a table and ends with the line
// "window-summary <startup ratio> <fill ratio> <sort ratio>".
//
//   bench_window.exe [--startup TALLYON.EXE MINIMAL.EXE] [--rounds N]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ParamDlg.h"
#include "ParamDlgInternal.h"
#include "ParamDlgRes.h"
#include "ParamListGenerator.h"
#include "WflApp.h"
#include "WflCtrl.h"
#include "WflListView.h"
#include "XExpression.h"

namespace {

constexpr int kParameters = 1000;
constexpr int kListColumns = 6;
constexpr int kParameterColumn = 2;

double nowMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// One compared pair: our figure and the peer's, in milliseconds.
struct Pair {
    std::vector<double> ours, peer;
    double ratio() const {
        const double p = median(peer);
        return p > 0 ? median(ours) / p : 0;
    }
};

// Runs `ours` and `peer` `rounds` times each, alternating which goes first,
// and collects what each returns (a time in milliseconds, negative when the
// measurement failed).
bool alternate(int rounds, Pair& pair, const std::function<double()>& ours, const std::function<double()>& peer) {
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool oursNow = (turn == 0) == (round % 2 == 0);
            const double ms = oursNow ? ours() : peer();
            if (ms < 0) return false;
            (oursNow ? pair.ours : pair.peer).push_back(ms);
        }
    }
    return true;
}

void printRow(const char* what, const Pair& pair) {
    std::printf("%-38s %10.2f %10.2f %8.2f\n", what, median(pair.ours), median(pair.peer), pair.ratio());
}

// ---- Start-up ------------------------------------------------------------------

struct Launch {
    double shownMs = -1;  // process created -> main window visible
    double idleMs = -1;   // process created -> waiting for input
};

// Starts `exe`, waits for its visible top-level window titled `title`, then
// for the program to wait for input, and closes it.
Launch launch(const std::string& exe, const char* title) {
    Launch result;
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = nowMs();
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
        return result;
    }
    HWND window = nullptr;
    while (nowMs() - start < 20000) {
        window = FindWindowA(nullptr, title);
        if (window && IsWindowVisible(window)) break;
        window = nullptr;
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (window) {
        result.shownMs = nowMs() - start;
        if (WaitForInputIdle(process.hProcess, 20000) == 0) result.idleMs = nowMs() - start;
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else {
        std::fprintf(stderr, "%s showed no window \"%s\"\n", exe.c_str(), title);
    }
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "%s did not end; terminating it\n", exe.c_str());
        TerminateProcess(process.hProcess, 1);
        result.shownMs = -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

bool benchStartup(const std::string& tallyon, const std::string& minimal, int rounds, Pair& shown, Pair& idle) {
    // One untimed start of each fills the caches of the system and of Wine.
    if (launch(tallyon, "XNumberEx Demo Program").shownMs < 0) return false;
    if (launch(minimal, "Minimal Dialog").shownMs < 0) return false;
    const bool ok = alternate(
        rounds, shown,
        [&] {
            const Launch l = launch(tallyon, "XNumberEx Demo Program");
            if (l.idleMs >= 0) idle.ours.push_back(l.idleMs);
            return l.shownMs;
        },
        [&] {
            const Launch l = launch(minimal, "Minimal Dialog");
            if (l.idleMs >= 0) idle.peer.push_back(l.idleMs);
            return l.shownMs;
        });
    return ok;
}

// ---- SHOW ALL ------------------------------------------------------------------

struct ListBench {
    int rounds = 15;
    bool ok = false;
    Pair fill, sort;
    double openMs = 0;  // the dialog opened on ENTER/EDIT, once
    std::string failure;
};

ListBench& listBench() {
    static ListBench bench;
    return bench;
}

// The rows as SHOW ALL shows them: image number and the six column texts.
struct ShownRow {
    int image = 0;
    std::string texts[kListColumns];
};

std::vector<ShownRow> readRows(HWND list) {
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<ShownRow> rows(static_cast<std::size_t>(count));
    char buffer[260];
    for (int line = 0; line < count; ++line) {
        ShownRow& row = rows[static_cast<std::size_t>(line)];
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = line;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        row.image = item.iImage;
        for (int column = 0; column < kListColumns; ++column) {
            LVITEMA text{};
            text.iSubItem = column;
            text.pszText = buffer;
            text.cchTextMax = sizeof buffer;
            buffer[0] = 0;
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&text));
            row.texts[column] = buffer;
        }
    }
    return rows;
}

// A list view made like ours (class, styles but the virtual one, place,
// font, images), shown in its place while the peer runs.
HWND createTwin(HWND list) {
    RECT place;
    GetWindowRect(list, &place);
    HWND parent = GetParent(list);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    // An ordinary list view (SHOW ALL's is virtual): the peer is the plain
    // way to fill one with every line.
    const auto style = (static_cast<DWORD>(GetWindowLongPtrA(list, GWL_STYLE)) | LVS_SHAREIMAGELISTS) & ~LVS_OWNERDATA;
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_EXSTYLE));
    HWND twin = CreateWindowExA(exStyle, WC_LISTVIEWA, "", style & ~WS_VISIBLE, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!twin) return nullptr;
    SendMessageA(twin, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), FALSE);
    SendMessageA(twin, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageA(twin, LVM_SETIMAGELIST, LVSIL_SMALL, SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    return twin;
}

// The plain way to fill a list: columns, then each row's item and subitems,
// with drawing held off until all are in (as any careful program does; a
// list on show otherwise repaints for every line).
void plainFill(HWND twin, const std::vector<ShownRow>& rows, const std::vector<std::string>& titles) {
    SendMessageA(twin, WM_SETREDRAW, FALSE, 0);
    SendMessageA(twin, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageA(twin, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (int column = 0; column < kListColumns; ++column) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(titles[static_cast<std::size_t>(column)].c_str());
        col.cx = 80;
        col.iSubItem = column;
        SendMessageA(twin, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    }
    for (std::size_t line = 0; line < rows.size(); ++line) {
        const ShownRow& row = rows[line];
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(line);
        item.iImage = row.image;
        item.lParam = static_cast<LPARAM>(line);
        item.pszText = const_cast<char*>(row.texts[0].c_str());
        SendMessageA(twin, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < kListColumns; ++column) {
            LVITEMA sub{};
            sub.mask = LVIF_TEXT;
            sub.iItem = static_cast<int>(line);
            sub.iSubItem = column;
            sub.pszText = const_cast<char*>(row.texts[column].c_str());
            SendMessageA(twin, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&sub));
        }
    }
    SendMessageA(twin, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(twin, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The least a comparison can do that still reorders every line: the
// reverse of the current order.
int CALLBACK reverseOrder(LPARAM first, LPARAM second, LPARAM) {
    return static_cast<int>(second - first);
}

std::vector<std::string> columnTitles(HWND list) {
    std::vector<std::string> titles;
    char buffer[64];
    for (int column = 0; column < kListColumns; ++column) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT;
        col.pszText = buffer;
        col.cchTextMax = sizeof buffer;
        buffer[0] = 0;
        SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
        titles.emplace_back(buffer);
    }
    return titles;
}

void showOnly(HWND visible, HWND hidden) {
    ShowWindow(hidden, SW_HIDE);
    ShowWindow(visible, SW_SHOW);
    UpdateWindow(GetParent(visible));
}

void runListBench() {
    ListBench& bench = listBench();
    ParamDlgState& dlg = paramDlgState();
    const double openStart = nowMs();
    PARAM_ENTRY(frameWindow());
    bench.openMs = nowMs() - openStart;
    HWND tab = GetDlgItem(dlg.frame.hwnd, IDTC_PARAM_PAGES);
    // As a click on the tab would: the page changes and fills itself.
    SendMessageA(tab, TCM_SETCURFOCUS, 1, 0);
    HWND list = GetDlgItem(dlg.listPage.hwnd, IDL_LIST_TABLE);
    if (!list || !IsWindowVisible(dlg.listPage.hwnd)) {
        bench.failure = "the SHOW ALL page did not open";
        return;
    }
    const std::vector<ShownRow> rows = readRows(list);
    if (static_cast<int>(rows.size()) != kParameters || rows.back().texts[1] != benchParamName(kParameters)) {
        bench.failure = "SHOW ALL did not show the " + std::to_string(kParameters) + " parameters";
        return;
    }
    const std::vector<std::string> titles = columnTitles(list);
    HWND twin = createTwin(list);
    if (!twin) {
        bench.failure = "the twin list view could not be made";
        return;
    }
    plainFill(twin, rows, titles);
    if (readRows(twin).size() != rows.size()) {
        bench.failure = "the twin list view did not take the rows";
        return;
    }

    bool ok = alternate(
        bench.rounds, bench.fill,
        [&] {
            showOnly(list, twin);
            const double start = nowMs();
            PARAM_LIST(dlg.listPage);
            UpdateWindow(list);
            return nowMs() - start;
        },
        [&] {
            showOnly(twin, list);
            const double start = nowMs();
            plainFill(twin, rows, titles);
            UpdateWindow(twin);
            return nowMs() - start;
        });
    // Sorting: both lists hold all rows; each click or call reorders them.
    ok = ok && alternate(
                   bench.rounds, bench.sort,
                   [&] {
                       showOnly(list, twin);
                       const double start = nowMs();
                       XLV_ONCOLUMNCLICK(dlg.listPage, IDL_LIST_TABLE, kParameterColumn);
                       UpdateWindow(list);
                       return nowMs() - start;
                   },
                   [&] {
                       showOnly(twin, list);
                       const double start = nowMs();
                       SendMessageA(twin, LVM_SORTITEMSEX, 0, reinterpret_cast<LPARAM>(reverseOrder));
                       UpdateWindow(twin);
                       return nowMs() - start;
                   });
    // The clicks must have sorted for real: all lines still there, in order
    // of their names one way or the other.
    const std::vector<ShownRow> sorted = readRows(list);
    auto byName = [](const ShownRow& a, const ShownRow& b) {
        return lstrcmpiA(a.texts[1].c_str(), b.texts[1].c_str()) < 0;
    };
    const bool inOrder = std::is_sorted(sorted.begin(), sorted.end(), byName) ||
                         std::is_sorted(sorted.rbegin(), sorted.rend(), byName);
    if (sorted.size() != rows.size() || !inOrder) {
        bench.failure = "the header click did not sort the lines by name";
        return;
    }
    DestroyWindow(twin);
    // Closed, so that the next run opens a dialog of its own.
    PARAM_ENTRY_ONIDCANCEL(dlg.frame, IDCANCEL, 0);
    bench.ok = ok;
    if (!ok) bench.failure = "a measurement failed";
}

// ---- Large tables -----------------------------------------------------------------

constexpr int kLargeParameters = 100000;

struct LargeStep {
    const char* what;
    double ms = -1;
};

struct LargeBench {
    bool ok = false;
    std::string failure;
    std::vector<LargeStep> steps;
    Pair showAll;  // SHOW ALL filled, beside a plain virtual list view
};

LargeBench& largeBench() {
    static LargeBench bench;
    return bench;
}

// The peer: a plain virtual list view of as many rows, in a window of its
// own, answering each row's texts from memory.
struct PlainVirtual {
    std::vector<std::string> names;
    HWND window = nullptr, list = nullptr;
};
PlainVirtual& plainVirtual() {
    static PlainVirtual p;
    return p;
}

LRESULT CALLBACK plainVirtualProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
        if (info->item.mask & LVIF_TEXT) {
            const std::vector<std::string>& names = plainVirtual().names;
            const auto line = static_cast<std::size_t>(info->item.iItem);
            const std::string& text = line < names.size() ? names[line] : names.front();
            lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool makePlainVirtual(HWND like, int rows) {
    PlainVirtual& p = plainVirtual();
    p.names.clear();
    for (int i = 1; i <= rows; ++i) p.names.push_back(benchParamName(i));
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainVirtualProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BenchPlainVirtual";
    RegisterClassA(&wc);
    RECT place;
    GetWindowRect(like, &place);
    p.window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                               wc.hInstance, nullptr);
    if (!p.window) return false;
    p.list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0,
                             place.right - place.left, place.bottom - place.top, p.window, nullptr,
                             wc.hInstance, nullptr);
    if (!p.list) return false;
    SendMessageA(p.list, WM_SETFONT, SendMessageA(like, WM_GETFONT, 0, 0), FALSE);
    for (int column = 0; column < kListColumns; ++column) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>("Column");
        col.cx = 80;
        col.iSubItem = column;
        SendMessageA(p.list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    }
    return true;
}

// Answers the next "YOU SURE ?" question Yes, as the user does.
void CALLBACK answerYes(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA(nullptr, "YOU SURE ?");
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
}

void runLargeBench() {
    LargeBench& bench = largeBench();
    ParamDlgState& dlg = paramDlgState();
    auto timed = [&](const char* what, const std::function<void()>& action) {
        const double start = nowMs();
        action();
        bench.steps.push_back({what, nowMs() - start});
    };
    auto showPage = [&](int index) {
        SendMessageA(GetDlgItem(dlg.frame.hwnd, IDTC_PARAM_PAGES), TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
        UpdateWindow(dlg.frame.hwnd);
    };
    timed("open (ENTER/EDIT)", [&] {
        PARAM_ENTRY(frameWindow());
        UpdateWindow(dlg.frame.hwnd);
    });
    if (!dlg.frame.hwnd || !IsWindowVisible(dlg.frame.hwnd)) {
        bench.failure = "Parameter Maintenance did not open";
        return;
    }
    timed("SHOW ALL", [&] { showPage(1); });
    HWND list = GetDlgItem(dlg.listPage.hwnd, IDL_LIST_TABLE);
    if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != kLargeParameters) {
        bench.failure = "SHOW ALL did not list the " + std::to_string(kLargeParameters) + " parameters";
        return;
    }
    timed("column sort (Parameter)", [&] {
        XLV_ONCOLUMNCLICK(dlg.listPage, IDL_LIST_TABLE, kParameterColumn);
        UpdateWindow(list);
    });
    timed("column sort (Currently, by value)", [&] {
        PARAM_LIST_ONCOLUMN(dlg.listPage, IDL_LIST_TABLE, 3);
        UpdateWindow(list);
    });
    timed("RE-ARRANGE", [&] { showPage(2); });
    HWND arrange = GetDlgItem(dlg.arrangePage.hwnd, IDL_ARRANGE_TABLE);
    const int middle = kLargeParameters / 2;
    XCTLSETLOG(dlg.arrangePage, IDL_ARRANGE_TABLE, true, middle);
    timed("Move Up", [&] {
        PARAM_MOVE_UP(dlg.arrangePage, IDB_ARRANGE_UP, 0);
        UpdateWindow(arrange);
    });
    timed("Move Down", [&] {
        PARAM_MOVE_DOWN(dlg.arrangePage, IDB_ARRANGE_DOWN, 0);
        UpdateWindow(arrange);
    });
    std::string name;
    XPARAMFETCH(middle, &name);
    if (name != benchParamName(middle)) {
        bench.failure = "the moves did not bring " + benchParamName(middle) + " back to its place";
        return;
    }
    // The last parameter: deleting it leaves every other one valid.
    XCTLSETLOG(dlg.arrangePage, IDL_ARRANGE_TABLE, true, kLargeParameters);
    SetTimer(nullptr, 0, 10, answerYes);
    timed("Delete (answered Yes)", [&] {
        PARAM_MOVE_OUT(dlg.arrangePage, IDB_ARRANGE_DELETE, 0);
        UpdateWindow(arrange);
    });
    if (XPARAMCOUNT() != kLargeParameters - 1) {
        bench.failure = "Delete did not delete";
        return;
    }
    timed("back to ENTER/EDIT", [&] { showPage(0); });
    // SHOW ALL once more for the comparison with a plain virtual list.
    showPage(1);
    if (!makePlainVirtual(list, kLargeParameters - 1)) {
        bench.failure = "the plain virtual list view could not be made";
        return;
    }
    const bool compared = alternate(
        3, bench.showAll,
        [&] {
            const double start = nowMs();
            PARAM_LIST(dlg.listPage);
            UpdateWindow(list);
            return nowMs() - start;
        },
        [&] {
            PlainVirtual& p = plainVirtual();
            const double start = nowMs();
            SendMessageA(p.list, LVM_SETITEMCOUNT, 0, 0);
            SendMessageA(p.list, LVM_SETITEMCOUNT, static_cast<WPARAM>(p.names.size()), 0);
            InvalidateRect(p.list, nullptr, TRUE);
            UpdateWindow(p.list);
            return nowMs() - start;
        });
    DestroyWindow(plainVirtual().window);
    timed("Done", [&] { PARAM_ENTRY_ONIDCANCEL(dlg.frame, IDCANCEL, 0); });
    if (dlg.frame.hwnd && IsWindow(dlg.frame.hwnd)) {
        bench.failure = "Done did not close the dialog";
        return;
    }
    bench.ok = compared;
    if (!compared) bench.failure = "a measurement failed";
}

// What the next run of the program measures, once its main window is up
// and the loop runs; the run ends after it.
void (*benchToRun)() = nullptr;

void CALLBACK benchTick(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    benchToRun();
    PostQuitMessage(0);
}

bool benchInit(const FixedText<256>& commandLine, int& show) {
    if (!XINIT(commandLine, show)) return false;
    SetTimer(nullptr, 0, 50, benchTick);
    return true;
}

void runMeasuring(void (*bench)()) {
    benchToRun = bench;
    runApplication(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL, benchInit);
}

}  // namespace

int main(int argc, char** argv) {
    std::string tallyon, minimal;
    int rounds = 15;
    bool large = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--startup" && i + 2 < argc) {
            tallyon = argv[++i];
            minimal = argv[++i];
        } else if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-large") {
            large = false;
        } else {
            std::fprintf(stderr,
                         "usage: bench_window [--startup TALLYON.EXE MINIMAL.EXE] [--rounds N] [--no-large]\n");
            return 2;
        }
    }

    int status = 0;
    Pair shown, idle;
    bool startupOk = false;
    if (!tallyon.empty()) {
        startupOk = benchStartup(tallyon, minimal, rounds, shown, idle);
        if (!startupOk) status = 1;
    }

    resetExpressionEngine();
    std::istringstream file(benchParamListFile(kParameters));
    XPARAMREAD(file);
    ListBench& bench = listBench();
    bench.rounds = rounds;
    InitCommonControls();
    runMeasuring(runListBench);
    if (!bench.ok) {
        std::fprintf(stderr, "list benchmark failed: %s\n", bench.failure.c_str());
        status = 1;
    }

    LargeBench& largeRun = largeBench();
    if (large) {
        resetExpressionEngine();
        std::istringstream largeFile(benchParamListFile(kLargeParameters));
        XPARAMREAD(largeFile);
        runMeasuring(runLargeBench);
        if (!largeRun.ok) {
            std::fprintf(stderr, "large-table benchmark failed: %s\n", largeRun.failure.c_str());
            status = 1;
        }
    }

    std::printf("%-38s %10s %10s %8s\n", "window (median ms)", "ours", "peer", "ratio");
    if (startupOk) {
        printRow("start-up to main window shown", shown);
        printRow("start-up to waiting for input", idle);
    }
    if (bench.ok) {
        printRow("SHOW ALL filled, 1000 parameters", bench.fill);
        printRow("column sort, 1000 lines", bench.sort);
        std::printf("%-38s %10.2f\n", "dialog opened (ENTER/EDIT), once", bench.openMs);
    }
    for (const LargeStep& step : largeRun.steps) {
        std::printf("%-38s %10.2f\n", ("100000 parameters: " + std::string(step.what)).c_str(), step.ms);
    }
    if (largeRun.ok) printRow("SHOW ALL filled, 100000 parameters", largeRun.showAll);
    std::printf("peers: a minimal dialog program; plain LVM_INSERTITEMA/LVM_SETITEMA; LVM_SORTITEMSEX;"
                " a plain virtual list view (LVM_SETITEMCOUNT)\n");
    auto figure = [](bool ok, const Pair& pair) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", pair.ratio());
        return ok ? std::string(text) : std::string("n/a");
    };
    std::printf("window-summary %s %s %s\n", figure(startupOk, shown).c_str(), figure(bench.ok, bench.fill).c_str(),
                figure(bench.ok, bench.sort).c_str());
    std::fflush(stdout);
    return status;
}
