// The older code page of the native build: Windows-1252, the page files
// written by Windows programs in Western Europe and the Americas are in.
#include "Unicode.h"

namespace utf8 {

std::string fromCodePage(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes) out += encode(windows1252(static_cast<unsigned char>(b)));
    return out;
}

std::optional<std::string> toCodePage(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        const Character c = multiByteAt(text, i);
        if (c.length == 0) return std::nullopt;
        int found = -1;
        for (int k = 0x80; k <= 0xFF && found < 0; ++k) {
            if (windows1252(static_cast<unsigned char>(k)) == c.code) found = k;
        }
        if (found < 0) return std::nullopt;
        out += static_cast<char>(found);
        i += c.length;
    }
    return out;
}

}  // namespace utf8
