// The netCDF writer and reader. Files are built and read in memory, so that
// the caller replaces the target atomically and a reader never needs a path.
#include "exchange/export_netcdf.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "exchange/qc_flags.h"
#include "profile/profile_store.h"

#ifndef DROPFIX_VERSION
#define DROPFIX_VERSION "unknown"
#endif

namespace {

constexpr double fill = 999999.0;
constexpr float fillf = 999999.0f;
constexpr signed char fillflag = 99;
constexpr std::string_view flagmeanings =
    "No_QC_performed Good_data Probably_good_data Bad_data_that_are_potentially_correctable Bad_data "
    "Value_changed";

// Each call of the library is checked; the first failure is kept with the
// step that failed, and later calls are skipped.
class Nc {
public:
    explicit Nc(int ncid) : id(ncid) {}
    bool ok() const { return status == NC_NOERR; }
    std::string why() const { return step + ": " + nc_strerror(status); }
    template <class F>
    void operator()(const char* what, F&& call) {
        if (!ok()) return;
        status = call();
        if (!ok()) step = what;
    }
    void text(int var, const char* name, std::string_view value) {
        (*this)(name, [&] { return nc_put_att_text(id, var, name, value.size(), value.data()); });
    }
    void number(int var, const char* name, nc_type type, double value) {
        (*this)(name, [&] { return nc_put_att_double(id, var, name, type, 1, &value); });
    }
    int var(const char* name, nc_type type, std::initializer_list<int> dims) {
        int v = -1;
        const std::vector<int> d(dims);
        (*this)(name, [&] { return nc_def_var(id, name, type, int(d.size()), d.data(), &v); });
        return v;
    }
    int id;
    int status = NC_NOERR;
    std::string step;
};

std::string fixed(double v, int decimals) {
    char s[64];
    std::snprintf(s, sizeof s, "%.*f", decimals, v);
    return s;
}

struct History {
    std::vector<char> code;  // two per entry
    std::vector<float> depth, previous;
    std::vector<signed char> iclass;
    std::string lines;
};

History historyof(const ExportedDrop& d, const std::string& created) {
    History h;
    for (const ExportPoint& p : d.points) {
        if (!p.hascode()) continue;
        h.code.insert(h.code.end(), p.code.begin(), p.code.end());
        h.depth.push_back(p.depth);
        h.previous.push_back(p.iclass == 5 && p.tloaded ? *p.tloaded : fillf);
        h.iclass.push_back(static_cast<signed char>(p.iclass));
        if (!h.lines.empty()) h.lines += '\n';
        h.lines += created + " dropfix " DROPFIX_VERSION ": " + std::string(p.codetext()) + " class " +
                   std::to_string(p.iclass) + " at " + fixed(p.depth, 3) + " m";
        if (p.iclass == 5 && p.tloaded) h.lines += ", " + fixed(*p.tloaded, 3) + " degC as loaded";
    }
    return h;
}

// LATITUDE and LONGITUDE: the same attributes, for their own name, units,
// axis and range.
int position(Nc& nc, const char* var, const char* name, const char* units, const char* axis, double limit) {
    const int v = nc.var(var, NC_DOUBLE, {});
    nc.text(v, "standard_name", name);
    nc.text(v, "long_name", std::string(name) + " of the drop");
    nc.text(v, "units", units);
    nc.text(v, "axis", axis);
    nc.text(v, "reference_datum", "geographical coordinates, WGS84 projection");
    nc.number(v, "valid_min", NC_DOUBLE, -limit);
    nc.number(v, "valid_max", NC_DOUBLE, limit);
    nc.number(v, "_FillValue", NC_DOUBLE, fill);
    return v;
}

void globals(Nc& nc, const ExportedDrop& d, const std::string& created, const History& h) {
    const int g = NC_GLOBAL;
    nc.text(g, "Conventions", "CF-1.8");
    nc.text(g, "featureType", "profile");
    nc.text(g, "title", "XBT temperature profile, cruise " + d.cruise + ", drop " + d.digits);
    nc.text(g, "ship_name", d.ship);
    nc.text(g, "cruise_name", d.cruise);
    nc.text(g, "Callsign", d.callsign);
    nc.text(g, "XBT_probe_serialnumber", d.serial);
    std::string probe = d.probefield;
    if (d.probe) probe += " (WMO 1770)";
    nc.text(g, "XBT_probetype_fallrate_equation", probe);
    nc.text(g, "XBT_recorder_type", d.recorder ? std::to_string(*d.recorder) + " (WMO 4770)" : "");
    nc.text(g, "XBT_drop_number", d.digits);
    nc.text(g, "XBT_status", d.bad ? "bad: every point flagged 4" : "accepted");
    nc.text(g, "date_created", created);
    nc.text(g, "source", "Expendable Bathythermograph (XBT)");
    nc.text(g, "software_name", "dropfix");
    nc.text(g, "software_version", DROPFIX_VERSION);
    nc.text(g, "quality_control_conventions", "IMOS standard flags (GTSPP, Argo): 0 to 5");
    if (d.lat) {
        nc.number(g, "geospatial_lat_min", NC_DOUBLE, *d.lat);
        nc.number(g, "geospatial_lat_max", NC_DOUBLE, *d.lat);
        nc.text(g, "geospatial_lat_units", "degrees_north");
    }
    if (d.lon) {
        nc.number(g, "geospatial_lon_min", NC_DOUBLE, *d.lon);
        nc.number(g, "geospatial_lon_max", NC_DOUBLE, *d.lon);
        nc.text(g, "geospatial_lon_units", "degrees_east");
    }
    float zmin = d.points.front().depth, zmax = zmin;
    for (const ExportPoint& p : d.points) zmin = std::min(zmin, p.depth), zmax = std::max(zmax, p.depth);
    nc.number(g, "geospatial_vertical_min", NC_FLOAT, zmin);
    nc.number(g, "geospatial_vertical_max", NC_FLOAT, zmax);
    nc.text(g, "geospatial_vertical_positive", "down");
    nc.text(g, "geospatial_vertical_units", "m");
    if (d.time) {
        nc.text(g, "time_coverage_start", isotime(*d.time));
        nc.text(g, "time_coverage_end", isotime(*d.time));
    }
    nc.text(g, "history",
            h.lines.empty() ? created + " dropfix " DROPFIX_VERSION ": exported, no QC code" : h.lines);
}

}  // namespace

