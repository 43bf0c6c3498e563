// Reading an MK21 export file. The header is "key : value" lines (user
// fields use "::"), comment lines starting with "//" and free memo text;
// the table follows the line that names its columns (older layout) or the
// "// Data" line after the "FieldN" lines (newer layout). Columns are found
// by name because the two layouts, and the probe families, order them
// differently.
#include "exchange/mk21_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/atomic_file.h"
#include "profile/probe_types.h"

namespace {

// No real record comes near this (an XCTD has some 15000 rows); it bounds
// the memory that a damaged or hostile file can take.
constexpr std::size_t maxRows = 1'000'000;

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool isspace_(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isspace_(s.front())) s.remove_prefix(1);
    while (!s.empty() && isspace_(s.back())) s.remove_suffix(1);
    return s;
}

// "Depth Coeff.  1" and "Depth Coeff. 1" are the same key.
std::string normkey(std::string_view k) {
    std::string r;
    for (char c : lower(trim(k))) {
        if (isspace_(c)) {
            if (!r.empty() && r.back() != ' ') r += ' ';
        } else {
            r += c;
        }
    }
    return r;
}

std::optional<double> number(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<int> integer(std::string_view s) {
    s = trim(s);
    int v = 0;
    if (s.empty() || s.size() > 9) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// Printable ASCII of a header value; the rest of ISO-8859-1 means nothing to
// the files the import writes.
std::string ascii(std::string_view s) {
    std::string r;
    for (char c : trim(s)) r += (c >= 32 && c < 127) ? c : '?';
    return r;
}

bool leapyear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int daysin(int y, int m) {
    static constexpr std::array<int, 12> d{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapyear(y) ? 29 : d[static_cast<std::size_t>(m - 1)];
}

std::vector<std::string_view> split(std::string_view s, std::string_view seps) {
    std::vector<std::string_view> r;
    std::size_t at = 0;
    while (at <= s.size()) {
        const std::size_t e = s.find_first_of(seps, at);
        r.push_back(s.substr(at, e == std::string_view::npos ? std::string_view::npos : e - at));
        if (e == std::string_view::npos) break;
        at = e + 1;
    }
    return r;
}

// The MK21 writes month/day/year. A first number above 12 can only be a
// day, which is how a few converted files write it.
std::optional<std::string> readdate(std::string_view v, LaunchTime& lt, std::vector<std::string>& notes) {
    const auto parts = split(trim(v), "/-.");
    if (parts.size() != 3) return "the date \"" + ascii(v) + "\" is not month/day/year";
    const auto p0 = integer(parts[0]), p1 = integer(parts[1]), p2 = integer(parts[2]);
    if (!p0 || !p1 || !p2 || *p0 < 0 || *p1 < 0 || *p2 < 0)
        return "the date \"" + ascii(v) + "\" is not month/day/year";
    int y = 0, m = 0, d = 0;
    if (trim(parts[0]).size() == 4) {
        y = *p0, m = *p1, d = *p2;
    } else {
        y = *p2, m = *p0, d = *p1;
        if (*p0 > 12 && *p1 <= 12) {
            m = *p1, d = *p0;
            notes.push_back("its date " + ascii(v) + " can only be day/month/year and is read so");
        }
        if (trim(parts[2]).size() <= 2) y += y < 70 ? 2000 : 1900;
    }
    if (y < 1900 || y > 2099 || m < 1 || m > 12 || d < 1 || d > daysin(y, m))
        return "the date \"" + ascii(v) + "\" is not a date";
    lt.year = y, lt.month = m, lt.day = d;
    return std::nullopt;
}

std::optional<std::string> readtime(std::string_view v, LaunchTime& lt) {
    const auto parts = split(trim(v), ":");
    const std::string bad = "the time \"" + ascii(v) + "\" is not hh:mm:ss";
    if (parts.size() < 2 || parts.size() > 3) return bad;
    const auto h = integer(parts[0]), m = integer(parts[1]);
    std::optional<int> s = 0;
    if (parts.size() == 3) {
        // Seconds with a fraction are cut to whole seconds, as the station list holds them.
        std::string_view sec = trim(parts[2]);
        if (const auto dot = sec.find('.'); dot != std::string_view::npos) {
            if (!number(sec)) return bad;
            sec = sec.substr(0, dot);
        }
        s = integer(sec);
    }
    if (!h || !m || !s || *h < 0 || *h > 23 || *m < 0 || *m > 59 || *s < 0 || *s > 59) return bad;
    lt.hour = *h, lt.minute = *m, lt.second = *s;
    return std::nullopt;
}

// "37 33.08862N": degrees, decimal minutes and the hemisphere letter; a
// lone number is decimal degrees. Nothing for a blank value.
struct Angle {
    std::optional<double> value;
    bool bad = false;
};
Angle readangle(std::string_view v, char positive, char negative, double limit) {
    std::string s(trim(v));
    if (s.empty()) return {};
    int sign = 1;
    auto hemisphere = [&](char c) {
        const char u = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (u == positive) return 1;
        if (u == negative) return -1;
        return 0;
    };
    if (const int h = hemisphere(s.back())) {
        sign = h;
        s.pop_back();
    } else if (const int h0 = hemisphere(s.front())) {
        sign = h0;
        s.erase(0, 1);
    }
    std::vector<std::string_view> items;
    for (auto p : split(s, " \t"))
        if (!trim(p).empty()) items.push_back(trim(p));
    if (items.empty() || items.size() > 2) return {std::nullopt, true};
    auto deg = number(items[0]);
    double minutes = 0;
    if (items.size() == 2) {
        const auto m = number(items[1]);
        if (!m || *m < 0 || *m >= 60 || !deg || *deg != std::floor(*deg)) return {std::nullopt, true};
        minutes = *m;
    }
    if (!deg) return {std::nullopt, true};
    if (*deg < 0) {
        if (sign < 0) return {std::nullopt, true};  // a minus and a south letter both
        sign = -1;
        *deg = -*deg;
    }
    const double a = *deg + minutes / 60.0;
    if (a > limit) return {std::nullopt, true};
    return {sign * a, false};
}

enum class Unit { Metric, Feet, Fahrenheit };

struct Column {
    int index = -1;
    Unit unit = Unit::Metric;
};

// What a column's name says: depth or temperature, and in which unit.
struct Columns {
    Column depth, temp, cond, time;
};

void namecolumn(std::string_view name, int index, Columns& cols) {
    Column& depth = cols.depth;
    Column& temp = cols.temp;
    Column& cond = cols.cond;
    const std::string n = lower(trim(name));
    std::string unit;
    if (const auto open = n.find('('); open != std::string::npos) {
        for (std::size_t i = open + 1; i < n.size() && n[i] != ')'; ++i)
            if (n[i] >= 'a' && n[i] <= 'z') unit += n[i];
    }
    if (depth.index < 0 && n.rfind("depth", 0) == 0) {
        depth.index = index;
        depth.unit = unit == "ft" || unit == "feet" ? Unit::Feet : Unit::Metric;
    } else if (temp.index < 0 && n.rfind("temp", 0) == 0) {
        temp.index = index;
        temp.unit = unit == "f" ? Unit::Fahrenheit : Unit::Metric;
    } else if (cond.index < 0 && n.rfind("conductivity", 0) == 0) {
        cond.index = index;
    } else if (cols.time.index < 0 && n.rfind("time", 0) == 0) {
        cols.time.index = index;
    }
}

bool startswith(std::string_view s, std::string_view p) {
    return s.substr(0, p.size()) == p;
}

// The older layout's column line, "Depth (m) - Temperature (°C) - ...": no
// colon, names separated by " - ", one of them a depth.
bool columnline(std::string_view line) {
    const std::string l = lower(trim(line));
    if (l.find(':') != std::string::npos || l.find(" - ") == std::string::npos) return false;
    return startswith(l, "depth") || l.find(" - depth") != std::string::npos;
}

struct Header {
    std::optional<std::string> date, time, lat, lon;
    int dateline = 0, timeline = 0, latline = 0, lonline = 0;
    std::string serial, probetype, callsign, ship, sequence;
    std::array<std::optional<double>, 5> coeff{};
    std::optional<double> oceandepth;
    std::vector<std::string> fields;  // Field1.. of the newer layout, in order
};

void takekey(const std::string& key, std::string_view value, int lineno, Header& h) {
    if (key == "date of launch") {
        h.date = std::string(value), h.dateline = lineno;
    } else if (key == "time of launch") {
        h.time = std::string(value), h.timeline = lineno;
    } else if (key == "latitude") {
        h.lat = std::string(value), h.latline = lineno;
    } else if (key == "longitude") {
        h.lon = std::string(value), h.lonline = lineno;
    } else if (key == "serial #" || key == "serial number") {
        h.serial = ascii(value);
    } else if (key == "sequence #" || key == "sequence number") {
        h.sequence = ascii(value);
    } else if (key == "probe type") {
        h.probetype = ascii(value);
    } else if (startswith(key, "depth coeff")) {
        const char d = key.back();
        if (d >= '1' && d <= '4') h.coeff[static_cast<std::size_t>(d - '0')] = number(value);
    } else if (startswith(key, "ocean depth")) {
        std::string_view v = trim(value);
        while (!v.empty() && !((v.back() >= '0' && v.back() <= '9') || v.back() == '.')) v.remove_suffix(1);
        if (const auto d = number(v); d && *d > 0) h.oceandepth = *d;
    } else if (key == "call sign" || key == "callsign") {
        h.callsign = ascii(value);
    } else if (key == "ship" || key == "ship name") {
        h.ship = ascii(value);
    } else if (startswith(key, "field") && key.size() > 5) {
        const auto k = integer(std::string_view(key).substr(5));
        if (k && *k >= 1 && *k <= 64) {
            if (h.fields.size() < static_cast<std::size_t>(*k)) h.fields.resize(static_cast<std::size_t>(*k));
            h.fields[static_cast<std::size_t>(*k - 1)] = std::string(value);
        }
    }
}

// The recorder's depths are its depth equation at the fall time, printed to
// a few decimals. Where every row agrees with the equation to its last
// decimal, the equation's own values are taken, so that two exports of one
// drop printed to different decimals give the same temperatures. The
// recorder works in single precision, which the test allows for.
void exactdepths(const std::array<std::optional<double>, 5>& c, const std::vector<double>& time,
                 const std::vector<double>& half, std::vector<double>& depth) {
    if (!c[2]) return;
    const double c1 = c[1].value_or(0), c2 = *c[2], c3 = c[3].value_or(0), c4 = c[4].value_or(0);
    std::vector<double> z(depth.size());
    for (std::size_t k = 0; k < depth.size(); ++k) {
        const double t = time[k];
        z[k] = c1 + t * (c2 + t * (c3 + t * c4));
        if (t < 0 || !(std::abs(z[k] - depth[k]) <= half[k] + 1e-6 + 2e-7 * std::abs(z[k])) ||
            (k > 0 && z[k] <= z[k - 1]))
            return;
    }
    depth = std::move(z);
}

struct Failure {
    int line = 0;
    std::string what;
};

// A serial of zeros is the MK21's way of saying it was not entered.
std::string cleanserial(const std::string& s) {
    if (s.find_first_not_of('0') == std::string::npos) return {};
    return s;
}

}  // namespace

ProbeChoice mk21probe(std::string_view type, std::optional<double> c2, std::optional<double> c3) {
    // Letters and digits only, upper case; every other character is a
    // boundary, so that "T-1" is never taken for "T-10".
    const auto norm = [](std::string_view s) {
        std::string r;
        for (char c : s) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c == '-' || c == ' ') continue;
            r += c;
        }
        return r;
    };
    const std::string t = norm(type);
    const auto alnum = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    std::string best;
    for (const ProbeType& p : probetypes()) {
        // The MK21 is Sippican's recorder: its XBT names are Sippican's
        // probes, its XCTD names the TSK-made ones it also runs.
        if (!(p.code < 200 || p.xctd)) continue;
        const std::string f = norm(p.family);
        if (f.size() > best.size() && t.rfind(f, 0) == 0 && (t.size() == f.size() || !alnum(t[f.size()])))
            best = f;
    }
    ProbeChoice c;
    if (trim(type).empty()) {
        c.note = "it names no probe type: probe code 000";
        return c;
    }
    if (best.empty()) {
        c.note = "its probe type \"" + std::string(type) + "\" has no WMO 1770 code here: probe code 000";
        c.xctd = t.find("XCTD") != std::string::npos;
        if (c.xctd) c.letter = 'C';
        return c;
    }
    std::vector<ProbeType> rows;
    for (const ProbeType& p : probetypes())
        if ((p.code < 200 || p.xctd) && norm(p.family) == best) rows.push_back(p);
    const ProbeType* pick = rows.size() == 1 ? &rows[0] : nullptr;
    if (!pick && c2 && c3) {
        for (const ProbeType& p : rows)
            if (std::abs(*c2 - p.a) < 0.005 && std::abs(-*c3 * 1000.0 - p.b) < 0.005) pick = &p;
    }
    c.xctd = rows.front().xctd;
    if (!pick) {
        char eq[64] = "none";
        if (c2 && c3) std::snprintf(eq, sizeof eq, "%g/%g", *c2, *c3);
        c.note = "its probe type \"" + std::string(type) + "\" with depth coefficients " + eq +
                 " fits no one WMO 1770 code: probe code 000";
    } else {
        c.code = pick->code;
    }
    static constexpr std::array<std::pair<std::string_view, char>, 9> letters{{{"T4", '4'},
                                                                               {"T5", '5'},
                                                                               {"T6", '6'},
                                                                               {"T7", '7'},
                                                                               {"T10", '0'},
                                                                               {"T11", '1'},
                                                                               {"DEEPBLUE", 'D'},
                                                                               {"FASTDEEP", 'F'},
                                                                               {"AXBT", 'A'}}};
    for (const auto& [f, l] : letters)
        if (best == f) c.letter = l;
    if (c.xctd) c.letter = 'C';
    return c;
}

