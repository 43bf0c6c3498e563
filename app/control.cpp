// Reading control.dat in its keyword and positional layouts.
#include "app/control.h"

#include <cmath>
#include <optional>
#include <vector>

#include "base/atomic_file.h"
#include "base/fields.h"
#include "toolkit/toolkit.h"

namespace {

constexpr std::size_t linewidth = 72;

// A line as the layout detection and the keyword layout see it: its first
// 72 characters, blank-padded.
FixedText<linewidth> line72(std::string_view line) {
    return FixedText<linewidth>(line);
}

struct Key {
    std::string_view label;
    std::size_t match;  // characters compared; the value starts after label
};

// Key 8 is recognised by its first 19 characters alone, so that files with
// another last word in that label are still read.
constexpr std::array<Key, 18> keys{{
    {"Ship Name =", 11},
    {"Cruise Name =", 13},
    {"Operator Name =", 15},
    {"Max Ship Speed =", 16},
    {"Auto Launcher Sequence =", 24},
    {"Max Plot  Temp =", 16},
    {"Min Plot Temp =", 15},
    {"Max Minutes to Dead Reakon =", 19},
    {"Max min duration between drops =", 32},
    {"Empty Launcher Reload Alarm Time =", 34},
    {"Max Displacement =", 18},
    {"Max Rms Displacement =", 22},
    {"Min dtdz =", 10},
    {"Min dtdz Displacement Test =", 28},
    {"Max Delta =", 11},
    {"Max 700m Delta =", 16},
    {"Check Profile Depth =", 21},
    {"Min Plot  Temp =", 16},
}};

struct NumberKey {
    int key;
    float ControlSettings::*field;
    float fallback;
    std::string_view logLabel;
};

constexpr std::array<NumberKey, 13> numberKeys{{
    {4, &ControlSettings::xmaxspd, 30.0f, "xmaxspd="},
    {6, &ControlSettings::tm_pl_mx, 30.0f, "tm_pl_mx="},
    {7, &ControlSettings::tm_pl_mn, 0.0f, "tm_pl_mn="},
    {8, &ControlSettings::deadmin, 60.0f, "deadmin="},
    {9, &ControlSettings::dropmin, -90.0f, "dropmin="},
    {10, &ControlSettings::relodmin, 15.0f, "relodmin="},
    {11, &ControlSettings::tdzmx, 450.0f, "tdzmx="},
    {12, &ControlSettings::tdzrms, 110.0f, "tdzrms="},
    {13, &ControlSettings::dtdzmn, -0.011f, "dtdzmn="},
    {14, &ControlSettings::dtdzth, 0.0005f, "dtdzth="},
    {15, &ControlSettings::dtmx, 4.6f, "dtmx="},
    {16, &ControlSettings::dtmx700, 0.8f, "dtmx700="},
    {18, &ControlSettings::tm_pl_mn, 0.0f, "tm_pl_mn="},
}};

// The blank- or comma-separated items of a free-format text.
std::vector<std::string_view> items(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != ',') ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

std::optional<float> freeReal(std::string_view item) {
    auto v = readFreeNumber(item);
    if (!v) return std::nullopt;
    return static_cast<float>(*v);
}

std::optional<int> freeInt(std::string_view item) {
    if (item.empty()) return std::nullopt;
    auto v = readIntField(item);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
    return static_cast<int>(*v);
}

void keyCruiseName(std::string_view value, ControlSettings& s, Log& log) {
    const auto blank = value.find(' ');
    std::string_view name = value.substr(0, blank);
    if (name.size() > 7) name = name.substr(0, 7);
    s.len_acruise = static_cast<int>(name.size());
    s.acruise = FixedText<8>(name);
    log.record("len_acruise=", s.len_acruise);
    log.record("acruise=", s.acruise);
}

void keyNumber(int key, std::string_view value, ControlSettings& s, Log& log) {
    if (key == 17) {
        const auto it = items(value);
        const auto v = it.empty() ? std::nullopt : freeInt(it.front());
        s.ichkprofdepth = v ? *v : 700;
        if (v) log.record("ichkprofdepth=", *v);
        return;
    }
    for (const auto& nk : numberKeys) {
        if (nk.key != key) continue;
        const auto v = freeReal(value);
        s.*nk.field = v ? *v : nk.fallback;
        if (v) log.record(nk.logLabel, *v);
    }
}

void keywordLine(const FixedText<linewidth>& line, ControlSettings& s, Log& log) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const Key& key = keys[k];
        if (line.view().substr(0, key.match) != key.label.substr(0, key.match)) continue;
        const std::string_view value = line.view().substr(key.label.size());
        const int number = static_cast<int>(k) + 1;
        if (number == 2) {
            keyCruiseName(value, s, log);
        } else if (number == 4 || number >= 6) {
            keyNumber(number, value, s, log);
        }
    }
}

// Returns false when the file ended within its first three lines.
bool keywordLayout(std::string_view bytes, ControlSettings& s, Log& log) {
    log.record("In rdcntrl,rd cntrl.dat:");
    LineReader lines(bytes);
    for (int k = 1; k <= 18; ++k) {
        std::string_view raw;
        if (!lines.next(raw)) return k > 3;
        const auto line = line72(raw);
        log.record(k, line);
        keywordLine(line, s, log);
    }
    return true;
}

