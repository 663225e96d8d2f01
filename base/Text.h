// The text toolkit: the few things every layer does to text. Texts of the
// program are blank-padded (FixedText.h), so trailing blanks never matter;
// these views drop them without copying. Squeezing is XSQUEEZE (Wflextra.h),
// case changes are XTOUPPER and upperChar (WflStrings.h).
#pragma once

#include <string>
#include <string_view>

namespace textkit {

// The text without its trailing blanks.
constexpr std::string_view trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

// The text without its leading blanks.
constexpr std::string_view trimLeft(std::string_view s) {
    std::size_t first = 0;
    while (first < s.size() && s[first] == ' ') ++first;
    return s.substr(first);
}

// The text without blanks at either end.
constexpr std::string_view trim(std::string_view s) { return trimLeft(trimRight(s)); }

// A copy without trailing blanks, for the routines that need a string (a
// NUL-terminated one for Windows, a key of a map).
inline std::string trimmedRight(std::string_view s) { return std::string(trimRight(s)); }

}  // namespace textkit
