// TallyonNumberEdit: the system's edit box, made to evaluate its text. The
// class is a superclass of "Edit": every edit message works as the user
// and the program know it, and the field adds the evaluation, the value
// after the text, the mark and balloon of a fault, Esc and the copy of the
// value. It never opens a window of its own but its balloon, which it makes
// when it is made; the parent hears of every evaluation through WM_NOTIFY.
#include "tallyon_win.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "Format.h"
#include "LibraryInternal.h"

namespace {

constexpr wchar_t kClassName[] = L"TallyonNumberEdit";

// Taken from the system's "Edit" class when ours is registered; every
// instance of the class calls it for what it does not do itself.
struct ClassState {
    WNDPROC editProc = nullptr;
    int fieldOffset = 0;  // where our extra window bytes start
};
ClassState& classState() {
    static ClassState state;
    return state;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wide(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The UTF-16 index where character COLUMN (from 1) of TEXT starts; the
// engine counts characters, the edit box code units.
int unitOfColumn(const std::wstring& text, int column) {
    int units = 0;
    for (int c = 1; c < column && units < static_cast<int>(text.size()); ++c) {
        const bool pair = IS_HIGH_SURROGATE(text[static_cast<std::size_t>(units)]) &&
                          units + 1 < static_cast<int>(text.size());
        units += pair ? 2 : 1;
    }
    return units;
}

std::string shownNumber(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", x);
    return buffer;
}

std::string valueText(const tly_value& v, std::string (*number)(double)) {
    if (v.is_real) return number(v.real);
    return "(" + number(v.re) + ", " + number(v.im) + ")";
}

bool highContrast() {
    HIGHCONTRASTW info{};
    info.cbSize = sizeof info;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof info, &info, 0) && (info.dwFlags & HCF_HIGHCONTRASTON);
}

struct Field {
    HWND hwnd = nullptr;
    HWND tip = nullptr;
    tly_engine* engine = nullptr;  // the program's, or own
    tly_engine* own = nullptr;
    bool realOnly = false;

    std::wstring evaluated;     // the text as it was evaluated last
    std::wstring lastGood;      // the last text that evaluated
    bool hasValue = false;
    tly_value value{};
    bool hasFault = false;
    tly_error error{};
    int markFrom = 0, markTo = 0;  // the fault's code units, end exclusive
    bool tipShown = false;
    bool trackingMouse = false;

    LRESULT edit(UINT message, WPARAM w, LPARAM l) const {
        return CallWindowProcW(classState().editProc, hwnd, message, w, l);
    }

    tly_engine* engineToUse() {
        if (engine != nullptr) return engine;
        if (own == nullptr) own = tly_engine_new();
        return own;
    }

    // The value stands after the text only while the text is the one it
    // came from.
    bool current() const { return windowText(hwnd) == evaluated; }

    void notify(int code) const {
        TLY_NMVALUE nm{};
        nm.hdr.hwndFrom = hwnd;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
        nm.hdr.code = static_cast<UINT>(code);
        nm.value = value;
        nm.error = error;
        SendMessageW(GetParent(hwnd), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    }

    void evaluate() {
        const std::wstring text = windowText(hwnd);
        const std::string bytes = utf8(text);
        tly_value v{};
        tly_error e{};
        tly_engine* const on = engineToUse();
        const int status = on == nullptr ? 1 : evaluateOnEngine(on, bytes.c_str(), realOnly, &v, &e);
        if (on == nullptr) std::snprintf(e.message, sizeof e.message, "Not enough memory");
        evaluated = text;
        SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0);
        if (status == 0) {
            hasValue = true;
            value = v;
            hasFault = false;
            error = tly_error{};
            lastGood = text;
            hideTip();
        } else {
            hasValue = false;
            value = tly_value{};
            hasFault = true;
            error = e;
            markFrom = e.first > 0 ? unitOfColumn(text, e.first) : 0;
            markTo = e.first > 0 ? unitOfColumn(text, e.last + 1) : static_cast<int>(text.size());
            if (markTo <= markFrom) markTo = static_cast<int>(text.size());
            SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(markFrom), markTo);
        }
        fitMargin();
        InvalidateRect(hwnd, nullptr, TRUE);
        notify(status == 0 ? TLY_NEN_CHANGED : TLY_NEN_ERROR);
        if (hasFault) showTip();
    }

    // Esc: the last text that evaluated, evaluated again.
    void restore() {
        hideTip();
        SetWindowTextW(hwnd, lastGood.c_str());
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
        evaluate();
    }

    std::wstring shownValue() const { return hasValue ? wide("= " + valueText(value, shownNumber)) : std::wstring(); }

    // Room at the right for the value, so that the text never runs under it.
    void fitMargin() const {
        int width = 0;
        const std::wstring shown = shownValue();
        if (!shown.empty()) {
            HDC dc = GetDC(hwnd);
            const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
            SIZE size{};
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
            SelectObject(dc, before);
            ReleaseDC(hwnd, dc);
            RECT client{};
            GetClientRect(hwnd, &client);
            // Never more than half the field: the text comes first.
            width = std::min<int>(size.cx + size.cy / 2, (client.right - client.left) / 2);
        }
        SendMessageW(hwnd, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
    }

    // The x of code unit AT in the field, as the edit box lays it out.
    int xOf(int at, const std::wstring& text) const {
        if (at < static_cast<int>(text.size())) {
            return static_cast<short>(LOWORD(SendMessageW(hwnd, EM_POSFROMCHAR, static_cast<WPARAM>(at), 0)));
        }
        if (text.empty()) return 0;
        // Past the end: the last character's start and width.
        HDC dc = GetDC(hwnd);
        const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str() + text.size() - 1, 1, &size);
        SelectObject(dc, before);
        ReleaseDC(hwnd, dc);
        const LRESULT last = SendMessageW(hwnd, EM_POSFROMCHAR, text.size() - 1, 0);
        return static_cast<short>(LOWORD(last)) + size.cx;
    }

    void paintExtras() const {
        if (!current()) return;
        HDC dc = GetDC(hwnd);
        const HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        RECT client{};
        GetClientRect(hwnd, &client);
        const int top = static_cast<short>(HIWORD(SendMessageW(hwnd, EM_POSFROMCHAR, 0, 0)));
        if (hasValue) {
            const std::wstring shown = shownValue();
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(highContrast() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            RECT area = client;
            area.top = top;
            area.right -= metrics.tmHeight / 4;
            DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &area,
                      DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
        if (hasFault) {
            const std::wstring text = windowText(hwnd);
            const int from = text.empty() ? 0 : xOf(markFrom, text);
            const int to = text.empty() ? metrics.tmAveCharWidth * 2 : xOf(markTo, text);
            const int y = std::min<int>(top + metrics.tmHeight, client.bottom - 2);
            const int thickness = std::max<int>(1, metrics.tmHeight / 12);
            const COLORREF colour = highContrast() ? GetSysColor(COLOR_HIGHLIGHT) : RGB(0xC4, 0x2B, 0x1C);
            HBRUSH brush = CreateSolidBrush(colour);
            RECT line{from, y, std::max(to, from + 2), y + thickness};
            FillRect(dc, &line, brush);
            DeleteObject(brush);
        }
        SelectObject(dc, font);
        ReleaseDC(hwnd, dc);
    }

    void makeTip() {
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, nullptr,
                              nullptr);
        if (tip == nullptr) return;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_IDISHWND;
        tool.hwnd = hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    }

    void showTip() {
        if (tip == nullptr || !hasFault) return;
        const std::wstring message = wide(error.message);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
        tool.lpszText = const_cast<wchar_t*>(message.c_str());
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        const std::wstring text = windowText(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        POINT at{text.empty() ? 0 : xOf(markFrom, text), client.bottom};
        ClientToScreen(hwnd, &at);
        SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
        tipShown = true;
    }

    void hideTip() {
        if (tip == nullptr || !tipShown) return;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
        SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        tipShown = false;
    }

    // The mouse over the marked columns shows the message again.
    void mouseAt(int x) {
        if (!hasFault || !current()) return;
        const std::wstring text = windowText(hwnd);
        const int from = text.empty() ? 0 : xOf(markFrom, text);
        const int to = text.empty() ? 16 : xOf(markTo, text);
        if (x >= from - 2 && x <= to + 2) {
            if (!tipShown) showTip();
            if (!trackingMouse) {
                TRACKMOUSEEVENT track{};
                track.cbSize = sizeof track;
                track.dwFlags = TME_LEAVE;
                track.hwndTrack = hwnd;
                trackingMouse = TrackMouseEvent(&track) != FALSE;
            }
        }
    }

    // Ctrl+C with nothing selected: the value, every digit of it.
    bool copyValue() const {
        DWORD from = 0, to = 0;
        SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        if (from != to || !hasValue || !current()) return false;
        const std::wstring text = wide(valueText(value, formatRoundTrip));
        if (!OpenClipboard(hwnd)) return true;
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            std::memcpy(GlobalLock(memory), text.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        }
        CloseClipboard();
        return true;
    }

    // Esc belongs to the field while it has something to undo; otherwise
    // the dialog may close on it.
    bool wantsEscape() const { return hasFault || windowText(hwnd) != lastGood; }
};

// What a screen reader is told of the field: the standard object of the
// window, with the name of the field's label, and as its value the text
// followed by the value it gives ("3/8*25.4 = 9.525"); a fault's message is
// its description. Everything else is the standard object's.
class FieldAccessible final : public IAccessible {
public:
    FieldAccessible(const Field& field, IAccessible* standard) : field_(field), standard_(standard) {}
    ~FieldAccessible() { standard_->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch) || IsEqualIID(id, IID_IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Nothing else: handing out another object's interfaces would give
        // this one two identities, and marshalling would take the other.
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!self(child) || name == nullptr) return standard_->get_accName(child, name);
        const std::wstring label = labelText();
        if (label.empty()) return standard_->get_accName(child, name);
        *name = SysAllocString(label.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!self(child) || value == nullptr) return standard_->get_accValue(child, value);
        std::wstring text = windowText(field_.hwnd);
        if (field_.hasValue && field_.current()) text += L" " + field_.shownValue();
        *value = SysAllocString(text.c_str());
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!self(child) || text == nullptr || !field_.hasFault || !field_.current()) {
            return standard_->get_accDescription(child, text);
        }
        *text = SysAllocString(wide(field_.error.message).c_str());
        return *text != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!self(child) || role == nullptr) return standard_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_TEXT;
        return S_OK;
    }