// Fixed fields of one positional line; nothing when any of them is not a
// number, so that the whole row takes its defaults.
template <std::size_t N>
std::optional<std::array<double, N>> fixedFields(std::string_view line, const std::array<int, N>& widths,
                                                 const std::array<int, N>& decimals) {
    std::array<double, N> out{};
    std::size_t col = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const auto w = static_cast<std::size_t>(widths[i]);
        const std::string_view field = col < line.size() ? line.substr(col, w) : std::string_view{};
        const auto v = readRealField(field, decimals[i]);
        if (!v) return std::nullopt;
        out[i] = *v;
        col += w;
    }
    return out;
}

void positionalLayout(std::string_view bytes, ControlSettings& s) {
    std::array<std::string_view, 14> line{};  // lines 1..13; absent lines stay empty
    std::array<bool, 14> present{};
    LineReader lines(bytes);
    for (std::size_t k = 1; k <= 13; ++k) present[k] = lines.next(line[k]);

    if (present[1]) {
        s.acruise = FixedText<8>(line[1].substr(0, 8));
        s.len_acruise = static_cast<int>(s.acruise.trimmedLength());
    }
    const auto r4 = present[4] ? fixedFields<4>(line[4], {5, 5, 5, 5}, {0, 0, 0, 0}) : std::nullopt;
    s.deadmin = r4 ? static_cast<float>((*r4)[0]) : 60.0f;
    s.dropmin = r4 ? static_cast<float>((*r4)[1]) : -90.0f;
    s.relodmin = r4 ? static_cast<float>((*r4)[2]) : 15.0f;

    const auto r5 =
        present[5] ? fixedFields<6>(line[5], {6, 6, 9, 9, 5, 5}, {0, 0, 5, 5, 1, 1}) : std::nullopt;
    static constexpr std::array<float, 6> d5{450.0f, 110.0f, -0.011f, 0.0005f, 4.6f, 0.8f};
    float ControlSettings::*f5[6] = {&ControlSettings::tdzmx,  &ControlSettings::tdzrms,
                                     &ControlSettings::dtdzmn, &ControlSettings::dtdzth,
                                     &ControlSettings::dtmx,   &ControlSettings::dtmx700};
    for (std::size_t i = 0; i < 6; ++i) s.*f5[i] = r5 ? static_cast<float>((*r5)[i]) : d5[i];

    const auto it6 = items(line[6]);
    std::optional<float> mn, mx;
    if (present[6] && it6.size() >= 3 && freeInt(it6[0])) {
        mn = freeReal(it6[1]);
        mx = freeReal(it6[2]);
    }
    const bool ok6 = mn && mx;
    s.tm_pl_mn = ok6 ? *mn : 0.0f;
    s.tm_pl_mx = ok6 ? *mx : 30.0f;

    const auto r10 = present[10] ? fixedFields<2>(line[10], {5, 5}, {1, 1}) : std::nullopt;
    s.xmaxspd = r10 ? static_cast<float>((*r10)[1]) : 30.0f;

    std::optional<std::array<double, 6>> r13;
    if (present[13]) r13 = fixedFields<6>(line[13], {3, 3, 3, 3, 3, 3}, {0, 0, 0, 0, 0, 0});
    // An integer field holds no fraction and nothing beyond the 32-bit range.
    for (std::size_t i = 0; r13 && i < 6; ++i) {
        const double v = (*r13)[i];
        if (!std::isfinite(v) || v != std::trunc(v) || std::fabs(v) > 2147483647.0) r13.reset();
    }
    for (std::size_t i = 1; i <= 6; ++i)
        s.iseq[i] = r13 ? static_cast<int>((*r13)[i - 1]) : -static_cast<int>(i);
    for (std::size_t i = 7; i <= 12; ++i) s.iseq[i] = -99;
}

void plotRangeCheck(ControlSettings& s) {
    if (s.tm_pl_mx == s.tm_pl_mn || std::isnan(s.tm_pl_mx) || std::isnan(s.tm_pl_mn)) {
        s.tm_pl_mn = 0.0f;
        s.tm_pl_mx = 30.0f;
    }
}

void startValues(ControlSettings& s, ErrorFlags& ierror) {
    s.relodmin = 15.0f;
    for (std::size_t i = 1; i <= 12; ++i) s.iseq[i] = static_cast<int>(i);
    ierror[15] = 0;
    ierror[16] = 0;
}

void closingRecords(ErrorFlags& ierror, Log& log) {
    log.record("close22ios=", 0);
    log.record("end rdcntrl:ierror(15)=", ierror[15]);
    log.record("end rdcntrl:ierror(16)=", ierror[16]);
    log.record("leaving rdcntrl");
}

void readOpened(std::string_view bytes, ControlSettings& s, ErrorFlags& ierror, Log& log) {
    LineReader probe(bytes);
    std::string_view first;
    if (probe.next(first)) {
        if (line72(first).view().substr(0, 11) == "Ship Name =") {
            if (!keywordLayout(bytes, s, log)) ierror[16] = 1;
        } else {
            positionalLayout(bytes, s);
        }
    }
    plotRangeCheck(s);
}

}  // namespace

