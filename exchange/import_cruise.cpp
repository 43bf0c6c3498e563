// Building and installing an imported cruise. The sample depths are worked
// out exactly as the raw drop reader works them, so that the temperature
// written for a sample is the source's temperature at the very depth the
// editor will show for it.
#include "exchange/import_cruise.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "base/fields.h"
#include "profile/rawdrop.h"

namespace {

constexpr int samplesPerLine = 20;
constexpr int minMilli = -9999, maxMilli = 99999;  // what an I5 field holds
constexpr int maxDrops = 999;

std::string twodigits(int v) {
    char b[4];
    std::snprintf(b, sizeof b, "%02d", v % 100);
    return b;
}

std::string dropdigits(int drop) {
    char b[8];
    std::snprintf(b, sizeof b, "%03d", drop);
    return b;
}

std::string rawname(const std::string& cruise, int drop) {
    return cruise + "r_" + dropdigits(drop) + ".KTD";
}

// Seven columns: three decimals, or two when the sign and three integer
// digits leave no room for the third.
std::string degrees(double v) {
    std::string s = writeF(v, 7, 3);
    if (s.find('*') != std::string::npos) s = writeF(v, 7, 2);
    return s;
}

std::string place(std::string line, std::size_t col, const std::string& text) {
    line.replace(col - 1, text.size(), text);
    return line;
}

// Columns 19 to 53 of a station line: date, time, latitude and longitude,
// which is what makes two launches the same.
std::string launchkey(std::string_view line) {
    std::string l(line.substr(0, 70));
    l.resize(70, ' ');
    return l.substr(18, 35);
}

std::string metres(double z) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f m", z);
    return b;
}

// The station list as found: where its terminator line starts, the launches
// it holds and its last drop number.
struct StationsSoFar {
    std::size_t end = 0;   // offset of the terminator line, or the size when none
    bool endsline = true;  // the kept part ends with a line end
    int lastdrop = 0, lines = 0;
    std::map<std::string, int> launches;
};

StationsSoFar scanstations(const std::string& bytes) {
    StationsSoFar s;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t e = bytes.find_first_of("\r\n", at);
        const std::size_t lineend = e == std::string::npos ? bytes.size() : e;
        const std::string_view line(bytes.data() + at, lineend - at);
        const std::string_view four = line.substr(0, 4);
        if (four == "ENDD" || four == " END") {
            s.end = at;
            return s;
        }
        if (!line.empty()) {
            ++s.lines;
            const auto d = readIntField(line.substr(1, 3));
            if (d && *d > s.lastdrop && *d <= maxDrops) s.lastdrop = static_cast<int>(*d);
            if (d) s.launches.emplace(launchkey(line), static_cast<int>(*d));
        }
        if (e == std::string::npos) {
            s.end = bytes.size();
            s.endsline = false;
            return s;
        }
        if (bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ++e;
        at = e + 1;
    }
    s.end = bytes.size();
    return s;
}

std::string controlfile(const std::string& cruise, const std::string& ship, int tmin, int tmax) {
    std::string s;
    s += "Ship Name =" + ship + "\n";
    s += "Cruise Name =" + cruise + "\n";
    s += "Operator Name =\n";
    s += "Max Ship Speed = 30\n";
    s += "Auto Launcher Sequence = 1 2 3 4 5 6 7 8 9 10 11 12\n";
    s += "Max Plot  Temp = " + std::to_string(tmax) + "\n";
    s += "Min Plot Temp = " + std::to_string(tmin) + "\n";
    s += "Max Minutes to Dead Reakon = 60\n";
    s += "Max min duration between drops = -90\n";
    s += "Empty Launcher Reload Alarm Time = 15\n";
    s += "Max Displacement = 450\n";
    s += "Max Rms Displacement = 110\n";
    s += "Min dtdz = -0.011\n";
    s += "Min dtdz Displacement Test = 0.0005\n";
    s += "Max Delta = 4.6\n";
    s += "Max 700m Delta = 0.8\n";
    s += "Check Profile Depth = 700\n";
    return s;
}

