// FixedText<N>: a blank-padded text field of fixed capacity.
//
// Records of the application keep their texts in fields like this. Assigning
// a longer text cuts it at the capacity, a shorter one is padded with blanks,
// and the value of a field is its content without trailing blanks.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "Text.h"

template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t kCapacity = N;

    FixedText() { blankAll(); }
    FixedText(std::string_view text) { assign(text); }  // NOLINT: fields take plain text

    FixedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    void assign(std::string_view text) {
        const std::size_t n = std::min(text.size(), N);
        const bool inside = text.data() >= chars_.data() && text.data() < chars_.data() + N;
        if (inside) {
            // A part of the field itself: moved first, the rest blanked.
            std::copy_n(text.data(), n, chars_.data());
            std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(n), chars_.end(), ' ');
            return;
        }
        // The whole field blank first: a few wide stores, cheaper than
        // filling exactly the rest.
        blankAll();
        copyIn(text.data(), n);
    }

    // The value: the content without trailing blanks.
    std::string_view view() const { return textkit::trimRight({chars_.data(), N}); }
    std::string str() const { return std::string(view()); }

    // The whole field, trailing blanks included.
    std::string_view raw() const { return {chars_.data(), N}; }

    bool blank() const { return view().empty(); }
    std::size_t length() const { return view().size(); }  // without trailing blanks

    char* data() { return chars_.data(); }
    const char* data() const { return chars_.data(); }
    constexpr std::size_t capacity() const { return N; }

    char* begin() { return chars_.data(); }
    char* end() { return chars_.data() + N; }
    const char* begin() const { return chars_.data(); }
    const char* end() const { return chars_.data() + N; }

    char& operator[](std::size_t i) { return chars_[i]; }
    char operator[](std::size_t i) const { return chars_[i]; }

    // Fields compare by value, so trailing blanks never matter.
    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == textkit::trimRight(b); }

private:
    // Blanks eight at a time: every record's fields are filled so, and a
    // call of the library's memset costs more than the stores themselves.
    void blankAll() {
        constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
        for (std::size_t i = 0; i + 8 <= N; i += 8) std::memcpy(chars_.data() + i, &kBlanks, 8);
        for (std::size_t i = N - N % 8; i < N; ++i) chars_[i] = ' ';
    }

    // N bytes of FROM into the field's start, eight at a time where they
    // reach (the last eight may overlap those before), for the same reason.
    void copyIn(const char* from, std::size_t n) {
        char* const to = chars_.data();
        if (n >= 8) {
            for (std::size_t i = 0; i + 8 < n; i += 8) std::memcpy(to + i, from + i, 8);
            std::memcpy(to + n - 8, from + n - 8, 8);
        } else {
            for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
        }
    }

    std::array<char, N> chars_;
};