void rdcntrlBytes(std::string_view bytes, ControlSettings& s, ErrorFlags& ierror, Log& log) {
    startValues(s, ierror);
    readOpened(bytes, s, ierror, log);
    closingRecords(ierror, log);
}

void rdcntrl(const std::string& path, ControlSettings& s, ErrorFlags& ierror, Log& log, std::string* why) {
    constexpr std::size_t maxControlBytes = 1u << 20;
    std::string bytes;
    const ReadResult r = readRegularFile(path, bytes, maxControlBytes + 1);
    if (!r) {
        startValues(s, ierror);
        ierror[15] = 1;
        if (why && !r.missing) *why = r.reason;
        closingRecords(ierror, log);
        return;
    }
    // Cut at the bound, the file would read as something it does not hold.
    if (bytes.size() > maxControlBytes) {
        startValues(s, ierror);
        ierror[16] = 1;
        if (why) *why = path + " is larger than 1 MB, far more than any control file holds";
        closingRecords(ierror, log);
        return;
    }
    rdcntrlBytes(bytes, s, ierror, log);
}

std::vector<std::string> saneplotrange(float& tmin, float& tmax) {
    std::vector<std::string> words;
    const auto check = [&words](float& v, float fallback, std::string_view which) {
        if (std::isfinite(v) && v >= -10.0f && v <= 50.0f) return;
        words.push_back("The " + std::string(which) + " plot temperature in control.dat, " + freeFormat(v) +
                        ", is not a number from -10 to 50; the plot uses " + freeFormat(fallback) +
                        " instead");
        v = fallback;
    };
    check(tmax, 30.0f, "maximum");
    check(tmin, 0.0f, "minimum");
    if (!words.empty() && tmin == tmax) {
        tmin = 0.0f;
        tmax = 30.0f;
    }
    return words;
}

ControlSettings defaultcontrol() {
    ControlSettings s;
    s.xmaxspd = 30;
    s.tm_pl_mn = 0;
    s.tm_pl_mx = 30;
    s.deadmin = 60;
    s.dropmin = -90;
    s.relodmin = 15;
    s.tdzmx = 450;
    s.tdzrms = 110;
    s.dtdzmn = -0.011f;
    s.dtdzth = 0.0005f;
    s.dtmx = 4.6f;
    s.dtmx700 = 0.8f;
    s.ichkprofdepth = 700;
    return s;
}

Outcome getscr(ScreenSettings& scr, const PathText& acontrol, ErrorFlags& ierror, Log& log,
               ControlSettings* all) {
    ControlSettings s = defaultcontrol();
    s.tm_pl_mn = scr.tmin;
    s.tm_pl_mx = scr.tmax;
    std::string why;
    rdcntrl(pathString(acontrol), s, ierror, log, &why);
    const std::string detail = why.empty() ? std::string() : " " + why;
    if (all) *all = s;
    scr.acruise = FixedText<13>(s.acruise.cols(1, static_cast<std::size_t>(s.len_acruise)));
    scr.len_acruise = s.len_acruise;
    scr.tmin = s.tm_pl_mn;
    scr.tmax = s.tm_pl_mx;
    if (ierror[15] == 1) {
        WMessageBox(0, 3, 1, "Error opening control.dat, are you in correct dir?" + detail, "Error Info");
        log.record(" error opening control.dat to get screen type ");
        if (!why.empty()) log.record(why);
        log.flush();
        return Outcome::exit(1);
    }
    if (ierror[16] == 1) {
        WMessageBox(0, 3, 1, "Error reading control.dat, is it corrupted?" + detail, "Error Info");
        log.record(" error reading control.dat");
        if (!why.empty()) log.record(why);
        log.flush();
        return Outcome::exit(1);
    }
    for (const std::string& w : saneplotrange(scr.tmin, scr.tmax)) reporterror(log, w);
    return Outcome::proceed();
}

Thresholds thresholdsof(const ControlSettings& cs) {
    // A limit of zero (a blank field of the older layout reads so) or of the
    // wrong sign would flag every drop of the cruise; such a limit is taken
    // as not given.
    const Thresholds d;
    const auto positive = [](float v, float fallback) { return std::isfinite(v) && v > 0 ? v : fallback; };
    Thresholds th;
    th.tdzmx = positive(cs.tdzmx, d.tdzmx);
    th.tdzrms = positive(cs.tdzrms, d.tdzrms);
    th.dtdzmn = std::isfinite(cs.dtdzmn) && cs.dtdzmn < 0 ? cs.dtdzmn : d.dtdzmn;
    th.dtdzth = positive(cs.dtdzth, d.dtdzth);
    th.dtmx = positive(cs.dtmx, d.dtmx);
    th.dtmx700 = positive(cs.dtmx700, d.dtmx700);
    // Zero or less is the cruise's way to switch the short-profile check off.
    th.ichkprofdepth = std::max(cs.ichkprofdepth, 0);
    return th;
}