std::string netcdfname(const ExportedDrop& d) {
    return d.cruise + "_" + d.digits + ".nc";
}

EncodedFile netcdfbytes(const ExportedDrop& d, const std::string& created) {
    EncodedFile out;
    if (d.points.empty()) {
        out.reason = "drop " + d.digits + " has no point";
        return out;
    }
    int ncid = -1;
    const std::string name = netcdfname(d);
    const int st = nc_create_mem(name.c_str(), NC_NETCDF4 | NC_CLASSIC_MODEL, 1 << 16, &ncid);
    if (st != NC_NOERR) {
        out.reason = std::string("netCDF cannot create the file: ") + nc_strerror(st);
        return out;
    }
    Nc nc(ncid);
    const History h = historyof(d, created);
    const std::size_t n = d.points.size();
    int zdim = -1, hdim = -1, sdim = -1;
    nc("DEPTH dimension", [&] { return nc_def_dim(ncid, "DEPTH", n, &zdim); });
    nc("HISTORY dimension", [&] { return nc_def_dim(ncid, "HISTORY", NC_UNLIMITED, &hdim); });
    nc("string2 dimension", [&] { return nc_def_dim(ncid, "string2", 2, &sdim); });

    const int vtime = nc.var("TIME", NC_DOUBLE, {});
    nc.text(vtime, "standard_name", "time");
    nc.text(vtime, "long_name", "time of the drop");
    nc.text(vtime, "units", "days since 1950-01-01 00:00:00 UTC");
    nc.text(vtime, "calendar", "gregorian");
    nc.text(vtime, "axis", "T");
    nc.number(vtime, "_FillValue", NC_DOUBLE, fill);
    const int vlat = position(nc, "LATITUDE", "latitude", "degrees_north", "Y", 90);
    const int vlon = position(nc, "LONGITUDE", "longitude", "degrees_east", "X", 180);

    const int vdepth = nc.var("DEPTH", NC_FLOAT, {zdim});
    nc.text(vdepth, "standard_name", "depth");
    nc.text(vdepth, "long_name", "depth");
    nc.text(vdepth, "units", "m");
    nc.text(vdepth, "positive", "down");
    nc.text(vdepth, "axis", "Z");
    nc.text(vdepth, "reference_datum", "sea surface");
    nc.number(vdepth, "_FillValue", NC_FLOAT, fillf);
    const int vtemp = nc.var("TEMP", NC_FLOAT, {zdim});
    nc.text(vtemp, "standard_name", "sea_water_temperature");
    nc.text(vtemp, "long_name", "sea water temperature");
    nc.text(vtemp, "units", "degree_Celsius");
    nc.text(vtemp, "coordinates", "TIME LATITUDE LONGITUDE DEPTH");
    nc.text(vtemp, "ancillary_variables", "TEMP_quality_control");
    nc.number(vtemp, "_FillValue", NC_FLOAT, fillf);
    const int vqc = nc.var("TEMP_quality_control", NC_BYTE, {zdim});
    nc.text(vqc, "standard_name", "sea_water_temperature status_flag");
    nc.text(vqc, "long_name", "quality flag for sea water temperature");
    nc.text(vqc, "quality_control_conventions", "IMOS standard flags");
    const signed char values[] = {0, 1, 2, 3, 4, 5};
    nc("flag_values", [&] { return nc_put_att_schar(ncid, vqc, "flag_values", NC_BYTE, 6, values); });
    nc.text(vqc, "flag_meanings", flagmeanings);
    nc.number(vqc, "valid_min", NC_BYTE, 0);
    nc.number(vqc, "valid_max", NC_BYTE, 5);
    nc.number(vqc, "_FillValue", NC_BYTE, fillflag);

    const int vhcode = nc.var("HISTORY_QC_CODE", NC_CHAR, {hdim, sdim});
    nc.text(vhcode, "long_name", "quality control code applied");
    const int vhdepth = nc.var("HISTORY_START_DEPTH", NC_FLOAT, {hdim});
    nc.text(vhdepth, "long_name", "depth the quality control code was applied at");
    nc.text(vhdepth, "units", "m");
    nc.text(vhdepth, "positive", "down");
    nc.text(vhdepth, "axis", "Z");
    const int vhprev = nc.var("HISTORY_PREVIOUS_VALUE", NC_FLOAT, {hdim});
    nc.text(vhprev, "long_name", "temperature as loaded, before it was replaced");
    nc.text(vhprev, "units", "degree_Celsius");
    nc.number(vhprev, "_FillValue", NC_FLOAT, fillf);
    const int vhflag = nc.var("HISTORY_QC_FLAG", NC_BYTE, {hdim});
    nc.text(vhflag, "long_name", "QC class stored with the code (1 good to 5 interpolated or replaced)");
    nc.number(vhflag, "_FillValue", NC_BYTE, fillflag);

    globals(nc, d, created, h);
    nc("end of definitions", [&] { return nc_enddef(ncid); });

    std::vector<float> z(n), t(n);
    std::vector<signed char> q(n);
    for (std::size_t i = 0; i < n; ++i) {
        z[i] = d.points[i].depth;
        t[i] = d.points[i].t;
        q[i] = d.flag(d.points[i]);
    }
    const double vt = d.time ? days1950(*d.time) : fill;
    const double va = d.lat.value_or(fill), vo = d.lon.value_or(fill);
    nc("TIME", [&] { return nc_put_var_double(ncid, vtime, &vt); });
    nc("LATITUDE", [&] { return nc_put_var_double(ncid, vlat, &va); });
    nc("LONGITUDE", [&] { return nc_put_var_double(ncid, vlon, &vo); });
    nc("DEPTH", [&] { return nc_put_var_float(ncid, vdepth, z.data()); });
    nc("TEMP", [&] { return nc_put_var_float(ncid, vtemp, t.data()); });
    nc("TEMP_quality_control", [&] { return nc_put_var_schar(ncid, vqc, q.data()); });
    if (const std::size_t nh = h.depth.size()) {
        const std::size_t start[] = {0, 0}, count[] = {nh, 2};
        nc("HISTORY_QC_CODE", [&] { return nc_put_vara_text(ncid, vhcode, start, count, h.code.data()); });
        nc("HISTORY_START_DEPTH",
           [&] { return nc_put_vara_float(ncid, vhdepth, start, count, h.depth.data()); });
        nc("HISTORY_PREVIOUS_VALUE",
           [&] { return nc_put_vara_float(ncid, vhprev, start, count, h.previous.data()); });
        nc("HISTORY_QC_FLAG", [&] { return nc_put_vara_schar(ncid, vhflag, start, count, h.iclass.data()); });
    }
    NC_memio mem{};
    const int closed = nc_close_memio(ncid, &mem);
    if (nc.ok() && closed != NC_NOERR) nc("closing", [&] { return closed; });
    if (mem.memory) {
        if (nc.ok()) out.bytes.assign(static_cast<const char*>(mem.memory), mem.size);
        std::free(mem.memory);
    }
    if (!nc.ok()) {
        out.reason = "netCDF: " + nc.why();
        return out;
    }
    out.ok = true;
    return out;
}

