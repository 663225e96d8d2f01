// Handler argument forms: what a handler receives for each kind of message,
// sent as real messages to a real framework window.
#include "WflWndTestSupport.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<long long> args;  // what the last handler received, in order

LRESULT int1(XWND&, int a) { return args = {a}, 1; }
LRESULT flag1(XWND&, bool f) { return args = {f}, 1; }
LRESULT int2(XWND&, int a, int b) { return args = {a, b}, 1; }
LRESULT int3(XWND&, int a, int b, int c) { return args = {a, b, c}, 1; }
LRESULT int4(XWND&, int a, int b, int c, int d) { return args = {a, b, c, d}, 1; }
LRESULT chars(XWND&, int code, bool released, bool alt) { return args = {code, released, alt}, 1; }
LRESULT help(XWND&, bool menuItem, int id) { return args = {menuItem, id}, 1; }
LRESULT raw(XWND&, UINT m, WPARAM w, LPARAM l) {
    return args = {static_cast<long long>(m), static_cast<long long>(w), l}, 1;
}
LRESULT scroll(XWND&, INT_PTR bar, int code, int position) {
    return args = {static_cast<long long>(bar), code, position}, 1;
}

struct FormCase {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    XHandler routine;
    std::vector<long long> expected;
};

LPARAM xy(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

TEST(HandlerForms, MessageParametersArriveAsTheFormsArguments) {
    const FormCase cases[] = {
        {"WM_SIZE 300 x 200, maximized", WM_SIZE, SIZE_MAXIMIZED, xy(300, 200), int3,
         {300, 200, SIZE_MAXIMIZED}},
        {"mouse left of the window keeps its sign", WM_LBUTTONDOWN, MK_LBUTTON, xy(-5, 10), int4,
         {-5, 10, WM_LBUTTONDOWN, MK_LBUTTON}},
        {"mouse move above the window", WM_MOUSEMOVE, 0, xy(7, -3), int4, {7, -3, WM_MOUSEMOVE, 0}},
        {"context menu takes unsigned words", WM_CONTEXTMENU, 0, xy(-5, 20), int2, {65531, 20}},
        {"move", WM_MOVE, 0, xy(-20, 30), int2, {-20, 30}},
        {"key: virtual key, repeat count, 9-bit scan code", WM_KEYDOWN, 'A',
         3 | (0x11E << 16), int3, {'A', 3, 0x11E}},
        {"char: released and Alt flags", WM_CHAR, 'x', static_cast<LPARAM>(0xA0000001u), chars,
         {'x', 1, 1}},
        {"char: plain", WM_CHAR, 'y', 1, chars, {'y', 0, 0}},
        {"wheel: delta, position, keys", WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-120)),
         xy(100, -2), int4, {-120, 100, -2, MK_SHIFT}},
        {"system command without its low bits", WM_SYSCOMMAND, SC_MOVE | 2, 0, int1, {SC_MOVE}},
        {"timer identifier", WM_TIMER, 42, 0, int1, {42}},
        {"enable flag", WM_ENABLE, 5, 0, flag1, {1}},
        {"log-off flag of the session end query", WM_QUERYENDSESSION, 0,
         static_cast<LPARAM>(ENDSESSION_LOGOFF), flag1, {1}},
        {"display change", WM_DISPLAYCHANGE, 32, xy(1024, 768), int3, {32, 1024, 768}},
        {"non-client button with its hit-test", WM_NCLBUTTONDOWN, HTCAPTION, xy(10, -20), int3,
         {10, -20, HTCAPTION}},
        {"set-cursor: hit-test and mouse message", WM_SETCURSOR, 0, xy(HTERROR, WM_LBUTTONDOWN),
         int2, {static_cast<short>(HTERROR), WM_LBUTTONDOWN}},
        {"a message without a form of its own", WM_USER + 1, 7, 9, raw, {WM_USER + 1, 7, 9}},
        {"keys above 0x103 have no form", WM_SYSKEYDOWN, VK_F10, 1, raw, {WM_SYSKEYDOWN, VK_F10, 1}},
    };
    TestWindow w;
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(XSETHANDLER(w.record, c.message, c.routine));
        args.clear();
        EXPECT_EQ(SendMessageA(w.hwnd(), c.message, c.wParam, c.lParam), 1);
        EXPECT_EQ(args, c.expected);
    }
}

namespace {
XWND* otherSeen = nullptr;
XWND* selfSeen = nullptr;
LRESULT activate(XWND& self, int state, bool minimized, XWND* other) {
    selfSeen = &self;
    otherSeen = other;
    args = {state, minimized};
    return 1;
}
LRESULT focus(XWND& self, XWND* other) {
    selfSeen = &self;
    otherSeen = other;
    return 1;
}
}  // namespace

TEST(HandlerForms, OtherWindowsArriveAsTheirRecords) {
    TestWindow w, other;
    HWND plain = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_TRUE(XSETHANDLER(w.record, WM_ACTIVATE, activate));
    ASSERT_TRUE(XSETHANDLER(w.record, WM_KILLFOCUS, focus));
    ASSERT_TRUE(XSETHANDLER(w.record, WM_SETFOCUS, focus));

    SendMessageA(w.hwnd(), WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1),
                 reinterpret_cast<LPARAM>(other.hwnd()));
    EXPECT_EQ(selfSeen, &w.record);
    EXPECT_EQ(otherSeen, &other.record);
    EXPECT_EQ(args, (std::vector<long long>{WA_CLICKACTIVE, 1}));

    SendMessageA(w.hwnd(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(plain), 0);
    ASSERT_NE(otherSeen, nullptr);
    EXPECT_EQ(otherSeen->hwnd, plain);  // the shared record of a window without one
    EXPECT_EQ(otherSeen->defaultProc, kDefProcUnbound);

    SendMessageA(w.hwnd(), WM_SETFOCUS, reinterpret_cast<WPARAM>(plain), 0);
    ASSERT_NE(otherSeen, nullptr);
    EXPECT_EQ(otherSeen->hwnd, GetDesktopWindow());
    DestroyWindow(plain);
}

