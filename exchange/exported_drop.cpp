// The exported drop: the strict reading of a q file and the station and
// header fields an archive needs, each checked before it is trusted.
#include "exchange/exported_drop.h"

#include <charconv>
#include <cmath>

#include "base/atomic_file.h"
#include "base/fields.h"
#include "base/fixed_text.h"
#include "exchange/qc_flags.h"
#include "profile/profile_store.h"

namespace {

// Columns first..last (1-based) of a line, shorter when the line is.
std::string_view cols(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, std::min(last, line.size()) - first + 1);
}

bool blank(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

bool printable(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) return false;
    return true;
}

std::optional<int> digitsof(std::string_view s) {
    s = trimBlanks(s);
    if (s.empty() || s.size() > 4) return std::nullopt;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Why record line (1-based line number) cannot be taken, or nothing.
std::optional<std::string> record(std::string_view l, ExportPoint& p) {
    if (l.size() < 15) return "too short";
    if (!printable(l)) return "holds characters that are not text";
    const auto depth = readIntField(cols(l, 1, 7));
    const auto t = readIntField(cols(l, 9, 13));
    if (!depth || blank(cols(l, 1, 7))) return "its depth (columns 1-7) is not a whole number";
    if (!t || blank(cols(l, 9, 13))) return "its temperature (columns 9-13) is not a whole number";
    if (l[7] != ' ' || l[13] != ' ') return "its fields run into each other";
    const char c = l[14];
    if (c != ' ' && (c < '0' || c > '5')) return "its class (column 15) is not 0 to 5";
    p.iclass = c == ' ' ? 0 : c - '0';
    const std::string_view code = cols(l, 16, 18);
    const bool letters = code.size() == 3 && code[0] == ' ' && code[1] >= 'A' && code[1] <= 'Z' &&
                         code[2] >= 'A' && code[2] <= 'Z';
    if (!letters && !blank(code)) return "its code (columns 17-18) is neither two capitals nor blank";
    if (letters) p.code = {code[1], code[2]};
    const std::string_view loaded = cols(l, 19, 24);
    if (!blank(loaded)) {
        const auto v = readIntField(cols(l, 20, 24));
        if (p.iclass != 5 || l[18] != ' ' || !v)
            return "columns 19-24 hold something other than the loaded temperature of an interpolated point";
        p.tloaded = static_cast<float>(*v) * 0.001f;
    }
    if (!blank(l.substr(std::min<std::size_t>(l.size(), 24)))) return "it runs past column 24";
    p.depth = static_cast<float>(*depth) * 0.001f;
    p.t = static_cast<float>(*t) * 0.001f;
    return std::nullopt;
}

}  // namespace

std::int8_t ExportedDrop::flag(const ExportPoint& p) const {
    return gtsppflag(p.iclass, bad);
}

QRead readqstrict(std::string_view bytes) {
    QRead r;
    LineReader lines(bytes);
    std::string_view h1, h2;
    if (!lines.next(h1) || !lines.next(h2)) {
        r.reason = "its header ends early";
        return r;
    }
    if (trimRight(h1).size() > 38 || trimRight(h2).size() > 49 || !printable(h1) || !printable(h2)) {
        r.reason = "its header is damaged";
        return r;
    }
    r.header = std::string(h1) + std::string(38 - std::min<std::size_t>(38, h1.size()), ' ');
    r.header = r.header.substr(0, 38) + std::string(h2.substr(0, std::min<std::size_t>(49, h2.size())));
    r.header.resize(87, ' ');
    std::string_view l;
    int lineno = 2;
    while (lines.next(l)) {
        ++lineno;
        if (r.points.size() == static_cast<std::size_t>(ndepmax)) {
            r.reason = "it holds more than " + std::to_string(ndepmax) + " points";
            return r;
        }
        ExportPoint p;
        if (const auto why = record(l, p)) {
            r.reason = "line " + std::to_string(lineno) + " is damaged: " + *why;
            return r;
        }
        r.points.push_back(p);
    }
    if (r.points.empty()) {
        r.reason = "it holds no point";
        return r;
    }
    r.ok = true;
    return r;
}

