// Text of controls: XCTLSETCHAR and XCTLGETCHAR by selector, and the font
// descriptions of XSEL_FONT.
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <charconv>
#include <string>

#include "WflCtrlInternal.h"
#include "WflListView.h"
#include "WflWndInternal.h"
#include "Text.h"
#include "WflScoped.h"

namespace {

int defaultSetSelector(int kind) {
    switch (kind) {
        case kCtlEdit: case kCtlEditCombo: return XSEL_VALUE;
        case kCtlListBox: case kCtlDropList: case kCtlTab: case kCtlStatusBar: return 0;
        default: return XSEL_TEXT;
    }
}

int defaultGetSelector(int kind) {
    switch (kind) {
        case kCtlEdit: case kCtlEditCombo: return XSEL_VALUE;
        case kCtlListBox: case kCtlDropList: case kCtlTab: case kCtlStatusBar:
            return XSEL_SELECTION;
        default: return XSEL_TEXT;
    }
}

// The window that holds a control's value text: an editable combo keeps it
// in its edit field.
HWND valueWindow(const ControlTarget& c) {
    if (c.kind == kCtlEditCombo) {
        if (HWND edit = PXCTLGETEDIT(c.hwnd)) return edit;
    }
    return c.hwnd;
}

// Entry n (0-based) of a list box or combo; nullopt when there is none.
std::optional<std::string> listEntry(const ControlTarget& c, WPARAM index) {
    const bool list = c.kind == kCtlListBox;
    const LRESULT length =
        SendMessageA(c.hwnd, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return std::nullopt;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(c.hwnd, list ? LB_GETTEXT : CB_GETLBTEXT, index,
                                     reinterpret_cast<LPARAM>(text.data()));
    if (got < 0) return std::nullopt;
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::optional<std::string> tabText(HWND tab, int index) {
    char buffer[256] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    if (!SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) {
        return std::nullopt;
    }
    return std::string(item.pszText);
}

std::optional<std::string> editLine(HWND edit, int line) {
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, line, 0);
    if (start < 0) return std::nullopt;
    const auto length = static_cast<std::size_t>(SendMessageA(edit, EM_LINELENGTH, start, 0));
    // EM_GETLINE takes the buffer size in the buffer's first word.
    std::string text(std::max<std::size_t>(length, sizeof(WORD)) + 1, '\0');
    *reinterpret_cast<WORD*>(text.data()) = static_cast<WORD>(text.size());
    text.resize(static_cast<std::size_t>(
        SendMessageA(edit, EM_GETLINE, line, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::optional<std::string> statusPart(HWND bar, int part) {
    const LRESULT length = SendMessageA(bar, SB_GETTEXTLENGTHA, part, 0);
    std::string text(static_cast<std::size_t>(LOWORD(length)) + 1, '\0');
    SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(length));
    return text;
}

std::optional<std::string> columnTitle(HWND list, int column) {
    char buffer[256] = {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer;
    col.cchTextMax = sizeof(buffer);
    if (!SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&col))) {
        return std::nullopt;
    }
    return std::string(col.pszText);
}

bool replaceEditLine(HWND edit, int line, const std::string& text) {
    const LRESULT start = SendMessageA(edit, EM_LINEINDEX, line, 0);
    if (start < 0) return false;
    const LRESULT length = SendMessageA(edit, EM_LINELENGTH, start, 0);
    SendMessageA(edit, EM_SETSEL, start, start + length);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}

// Entry n (1-based; 0 appends) of a list box or combo gets the text.
bool putListEntry(const ControlTarget& c, int n, const std::string& text) {
    const bool list = c.kind == kCtlListBox;
    const auto entry = reinterpret_cast<LPARAM>(text.c_str());
    if (n == 0) return SendMessageA(c.hwnd, list ? LB_ADDSTRING : CB_ADDSTRING, 0, entry) >= 0;
    if (SendMessageA(c.hwnd, list ? LB_DELETESTRING : CB_DELETESTRING, n - 1, 0) < 0) {
        return false;
    }
    return SendMessageA(c.hwnd, list ? LB_INSERTSTRING : CB_INSERTSTRING, n - 1, entry) >= 0;
}

// Tab n (1-based; 0 adds one at the end) gets the text; a tab beyond the
// last is added.
bool putTabText(HWND tab, int n, std::string text) {
    const int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    const int index = n == 0 ? count : n - 1;
    const auto param = reinterpret_cast<LPARAM>(&item);
    if (index < count) return SendMessageA(tab, TCM_SETITEMA, index, param) != FALSE;
    return SendMessageA(tab, TCM_INSERTITEMA, index, param) >= 0;
}

bool putColumnTitle(HWND list, int column, std::string text) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = text.data();
    return SendMessageA(list, LVM_SETCOLUMNA, column, reinterpret_cast<LPARAM>(&col)) != FALSE;
}

// Whether the font the system makes of a request gives every character
// the same width.
bool givesFixedPitch(HFONT font) {
    const ScopedWindowDC screen;
    const ScopedSelect selected(screen.get(), font);
    TEXTMETRICA metrics{};
    const bool measured = GetTextMetricsA(screen.get(), &metrics) != FALSE;
    return measured && (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;  // set means variable
}

// A face name alone does not make a fixed-pitch font: a system without
// that face substitutes whatever it likes, often a proportional font, and
// text meant to line up in columns no longer does. So a fixed-pitch request
// asks by pitch and family too, keeping the face as the first choice;
// should the face exist and be proportional, the family alone is asked,
// and failing that the system's own fixed font is taken.
HFONT createFont(const FontDescription& font) {
    const BYTE pitch = font.fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE;
    auto create = [&](const char* face) {
        return CreateFontA(font.height, 0, 0, 0, font.weight, font.italic, font.underline, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           pitch, face);
    };
    ScopedGdiObject<HFONT> byFace(create(font.face.c_str()));
    if (!font.fixedPitch || !byFace.get() || givesFixedPitch(byFace.get())) return byFace.release();
    ScopedGdiObject<HFONT> byFamily(create(""));
    if (byFamily.get() && givesFixedPitch(byFamily.get())) return byFamily.release();
    LOGFONTA system{};
    if (!GetObjectA(GetStockObject(ANSI_FIXED_FONT), sizeof system, &system)) return nullptr;
    return CreateFontIndirectA(&system);
}

bool setFont(const ControlTarget& c, std::string_view description) {
    if (!c.record) return false;  // the record keeps the font alive
    HFONT created = createFont(readFontDescription(description));
    if (!created) return false;
    SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
    setControlFont(*c.record, created);
    return true;
}

// Reads the decimal number that follows position `at`; nullopt without one.
std::optional<int> numberAfter(const std::string& text, std::size_t at) {
    int value = 0;
    const char* first = text.data() + at + 1;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end == first) return std::nullopt;
    return value;
}

}  // namespace

FontDescription readFontDescription(std::string_view text) {
    std::string lower(text);
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    FontDescription font;

    // The face is quoted: t'Name' or t"Name". What is left outside the
    // quotes holds the letters that set the other properties.
    std::string rest = lower;
    for (const char quote : {'\'', '"'}) {
        const std::size_t open = lower.find(std::string{'t', quote});
        if (open == std::string::npos) continue;
        const std::size_t close = lower.find(quote, open + 2);
        const std::size_t end = close == std::string::npos ? lower.size() : close;
        // Lower-casing keeps every position, so the face keeps its own case.
        font.face = std::string(text.substr(open + 2, end - open - 2));
        rest = lower.substr(0, open) + lower.substr(std::min(end + 1, lower.size()));
        break;
    }
    font.italic = rest.find('i') != std::string::npos;
    font.underline = rest.find('u') != std::string::npos;
    font.fixedPitch = rest.find('f') != std::string::npos;
    if (rest.find('e') != std::string::npos) font.weight = 700;
    if (const std::size_t h = rest.find('h'); h != std::string::npos) {
        font.height = numberAfter(rest, h).value_or(font.height);
    }
    if (const std::size_t w = rest.find('w'); w != std::string::npos) {
        font.weight = numberAfter(rest, w).value_or(font.weight);
    }
    return font;
}

bool XCTLSETCHAR(XWND& window, int id, std::string_view text, std::optional<int> selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    const std::string value = textkit::trimmedRight(text);
    const int sel = selector.value_or(defaultSetSelector(c->kind));
    switch (sel) {
        case XSEL_TEXT: return SetWindowTextA(c->hwnd, value.c_str()) != FALSE;
        case XSEL_VALUE: return SetWindowTextA(valueWindow(*c), value.c_str()) != FALSE;
        case XSEL_SELECTION: {
            const auto entry = reinterpret_cast<LPARAM>(value.c_str());
            switch (c->kind) {
                case kCtlListBox: return SendMessageA(c->hwnd, LB_SELECTSTRING, -1, entry) >= 0;
                case kCtlDropList: case kCtlEditCombo:
                    return SendMessageA(c->hwnd, CB_SELECTSTRING, -1, entry) >= 0;
                default: return false;
            }
        }
        case XSEL_FONT: return setFont(*c, text);
        case XSEL_COLUMNS: return c->kind == kCtlListView && listViewSetColumns(c->hwnd, text);
        default: break;
    }
    if (sel < 0) return false;  // XSEL_COLUMNS and the rest belong to other layers
    switch (c->kind) {
        case kCtlEdit: return sel > 0 && replaceEditLine(c->hwnd, sel - 1, value);
        case kCtlListBox: case kCtlDropList: case kCtlEditCombo:
            return putListEntry(*c, sel, value);
        case kCtlTab: return putTabText(c->hwnd, sel, value);
        case kCtlStatusBar:
            // A bar without parts has one; item 0 also means that first part.
            return SendMessageA(c->hwnd, SB_SETTEXTA, std::max(sel, 1) - 1,
                                reinterpret_cast<LPARAM>(value.c_str())) != FALSE;
        case kCtlListView: return sel > 0 && putColumnTitle(c->hwnd, sel - 1, value);
        default: return false;
    }
}

bool XCTLGETCHAR(XWND& window, int id, std::span<char> text, std::optional<int> selector) {
    const auto c = findControl(window, id);
    if (!c) return false;
    const int sel = selector.value_or(defaultGetSelector(c->kind));
    std::optional<std::string> value;
    switch (sel) {
        case XSEL_TEXT: value = PXWINDOWTEXT(c->hwnd); break;
        case XSEL_VALUE: value = PXWINDOWTEXT(valueWindow(*c)); break;
        case XSEL_SELECTION:
            switch (c->kind) {
                case kCtlListBox: {
                    const LRESULT index = SendMessageA(c->hwnd, LB_GETCURSEL, 0, 0);
                    if (index >= 0) value = listEntry(*c, static_cast<WPARAM>(index));
                    break;
                }
                case kCtlDropList: case kCtlEditCombo: {
                    const LRESULT index = SendMessageA(c->hwnd, CB_GETCURSEL, 0, 0);
                    if (index >= 0) value = listEntry(*c, static_cast<WPARAM>(index));
                    break;
                }
                case kCtlTab: {
                    const LRESULT index = SendMessageA(c->hwnd, TCM_GETCURSEL, 0, 0);
                    if (index >= 0) value = tabText(c->hwnd, static_cast<int>(index));
                    break;
                }
                case kCtlStatusBar: value = statusPart(c->hwnd, 0); break;
                default: break;
            }
            break;
        default:
            if (sel < 1) break;
            switch (c->kind) {
                case kCtlEdit: value = editLine(c->hwnd, sel - 1); break;
                case kCtlListBox: case kCtlDropList: case kCtlEditCombo:
                    value = listEntry(*c, static_cast<WPARAM>(sel - 1));
                    break;
                case kCtlTab: value = tabText(c->hwnd, sel - 1); break;
                case kCtlStatusBar: value = statusPart(c->hwnd, sel - 1); break;
                case kCtlListView: value = columnTitle(c->hwnd, sel - 1); break;
                default: break;
            }
            break;
    }
    if (!value) return false;
    fillField(text, *value);
    return true;
}

std::string PXWINDOWTEXT(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}