// Whole lines only: a name from the source never breaks the raw header.
std::string printable(std::string_view s, std::size_t max) {
    std::string r;
    for (char c : s.substr(0, max)) r += (c >= 32 && c < 127) ? c : '?';
    return r;
}

}  // namespace

Resampled resample(const IncomingDrop& d) {
    Resampled r;
    if (d.depth.empty() || d.depth.size() != d.t.size()) return r;
    r.deepest = d.depth.back();
    std::size_t j = 0;  // the first source row at or below the sample
    int i = 1;
    for (; i <= ndepmax; ++i) {
        const double z = sampledepth(i);
        if (z > r.deepest) break;
        while (j < d.depth.size() && d.depth[j] < z) ++j;
        double t = 0;
        if (j == 0) {
            t = d.t[0];  // above the first row: its temperature
        } else {
            const double z0 = d.depth[j - 1], z1 = d.depth[j];
            t = d.t[j - 1] + (d.t[j] - d.t[j - 1]) * (z - z0) / (z1 - z0);
        }
        std::int64_t m = nint(1000.0 * t);
        if (m < minMilli || m > maxMilli) {
            ++r.clamped;
            m = std::clamp<std::int64_t>(m, minMilli, maxMilli);
        }
        r.milli[static_cast<std::size_t>(i - 1)] = static_cast<int>(m);
    }
    r.n = i - 1;
    r.cut = r.n == ndepmax && sampledepth(ndepmax) < r.deepest;
    return r;
}

std::string stationline(int drop, const IncomingDrop& d) {
    std::string l(70, ' ');
    l = place(l, 2, dropdigits(drop));
    l[9] = d.probeletter;
    const LaunchTime& t = d.launch;
    l = place(l, 19, twodigits(t.day) + "/" + twodigits(t.month) + "/" + twodigits(t.year));
    l = place(l, 28, twodigits(t.hour) + ":" + twodigits(t.minute) + ":" + twodigits(t.second));
    if (d.lat && d.lon) {
        l = place(l, 38, degrees(*d.lat));
        l = place(l, 47, degrees(*d.lon));
    }
    l = place(l, 58, writeI(0, 5));
    return l;
}

