// The framework's message box: a dialog template written at run time and
// sized to its text, standard or caller-supplied buttons, a system icon,
// and an answer that can be remembered in the registry.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "WflApp.h"
#include "WflDialog.h"
#include "WflReg.h"
#include "Text.h"
#include "WflScoped.h"

namespace {

constexpr DWORD kBoxStyle = 0x90C808C0;  // pop-up, visible, caption, system menu,
                                         // centred, modal frame, own font
constexpr UINT kFlagSystemModal = 0x1000;
constexpr UINT kFlagTaskModal = 0x2000;
constexpr UINT kFlagTopmost = 0x40000;
constexpr UINT kFlagRightText = 0x80000;
constexpr int kRememberFactor = 100;  // the answer times this: "don't show again"
constexpr char kCheckText[] = "&Show this message in the future";

// The built-in captions, identifier n at 7 (n - 1). Every button but
// Cancel (which Esc gives) has an access key.
constexpr std::string_view kCaptions =
    "&OK    Cancel &Abort &Retry &Ignore&Yes   &No    Close  &Help  ";

std::string_view builtInCaption(int id) {
    return textkit::trimRight(kCaptions.substr(static_cast<std::size_t>(id - 1) * 7, 7));
}

// The standard button sets by the low four bits of the flags.
std::vector<int> standardButtons(UINT code) {
    switch (code) {
        case MB_OK: return {IDOK};
        case MB_OKCANCEL: return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO: return {IDYES, IDNO};
        case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
        default: return {};
    }
}

// The system icon (a resource of "user32") chosen by bits 4-7 of the flags.
std::optional<WORD> systemIconFor(UINT flags) {
    switch (flags & MB_ICONMASK) {
        case MB_ICONHAND: return 103;
        case MB_ICONQUESTION: return 102;
        case MB_ICONEXCLAMATION: return 101;
        case MB_ICONASTERISK: return 104;
        default: return std::nullopt;
    }
}

// What one call of XMESSAGEBOX works with (one box at a time: boxes do
// not nest).
struct MessageBoxState {
    UINT flags = 0;
    std::optional<WORD> icon;
    HINSTANCE iconModule = nullptr;
    std::vector<int> buttonIds;
    int defaultIndex = 0;  // 0-based
    SIZE text{};
    bool withCheck = false;
    HWND owner = nullptr;
    bool systemIcon = false;  // icon from the system's set rather than the caller's
};
MessageBoxState& boxState() {
    static MessageBoxState state;
    return state;
}

// The standard picture behind each system icon number of the template.
LPCSTR standardIcon(WORD id) {
    switch (id) {
        case 103: return IDI_HAND;
        case 102: return IDI_QUESTION;
        case 101: return IDI_EXCLAMATION;
        default: return IDI_ASTERISK;
    }
}

// Wine's user32 has no group-icon resources 101 to 104 (FindResourceA finds
// none of them there), so the icon control of the template comes up empty.
// The same pictures are the system's standard icons, which LoadIconA gives
// on every system; they fill an icon control that is still empty.
void fillEmptySystemIcon(HWND box) {
    const MessageBoxState& s = boxState();
    if (!s.icon || !s.systemIcon) return;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        if (!SendMessageA(c, STM_GETICON, 0, 0)) {
            SendMessageA(c, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, standardIcon(*s.icon))), 0);
        }
    }
}

// The localised caption the system offers, where it has a way to.
using MbGetString = LPCWSTR(WINAPI*)(UINT);
MbGetString systemCaptions() {
    HMODULE user32 = GetModuleHandleA("user32");
    return user32 ? reinterpret_cast<MbGetString>(
                        reinterpret_cast<void*>(GetProcAddress(user32, "MB_GetString")))
                  : nullptr;
}

