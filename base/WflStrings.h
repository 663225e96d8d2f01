// WflStrings: moving text between blank-padded fields, NUL-terminated and
// wide strings, and writing numbers as text.
//
// The portable routines include no Windows header; the three conversions at
// the end exist only in the Windows build.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FixedText.h"

// Copies the bytes of `src` before its first NUL into `field`, then blanks to
// the field's end; a longer string is cut at the field's capacity.
void XC2F(const char* src, std::span<char> field);
template <std::size_t N>
void XC2F(const char* src, FixedText<N>& field) {
    XC2F(src, std::span<char>(field.data(), N));
}

// A blank-padded field as a plain string: its bytes without trailing blanks.
std::string XF2C(std::string_view field);

// Characters before the first NUL of a field, or its capacity without one.
std::size_t CLEN(std::string_view field);

// Case changes in place over the single-byte character set: a-z and
// 0xE0..0xFE go up by one case, A-Z and 0xC0..0xDE down; other bytes stay.
void XTOUPPER(std::span<char> text);
void XTOLOWER(std::span<char> text);
inline void XTOUPPER(std::string& text) { XTOUPPER(std::span<char>(text)); }
inline void XTOLOWER(std::string& text) { XTOLOWER(std::span<char>(text)); }
template <std::size_t N>
void XTOUPPER(FixedText<N>& text) { XTOUPPER(std::span<char>(text.data(), N)); }
// Copies with the case changed.
std::string XTOUPPER(std::string_view text);
std::string XTOLOWER(std::string_view text);
inline char upperChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE)) ? static_cast<char>(u - 32) : c;
}

// True when the texts agree up to the shorter length, or up to a position
// where both hold a NUL.
bool STRCMP(std::string_view a, std::string_view b);

// An integer as text in base 2, 8, 10 or 16 (any other base means 10),
// without leading blanks; a negative number gets a leading minus sign.
std::string PXISTRING(long long value, int base = 10);

// Digits that an integer needs in a base (default 10), 1 for zero; the sign
// of a negative number is not counted.
int PXLOG(long long value, int base = 10);

// The text without trailing blanks between double quotes.
std::string XQUOTE(std::string_view text);
// Leading and trailing blanks trimmed, then one enclosing pair of matching
// double or single quotes removed.
std::string XUNQUOTE(std::string_view text);

// A text no longer than `maxLength`: when it is longer, its head and tail are
// kept, cut at the separators \ / : , ; CR and tab where possible, and "..."
// stands for the middle.
std::string XSHORTEN(std::string_view text, std::size_t maxLength);

// A real number as the shortest text that reads back to the same value;
// with `decimals` >= 0, in fixed notation with that many decimals.
std::string PXFSTRING(double value, int decimals = -1);

#ifdef _WIN32
// Bytes in the ANSI code page to NUL-terminated UTF-16 and back. The
// program's code page is UTF-8 where Windows honours its manifest; on an
// older code page a character it cannot hold becomes "?", never a
// look-alike, so a converted path can never name another file ("?" is not
// allowed in file names).
std::vector<wchar_t> XUNICODE(std::string_view text);
std::string XMULTIBYTE(const wchar_t* wide);
// The same conversion, or nothing when some character of the text has no
// place in the code page (or the text is not well-formed UTF-16).
std::optional<std::string> XMULTIBYTEEXACT(std::wstring_view wide);
// A string resource of the program by number; empty when there is none.
std::string XLOADSTRING(unsigned id);
#endif