Mk21Read readmk21(std::string_view bytes, const std::string& name) {
    Mk21Read out;
    const auto fail = [&](int line, std::string what) {
        out.problem = ImportProblem{name, line, std::move(what)};
        return out;
    };
    LineReader lines(bytes);
    std::string_view line;
    int lineno = 0;
    if (!lines.next(line)) return fail(0, "the file is empty; it is not an MK21 export file");
    ++lineno;
    if (startswith(line, "\xEF\xBB\xBF")) line.remove_prefix(3);
    if (lower(line).find("export data file") == std::string::npos)
        return fail(1, "not an MK21 export file (its first line does not say \"MK21 EXPORT DATA FILE\")");

    Header h;
    enum class Memo { None, Old, New } memo = Memo::None;
    bool table = false;
    std::vector<std::string> names;
    while (!table && lines.next(line)) {
        ++lineno;
        const std::string_view tl = trim(line);
        if (startswith(tl, "//")) {
            const std::string l = lower(tl);
            if (l.find("contents of the memo") != std::string::npos) {
                memo = Memo::Old;
            } else if (normkey(std::string_view(l).substr(2)) == "memo") {
                memo = Memo::New;
            } else if (memo == Memo::Old && l.find("probe information") != std::string::npos) {
                memo = Memo::None;
            } else if (memo == Memo::New) {
                memo = Memo::None;
            }
            if (memo == Memo::None && normkey(std::string_view(l).substr(2)) == "data") {
                if (h.fields.empty())
                    return fail(lineno, "a \"// Data\" line with no \"FieldN\" lines naming the columns");
                names = h.fields;
                table = true;
            }
            continue;
        }
        if (columnline(tl)) {
            for (std::size_t at = 0;;) {
                const std::size_t e = tl.find(" - ", at);
                names.emplace_back(trim(tl.substr(at, e == std::string_view::npos ? e : e - at)));
                if (e == std::string_view::npos) break;
                at = e + 3;
            }
            table = true;
            continue;
        }
        if (memo != Memo::None) continue;
        const auto colon = tl.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view value = tl.substr(colon + 1);
        while (!value.empty() && value.front() == ':') value.remove_prefix(1);
        takekey(normkey(tl.substr(0, colon)), trim(value), lineno, h);
    }
    if (!table) return fail(0, "no data table (no line naming the columns)");

    Columns cols;
    for (std::size_t i = 0; i < names.size(); ++i) namecolumn(names[i], static_cast<int>(i), cols);
    const Column& depthcol = cols.depth;
    const Column& tempcol = cols.temp;
    const Column& condcol = cols.cond;
    const Column& timecol = cols.time;
    if (depthcol.index < 0) return fail(0, "no depth column among its columns");
    if (tempcol.index < 0)
        return fail(0, "no temperature column (a sound-velocity probe such as an XSV records none)");

    IncomingDrop d;
    d.source = name;
    if (!h.date) return fail(0, "no \"Date of Launch\" line");
    if (!h.time) return fail(0, "no \"Time of Launch\" line");
    if (auto e = readdate(*h.date, d.launch, d.notes)) return fail(h.dateline, *e);
    if (auto e = readtime(*h.time, d.launch)) return fail(h.timeline, *e);
    const Angle lat = h.lat ? readangle(*h.lat, 'N', 'S', 90) : Angle{};
    if (lat.bad)
        return fail(h.latline,
                    "the latitude \"" + ascii(*h.lat) + "\" is not degrees and minutes with N or S");
    const Angle lon = h.lon ? readangle(*h.lon, 'E', 'W', 180) : Angle{};
    if (lon.bad)
        return fail(h.lonline,
                    "the longitude \"" + ascii(*h.lon) + "\" is not degrees and minutes with E or W");
    if (lat.value && lon.value) {
        d.lat = lat.value;
        d.lon = lon.value;
    } else if (lat.value || lon.value) {
        d.notes.push_back("it gives only one of latitude and longitude: both are left blank");
    } else {
        d.notes.push_back("it has no position: latitude and longitude are left blank");
    }

    const std::size_t need =
        static_cast<std::size_t>(std::max({depthcol.index, tempcol.index, timecol.index})) + 1;
    int dropped = 0, removed = 0;
    long rowindex = -1;                     // every data row counts: one each 0.1 s of the fall
    std::vector<double> falltime, printed;  // of the rows kept: the fall time, half the depth's last decimal
    while (lines.next(line)) {
        ++lineno;
        const std::string_view tl = trim(line);
        if (tl.empty() || startswith(tl, "//")) continue;
        std::size_t k = 0;
        std::optional<double> z, t, c, tm;
        double half = 0.5;
        ++rowindex;
        for (auto item : split(tl, " \t,")) {
            if (item.empty()) continue;
            if (k == static_cast<std::size_t>(depthcol.index)) {
                z = number(item);
                if (const auto dot = item.find('.'); dot != std::string_view::npos)
                    half = 0.5 * std::pow(10.0, -static_cast<double>(item.size() - dot - 1));
            }
            if (k == static_cast<std::size_t>(timecol.index)) tm = number(item);
            if (k == static_cast<std::size_t>(tempcol.index)) t = number(item);
            if (k == static_cast<std::size_t>(condcol.index)) c = number(item);
            if (++k >= need && (condcol.index < 0 || k > static_cast<std::size_t>(condcol.index))) break;
        }
        if (k < need) {
            return fail(lineno,
                        "the row has " + std::to_string(k) + " values; depth and temperature are columns " +
                            std::to_string(depthcol.index + 1) + " and " + std::to_string(tempcol.index + 1));
        }
        if (!z || !t) return fail(lineno, "the row's depth or temperature is not a number");
        // An XCTD export marks the points its noise reduction took out with
        // a temperature and a conductivity of exactly 0; real water at 0
        // degrees still conducts.
        if (c && *c == 0 && *t == 0) {
            ++removed;
            continue;
        }
        if (d.depth.size() >= maxRows) return fail(lineno, "more than a million rows");
        const double zm = depthcol.unit == Unit::Feet ? *z * 0.3048 : *z;
        const double tc = tempcol.unit == Unit::Fahrenheit ? (*t - 32.0) / 1.8 : *t;
        // The profile must go down for the resampling; a row that does not
        // (a repeated or a backward depth) is left out.
        if (!d.depth.empty() && zm <= d.depth.back()) {
            ++dropped;
            continue;
        }
        d.depth.push_back(zm);
        d.t.push_back(tc);
        falltime.push_back(timecol.index >= 0 ? tm.value_or(-1.0) : 0.1 * static_cast<double>(rowindex));
        printed.push_back(half);
    }
    if (depthcol.unit == Unit::Metric) exactdepths(h.coeff, falltime, printed, d.depth);
    if (d.depth.empty()) return fail(0, "no data rows");
    if (removed > 0)
        d.notes.push_back(
            std::to_string(removed) +
            " rows with temperature and conductivity both 0 (points the noise reduction took out) are left "
            "out");
    if (dropped > 0)
        d.notes.push_back(std::to_string(dropped) +
                          " rows whose depth is not below the row before are left out");
    if (depthcol.unit == Unit::Feet) d.notes.push_back("its depths are in feet and are converted to metres");
    if (tempcol.unit == Unit::Fahrenheit)
        d.notes.push_back("its temperatures are in degrees Fahrenheit and are converted to Celsius");

    const ProbeChoice probe = mk21probe(h.probetype, h.coeff[2], h.coeff[3]);
    d.probecode = probe.code;
    d.probeletter = probe.letter;
    d.xctd = probe.xctd;
    d.probename = h.probetype;
    if (!probe.note.empty()) d.notes.push_back(probe.note);
    d.serial = cleanserial(h.serial);
    d.callsign = h.callsign;
    d.ship = h.ship;
    d.sequence = h.sequence;
    d.oceandepth = h.oceandepth;
    out.drop = std::move(d);
    return out;
}
