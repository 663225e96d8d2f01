#include "MakeDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "WflApp.h"
#include "WflCtrl.h"
#include "WflStrings.h"
#include "WflWnd.h"
#include "Text.h"

namespace {

// One template at a time; positions count from 1 as the template's words.
struct TemplateBuilder {
    alignas(4) std::array<WORD, kTemplateWords> words{};
    int next = 1;  // next free position
    int frameId = 0;

    void put(WORD w) { words[static_cast<std::size_t>(next++ - 1)] = w; }
    void putDword(DWORD d) {
        put(LOWORD(d));
        put(HIWORD(d));
    }
    // The text up to its last non-blank, in UTF-16, then a zero word.
    void putText(const std::vector<wchar_t>& wide) {
        for (wchar_t c : wide) put(static_cast<WORD>(c));  // XUNICODE ends with the zero
    }
};

TemplateBuilder& builder() {
    static TemplateBuilder state;
    return state;
}

constexpr DWORD kFrameStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT;


}  // namespace

bool XMAKEDIALOGFRAME(int id, int width, int height, std::string_view title) {
    TemplateBuilder& b = builder();
    b.words.fill(0);
    b.next = 1;
    b.putDword(kFrameStyle);
    b.putDword(0);  // extended style
    b.put(0);       // items so far
    b.put(0);       // x
    b.put(0);       // y
    b.put(static_cast<WORD>(width));
    b.put(static_cast<WORD>(height));
    b.put(0);  // no menu
    b.put(0);  // the standard dialog class
    // A caption that would not leave room for the font is cut: the template
    // must stay whole whatever the caller passes.
    std::vector<wchar_t> caption = XUNICODE(textkit::trimRight(title));
    if (caption.size() > 1024) {
        caption.resize(1024);
        caption.back() = L'\0';
    }
    b.putText(caption);

    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    // The template holds a point size. The default GUI font is described by
    // a pixel height (negative: character height), so convert it at the
    // screen's resolution; the dialog then shows the font at its usual size
    // (8 points on a 96-DPI screen for an 11-pixel font).
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    int points = MulDiv(std::abs(font.lfHeight), 72, dpi);
    if (points <= 0) points = 8;
    b.put(static_cast<WORD>(points));
    // The face name field is 32 bytes, up to its terminating zero.
    const std::string_view face(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
    b.putText(XUNICODE(textkit::trimRight(face)));
    b.frameId = id;
    return true;
}

bool XMAKEDIALOGITEM(int id, std::string_view className, DWORD style, int x, int y, int width, int height,
                     std::string_view text) {
    TemplateBuilder& b = builder();
    if (b.next >= kTemplateWords) return false;
    const int start = b.next;
    // Every item starts on a 4-byte boundary of the buffer.
    if ((b.next - 1) % 2 != 0) b.put(0);
    auto refuse = [&] {
        // Words of an item that did not fit are wiped; the count is not
        // raised, so the template ends after the items before it.
        std::fill(b.words.begin() + (start - 1), b.words.begin() + (b.next - 1), WORD{0});
        b.next = start;
        return false;
    };
    if (b.next + 9 >= kTemplateWords) return refuse();
    b.putDword(style);
    b.putDword(0);  // extended style
    b.put(static_cast<WORD>(x));
    b.put(static_cast<WORD>(y));
    b.put(static_cast<WORD>(width));
    b.put(static_cast<WORD>(height));
    b.put(static_cast<WORD>(id));
    const std::vector<wchar_t> cls = XUNICODE(textkit::trimRight(className));
    if (b.next + static_cast<int>(cls.size()) - 1 + 1 >= kTemplateWords) return refuse();
    b.putText(cls);
    const std::vector<wchar_t> caption = XUNICODE(textkit::trimRight(text));
    if (b.next + static_cast<int>(caption.size()) - 1 + 1 >= kTemplateWords) return refuse();
    b.putText(caption);
    if (b.next >= kTemplateWords) return refuse();
    b.put(0);  // no creation data
    ++b.words[4];
    return true;
}

bool XMAKEDIALOG(XWND& wnd, const XWND* parent) {
    TemplateBuilder& b = builder();
    // A fresh record for a new dialog.
    XCTLDESTROYALL(wnd);
    wnd.hwnd = nullptr;
    wnd.handlerCount = 0;
    wnd.controlCount = 0;
    wnd.commandCount = 0;
    wnd.spareCount = 0;
    wnd.handlerMessages.clear();
    wnd.handlerRoutines.clear();
    wnd.commandIds.clear();
    wnd.commandRoutines.clear();
    wnd.controls.clear();
    wnd.id = b.frameId;
    wnd.defaultProc = kDefProcDialog;

    InitCommonControls();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND owner = GetDesktopWindow();
    if (parent && IsWindow(parent->hwnd)) {
        owner = parent->hwnd;
    } else if (IsWindow(frameWindow().hwnd)) {
        owner = frameWindow().hwnd;
    }
    HWND hwnd = CreateDialogIndirectParamA(instance, reinterpret_cast<LPCDLGTEMPLATEA>(b.words.data()), owner,
                                           reinterpret_cast<DLGPROC>(fxwindowproc), reinterpret_cast<LPARAM>(&wnd));
    (void)GetLastError();  // read, as the reason is of no use to the caller
    wnd.hwnd = hwnd;
    if (hwnd == nullptr) return false;

    FXBINDWINDOWCONTROLS(wnd);
    // Element 0 of the control list is the dialog itself.
    if (wnd.controls.empty()) wnd.controls.push_back(std::make_unique<XCTL>());
    XCTL& own = *wnd.controls.front();
    own = XCTL{};
    own.kind = kCtlChildDialog;
    own.style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    own.owner = owner;
    FXASSOCCTLTOHANDLE(own, hwnd);
    wnd.controlCount = static_cast<int>(wnd.controls.size());
    if (own.style & WS_CHILD) SetWindowLongPtrA(hwnd, GWLP_ID, b.frameId);
    return true;
}

std::span<const WORD> makeDialogTemplate() {
    const TemplateBuilder& b = builder();
    return {b.words.data(), static_cast<std::size_t>(b.next - 1)};
}
