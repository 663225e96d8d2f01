#include "MakeDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "WflApp.h"
#include "WflCtrl.h"
#include "WflDialog.h"
#include "WflStrings.h"
#include "WflWnd.h"
#include "Text.h"

namespace {

// One template at a time, written with the framework's template writers.
struct TemplateBuilder {
    DialogTemplate words;
    int frameId = 0;
};

TemplateBuilder& builder() {
    static TemplateBuilder state;
    return state;
}

constexpr DWORD kFrameStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT;

// A caption longer than this is cut, so that a template stays within its
// buffer whatever the caller passes.
constexpr std::size_t kLongestCaption = 1023;

HWND createFromTemplate(const void* words, HWND owner, DLGPROC procedure, LPARAM record) {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(words), owner,
                                      procedure, record);
}

}  // namespace

bool XMAKEDIALOGFRAME(int id, int width, int height, std::string_view title) {
    TemplateBuilder& b = builder();
    b.words.clear();
    TemplateFrame frame;
    frame.style = kFrameStyle;
    frame.width = static_cast<short>(width);
    frame.height = static_cast<short>(height);
    frame.title = textkit::trimRight(title).substr(0, kLongestCaption);
    PXPUTFRAME(b.words, 0, frame);
    b.frameId = id;
    return true;
}

bool XMAKEDIALOGITEM(int id, std::string_view className, DWORD style, int x, int y, int width, int height,
                     std::string_view text) {
    TemplateBuilder& b = builder();
    TemplateControl item;
    item.style = style;
    item.x = static_cast<short>(x);
    item.y = static_cast<short>(y);
    item.width = static_cast<short>(width);
    item.height = static_cast<short>(height);
    item.id = static_cast<WORD>(id);
    item.className = textkit::trimRight(className);
    item.text = textkit::trimRight(text);
    // An item that does not fit is not written: the template ends after the
    // items before it.
    DialogTemplate grown = b.words;
    const int end = PXPUTCONTROL(grown, static_cast<int>(grown.size()), item);
    if (end >= kTemplateWords) return false;
    b.words = std::move(grown);
    ++b.words[kTemplateItemCountAt];
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

    InitCommonControls();
    HWND owner = GetDesktopWindow();
    if (parent && IsWindow(parent->hwnd)) {
        owner = parent->hwnd;
    } else if (IsWindow(frameWindow().hwnd)) {
        owner = frameWindow().hwnd;
    }
    return bindNewDialog(wnd, b.frameId, owner, createFromTemplate, b.words.data()) != nullptr;
}

std::span<const WORD> makeDialogTemplate() {
    const TemplateBuilder& b = builder();
    return {b.words.data(), b.words.size()};
}