namespace {

// The length of a one-dimensional variable along its only dimension, or
// nothing when the file has no such variable of that shape.
std::optional<std::size_t> length1(int ncid, const char* name, int& var) {
    if (nc_inq_varid(ncid, name, &var) != NC_NOERR) return std::nullopt;
    int ndims = 0;
    if (nc_inq_varndims(ncid, var, &ndims) != NC_NOERR || ndims != 1) return std::nullopt;
    int dim = -1;
    std::size_t len = 0;
    if (nc_inq_vardimid(ncid, var, &dim) != NC_NOERR || nc_inq_dimlen(ncid, dim, &len) != NC_NOERR)
        return std::nullopt;
    return len;
}

std::string textatt(int ncid, const char* name) {
    std::size_t len = 0;
    nc_type type = NC_NAT;
    if (nc_inq_att(ncid, NC_GLOBAL, name, &type, &len) != NC_NOERR || type != NC_CHAR || len > 4096)
        return {};
    std::string s(len, ' ');
    if (len > 0 && nc_get_att_text(ncid, NC_GLOBAL, name, s.data()) != NC_NOERR) return {};
    return s;
}

double scalar(int ncid, const char* name) {
    int var = -1, ndims = -1;
    double v = fill;
    if (nc_inq_varid(ncid, name, &var) != NC_NOERR || nc_inq_varndims(ncid, var, &ndims) != NC_NOERR ||
        ndims != 0 || nc_get_var_double(ncid, var, &v) != NC_NOERR)
        return fill;
    return v;
}

void readhistory(int ncid, NetcdfProfile& p) {
    int vdepth = -1, vflag = -1, vcode = -1;
    const auto nh = length1(ncid, "HISTORY_START_DEPTH", vdepth);
    const auto nf = length1(ncid, "HISTORY_QC_FLAG", vflag);
    if (!nh || !nf || *nh != *nf || *nh == 0 || *nh > p.depth.size()) return;
    int ndims = 0;
    std::size_t lens[2] = {0, 0};
    int dims[2] = {-1, -1};
    if (nc_inq_varid(ncid, "HISTORY_QC_CODE", &vcode) != NC_NOERR ||
        nc_inq_varndims(ncid, vcode, &ndims) != NC_NOERR || ndims != 2 ||
        nc_inq_vardimid(ncid, vcode, dims) != NC_NOERR ||
        nc_inq_dimlen(ncid, dims[0], &lens[0]) != NC_NOERR ||
        nc_inq_dimlen(ncid, dims[1], &lens[1]) != NC_NOERR || lens[0] != *nh || lens[1] != 2)
        return;
    std::vector<float> depth(*nh);
    std::vector<int> flag(*nh);
    std::vector<char> code(*nh * 2);
    if (nc_get_var_float(ncid, vdepth, depth.data()) != NC_NOERR ||
        nc_get_var_int(ncid, vflag, flag.data()) != NC_NOERR ||
        nc_get_var_text(ncid, vcode, code.data()) != NC_NOERR)
        return;
    // Entries follow the points down the profile: each belongs to the next
    // point at its depth.
    std::size_t at = 0;
    for (std::size_t k = 0; k < *nh; ++k) {
        std::size_t i = at;
        while (i < p.depth.size() && p.depth[i] != depth[k]) ++i;
        if (i == p.depth.size()) continue;
        p.code[i] = {code[2 * k] == '\0' ? ' ' : code[2 * k],
                     code[2 * k + 1] == '\0' ? ' ' : code[2 * k + 1]};
        if (flag[k] >= 0 && flag[k] <= 5) p.iclass[i] = flag[k];
        at = i + 1;
    }
}

}  // namespace