std::string rawdropfile(int drop, const IncomingDrop& d, const Resampled& r) {
    // Only the call sign, serial, probe and recorder lines are read back; the
    // rest says where the drop came from. No line starts with a keyword the
    // reader takes unless it is meant to.
    std::string s;
    const std::string_view base = std::string_view(d.source).substr(d.source.find_last_of('/') + 1);
    s += " Imported from " + printable(base, 80) + "\n";
    const LaunchTime& t = d.launch;
    char b[96];
    std::snprintf(b, sizeof b, " Date of Launch: %04d-%02d-%02d %02d:%02d:%02d\n", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    s += b;
    if (d.lat && d.lon) {
        s += " Latitude:  " + degrees(*d.lat) + "\n";
        s += " Longitude: " + degrees(*d.lon) + "\n";
    }
    s += " Drop #: " + std::to_string(drop) + "\n";
    if (!d.sequence.empty()) s += " Sequence #: " + printable(d.sequence, 20) + "\n";
    if (!d.callsign.empty()) s += "Call Sign:  " + printable(d.callsign, 7) + "\n";
    char code[8];
    std::snprintf(code, sizeof code, "%03d", d.probecode);
    s += " Probe Code: " + std::string(code) + "\n";
    if (!d.probename.empty()) s += " Probe Type: " + printable(d.probename, 60) + "\n";
    if (!d.serial.empty()) {
        // Seven columns: an MK21 serial of eight digits keeps its last seven.
        const std::string& sn = d.serial;
        s += " Probe Serial #:  " + printable(sn.size() > 7 ? sn.substr(sn.size() - 7) : sn, 7) + "\n";
    }
    s += " Recorder Code: 06\n";  // WMO 4770: Sippican MK-21
    if (d.oceandepth) s += " Ocean Depth: " + metres(*d.oceandepth) + "\n";
    s += "XBT:" + writeI(r.n, 5) + "\n";
    for (int i = 0; i < r.n; ++i) {
        appendI(s, r.milli[static_cast<std::size_t>(i)], 5);
        if ((i + 1) % samplesPerLine == 0 || i + 1 == r.n) s += '\n';
    }
    return s;
}

ImportBuild buildimport(std::vector<IncomingDrop> drops, const CruiseSoFar& cruise) {
    ImportBuild b;
    std::stable_sort(drops.begin(), drops.end(),
                     [](const IncomingDrop& x, const IncomingDrop& y) { return x.launch < y.launch; });
    const StationsSoFar sofar = cruise.stations ? scanstations(*cruise.stations) : StationsSoFar{};
    std::map<std::string, std::string> seen;  // launch -> the file it was taken from
    std::string newlines;
    double tmin = 1e9, tmax = -1e9;
    int drop = sofar.lastdrop;
    for (const IncomingDrop& d : drops) {
        const std::string key = launchkey(stationline(0, d));
        if (const auto it = sofar.launches.find(key); it != sofar.launches.end()) {
            b.report.push_back(d.source + ": the same launch (date, time and position) as drop " +
                               dropdigits(it->second) + " of the cruise: not imported again");
            continue;
        }
        if (const auto it = seen.find(key); it != seen.end()) {
            b.report.push_back(it->second + " and " + d.source +
                               ": the same launch (date, time and position): imported once, from " +
                               it->second);
            continue;
        }
        seen.emplace(key, d.source);
        const Resampled r = resample(d);
        if (r.n == 0) {
            b.problem =
                ImportProblem{d.source, 0,
                              "its deepest point (" + metres(r.deepest) +
                                  ") lies above the editor's first sample (" + metres(sampledepth(1)) + ")"};
            return b;
        }
        if (++drop > maxDrops) {
            b.problem = ImportProblem{d.source, 0, "the cruise would have more than 999 drops"};
            return b;
        }
        for (const std::string& n : {rawname(cruise.cruise, drop), cruise.cruise + "q." + dropdigits(drop),
                                     cruise.cruise + "e." + dropdigits(drop)}) {
            if (std::find(cruise.files.begin(), cruise.files.end(), n) != cruise.files.end()) {
                b.problem =
                    ImportProblem{n, 0,
                                  "is already in the cruise directory, although stations.dat has no drop " +
                                      dropdigits(drop) + "; move it away first"};
                return b;
            }
        }
        if (b.imported++ == 0) b.firstdrop = drop;
        b.lastdrop = drop;
        b.files.push_back({rawname(cruise.cruise, drop), rawdropfile(drop, d, r)});
        const std::string line = stationline(drop, d);
        newlines += line + "\n";
        char code[8];
        std::snprintf(code, sizeof code, "%03d", d.probecode);
        std::string where;
        if (d.lat && d.lon) {
            char at[64];
            std::snprintf(at, sizeof at, " at %.3f %.3f", *d.lat, *d.lon);
            where = at;
        }
        b.report.push_back(d.source + ": drop " + dropdigits(drop) + ", " + line.substr(18, 17) + where +
                           ", probe " + (d.probename.empty() ? std::string("unnamed") : d.probename) +
                           " (code " + code + "), " + std::to_string(r.n) + " samples to " +
                           metres(sampledepth(r.n)));
        for (const std::string& n : d.notes) b.report.push_back(d.source + ": " + n);
        if (d.serial.size() > 7)
            b.report.push_back(d.source + ": its serial " + d.serial +
                               " keeps its last seven characters, all the raw file has room for");
        if (d.xctd)
            b.report.push_back(d.source +
                               ": an XCTD probe: its temperature is imported, its conductivity is not");
        if (r.cut)
            b.report.push_back(d.source + ": its record reaches " + metres(r.deepest) +
                               ", deeper than the editor's 2000 samples (" + metres(sampledepth(ndepmax)) +
                               "): " + metres(sampledepth(ndepmax)) + " to " + metres(r.deepest) +
                               " is left out");
        if (r.clamped > 0)
            b.report.push_back(d.source + ": " + std::to_string(r.clamped) +
                               " temperatures beyond -9.999 to 99.999 degrees are written at that limit");
        for (int i = 0; i < r.n; ++i) {
            const double t = r.milli[static_cast<std::size_t>(i)] / 1000.0;
            // A recorder writes its limits (35.5 saturated, -2.52 open
            // circuit) once the wire is gone; a range stretched to hold them
            // would squeeze the water the operator has to judge.
            if (t <= -2.5 || t >= 35.45) continue;
            tmin = std::min(tmin, t);
            tmax = std::max(tmax, t);
        }
    }
    if (b.imported == 0) return b;

    if (cruise.newcontrol) {
        // The plot range holds every imported temperature that can be water,
        // in whole degrees (the editor's 0 to 30 when none can).
        const bool water = tmin <= tmax;
        const int lo = water ? static_cast<int>(std::floor(tmin)) : 0;
        const int hi = water ? std::max(static_cast<int>(std::ceil(tmax)), lo + 1) : 30;
        std::string ship;
        for (const IncomingDrop& d : drops)
            if (ship.empty()) ship = printable(d.ship, 40);
        b.files.push_back({"control.dat", controlfile(cruise.cruise, ship, lo, hi)});
        b.report.push_back("control.dat: cruise " + cruise.cruise + ", plot range " + std::to_string(lo) +
                           " to " + std::to_string(hi) + " degrees");
    }
    std::string stations;
    if (cruise.stations) {
        stations = cruise.stations->substr(0, sofar.end);
        if (!sofar.endsline) stations += "\n";
        stations += newlines;
        stations += sofar.end < cruise.stations->size() ? cruise.stations->substr(sofar.end) : "ENDDATA\n";
    } else {
        stations = newlines + "ENDDATA\n";
    }
    b.files.push_back({"stations.dat", std::move(stations)});
    return b;
}

namespace {

bool writefile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
#ifndef __linux__
    ok = ok && ::fsync(fd) == 0;
#endif
    return ::close(fd) == 0 && ok;
}

// Every file of the hidden directory on the disk before the rename makes it
// the cruise. One flush of the file system instead of one per file: for 999
// drops that is the difference between seconds and a moment.
bool flushall(const std::string& dir) {
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return false;
#ifdef __linux__
    const bool ok = ::syncfs(dfd) == 0;
#else
    const bool ok = ::fsync(dfd) == 0;
#endif
    ::close(dfd);
    return ok;
}

}  // namespace

WriteResult installimport(const std::string& dir, const ImportBuild& build) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir, ec))) {
        std::vector<FileReplacement> files;
        for (const NewFile& f : build.files) files.push_back({dir + "/" + f.name, f.bytes});
        return replaceFilesAtomically(files);
    }

    // A new cruise appears whole or not at all: it is built in a hidden
    // directory beside its place and renamed there.
    const fs::path target = fs::absolute(dir, ec);
    const fs::path parent = target.parent_path();
    std::string tmp = (parent / ("." + target.filename().string() + ".import-XXXXXX")).string();
    if (::mkdtemp(tmp.data()) == nullptr) return {false, "cannot create a directory beside " + dir};
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(tmp.c_str(), 0777 & ~mask);
    WriteResult r;
    for (const NewFile& f : build.files)
        if (r && !writefile(tmp + "/" + f.name, f.bytes)) r = {false, "cannot write " + f.name};
    if (r && !flushall(tmp)) r = {false, "cannot flush the new files to the disk"};
    if (r && ::rename(tmp.c_str(), target.c_str()) != 0) r = {false, "cannot create " + dir};
    if (!r) {
        fs::remove_all(tmp, ec);
        return r;
    }
    const int dfd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return r;
}