// The box shows its text in the stock GUI font (the font its template
// names), so the text is measured in that font and the box's dialog units
// are that font's: the system font's would make the box too small wherever
// the two differ, at 144 DPI for one, and cut the text.
struct FontUnits {
    int x, y;  // pixels per 4 horizontal and 8 vertical dialog units
};
FontUnits templateFontUnits() {
    const ScopedWindowDC screen;
    const ScopedSelect font(screen.get(), GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.get(), &metrics);
    SIZE letters{};
    GetTextExtentPoint32A(screen.get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    return {std::max(1, static_cast<int>((letters.cx / 26 + 1) / 2)), std::max(1, static_cast<int>(metrics.tmHeight))};
}

// The size of the text as the box will show it, in pixels.
SIZE measureText(std::string_view text) {
    const ScopedWindowDC screen;
    const ScopedSelect font(screen.get(), GetStockObject(DEFAULT_GUI_FONT));
    RECT rc{0, 0, 700 * screenDpi() / 96, 600 * screenDpi() / 96};
    DrawTextA(screen.get(), text.data(), static_cast<int>(text.size()), &rc,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_WORD_ELLIPSIS);
    // A little more room than measured, so that no word wraps differently
    // in the dialog's own font.
    return {static_cast<LONG>(static_cast<float>(rc.right - rc.left) * 1.05f),
            rc.bottom - rc.top};
}

struct BoxSize {
    int width, height, textWidth, textHeight;
};

BoxSize boxSize(const MessageBoxState& s) {
    const FontUnits units = templateFontUnits();
    const int bx = units.x, by = units.y;
    const int icon = s.icon ? 1 : 0;
    BoxSize size{};
    size.textWidth = (s.text.cx * 4) / bx;
    size.textHeight = (s.text.cy * 8) / by;
    size.width = std::max(200, size.textWidth + icon * (128 / bx + 10) + 20);
    const int shownText = std::max(size.textHeight, icon * (256 / by));
    const int frame = ((GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME)) * 8) / by;
    size.height = 10 * (s.withCheck ? 1 : 0) + shownText + frame + 30;
    return size;
}

DialogTemplate buildTemplate(const MessageBoxState& s, std::string_view text,
                             std::string_view title,
                             std::optional<std::span<const std::string_view>> captions) {
    const BoxSize size = boxSize(s);
    const int icon = s.icon ? 1 : 0;
    const int buttons = static_cast<int>(s.buttonIds.size());
    const bool systemModal = (s.flags & kFlagSystemModal) != 0;
    const DWORD style = kBoxStyle | (systemModal ? DS_SYSMODAL : 0);
    const DWORD exStyle = systemModal || (s.flags & kFlagTopmost) ? WS_EX_TOPMOST : 0;

    DialogTemplate t;
    TemplateFrame frame;
    frame.style = style;
    frame.exStyle = exStyle;
    frame.items = static_cast<WORD>(icon + buttons + (s.withCheck ? 1 : 0) + 1);
    frame.width = static_cast<short>(size.width);
    frame.height = static_cast<short>(size.height);
    frame.title = title;
    int at = PXPUTFRAME(t, 0, frame);

    TemplateControl message;
    // The text as written: an "&" in it (a file named "bin ary & 100%.par")
    // is a character, not the mark of an access key. It was measured that
    // way too (DT_NOPREFIX).
    message.style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | ((s.flags & kFlagRightText) ? SS_RIGHT : SS_LEFT);
    message.x = static_cast<short>(20 * icon + 20);
    message.y = 10;
    message.width = static_cast<short>(size.textWidth);
    message.height = static_cast<short>(size.textHeight);
    message.classOrdinal = kStaticClass;
    message.text = text;
    at = PXPUTCONTROL(t, at, message);

    if (s.icon) {
        TemplateControl picture;
        picture.style = WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE;
        picture.x = 10;
        picture.y = 10;
        picture.width = 20;
        picture.height = 20;
        picture.classOrdinal = kStaticClass;
        picture.textOrdinal = *s.icon;
        at = PXPUTCONTROL(t, at, picture);
    }
    if (s.withCheck) {
        TemplateControl check;
        check.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
        check.x = 10;
        check.y = static_cast<short>(size.height - 32);
        check.width = static_cast<short>(size.width - 20);
        check.height = 10;
        check.id = kMessageBoxCheckId;
        check.classOrdinal = kButtonClass;
        check.text = kCheckText;
        at = PXPUTCONTROL(t, at, check);
    }
    const MbGetString localised = captions ? nullptr : systemCaptions();
    for (int k = 1; k <= buttons; ++k) {
        const int id = s.buttonIds[static_cast<std::size_t>(k - 1)];
        TemplateControl button;
        button.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                       (k - 1 == s.defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        // The row of 50-unit buttons, 70 units apart, centred in the box.
        button.x = static_cast<short>(70 * k + (size.width / 2 - (70 * buttons - 70) / 2) - 95);
        button.y = static_cast<short>(size.height - 20);
        button.width = 50;
        button.height = 14;
        button.id = static_cast<WORD>(id);
        button.classOrdinal = kButtonClass;
        std::string caller;
        if (captions) {
            caller = textkit::trimmedRight((*captions)[static_cast<std::size_t>(k - 1)]);
            button.text = caller;
        } else if (localised) {
            button.wideText = localised(static_cast<UINT>(id - 1));
            if (!button.wideText) button.text = builtInCaption(id);
        } else {
            button.text = builtInCaption(id);
        }
        at = PXPUTCONTROL(t, at, button);
    }
    return t;
}

// Enables or disables the top-level windows a modal box stands over.
BOOL CALLBACK pxmbenableproc(HWND hwnd, LPARAM enable) {
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) EnableWindow(hwnd, enable != 0);
    return TRUE;
}

