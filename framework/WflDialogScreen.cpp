// Dialogs on screen at any resolution: a dialog from the resources that
// would be larger than the work area of its monitor is made with a smaller
// font (its layout in dialog units scales with the font), and its pages
// with the same; and a dialog is placed beside another inside the work area.
#include "WflDialog.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr char kPropPointSize[] = "XDlgPointSize";  // the font size a shrunk dialog's pages take
constexpr WORD kSmallestPointSize = 5;

// A dialog template from the resources as bytes, and where its font's point
// size stands in it; nothing when it is no DIALOGEX with a font of its own.
struct Template {
    std::vector<BYTE> bytes;
    std::size_t pointSizeAt = 0;
    WORD pointSize() const {
        WORD p = 0;
        std::memcpy(&p, bytes.data() + pointSizeAt, sizeof p);
        return p;
    }
    short width() const { return field<short>(22); }
    short height() const { return field<short>(24); }
    DWORD style() const { return field<DWORD>(12); }
    template <typename T>
    T field(std::size_t at) const {
        T v{};
        std::memcpy(&v, bytes.data() + at, sizeof v);
        return v;
    }
};

// Past a menu, class or title field: a 0 (none), 0xFFFF and a number, or a
// zero-terminated UTF-16 text.
std::optional<std::size_t> skipField(const std::vector<BYTE>& b, std::size_t at) {
    if (at + 2 > b.size()) return std::nullopt;
    WORD first = 0;
    std::memcpy(&first, b.data() + at, 2);
    if (first == 0) return at + 2;
    if (first == 0xFFFF) return at + 4;
    for (; at + 2 <= b.size(); at += 2) {
        WORD unit = 0;
        std::memcpy(&unit, b.data() + at, 2);
        if (unit == 0) return at + 2;
    }
    return std::nullopt;
}

// Where the font's point size stands in a DIALOGEX template: past the fixed
// header (26 bytes) and its menu, class and title.
std::optional<std::size_t> pointSizeOffset(const std::vector<BYTE>& bytes) {
    std::optional<std::size_t> at = 26;
    for (int f = 0; f < 3 && at; ++f) at = skipField(bytes, *at);  // menu, class, title
    if (!at || *at + 2 > bytes.size()) return std::nullopt;
    return at;
}

std::optional<Template> loadTemplate(HINSTANCE module, int id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return std::nullopt;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    if (!data || size < 26) return std::nullopt;
    Template t;
    t.bytes.assign(data, data + size);
    if (t.field<WORD>(0) != 1 || t.field<WORD>(2) != 0xFFFF) return std::nullopt;  // not DIALOGEX
    if (!(t.style() & DS_SETFONT)) return std::nullopt;
    const std::optional<std::size_t> at = pointSizeOffset(t.bytes);
    if (!at) return std::nullopt;
    t.pointSizeAt = *at;
    return t;
}

INT_PTR CALLBACK probeProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The outer size the dialog would have with its font at POINTS, measured on
// a hidden copy made for that purpose alone.
std::optional<SIZE> probedSize(Template& t, WORD points, HWND owner) {
    std::memcpy(t.bytes.data() + t.pointSizeAt, &points, sizeof points);
    auto* dialog = reinterpret_cast<LPCDLGTEMPLATEA>(t.bytes.data());
    HWND probe = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog, owner, probeProcedure, 0);
    if (!probe) return std::nullopt;
    RECT r{};
    GetWindowRect(probe, &r);
    DestroyWindow(probe);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT workAreaNear(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window ? window : GetDesktopWindow(), MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoA(monitor, &info)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

// A first guess at the dialog's outer size from its size in dialog units,
// on the generous side (a dialog unit of the usual 8-point font is under two
// pixels across and two down at 96 dots per inch), so that a dialog which
// surely fits is never probed.
bool surelyFits(const Template& t, HWND owner, const RECT& work) {
    const UINT dpi = owner ? GetDpiForWindow(owner) : GetDpiForSystem();
    const double scale = (dpi ? dpi : 96) / 96.0 * t.pointSize() / 8.0;
    const double width = t.width() * 1.9 * scale + 40, height = t.height() * 2.1 * scale + 60;
    return width <= work.right - work.left && height <= work.bottom - work.top;
}

}  // namespace

std::optional<std::vector<BYTE>> fittingDialogTemplate(HINSTANCE module, int id, HWND owner, HWND parent) {
    std::optional<Template> t = loadTemplate(module, id);
    if (!t) return std::nullopt;
    if (t->style() & WS_CHILD) {
        // A page takes the size its dialog was shrunk to, if it was.
        const auto points = parent ? reinterpret_cast<UINT_PTR>(GetPropA(parent, kPropPointSize)) : 0;
        if (points == 0) return std::nullopt;
        const WORD p = static_cast<WORD>(points);
        std::memcpy(t->bytes.data() + t->pointSizeAt, &p, sizeof p);
        return std::move(t->bytes);
    }
    const RECT work = workAreaNear(owner);
    if (surelyFits(*t, owner, work)) return std::nullopt;
    const WORD given = t->pointSize();
    const LONG roomX = work.right - work.left, roomY = work.bottom - work.top;
    for (WORD points = given; points >= kSmallestPointSize; --points) {
        const std::optional<SIZE> size = probedSize(*t, points, owner);
        if (!size) return std::nullopt;
        if (size->cx <= roomX && size->cy <= roomY) {
            if (points == given) return std::nullopt;
            return std::move(t->bytes);
        }
    }
    return std::nullopt;  // even the smallest font does not fit: the dialog as it is
}

void XREMEMBERDIALOGPOINTS(HWND dialog, const std::vector<BYTE>& bytes) {
    const std::optional<std::size_t> at = pointSizeOffset(bytes);
    if (!at) return;
    WORD points = 0;
    std::memcpy(&points, bytes.data() + *at, sizeof points);
    SetPropA(dialog, kPropPointSize, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(points)));
}

void XFORGETDIALOGPOINTS(HWND dialog) { RemovePropA(dialog, kPropPointSize); }

void XPLACEBESIDE(XWND& dialog, HWND beside) {
    if (!dialog.hwnd) return;
    RECT own{}, other{};
    GetWindowRect(dialog.hwnd, &own);
    const LONG w = own.right - own.left, h = own.bottom - own.top;
    const RECT work = workAreaNear(beside ? beside : dialog.hwnd);
    LONG x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    if (beside && GetWindowRect(beside, &other)) {
        const int gap = GetSystemMetrics(SM_CXFRAME);
        y = other.top;
        if (other.right + gap + w <= work.right) {
            x = other.right + gap;  // to the right
        } else if (other.left - gap - w >= work.left) {
            x = other.left - gap - w;  // to the left
        } else {
            x = work.right - w;  // no room beside it: against the right edge, over it
        }
    }
    x = std::max(work.left, std::min(x, work.right - w));
    y = std::max(work.top, std::min(y, work.bottom - h));
    SetWindowPos(dialog.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
