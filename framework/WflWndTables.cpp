// The sorted dispatch tables of a window record and the form each message's
// handler must have.
#include <algorithm>

#include "WflWndInternal.h"

std::size_t handlerFormFor(UINT message) {
    switch (message) {
        case WM_CREATE: case WM_DESTROY: case WM_SYSCOLORCHANGE: case WM_TIMECHANGE:
        case WM_CHILDACTIVATE: case WM_NCDESTROY: case WM_CLOSE:
            return handlerFormIndex<HandlerPlain>();
        case WM_MOVE: case WM_SETCURSOR: case WM_CONTEXTMENU: case WM_INITDIALOG:
            return handlerFormIndex<HandlerInt2>();
        case WM_SIZE: case WM_DISPLAYCHANGE: case WM_KEYDOWN: case WM_KEYUP:
        case WM_NCMOUSEMOVE: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONUP: case WM_NCRBUTTONDBLCLK:
            return handlerFormIndex<HandlerInt3>();
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_MOUSEWHEEL:
            return handlerFormIndex<HandlerInt4>();
        case WM_ACTIVATE:
            return handlerFormIndex<HandlerActivate>();
        case WM_SETFOCUS: case WM_KILLFOCUS: case WM_MDIDESTROY: case WM_MDIACTIVATE:
            return handlerFormIndex<HandlerWindow>();
        case WM_ENABLE: case WM_QUERYENDSESSION: case WM_ENDSESSION: case WM_ACTIVATEAPP:
        case WM_NCACTIVATE: case WM_ENTERMENULOOP: case WM_EXITMENULOOP:
            return handlerFormIndex<HandlerFlag>();
        case WM_MOUSEACTIVATE: case WM_SYSCOMMAND: case WM_TIMER:
            return handlerFormIndex<HandlerInt>();
        case WM_PAINT: return handlerFormIndex<HandlerPaint>();
        case WM_ERASEBKGND: return handlerFormIndex<HandlerDraw>();
        case WM_GETMINMAXINFO: return handlerFormIndex<HandlerMinMax>();
        case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED:
            return handlerFormIndex<HandlerWindowPos>();
        case WM_HELP: return handlerFormIndex<HandlerHelp>();
        case WM_NCHITTEST: return handlerFormIndex<HandlerHitTest>();
        case WM_CHAR: case WM_DEADCHAR: return handlerFormIndex<HandlerChar>();
        case WM_HSCROLL: case WM_VSCROLL: return handlerFormIndex<HandlerScroll>();
        case WM_INITMENU: return handlerFormIndex<HandlerMenu>();
        case WM_INITMENUPOPUP: return handlerFormIndex<HandlerMenuPopup>();
        case WM_DROPFILES: return handlerFormIndex<HandlerDropFiles>();
        default: return handlerFormIndex<HandlerRaw>();
    }
}

namespace {

bool isNullRoutine(const XHandler& routine) {
    return std::visit([](auto fn) { return fn == nullptr; }, routine);
}

// Inserts or replaces `key` in a pair of parallel ascending arrays. The
// arrays start with room for 10 and, when full, grow to count + 10: a
// window rarely has many handlers, and growing by a fixed step keeps the
// tables small.
template <class Key, class Value>
void insertSorted(std::vector<Key>& keys, std::vector<Value>& values, int& count, Key key,
                  Value value) {
    auto at = std::lower_bound(keys.begin(), keys.end(), key);
    if (at != keys.end() && *at == key) {
        values[static_cast<std::size_t>(at - keys.begin())] = value;
        return;
    }
    const auto pos = at - keys.begin();
    if (keys.capacity() == 0) {
        keys.reserve(10);
        values.reserve(10);
    } else if (keys.size() == keys.capacity()) {
        keys.reserve(keys.size() + 1 + 10);
        values.reserve(keys.size() + 1 + 10);
    }
    keys.insert(keys.begin() + pos, key);
    values.insert(values.begin() + pos, value);
    count = static_cast<int>(keys.size());
}

template <class Key>
bool findSorted(const std::vector<Key>& keys, int count, Key key, int& index) {
    const auto end = keys.begin() + std::min<std::ptrdiff_t>(count, std::ssize(keys));
    auto at = std::lower_bound(keys.begin(), end, key);
    if (at == end || *at != key) {
        index = 0;
        return false;
    }
    index = static_cast<int>(at - keys.begin()) + 1;
    return true;
}

}  // namespace

bool XSETHANDLER(XWND& record, UINT message, XHandler routine) {
    if (record.defaultProc == kDefProcUnbound || isNullRoutine(routine)) return false;
    if (routine.index() != handlerFormFor(message)) {
        raiseFault(kFaultWrongForm);
        return false;
    }
    insertSorted(record.handlerMessages, record.handlerRoutines, record.handlerCount, message,
                 routine);
    return true;
}

bool XSETCOMMAND(XWND& record, int id, XCommandRoutine routine) {
    if (record.defaultProc == kDefProcUnbound || routine == nullptr) return false;
    insertSorted(record.commandIds, record.commandRoutines, record.commandCount, id, routine);
    return true;
}

bool FXGETHANDLER(UINT message, const XWND& record, int& index) {
    return findSorted(record.handlerMessages, record.handlerCount, message, index);
}

bool FXGETCOMMAND(const XWND& record, int id, int& index) {
    return findSorted(record.commandIds, record.commandCount, id, index);
}

const XHandler* findHandler(const XWND& record, UINT message) {
    int index = 0;
    if (!FXGETHANDLER(message, record, index)) return nullptr;
    return &record.handlerRoutines[static_cast<std::size_t>(index - 1)];
}

XCommandRoutine findCommand(const XWND& record, int id) {
    int index = 0;
    if (!FXGETCOMMAND(record, id, index)) return nullptr;
    return record.commandRoutines[static_cast<std::size_t>(index - 1)];
}
