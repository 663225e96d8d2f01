// The older code page on Windows: the system's ANSI page as the user's
// language sets it (1252 in Western Europe, 1250, 1251, 932 ...), asked of
// the locale because the program's own page is UTF-8.
#include <windows.h>

#include <string>

#include "Unicode.h"

namespace utf8 {

namespace {

UINT olderCodePage() {
    static const UINT page = [] {
        UINT value = 0;
        if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&value), sizeof(value) / sizeof(wchar_t)) == 0 ||
            value == 0 || value == CP_UTF8) {
            value = 1252;
        }
        return value;
    }();
    return page;
}

std::wstring wide(UINT page, std::string_view bytes, DWORD flags) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

}  // namespace

std::string fromCodePage(std::string_view bytes) {
    const std::wstring text = wide(olderCodePage(), bytes, 0);
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                                   nullptr);
    return out;
}

std::optional<std::string> toCodePage(std::string_view text) {
    if (text.empty()) return std::string();
    if (!wellFormed(text)) return std::nullopt;
    const std::wstring units = wide(CP_UTF8, text, MB_ERR_INVALID_CHARS);
    if (units.empty()) return std::nullopt;
    // No look-alikes: a character the page lacks makes the answer "none".
    BOOL lossy = FALSE;
    const UINT page = olderCodePage();
    const int n = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, units.data(), static_cast<int>(units.size()),
                                      nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, units.data(), static_cast<int>(units.size()), out.data(), n,
                        nullptr, &lossy);
    if (lossy) return std::nullopt;
    return out;
}

}  // namespace utf8
