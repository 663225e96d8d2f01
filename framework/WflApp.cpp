// Start-up, the application kinds and the process-wide services.
#include "WflApp.h"

#include <commctrl.h>

#include <string>

#include "WflAppState.h"
#include "WflDialog.h"
#include "Text.h"

namespace {

constexpr char kFrameworkClass[] = "XWndClass";

void initCommonControls() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
}

}  // namespace

AppState& appState() {
    static AppState state;
    return state;
}

XWND& frameWindow() { return appState().frame; }
XWND* mdiClientWindow() { return appState().mdiClient; }
int applicationKind() { return appState().kind; }
int windowCount() { return appState().windowCount; }
void countWindow() { ++appState().windowCount; }
bool inStartup() { return appState().startup; }

HINSTANCE frameworkInstance() {
    AppState& s = appState();
    return s.instance ? s.instance : GetModuleHandleA(nullptr);
}

void startFramework(HINSTANCE instance) {
    AppState& s = appState();
    s.instance = instance ? instance : GetModuleHandleA(nullptr);
    s.windowCount = 0;
    s.mdiClient = nullptr;

    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = fxwindowproc;
    wc.hInstance = s.instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kFrameworkClass;
    // Registering twice (a second run in one process) fails harmlessly: the
    // class from the first run is the same class.
    RegisterClassA(&wc);
}

int runApplication(HINSTANCE instance, std::string_view commandLine, int showCommand,
                   XInitRoutine init) {
    startFramework(instance);
    AppState& s = appState();
    s.lastMessage = MSG{};

    s.commandLine = std::string(commandLine);
    FixedText<256> line(commandLine);
    s.startup = true;
    const bool started = init && init(line, showCommand);
    s.startup = false;
    if (!started) return 0;
    return runMainLoop();
}

std::string_view XWHOLECOMMANDLINE() { return appState().commandLine; }

bool PXDEFXINIT(const FixedText<256>&, int&) {
    return XCREATEWINDOW(frameWindow(), nullptr, WS_VISIBLE | WS_OVERLAPPEDWINDOW, "");
}

bool XCREATESDIAPP(MenuRecord* menu, std::string_view title, std::optional<int> icon,
                   int showCommand, DWORD style, DWORD exStyle) {
    AppState& s = appState();
    if (!s.startup) return false;
    initCommonControls();
    s.kind = 1;
    XWND* desktop = nullptr;
    XGETWINDOW(desktop);
    const bool created = XCREATEWINDOW(s.frame, desktop, style, title, exStyle, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, menu);
    if (!created) return false;
    if (icon) XSETWINDOWICON(s.frame, *icon);
    XSHOWWINDOW(s.frame, showCommand);
    return true;
}

bool XCREATEMDIAPP(MenuRecord& menu, int windowMenuPosition, std::string_view title,
                   std::optional<int> icon, int showCommand) {
    AppState& s = appState();
    if (!s.startup) return false;
    initCommonControls();
    s.kind = 2;
    XWND* desktop = nullptr;
    XGETWINDOW(desktop);
    if (!XCREATEWINDOW(s.frame, desktop, 0x02CF0000, title, WS_EX_APPWINDOW, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, &menu)) {
        return false;
    }
    s.mdiClient = &s.mdiClientRecord;
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = GetSubMenu(menu.menu, windowMenuPosition - 1);
    ccs.idFirstChild = 1;
    const bool client = XCREATEWINDOW(s.mdiClientRecord, &s.frame,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, "", 0, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                      "MDICLIENT", std::nullopt, &ccs);
    // The frame's default processing (DefFrameProcA) fits the client into
    // the frame on WM_SIZE.
    RECT rc{};
    GetClientRect(s.frame.hwnd, &rc);
    SendMessageA(s.frame.hwnd, WM_SIZE, 0, MAKELPARAM(rc.right, rc.bottom));
    if (icon) XSETWINDOWICON(s.frame, *icon);
    XSHOWWINDOW(s.frame, showCommand);
    return client;
}

bool XCREATEDIALOGAPP(int dialogId, MenuRecord* menu, std::optional<int> icon) {
    AppState& s = appState();
    if (!s.startup) return false;
    s.kind = 0;
    // The application shows the dialog itself once its routines are attached.
    if (!XLOADDIALOG(dialogId, s.frame)) return false;
    if (menu) XSETWINDOWMENU(s.frame, *menu);
    if (icon) XSETWINDOWICON(s.frame, *icon);
    return true;
}

HMODULE XGETINSTANCE(std::optional<std::string_view> moduleName) {
    if (!moduleName) return GetModuleHandleA(nullptr);
    const std::string name = textkit::trimmedRight(*moduleName);
    return GetModuleHandleA(name.c_str());
}

bool XLOADACCELERATORS(int acceleratorId, HMODULE module) {
    HACCEL table = LoadAcceleratorsA(module ? module : XGETINSTANCE(),
                                     MAKEINTRESOURCEA(acceleratorId));
    appState().accelerators = table;
    return table != nullptr;
}

void XBEEP(std::optional<int> frequency, std::optional<int> duration) {
    int hz = frequency.value_or(440);
    if (hz < 37 || hz > 32767) hz = 440;
    Beep(static_cast<DWORD>(hz), static_cast<DWORD>(duration.value_or(50)));
}

void XMESSAGEBEEP(UINT soundType) { MessageBeep(soundType); }
