#include "base/fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

std::string withoutBlanks(std::string_view field) {
    std::string s;
    s.reserve(field.size());
    for (char c : field)
        if (c != ' ') s.push_back(c);
    return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Parses s completely as [sign] digits [. digits] [(e|E|d|D) [sign] digits].
std::optional<double> parseReal(const std::string& s, bool& hasPointOrExponent) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(s[i])) ++i, ++digits;
    hasPointOrExponent = false;
    if (i < n && s[i] == '.') {
        hasPointOrExponent = true;
        ++i;
        while (i < n && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    std::string canonical = s.substr(0, i);
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        hasPointOrExponent = true;
        ++i;
        std::size_t start = i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
        canonical += 'e';
        canonical += s.substr(start, i - start);
    }
    if (i != n) return std::nullopt;
    const char* first = canonical.data();
    if (*first == '+') ++first;
    double v = 0;
    auto [ptr, ec] = std::from_chars(first, canonical.data() + canonical.size(), v);
    if (ec == std::errc::result_out_of_range) return std::nullopt;
    if (ec != std::errc() || ptr != canonical.data() + canonical.size()) return std::nullopt;
    return v;
}

// The exact decimal expansion of v rounded half away from zero to d decimals,
// without a sign.
std::string roundedDigits(double v, int d) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.60f", std::fabs(v));
    std::string s(buf);
    const std::size_t point = s.find('.');
    std::string intPart = s.substr(0, point);
    std::string frac = s.substr(point + 1);
    const bool roundUp = static_cast<std::size_t>(d) < frac.size() && frac[d] >= '5';
    frac.resize(d);
    std::string all = intPart + frac;
    if (roundUp) {
        int k = static_cast<int>(all.size()) - 1;
        while (k >= 0 && all[k] == '9') all[k--] = '0';
        if (k >= 0)
            ++all[k];
        else
            all.insert(all.begin(), '1');
    }
    const std::size_t intLen = all.size() - d;
    std::string out = all.substr(0, intLen);
    if (d > 0) out += "." + all.substr(intLen);
    return out;
}

}  // namespace

std::optional<std::int64_t> readIntField(std::string_view field) {
    const std::string s = withoutBlanks(field);
    if (s.empty()) return 0;
    std::size_t i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) return std::nullopt;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i])) return std::nullopt;
        if (v > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

std::optional<double> readRealField(std::string_view field, int impliedDecimals) {
    const std::string s = withoutBlanks(field);
    if (s.empty()) return 0.0;
    bool written = false;
    auto v = parseReal(s, written);
    if (!v) return std::nullopt;
    if (!written && impliedDecimals > 0) *v /= std::pow(10.0, impliedDecimals);
    return v;
}

std::optional<double> readFreeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == ',' || text[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ' && text[j] != ',' && text[j] != '\t') ++j;
    if (i == j) return std::nullopt;
    bool written = false;
    return parseReal(std::string(text.substr(i, j - i)), written);
}

std::string writeI(std::int64_t v, int w) {
    if (w <= 0) return {};
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string writeF(double v, int w, int d) {
    if (w <= 0) return {};
    if (d < 0) d = 0;
    if (!std::isfinite(v) || std::fabs(v) >= 1e30) return std::string(static_cast<std::size_t>(w), '*');
    std::string digits = roundedDigits(v, d);
    bool allZero = true;
    for (char c : digits)
        if (c != '0' && c != '.') allZero = false;
    const bool negative = v < 0 && !allZero;
    std::string s = (negative ? "-" : "") + digits;
    if (static_cast<int>(s.size()) > w && digits.size() > 1 && digits[0] == '0' && d > 0)
        s = (negative ? "-" : "") + digits.substr(1);
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::int64_t nint(double x) {
    if (std::isnan(x)) return 0;
    constexpr double lim = 9.0e18;
    if (x >= lim) return static_cast<std::int64_t>(lim);
    if (x <= -lim) return -static_cast<std::int64_t>(lim);
    return static_cast<std::int64_t>(std::round(x));
}

std::int64_t nintProduct(float factor, float value) {
    const float p = static_cast<float>(static_cast<double>(factor) * static_cast<double>(value));
    return nint(static_cast<double>(p));
}

std::string freeFormat(float v) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc()) return "NaN";
    return std::string(buf, ptr);
}

std::string freeFormat(std::int64_t v) { return std::to_string(v); }
