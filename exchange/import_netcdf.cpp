// Reading an exported netCDF file as an incoming drop.
#include "exchange/import_netcdf.h"

#include <cctype>
#include <cmath>

#include "exchange/export_netcdf.h"

namespace {

// The civil date and time of a count of days since 1950-01-01 00:00 UTC.
LaunchTime launchof(double days) {
    const double whole = std::floor(days);
    long seconds = std::lround((days - whole) * 86400.0);
    long z = static_cast<long>(whole) - 7305 + 719468;  // days from 0000-03-01
    if (seconds >= 86400) seconds -= 86400, ++z;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    LaunchTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

bool real(double v, double limit) {
    return std::isfinite(v) && std::fabs(v) <= limit;
}

}  // namespace

bool isnetcdf(std::string_view bytes) {
    return bytes.substr(0, 3) == "CDF" || bytes.substr(0, 8) == "\x89HDF\r\n\x1a\n";
}

Mk21Read readnetcdfdrop(std::string_view bytes, const std::string& name) {
    Mk21Read r;
    r.problem.file = name;
    const NetcdfProfile p = readnetcdf(bytes);
    if (!p.ok) {
        r.problem.what = p.reason;
        return r;
    }
    // The time and position are what the drop is known by: a file without
    // them names no drop.
    if (!real(p.time, 200000) || p.time < 0) {
        r.problem.what = "it has no TIME";
        return r;
    }
    if (!real(p.lat, 90) || !real(p.lon, 180)) {
        r.problem.what = "it has no LATITUDE and LONGITUDE";
        return r;
    }
    IncomingDrop d;
    d.source = name;
    d.launch = launchof(p.time);
    d.lat = p.lat;
    d.lon = p.lon;
    d.callsign = p.callsign.substr(0, 7);
    d.serial = p.serial.substr(0, 7);
    d.ship = p.ship;
    if (p.probe.size() >= 3 && std::isdigit(static_cast<unsigned char>(p.probe[0])) &&
        std::isdigit(static_cast<unsigned char>(p.probe[1])) &&
        std::isdigit(static_cast<unsigned char>(p.probe[2])))
        d.probecode = std::stoi(p.probe.substr(0, 3));
    d.probename = p.probe.substr(0, 3);
    for (std::size_t i = 0; i < p.depth.size(); ++i) {
        if (!std::isfinite(p.depth[i]) || !std::isfinite(p.t[i]) || p.depth[i] > 20000 ||
            std::fabs(p.t[i]) > 1000)
            continue;
        d.depth.push_back(p.depth[i]);
        d.t.push_back(p.t[i]);
    }
    if (d.depth.empty()) {
        r.problem.what = "its profile holds no point";
        return r;
    }
    d.notes.push_back("the QC classes and codes of the exported drop are not taken: it arrives unedited");
    r.drop = std::move(d);
    return r;
}