    // The rest as the standard object has it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return standard_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
        return standard_->GetTypeInfo(i, l, t);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return standard_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                     UINT* a) override {
        return standard_->Invoke(d, r, l, f, p, v, e, a);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return standard_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override { return standard_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override { return standard_->get_accChild(c, d); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override { return standard_->get_accState(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override { return standard_->get_accHelp(c, h); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override {
        return standard_->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
        return standard_->get_accKeyboardShortcut(c, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return standard_->get_accFocus(f); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override { return standard_->get_accSelection(s); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override {
        return standard_->get_accDefaultAction(c, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override { return standard_->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
        return standard_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) override {
        return standard_->accNavigate(d, s, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override { return standard_->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return standard_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override { return standard_->put_accName(c, n); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override { return standard_->put_accValue(c, v); }

private:
    static bool self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    // The label is the static text just before the field, as in a dialog
    // template: its access key marker and a closing colon are no part of
    // the name.
    std::wstring labelText() const {
        HWND before = GetWindow(field_.hwnd, GW_HWNDPREV);
        wchar_t cls[16] = {};
        if (before == nullptr || !GetClassNameW(before, cls, 16) || _wcsicmp(cls, L"Static") != 0) return {};
        const std::wstring text = windowText(before);
        std::wstring name;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'&' && i + 1 < text.size() && text[i + 1] != L'&') continue;
            if (text[i] == L'&') ++i;
            name += text[i];
        }
        while (!name.empty() && (name.back() == L':' || name.back() == L' ')) name.pop_back();
        return name;
    }

    const Field& field_;
    IAccessible* standard_;
    LONG refs_ = 1;
};

Field* fieldOf(HWND hwnd) {
    return reinterpret_cast<Field*>(GetWindowLongPtrW(hwnd, classState().fieldOffset));
}

// The style the edit box sees: our style bit is no edit style.
DWORD editStyle(DWORD style) { return style & ~static_cast<DWORD>(TLY_NES_REALONLY); }

LRESULT CALLBACK numberEditProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    const ClassState& cls = classState();
    if (message == WM_NCCREATE) {
        auto* field = new (std::nothrow) Field;
        if (field == nullptr) return FALSE;
        field->hwnd = hwnd;
        CREATESTRUCTW cs = *reinterpret_cast<CREATESTRUCTW*>(l);
        field->realOnly = (static_cast<DWORD>(cs.style) & TLY_NES_REALONLY) != 0;
        SetWindowLongPtrW(hwnd, cls.fieldOffset, reinterpret_cast<LONG_PTR>(field));
        cs.style = static_cast<LONG>(editStyle(static_cast<DWORD>(cs.style)));
        return CallWindowProcW(cls.editProc, hwnd, message, w, reinterpret_cast<LPARAM>(&cs));
    }
    Field* field = fieldOf(hwnd);
    if (field == nullptr) return CallWindowProcW(cls.editProc, hwnd, message, w, l);

    switch (message) {
    case WM_CREATE: {
        CREATESTRUCTW cs = *reinterpret_cast<CREATESTRUCTW*>(l);
        cs.style = static_cast<LONG>(editStyle(static_cast<DWORD>(cs.style)));
        const LRESULT result = field->edit(message, w, reinterpret_cast<LPARAM>(&cs));
        field->makeTip();
        field->lastGood = windowText(hwnd);
        return result;
    }
    case WM_NCDESTROY: {
        const LRESULT result = field->edit(message, w, l);
        SetWindowLongPtrW(hwnd, cls.fieldOffset, 0);
        tly_engine_free(field->own);
        delete field;
        return result;
    }
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        if (w == static_cast<WPARAM>(GWL_STYLE)) {
            STYLESTRUCT styles = *reinterpret_cast<STYLESTRUCT*>(l);
            field->realOnly = (styles.styleNew & TLY_NES_REALONLY) != 0;
            styles.styleNew = editStyle(styles.styleNew);
            styles.styleOld = editStyle(styles.styleOld);
            return field->edit(message, w, reinterpret_cast<LPARAM>(&styles));
        }
        break;
    case WM_GETDLGCODE: {
        LRESULT code = field->edit(message, w, l);
        const auto* msg = reinterpret_cast<const MSG*>(l);
        if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR)) {
            if (msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            if (msg->wParam == VK_ESCAPE && field->wantsEscape()) code |= DLGC_WANTMESSAGE;
        }
        return code;
    }
    case WM_KEYDOWN:
        if (w == VK_RETURN) {
            field->evaluate();
            return 0;
        }
        if (w == VK_ESCAPE) {
            if (field->wantsEscape()) field->restore();
            return 0;
        }
        if (w == VK_DELETE || w == VK_BACK) field->hideTip();
        break;
    case WM_CHAR:
        if (w == L'\r' || w == 0x1B) return 0;  // done on the key itself, without a beep
        if (w == 0x01) {                          // Ctrl+A selects the whole text, as users expect
            SendMessageW(hwnd, EM_SETSEL, 0, -1);
            return 0;
        }
        if (w != 0x03) field->hideTip();         // Ctrl+C types nothing
        break;
    case WM_COPY:
        if (field->copyValue()) return 0;
        break;
    case WM_KILLFOCUS: {
        const LRESULT result = field->edit(message, w, l);
        field->hideTip();
        if (SendMessageW(hwnd, EM_GETMODIFY, 0, 0) != 0 || windowText(hwnd) != field->evaluated) field->evaluate();
        field->hideTip();  // the field is left: its mark stays, the balloon goes
        return result;
    }
    case WM_PAINT: {
        const LRESULT result = field->edit(message, w, l);
        field->paintExtras();
        return result;
    }
    case WM_SETFONT:
    case WM_SIZE: {
        const LRESULT result = field->edit(message, w, l);
        field->fitMargin();
        return result;
    }
    case WM_MOUSEMOVE:
        field->mouseAt(static_cast<short>(LOWORD(l)));
        break;
    case WM_MOUSELEAVE:
        field->trackingMouse = false;
        if (GetFocus() != hwnd) field->hideTip();
        break;
    case WM_GETOBJECT:
        if (static_cast<LONG>(l) == static_cast<LONG>(OBJID_CLIENT)) {
            IAccessible* standard = nullptr;
            if (SUCCEEDED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible,
                                                    reinterpret_cast<void**>(&standard)))) {
                auto* object = new (std::nothrow) FieldAccessible(*field, standard);
                if (object == nullptr) {
                    standard->Release();
                    break;
                }
                const LRESULT result = LresultFromObject(IID_IAccessible, w, object);
                object->Release();
                return result;
            }
        }
        break;
    case WM_DPICHANGED_AFTERPARENT:
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE: {
        const LRESULT result = field->edit(message, w, l);
        field->fitMargin();
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case TLY_NEM_GETVALUE: {
        // A value or fault belongs to the text it came from: once the text
        // changes, the field holds neither until it is evaluated.
        const bool holds = field->hasValue && field->current();
        if (holds && l != 0) *reinterpret_cast<tly_value*>(l) = field->value;
        return holds ? TRUE : FALSE;
    }
    case TLY_NEM_GETERROR: {
        const bool holds = field->hasFault && field->current();
        if (holds && l != 0) *reinterpret_cast<tly_error*>(l) = field->error;
        return holds ? TRUE : FALSE;
    }
    case TLY_NEM_SETENGINE:
        field->engine = reinterpret_cast<tly_engine*>(l);
        return TRUE;
    case TLY_NEM_REEVALUATE:
        field->evaluate();
        return field->hasValue ? TRUE : FALSE;
    default:
        break;
    }
    const LRESULT result = field->edit(message, w, l);
    // Whatever changed the text hides the value until it is evaluated.
    switch (message) {
    case WM_CHAR: case WM_SETTEXT: case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_UNDO: case EM_REPLACESEL:
        InvalidateRect(hwnd, nullptr, TRUE);
        break;
    default:
        break;
    }
    return result;
}

HINSTANCE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&numberEditProc), &module);
    return module;
}

BOOL CALLBACK reevaluateChild(HWND child, LPARAM count) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (std::wcscmp(name, kClassName) == 0) {
        SendMessageW(child, TLY_NEM_REEVALUATE, 0, 0);
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

}  // namespace

extern "C" {

BOOL tly_register_number_edit(HINSTANCE instance) {
    // Without an instance the class is the library's, and global: every
    // module of the process can make fields of it.
    const HINSTANCE owner = instance != nullptr ? instance : thisModule();
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(owner, kClassName, &existing)) return TRUE;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW edit{};
    edit.cbSize = sizeof edit;
    if (!GetClassInfoExW(nullptr, L"Edit", &edit)) return FALSE;
    ClassState& cls = classState();
    cls.editProc = edit.lpfnWndProc;
    cls.fieldOffset = edit.cbWndExtra;

    WNDCLASSEXW ours = edit;
    ours.lpfnWndProc = numberEditProc;
    ours.cbWndExtra = edit.cbWndExtra + static_cast<int>(sizeof(Field*));
    ours.hInstance = owner;
    ours.lpszClassName = kClassName;
    ours.style = (edit.style & ~CS_GLOBALCLASS) | (instance == nullptr ? CS_GLOBALCLASS : 0);
    return RegisterClassExW(&ours) != 0 ? TRUE : FALSE;
}

int tly_number_edit_reevaluate_all(HWND parent) {
    int count = 0;
    if (parent != nullptr) EnumChildWindows(parent, reevaluateChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // extern "C"