namespace {
LRESULT narrowTo123(XWND&, int&, int&, int& width, int&, UINT&) {
    width = 123;
    return 1;
}
LRESULT minMax(XWND&, POINT&, POINT&, POINT& minTrack, POINT&) {
    minTrack = {333, 222};
    return 1;
}
}  // namespace

TEST(HandlerForms, ChangesToWindowPositionArgumentsTakeEffect) {
    TestWindow w;
    ASSERT_TRUE(XSETHANDLER(w.record, WM_WINDOWPOSCHANGING, narrowTo123));
    SetWindowPos(w.hwnd(), nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rc{};
    GetWindowRect(w.hwnd(), &rc);
    EXPECT_EQ(rc.right - rc.left, 123);
    EXPECT_EQ(rc.bottom - rc.top, 100);

    ASSERT_TRUE(XSETHANDLER(w.record, WM_GETMINMAXINFO, minMax));
    MINMAXINFO info{};
    SendMessageA(w.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 333);
    EXPECT_EQ(info.ptMinTrackSize.y, 222);
}

TEST(HandlerForms, ScrollHandlersGetTheBarAndItsPosition) {
    TestWindow w({.style = WS_VSCROLL | WS_HSCROLL});
    HWND bar = CreateWindowExA(0, "Scrollbar", "", WS_CHILD | SBS_HORZ, 0, 0, 100, 15, w.hwnd(),
                               reinterpret_cast<HMENU>(8), nullptr, nullptr);
    XSCROLLBARSET(w.record, 1, 40, 0, 100, 10);
    SetScrollRange(bar, SB_CTL, 0, 50, FALSE);
    SetScrollPos(bar, SB_CTL, 17, FALSE);
    ASSERT_TRUE(XSETHANDLER(w.record, WM_VSCROLL, scroll));
    ASSERT_TRUE(XSETHANDLER(w.record, WM_HSCROLL, scroll));

    SendMessageA(w.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(args, (std::vector<long long>{1, SB_LINEDOWN, 40}));
    SendMessageA(w.hwnd(), WM_HSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(args, (std::vector<long long>{reinterpret_cast<INT_PTR>(bar), SB_PAGEUP, 17}));
}

namespace {
std::vector<std::string> droppedFiles;
LRESULT dropped(XWND&, std::span<XDroppedFile> files) {
    droppedFiles.clear();
    for (const auto& f : files) droppedFiles.push_back(f.str());
    return 1;
}
MenuRecord menuSeen;
LRESULT popup(XWND&, MenuRecord& menu, bool windowMenu) {
    menuSeen = menu;
    args = {windowMenu};
    return 1;
}
DrawingRecord eraseSeen;
LRESULT erase(XWND&, DrawingRecord& dc) {
    eraseSeen = dc;
    return 1;
}
}  // namespace

TEST(HandlerForms, RecordsAndListsBuiltForTheHandler) {
    TestWindow w({.width = 250, .height = 180});

    SCOPED_TRACE("WM_HELP: menu-item flag and identifier");
    ASSERT_TRUE(XSETHANDLER(w.record, WM_HELP, help));
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_MENUITEM;
    info.iCtrlId = 55;
    SendMessageA(w.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(args, (std::vector<long long>{1, 55}));

    SCOPED_TRACE("WM_INITMENUPOPUP: menu record of this window");
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(XSETHANDLER(w.record, WM_INITMENUPOPUP, popup));
    SendMessageA(w.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
    EXPECT_EQ(menuSeen.menu, menu);
    EXPECT_EQ(menuSeen.owner, w.hwnd());
    EXPECT_EQ(args, (std::vector<long long>{1}));
    DestroyMenu(menu);

    SCOPED_TRACE("WM_ERASEBKGND: drawing record over the client area");
    ASSERT_TRUE(XSETHANDLER(w.record, WM_ERASEBKGND, erase));
    HDC dc = GetDC(w.hwnd());
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    const SIZE client = clientSize(w.hwnd());
    EXPECT_EQ(eraseSeen.dc, dc);
    EXPECT_EQ(eraseSeen.viewportLeft, 0);
    EXPECT_EQ(eraseSeen.viewportWidth, client.cx);
    EXPECT_EQ(eraseSeen.viewportHeight, client.cy);
    ReleaseDC(w.hwnd(), dc);

    SCOPED_TRACE("WM_DROPFILES: one blank-padded name per file");
    const char names[] = "C:\\data\\one.par\0C:\\two words.txt\0";
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(names) + 1);
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names, sizeof(names));
    GlobalUnlock(drop);
    ASSERT_TRUE(XSETHANDLER(w.record, WM_DROPFILES, dropped));
    SendMessageA(w.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(droppedFiles, (std::vector<std::string>{"C:\\data\\one.par", "C:\\two words.txt"}));
}