void enableForModality(UINT flags, bool enable) {
    const auto state = static_cast<LPARAM>(enable);
    if (flags & kFlagSystemModal) {
        EnumWindows(pxmbenableproc, state);
    } else if (flags & kFlagTaskModal) {
        EnumThreadWindows(GetCurrentThreadId(), pxmbenableproc, state);
    }
}

INT_PTR CALLBACK pxmessageboxdlgproc(HWND dialog, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    switch (message) {
        case WM_INITDIALOG: {
            HWND over = GetWindow(dialog, GW_OWNER);
            if (!over) over = GetDesktopWindow();
            RECT o{}, own{};
            GetWindowRect(over, &o);
            GetWindowRect(dialog, &own);
            SetWindowPos(dialog, nullptr, (o.left + o.right - (own.right - own.left)) / 2,
                         (o.top + o.bottom - (own.bottom - own.top)) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
            fillEmptySystemIcon(dialog);
            if (HWND button = GetDlgItem(dialog, static_cast<int>(lParam))) SetFocus(button);
            CheckDlgButton(dialog, kMessageBoxCheckId, BST_CHECKED);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == kMessageBoxCheckId) return FALSE;
            HWND check = GetDlgItem(dialog, kMessageBoxCheckId);
            const bool forget = check && IsDlgButtonChecked(dialog, kMessageBoxCheckId) != BST_CHECKED;
            EndDialog(dialog, id * (forget ? kRememberFactor : 1));
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

int PXPUTINT4(DialogTemplate& t, int position, DWORD value) {
    const std::array<WORD, 2> words{LOWORD(value), HIWORD(value)};
    return PXPUTINT2(t, position, words);
}

int PXPUTINT2(DialogTemplate& t, int position, std::span<const WORD> values) {
    const auto end = static_cast<std::size_t>(position) + values.size();
    if (t.size() < end) t.resize(end);
    std::copy(values.begin(), values.end(), t.begin() + position);
    return static_cast<int>(end);
}

int PXPUTCHAR(DialogTemplate& t, int position, std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int units = length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    const auto end = static_cast<std::size_t>(position + units + 1);
    if (t.size() < end) t.resize(end);
    if (units > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), length,
                            reinterpret_cast<wchar_t*>(t.data() + position), units);
    }
    t[end - 1] = 0;
    return static_cast<int>(end);
}

int PXPUTFRAME(DialogTemplate& t, int position, const TemplateFrame& f) {
    int at = PXPUTINT4(t, position, f.style);
    at = PXPUTINT4(t, at, f.exStyle);
    const std::array<WORD, 7> header{f.items, static_cast<WORD>(f.x), static_cast<WORD>(f.y),
                                     static_cast<WORD>(f.width), static_cast<WORD>(f.height),
                                     0, 0};  // no menu, the standard dialog class
    at = PXPUTINT2(t, at, header);
    at = PXPUTCHAR(t, at, f.title);
    // The stock GUI font reports its height in pixels (negative: character
    // height); the template wants points, so the height is converted at the
    // screen's resolution, and the dialog shows the font at its usual size
    // (8 points for an 11-pixel font on a 96-DPI screen).
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    const int pixels = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    int points = MulDiv(pixels, 72, screenDpi());
    if (points <= 0) points = 8;
    at = PXPUTINT2(t, at, std::array<WORD, 1>{static_cast<WORD>(points)});
    // The face name field is 32 bytes, up to its terminating zero.
    at = PXPUTCHAR(t, at, std::string_view(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName)));
    if (at % 2) at = PXPUTINT2(t, at, std::array<WORD, 1>{0});
    return at;
}

