// Blank-padded fixed-length text with 1-based column access, the shape of
// every field that the editor reads from or writes to its files.
#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// True when a and b are equal once the shorter is padded with blanks.
inline bool blankEqual(std::string_view a, std::string_view b) {
    const std::size_t n = std::max(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char ca = i < a.size() ? a[i] : ' ';
        const char cb = i < b.size() ? b[i] : ' ';
        if (ca != cb) return false;
    }
    return true;
}

// Length of s without its trailing blanks.
inline std::size_t trimmedLength(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return n;
}

inline std::string_view trimRight(std::string_view s) { return s.substr(0, trimmedLength(s)); }

// s without its leading and trailing blanks.
inline std::string_view trimBlanks(std::string_view s) {
    s = trimRight(s);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t length = N;

    FixedText() { c_.fill(' '); }
    // Longer text is cut at N; shorter text is padded with blanks.
    FixedText(std::string_view s) {  // NOLINT(google-explicit-constructor): text enters as text
        c_.fill(' ');
        put(1, s);
    }

    static constexpr std::size_t size() { return N; }

    // Column col, counted from 1. Columns outside 1..N read as a blank.
    char at(std::size_t col) const { return col >= 1 && col <= N ? c_[col - 1] : ' '; }
    // Sets column col; columns outside 1..N are ignored.
    void set(std::size_t col, char ch) {
        if (col >= 1 && col <= N) c_[col - 1] = ch;
    }

    // Columns first..last inclusive, clipped to the text.
    std::string_view cols(std::size_t first, std::size_t last) const {
        if (first < 1) first = 1;
        if (last > N) last = N;
        if (first > last) return {};
        return std::string_view(c_.data() + first - 1, last - first + 1);
    }

    // Places s from column col on; what would fall past column N is dropped.
    void put(std::size_t col, std::string_view s) {
        // Only the characters that land in 1..N are visited: a long line put
        // into a short text costs its width, not the line's length.
        for (std::size_t i = col >= 1 ? 0 : 1; i < s.size() && col + i <= N; ++i) c_[col + i - 1] = s[i];
    }
    // Places s into columns first..last, blank-padded or cut to that width.
    void putField(std::size_t first, std::size_t last, std::string_view s) {
        for (std::size_t col = first; col <= last; ++col) {
            const std::size_t i = col - first;
            set(col, i < s.size() ? s[i] : ' ');
        }
    }
    void blank(std::size_t first = 1, std::size_t last = N) {
        for (std::size_t col = first; col <= last; ++col) set(col, ' ');
    }

    std::string_view view() const { return std::string_view(c_.data(), N); }
    std::size_t trimmedLength() const { return ::trimmedLength(view()); }
    std::string_view trimmed() const { return view().substr(0, trimmedLength()); }
    std::string str() const { return std::string(view()); }

    bool operator==(const FixedText&) const = default;
    bool operator==(std::string_view s) const { return blankEqual(view(), s); }

private:
    std::array<char, N> c_;
};