std::optional<DropTime> droptime(std::string_view adate, std::string_view atime) {
    if (adate.size() < 8 || atime.size() < 8) return std::nullopt;
    const auto two = [](std::string_view s, std::size_t at) -> std::optional<int> {
        const char a = s[at], b = s[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
        return (a - '0') * 10 + (b - '0');
    };
    const auto d = two(adate, 0), m = two(adate, 3), y = two(adate, 6);
    const auto hh = two(atime, 0), mm = two(atime, 3), ss = two(atime, 6);
    if (!d || !m || !y || !hh || !mm || !ss) return std::nullopt;
    DropTime t{2000 + *y, *m, *d, *hh, *mm, *ss};
    constexpr int mdays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > mdays[t.month - 1]) return std::nullopt;
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    if (t.month == 2 && t.day == 29 && !leap) return std::nullopt;
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    return t;
}

double days1950(const DropTime& t) {
    // Days from the civil date (the proleptic Gregorian calendar).
    const int y = t.year - (t.month <= 2);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days1970 = long(era) * 146097 + doe - 719468;
    constexpr long from1950 = 7305;  // 1950-01-01 to 1970-01-01
    return double(days1970 + from1950) + (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
}

std::string isotime(const DropTime& t) {
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return s;
}

std::optional<double> degrees(std::string_view field, double limit) {
    field = trimBlanks(field);
    if (field.empty()) return std::nullopt;
    if (field.front() == '+') field.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(v)) return std::nullopt;
    if (std::fabs(v) > limit) return std::nullopt;
    return v;
}

std::optional<int> rawrecorder(std::string_view raw) {
    LineReader lines(raw);
    std::string_view l;
    for (int n = 0; n < 999 && lines.next(l); ++n) {
        if (l.size() >= 5 && l.substr(0, 4) == "XBT:") break;
        if (l.size() >= 12 && l.substr(1, 11) == "Recorder Co") return digitsof(cols(l, 17, 18));
    }
    return std::nullopt;
}

std::string shipname(std::string_view control) {
    LineReader lines(control);
    std::string_view l;
    std::string name;
    constexpr std::string_view label = "Ship Name =";
    for (int n = 0; n < 18 && lines.next(l); ++n) {
        if (n == 0 && l.substr(0, label.size()) != label) return {};
        // The later line wins, as for every key of the file.
        if (l.substr(0, label.size()) == label) name = std::string(trimBlanks(l.substr(label.size())));
    }
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
    return name;
}

DropBuild buildexporteddrop(const DropSource& src) {
    DropBuild b;
    QRead q = readqstrict(src.qbytes);
    if (!q.ok) {
        b.reason = src.qname + ": " + q.reason;
        return b;
    }
    ExportedDrop& d = b.drop;
    d.cruise = std::string(src.cruise);
    d.ship = std::string(src.ship);
    d.drop = src.drop;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", src.drop);
    d.digits = digits;
    d.bad = src.bad;
    d.time = droptime(src.station.adate, src.station.atime);
    d.lat = degrees(src.station.alat, 90);
    d.lon = degrees(src.station.alon, 360);
    if (d.lon && *d.lon > 180) *d.lon -= 360;
    const std::string_view h = q.header;
    d.probefield = std::string(h.substr(6, 3));
    d.probe = digitsof(d.probefield);
    d.callsign = std::string(trimBlanks(h.substr(13, 7)));
    d.serial = std::string(trimBlanks(h.substr(69, 7)));
    d.recorder = src.raw.empty() ? digitsof(h.substr(10, 2)) : rawrecorder(src.raw);
    d.points = std::move(q.points);
    b.ok = true;
    return b;
}