namespace {

NetcdfProfile readnetcdfhere(std::string_view bytes);

// Whether libnetcdf (and the HDF5 library beneath it) gets through the bytes
// alive and in time. On some damaged files HDF5 frees memory it never owned;
// the first read runs in a child process, so that such a file is refused
// instead of taking the whole command down with it.
bool librarysurvives(std::string_view bytes) {
#if defined(_WIN32)
    (void)bytes;
    return true;
#else
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return true;  // no child to spare: read it here, as before
    if (pid == 0) {
        std::signal(SIGSEGV, SIG_DFL);
        std::signal(SIGBUS, SIG_DFL);
        std::signal(SIGABRT, SIG_DFL);
        // Some damaged files send HDF5 round a loop for ever; a file of ours
        // reads in milliseconds, so a child still at it after seconds is
        // stopped and the file refused.
        std::signal(SIGALRM, SIG_DFL);
        alarm(5);
        (void)readnetcdfhere(bytes);
        _exit(0);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace

NetcdfProfile readnetcdf(std::string_view bytes) {
    if (bytes.starts_with("\x89HDF\r\n\x1a\n") && !librarysurvives(bytes)) {
        NetcdfProfile p;
        p.reason = "a damaged netCDF file that the netCDF library cannot read";
        return p;
    }
    return readnetcdfhere(bytes);
}

namespace {

NetcdfProfile readnetcdfhere(std::string_view bytes) {
    NetcdfProfile p;
    // Only the netCDF-4 files this editor writes are read. libnetcdf's reader
    // of the older classic layout trusts the counts in a file's header and
    // asks for gigabytes on a few damaged bytes, so those files never reach it.
    constexpr std::string_view hdf5 = "\x89HDF\r\n\x1a\n";
    if (!bytes.starts_with(hdf5)) {
        p.reason = bytes.starts_with("CDF") ? "a classic netCDF file, not the netCDF-4 that Dropfix exports"
                                            : "not a netCDF file";
        return p;
    }
    std::string copy(bytes);
    int ncid = -1;
    if (copy.empty() || nc_open_mem("profile.nc", NC_NOWRITE, copy.size(), copy.data(), &ncid) != NC_NOERR) {
        p.reason = "not a netCDF file";
        return p;
    }
    int vz = -1, vt = -1, vq = -1;
    const auto nz = length1(ncid, "DEPTH", vz);
    const auto nt = length1(ncid, "TEMP", vt);
    const auto nq = length1(ncid, "TEMP_quality_control", vq);
    if (!nz || !nt || !nq || *nz != *nt || *nz != *nq) {
        p.reason = "no DEPTH, TEMP and TEMP_quality_control of one length";
    } else if (*nz == 0 || *nz > static_cast<std::size_t>(ndepmax)) {
        p.reason = "its profile has " + std::to_string(*nz) + " points, not 1 to " + std::to_string(ndepmax);
    } else {
        p.depth.resize(*nz);
        p.t.resize(*nz);
        p.flag.resize(*nz);
        if (nc_get_var_float(ncid, vz, p.depth.data()) != NC_NOERR ||
            nc_get_var_float(ncid, vt, p.t.data()) != NC_NOERR ||
            nc_get_var_int(ncid, vq, p.flag.data()) != NC_NOERR) {
            p.reason = "its profile cannot be read";
        } else {
            p.iclass.resize(*nz);
            p.code.assign(*nz, {' ', ' '});
            for (std::size_t i = 0; i < *nz; ++i) p.iclass[i] = classofflag(p.flag[i]);
            readhistory(ncid, p);
            p.time = scalar(ncid, "TIME");
            p.lat = scalar(ncid, "LATITUDE");
            p.lon = scalar(ncid, "LONGITUDE");
            p.callsign = textatt(ncid, "Callsign");
            p.cruise = textatt(ncid, "cruise_name");
            p.ship = textatt(ncid, "ship_name");
            p.serial = textatt(ncid, "XBT_probe_serialnumber");
            p.probe = textatt(ncid, "XBT_probetype_fallrate_equation");
            p.ok = true;
        }
    }
    nc_close(ncid);
    return p;
}

}  // namespace
