// Text in UTF-8, the encoding of every text inside the program: characters
// read from it, the characters a parameter name may hold, upper-casing for
// names, and the conversions of files in the user's older code page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace utf8 {

// One character of a text: its code point and how many bytes it takes.
struct Character {
    char32_t code = 0;
    std::size_t length = 0;  // 0: no well-formed character of two bytes or more starts here
};
// The character of two or more bytes that starts at `at`, in the strict form
// (shortest encoding, no surrogate halves, nothing past U+10FFFF).
Character multiByteAt(std::string_view text, std::size_t at);

// Whether every byte of the text belongs to a well-formed character.
bool wellFormed(std::string_view text);
// The number of characters a reader sees: a byte that belongs to no
// well-formed character counts as one.
std::size_t characterCount(std::string_view text);
// The byte offset of the start of the character that holds byte `at`, going
// back at most three bytes (the head of a text cut at `at` keeps whole
// characters).
std::size_t characterStart(std::string_view text, std::size_t at);

// What a parameter name may hold above ASCII besides A-Z, digits and the
// underscore: a letter, a mark that belongs to one, or any character of the
// Windows-1252 code page (names were bytes of that page once, and every
// byte above 127 could stand in them).
bool isNameCharacter(char32_t code);
// The capital of a letter above ASCII, when its capital is one character
// of the same length in UTF-8 and the capital of that letter alone;
// otherwise the character itself.
char32_t upper(char32_t code);

std::string encode(char32_t code);

// Text of a file in the user's older (ANSI) code page, in UTF-8; and back,
// or nothing when some character has no place in that page. The native
// build's older page is Windows-1252; Windows names its own.
std::string fromCodePage(std::string_view bytes);
std::optional<std::string> toCodePage(std::string_view text);
// The Windows-1252 character of a byte above 127.
char32_t windows1252(unsigned char byte);

}  // namespace utf8
