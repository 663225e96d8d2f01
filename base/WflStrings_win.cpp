// The Windows half of WflStrings: code-page conversions and string resources.
#include <windows.h>

#include "WflStrings.h"

#include <string>

std::vector<wchar_t> XUNICODE(std::string_view text) {
    std::vector<wchar_t> wide(1, L'\0');
    if (text.empty()) return wide;
    const int len = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), len, nullptr, 0);
    if (needed <= 0) return wide;
    wide.assign(static_cast<std::size_t>(needed) + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), len, wide.data(), needed);
    return wide;
}

namespace {

// UTF-8 takes no best-fit flag (Windows refuses the call with one); every
// other code page is told to use "?" rather than a look-alike.
DWORD narrowingFlags(bool exact) {
    if (GetACP() == CP_UTF8) return exact ? WC_ERR_INVALID_CHARS : 0;
    return WC_NO_BEST_FIT_CHARS;
}

std::optional<std::string> narrowed(std::wstring_view wide, bool exact) {
    if (wide.empty()) return std::string();
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = narrowingFlags(exact);
    BOOL lossy = FALSE;
    BOOL* lossyOut = utf8 ? nullptr : &lossy;  // UTF-8 takes no default character
    const int len = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, flags, wide.data(), len, nullptr, 0, nullptr, lossyOut);
    if (needed <= 0 || (exact && lossy)) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), len, bytes.data(), needed, nullptr, lossyOut);
    if (exact && lossy) return std::nullopt;
    return bytes;
}

}  // namespace

std::string XMULTIBYTE(const wchar_t* wide) {
    if (wide == nullptr) return {};
    if (GetACP() != CP_UTF8) return narrowed(wide, false).value_or(std::string());
    if (std::optional<std::string> exact = narrowed(wide, true)) return std::move(*exact);
    // Half of a surrogate pair (Windows allows it in a file name) would
    // become U+FFFD, which a file name may hold: "?" can name no file.
    std::wstring mended(wide);
    for (std::size_t i = 0; i < mended.size(); ++i) {
        const wchar_t u = mended[i];
        const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
        const bool paired = high && i + 1 < mended.size() && mended[i + 1] >= 0xDC00 && mended[i + 1] <= 0xDFFF;
        if (paired) {
            ++i;
        } else if (high || low) {
            mended[i] = L'?';
        }
    }
    return narrowed(mended, false).value_or(std::string());
}

std::optional<std::string> XMULTIBYTEEXACT(std::wstring_view wide) { return narrowed(wide, true); }

std::string XLOADSTRING(unsigned id) {
    // With a zero buffer size LoadStringW hands out a read-only pointer to the
    // resource itself, so strings of any length come back whole.
    const wchar_t* res = nullptr;
    const int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&res), 0);
    if (len <= 0 || res == nullptr) return {};
    std::wstring copy(res, static_cast<std::size_t>(len));
    return XMULTIBYTE(copy.c_str());
}
