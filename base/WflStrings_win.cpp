// The Windows half of WflStrings: code-page conversions and string resources.
#include <windows.h>

#include "WflStrings.h"

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

std::string XMULTIBYTE(const wchar_t* wide) {
    if (wide == nullptr || *wide == L'\0') return {};
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return {};
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, bytes.data(), needed, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(needed) - 1);  // drop the NUL
    return bytes;
}

std::string XLOADSTRING(unsigned id) {
    // With a zero buffer size LoadStringW hands out a read-only pointer to the
    // resource itself, so strings of any length come back whole.
    const wchar_t* res = nullptr;
    const int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&res), 0);
    if (len <= 0 || res == nullptr) return {};
    std::wstring copy(res, static_cast<std::size_t>(len));
    return XMULTIBYTE(copy.c_str());
}