int PXPUTCONTROL(DialogTemplate& t, int position, const TemplateControl& c) {
    int at = PXPUTINT4(t, position, c.style);
    at = PXPUTINT4(t, at, c.exStyle);
    const std::array<WORD, 7> item{static_cast<WORD>(c.x), static_cast<WORD>(c.y),
                                   static_cast<WORD>(c.width), static_cast<WORD>(c.height),
                                   c.id, 0xFFFF, c.classOrdinal};
    if (c.classOrdinal != 0) {
        at = PXPUTINT2(t, at, item);
    } else {
        at = PXPUTINT2(t, at, std::span<const WORD>(item.data(), 5));
        at = PXPUTCHAR(t, at, c.className);
    }
    if (c.textOrdinal) {
        const std::array<WORD, 2> ordinal{0xFFFF, *c.textOrdinal};
        at = PXPUTINT2(t, at, ordinal);
    } else if (c.wideText) {
        const std::size_t n = std::min<std::size_t>(wcsnlen(c.wideText, 100), 100);
        std::vector<WORD> wide(c.wideText, c.wideText + n);
        wide.push_back(0);
        at = PXPUTINT2(t, at, wide);
    } else {
        at = PXPUTCHAR(t, at, c.text);
    }
    at = PXPUTINT2(t, at, std::array<WORD, 1>{0});  // no creation data
    if (at % 2) at = PXPUTINT2(t, at, std::array<WORD, 1>{0});
    return at;
}

int XMESSAGEBOX(std::string_view text, std::optional<std::string_view> title, UINT flags,
                HWND owner, std::optional<int> icon, std::optional<std::string_view> key,
                std::optional<std::string_view> value, HINSTANCE instance,
                std::optional<std::span<const std::string_view>> buttons) {
    // A remembered answer is given without showing anything; the key stays
    // open for storing a new one.
    const bool remembering = key && value;
    std::optional<RegistryKey> remembered;
    if (remembering) {
        remembered.emplace(*key);
        if (!remembered->isOpen()) return 0;
        int answer = 0;
        if (XREGGETINT(remembered->handle(), *value, answer) && answer > 0) return answer;
    }

    MessageBoxState& s = boxState();
    s = MessageBoxState{};
    s.flags = flags;
    s.withCheck = remembering;
    MSG quit{};
    const bool quitPending = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;

    HINSTANCE dialogModule = instance ? instance : GetModuleHandleA(nullptr);
    if (icon) {
        s.icon = static_cast<WORD>(*icon);
    } else if ((s.icon = systemIconFor(flags))) {
        s.systemIcon = true;
        dialogModule = GetModuleHandleA("user32");  // where the system icons live
    }
    s.text = measureText(text);

    if (buttons) {
        const std::size_t n = std::min<std::size_t>(buttons->size(), 4);
        buttons = buttons->first(n);
        for (std::size_t k = 1; k <= n; ++k) s.buttonIds.push_back(static_cast<int>(k));
    } else {
        s.buttonIds = standardButtons(flags & MB_TYPEMASK);
    }
    const int defaultPosition = static_cast<int>((flags >> 8) & 0xF);
    s.defaultIndex = defaultPosition < static_cast<int>(s.buttonIds.size()) ? defaultPosition : 0;
    HWND frame = frameWindow().hwnd;
    s.owner = owner ? owner : (frame && IsWindow(frame) ? frame : GetDesktopWindow());

    const DialogTemplate t = buildTemplate(s, text, title.value_or("Error"), buttons);
    enableForModality(flags, false);
    const int defaultId = s.buttonIds.empty() ? 0 : s.buttonIds[static_cast<std::size_t>(s.defaultIndex)];
    INT_PTR r = DialogBoxIndirectParamA(dialogModule, reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                        s.owner, pxmessageboxdlgproc, defaultId);
    if (r >= kRememberFactor) {
        r = -(r / kRememberFactor);
    } else if (r < 0) {
        r = 0;
    }
    enableForModality(flags, true);
    if (r < 0 && remembered) {
        XREGSETINT(remembered->handle(), *value, static_cast<int>(-r));
    }
    if (quitPending) PostQuitMessage(static_cast<int>(quit.wParam));
    return static_cast<int>(r < 0 ? -r : r);
}
