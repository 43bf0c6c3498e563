// Fixed-column numeric fields and their rounding (see fields.h). The
// readers and writers call these for every number of every drop file, so a
// field is parsed where it lies, or from a copy on the stack without its
// blanks, and a number is written straight into its record two digits at a
// time.
#include "base/fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters of a field without its blanks. A field of ordinary width
// stays on the stack: the readers call this for every number of every file.
class Unblanked {
public:
    explicit Unblanked(std::string_view field) {
        if (field.size() > sizeof small_) {
            large_.resize(field.size());
            text_ = large_.data();
        }
        for (char c : field)
            if (c != ' ') text_[size_++] = c;
    }
    Unblanked(const Unblanked&) = delete;
    Unblanked& operator=(const Unblanked&) = delete;
    std::string_view view() const { return {text_, size_}; }
    char* data() { return text_; }

private:
    char small_[64];
    std::string large_;
    char* text_ = small_;
    std::size_t size_ = 0;
};

// Parses s completely as [sign] digits [. digits] [(e|E|d|D) [sign] digits].
std::optional<double> parseReal(std::string_view s, bool& hasPointOrExponent) {
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
    const std::size_t mantissaEnd = i;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        hasPointOrExponent = true;
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    // A whole number of up to 15 digits is exact in a double, as from_chars
    // would give it; the stored files hold mostly such fields.
    if (!hasPointOrExponent && digits <= 15) {
        const bool negative = s[0] == '-';
        double v = 0;
        for (std::size_t k = negative || s[0] == '+' ? 1 : 0; k < n; ++k) v = v * 10 + (s[k] - '0');
        return negative ? -v : v;
    }
    // from_chars knows neither a leading plus nor the D exponent.
    const std::size_t first = s[0] == '+' ? 1 : 0;
    Unblanked copy(s.substr(first));
    if (mantissaEnd < n) copy.data()[mantissaEnd - first] = 'e';
    const std::string_view text = copy.view();
    double v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc::result_out_of_range) return std::nullopt;
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
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

std::optional<std::int64_t> readIntFieldBlanksAnywhere(std::string_view field) {
    // Blanks anywhere are ignored, so "- 1 2" reads as -12.
    bool negative = false, signSeen = false, digitSeen = false;
    std::int64_t v = 0;
    for (char c : field) {
        if (c == ' ') continue;
        if (!signSeen && !digitSeen && (c == '+' || c == '-')) {
            signSeen = true;
            negative = c == '-';
            continue;
        }
        if (!isDigit(c)) return std::nullopt;
        if (v > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return std::nullopt;
        v = v * 10 + (c - '0');
        digitSeen = true;
    }
    if (signSeen && !digitSeen) return std::nullopt;
    return negative ? -v : v;
}

std::optional<double> readRealField(std::string_view field, int impliedDecimals) {
    const Unblanked s(field);
    if (s.view().empty()) return 0.0;
    bool written = false;
    auto v = parseReal(s.view(), written);
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
    return parseReal(text.substr(i, j - i), written);
}

char* putI(char* at, std::int64_t v, int w) {
    if (w <= 0) return at;
    char* const end = at + w;
    char* p = end;
    const bool negative = v < 0;
    // Worked in unsigned so that the most negative value has its digits too.
    std::uint64_t u = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    bool fits = true;
    // Two digits at a time while there is room: the writers call this for
    // every number of every record.
    static constexpr char pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    while (u >= 100 && p - at >= 2) {
        const auto two = std::size_t(u % 100) * 2;
        u /= 100;
        *--p = pairs[two + 1];
        *--p = pairs[two];
    }
    do {
        if (p == at) {
            fits = false;
            break;
        }
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (fits && negative) {
        if (p == at)
            fits = false;
        else
            *--p = '-';
    }
    const char pad = fits ? ' ' : '*';
    for (char* q = fits ? p : end; q != at;) *--q = pad;
    return end;
}

void appendI(std::string& out, std::int64_t v, int w) {
    if (w <= 0) return;
    // Built in one buffer and appended at once. Twenty-four columns hold
    // every 64-bit value, so a wider field is only padded in front.
    char buf[24];
    const int room = std::min(w, static_cast<int>(sizeof buf));
    if (w > room) out.append(static_cast<std::size_t>(w - room), ' ');
    out.append(buf, putI(buf, v, room));
}

std::string writeI(std::int64_t v, int w) {
    std::string s;
    appendI(s, v, w);
    return s;
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
    // Well inside the 64-bit range the cut towards zero is exact, and so is
    // what it leaves: half away from zero without a call to round.
    if (x > -4.0e15 && x < 4.0e15) {
        const auto whole = static_cast<std::int64_t>(x);
        const double rest = x - static_cast<double>(whole);
        return whole + (rest >= 0.5 ? 1 : 0) - (rest <= -0.5 ? 1 : 0);
    }
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

std::string freeFormat(std::int64_t v) {
    return std::to_string(v);
}
