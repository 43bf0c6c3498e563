// The export end to end: one scripted session edits the demo cruise (an
// interpolated stretch, a bad drop, a test probe, a spike reject, plain
// writes, a drop left alone, a premature launch) and presses D; then each
// format is exported on the command line and read back by its own library,
// every point against the q files and the station list. ncdump and
// bufr_dump must read every file without a word on standard error.
#include <eccodes.h>
#include <netcdf.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "exchange/export_netcdf.h"
#include "session.h"

namespace {

// A q file's points as the test reads them itself, column by column.
struct QPoint {
    long mm = 0, milli = 0;
    int cls = 0;
    std::string code;
};

std::vector<QPoint> qpoints(const std::string& bytes) {
    std::vector<QPoint> p;
    std::size_t at = 0;
    for (int line = 0; at < bytes.size(); ++line) {
        const std::size_t end = bytes.find('\n', at);
        const std::string l = bytes.substr(at, end - at);
        at = end == std::string::npos ? bytes.size() : end + 1;
        if (line < 2) continue;
        p.push_back({std::stol(l.substr(0, 7)), std::stol(l.substr(8, 5)), l[14] == ' ' ? 0 : l[14] - '0',
                     l.size() >= 18 ? l.substr(16, 2) : "  "});
    }
    return p;
}

// The flag the issue gives for a class; every point of a bad drop is 4.
int expectedflag(int cls, bool bad) {
    return bad ? 4 : cls <= 1 ? 1 : cls;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = s.find(sep, at);
        parts.push_back(s.substr(at, end - at));
        if (end == std::string::npos) return parts;
        at = end + 1;
    }
}

const std::vector<std::string> editing{
    // Drop 1: a stretch repaired from the depth list, class 3 below it.
    "key I", "click 103 1038", "select 105 1029 100", "select 105 1029 110", "click 103 1012",
    "click 103 1063", "click 103 1", "key Enter",
    // Drop 2 bad, drop 3 a test probe.
    "key B", "key T",
    // Drop 4: a spike rejected at 300 m; drop 5 plainly cut and written.
    "key Q", "click 106 1089", "mouse down 20 300", "click 106 1", "click 106 2", "key W", "key Enter",
    // Drop 6 stays as it is; drop 7 gets a premature launch.
    "menu 40010", "type 104 1018 7", "click 104 1", "key Q", "click 106 1071", "select 105 1029 29",
    "click 106 1", "click 106 2", "key W",
    // Everything out from the editor, then Exit.
    "key D", "menu 40007"};

const std::map<int, int> exportedstatus{{1, 1}, {2, -1}, {4, 1}, {5, 1}, {7, 1}};

class ExportSession : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        ASSERT_EQ(run(editing), 0) << err;
        for (const auto& [d, status] : exportedstatus) {
            char name[16];
            std::snprintf(name, sizeof name, "DEMO01q.%03d", d);
            q[d] = qpoints(read(cruise / name));
        }
        stations = split(read(cruise / "stations.dat"), '\n');
        before = snapshot(cruise);
    }

    // Every file of the cruise but those of the export folder, with its bytes.
    static std::map<std::string, std::string> snapshot(const fs::path& dir) {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir)) {
            const std::string rel = fs::relative(e.path(), dir).string();
            if (rel.rfind("export", 0) == 0 || !e.is_regular_file()) continue;
            files[rel] = read(e.path());
        }
        return files;
    }

    // limited: under a file size limit, which makes every write past it fail
    // as a full disk does.
    int exportas(const std::string& format, const std::string& extra = {}, bool limited = false) {
        const std::string cmd = std::string(limited ? "trap '' XFSZ; ulimit -f 16; " : "") + "'" +
                                std::string(DROPFIX_BINARY) + "' --export " + format + " '" +
                                cruise.string() + "' " + extra + " > '" + (root / "out.txt").string() +
                                "' 2> '" + (root / "err.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        out = read(root / "out.txt");
        err = read(root / "err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : 128;
    }

    // A tool's complaints about a file: its standard error, and its status.
    std::string complaints(const std::string& tool, const fs::path& file) {
        const std::string cmd =
            tool + " '" + file.string() + "' > /dev/null 2> '" + (root / "tool.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        return (rc == 0 ? std::string() : "status " + std::to_string(rc) + " ") + read(root / "tool.txt");
    }

    std::string stationcols(int d, int first, int last) const {
        return stations[static_cast<std::size_t>(d - 1)].substr(first - 1, last - first + 1);
    }

    std::map<int, std::vector<QPoint>> q;
    std::vector<std::string> stations;
    std::map<std::string, std::string> before;
};

constexpr const char* countline = "DEMO01: 5 drops exported, 1 bad, 1 test probe and 14 not edited skipped\n";

TEST_F(ExportSession, NetcdfReadBackByLibnetcdfMatchesTheQFilesAndStations) {
    ASSERT_EQ(exportas("netcdf"), 0) << err;
    EXPECT_EQ(out, countline);
    EXPECT_EQ(snapshot(cruise), before);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(cruise / "export" / "netcdf"))
        names.insert(e.path().filename());
    EXPECT_EQ(names, (std::set<std::string>{"DEMO01_001.nc", "DEMO01_002.nc", "DEMO01_004.nc",
                                            "DEMO01_005.nc", "DEMO01_007.nc"}));
    for (const auto& [d, status] : exportedstatus) {
        char name[32];
        std::snprintf(name, sizeof name, "DEMO01_%03d.nc", d);
        const fs::path file = cruise / "export" / "netcdf" / name;
        SCOPED_TRACE(name);
        EXPECT_EQ(complaints("ncdump -h", file), "");
        int nc = -1, format = 0;
        ASSERT_EQ(nc_open(file.c_str(), NC_NOWRITE, &nc), NC_NOERR);
        ASSERT_EQ(nc_inq_format(nc, &format), NC_NOERR);
        EXPECT_EQ(format, NC_FORMAT_NETCDF4_CLASSIC);
        const auto att = [&](int var, const char* a) {
            std::size_t len = 0;
            if (nc_inq_attlen(nc, var, a, &len) != NC_NOERR) return std::string("(none)");
            std::string s(len, ' ');
            nc_get_att_text(nc, var, a, s.data());
            return s;
        };
        int vz, vt, vq, vtime, vlat, vlon, dim;
        std::size_t n = 0;
        ASSERT_EQ(nc_inq_dimid(nc, "DEPTH", &dim), NC_NOERR);
        nc_inq_dimlen(nc, dim, &n);
        ASSERT_EQ(n, q[d].size());
        ASSERT_EQ(nc_inq_varid(nc, "DEPTH", &vz) | nc_inq_varid(nc, "TEMP", &vt) |
                      nc_inq_varid(nc, "TEMP_quality_control", &vq) | nc_inq_varid(nc, "TIME", &vtime) |
                      nc_inq_varid(nc, "LATITUDE", &vlat) | nc_inq_varid(nc, "LONGITUDE", &vlon),
                  NC_NOERR);
        EXPECT_EQ(att(NC_GLOBAL, "Conventions"), "CF-1.8");
        EXPECT_EQ(att(NC_GLOBAL, "featureType"), "profile");
        EXPECT_EQ(att(NC_GLOBAL, "ship_name"), "RV Coral Surveyor");
        EXPECT_EQ(att(NC_GLOBAL, "cruise_name"), "DEMO01");
        EXPECT_EQ(att(NC_GLOBAL, "Callsign"), "VMCS");
        EXPECT_EQ(att(NC_GLOBAL, "source"), "Expendable Bathythermograph (XBT)");
        EXPECT_EQ(att(vz, "positive"), "down");
        EXPECT_EQ(att(vt, "units"), "degree_Celsius");
        EXPECT_EQ(att(vt, "ancillary_variables"), "TEMP_quality_control");
        EXPECT_EQ(att(vtime, "units"), "days since 1950-01-01 00:00:00 UTC");
        std::vector<float> z(n), t(n);
        std::vector<int> flag(n);
        nc_get_var_float(nc, vz, z.data());
        nc_get_var_float(nc, vt, t.data());
        nc_get_var_int(nc, vq, flag.data());
        for (std::size_t i = 0; i < n; ++i) {
            const QPoint& p = q[d][i];
            ASSERT_EQ(std::lround(z[i] * 1000.0), p.mm) << i;
            ASSERT_EQ(std::lround(t[i] * 1000.0), p.milli) << i;
            ASSERT_EQ(flag[i], expectedflag(p.cls, status == -1)) << i;
        }
        double time = 0, lat = 0, lon = 0;
        nc_get_var_double(nc, vtime, &time);
        nc_get_var_double(nc, vlat, &lat);
        nc_get_var_double(nc, vlon, &lon);
        EXPECT_NEAR(lat, std::stod(stationcols(d, 38, 44)), 1e-9);
        EXPECT_NEAR(lon, std::stod(stationcols(d, 47, 53)), 1e-9);
        // Days from 1950 to the station's date, then its time of day.
        const int day = std::stoi(stationcols(d, 19, 20)), hh = std::stoi(stationcols(d, 28, 29));
        const int mi = std::stoi(stationcols(d, 31, 32)), ss = std::stoi(stationcols(d, 34, 35));
        EXPECT_NEAR(time, 27826.0 + (day - 9) + (hh * 3600 + mi * 60 + ss) / 86400.0, 1e-9);
        // One history entry for each point with a code.
        int vh;
        ASSERT_EQ(nc_inq_dimid(nc, "HISTORY", &dim), NC_NOERR);
        std::size_t nh = 0;
        nc_inq_dimlen(nc, dim, &nh);
        std::size_t coded = 0;
        for (const QPoint& p : q[d]) coded += p.code != "  ";
        EXPECT_EQ(nh, coded);
        EXPECT_EQ(nc_inq_varid(nc, "HISTORY_PREVIOUS_VALUE", &vh), NC_NOERR);
        nc_close(nc);

        // The round trip: our own reader gives the q file's classes and codes.
        const NetcdfProfile back = readnetcdf(read(file));
        ASSERT_TRUE(back.ok) << back.reason;
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_EQ(back.iclass[i], q[d][i].cls) << i;
            ASSERT_EQ(std::string(back.code[i].data(), 2), q[d][i].code) << i;
        }
    }
}

TEST_F(ExportSession, BufrReadBackByEccodesMatchesEveryLevel) {
    ASSERT_EQ(exportas("bufr"), 0) << err;
    EXPECT_EQ(out, countline);
    EXPECT_EQ(snapshot(cruise), before);
    const fs::path file = cruise / "export" / "bufr" / "DEMO01.bufr";
    EXPECT_EQ(complaints("bufr_dump -jf", file), "");
    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int e = 0;
    auto drop = exportedstatus.begin();
    while (codes_handle* h = codes_handle_new_from_file(nullptr, f, PRODUCT_BUFR, &e)) {
        ASSERT_NE(drop, exportedstatus.end());
        const auto [d, status] = *drop++;
        SCOPED_TRACE("drop " + std::to_string(d));
        ASSERT_EQ(codes_set_long(h, "unpack", 1), 0);
        long edition = 0, year = 0, minute = 0;
        codes_get_long(h, "edition", &edition);
        codes_get_long(h, "year", &year);
        codes_get_long(h, "minute", &minute);
        EXPECT_EQ(edition, 4);
        EXPECT_EQ(year, 2000 + std::stoi(stationcols(d, 25, 26)));
        EXPECT_EQ(minute, std::stoi(stationcols(d, 31, 32)));
        char ship[16] = {};
        std::size_t len = sizeof ship;
        codes_get_string(h, "shipOrMobileLandStationIdentifier", ship, &len);
        EXPECT_STREQ(ship, "VMCS");
        double lat = 0;
        codes_get_double(h, "latitude", &lat);
        EXPECT_NEAR(lat, std::stod(stationcols(d, 38, 44)), 1e-5);
        long probe = 0, recorder = 0;
        codes_get_long(h, "instrumentTypeForWaterTemperatureOrSalinityProfileMeasurement", &probe);
        codes_get_long(h, "waterTemperatureProfileRecorderTypes", &recorder);
        EXPECT_EQ(probe, 51);
        EXPECT_EQ(recorder, 6);
        const std::size_t n = q[d].size();
        std::size_t nz = 0, nt = 0, nf = 0;
        codes_get_size(h, "depthBelowWaterSurface", &nz);
        codes_get_size(h, "oceanographicWaterTemperature", &nt);
        codes_get_size(h, "globalGtsppQualityFlag", &nf);
        // The sea-surface entries come first, then every level.
        ASSERT_EQ(nz, n + 1);
        ASSERT_EQ(nt, n + 1);
        ASSERT_EQ(nf, 2 * n + 1);
        std::vector<double> z(nz), t(nt);
        std::vector<long> flag(nf);
        codes_get_double_array(h, "depthBelowWaterSurface", z.data(), &nz);
        codes_get_double_array(h, "oceanographicWaterTemperature", t.data(), &nt);
        codes_get_long_array(h, "globalGtsppQualityFlag", flag.data(), &nf);
        for (std::size_t i = 0; i < n; ++i) {
            const QPoint& p = q[d][i];
            ASSERT_NEAR(z[i + 1], p.mm / 1000.0, 0.005 + 1e-9) << i;
            ASSERT_NEAR(t[i + 1] - 273.15, p.milli / 1000.0, 0.005 + 1e-9) << i;
            ASSERT_EQ(flag[2 * i + 2], expectedflag(p.cls, status == -1)) << i;
        }
        codes_handle_delete(h);
    }
    EXPECT_EQ(drop, exportedstatus.end());
    std::fclose(f);
}

TEST_F(ExportSession, OdvColumnsHoldEveryPoint) {
    ASSERT_EQ(exportas("odv"), 0) << err;
    EXPECT_EQ(out, countline);
    EXPECT_EQ(snapshot(cruise), before);
    const std::vector<std::string> lines = split(read(cruise / "export" / "odv" / "DEMO01.txt"), '\n');
    std::size_t at = 0;
    while (at < lines.size() && lines[at].rfind("//", 0) == 0) ++at;
    ASSERT_LT(at, lines.size());
    EXPECT_EQ(lines[at],
              "Cruise\tStation\tType\tyyyy-mm-ddThh:mm:ss.sss\tLongitude [degrees_east]\tLatitude "
              "[degrees_north]\tBot. Depth [m]\tDepth [m]\tTemperature [\xC2\xB0"
              "C]\tQV:ARGO\tQC code");
    ++at;
    for (const auto& [d, status] : exportedstatus) {
        SCOPED_TRACE("drop " + std::to_string(d));
        const std::string when = "20" + stationcols(d, 25, 26) + "-" + stationcols(d, 22, 23) + "-" +
                                 stationcols(d, 19, 20) + "T" + stationcols(d, 28, 35) + ".000";
        for (const QPoint& p : q[d]) {
            ASSERT_LT(at, lines.size());
            const auto c = split(lines[at++], '\t');
            ASSERT_EQ(c.size(), 11u);
            EXPECT_EQ(c[0], "DEMO01");
            ASSERT_EQ(std::stoi(c[1]), d);
            EXPECT_EQ(c[2], "C");
            ASSERT_EQ(c[3], when);
            EXPECT_EQ(c[4], stationcols(d, 47, 53).substr(stationcols(d, 47, 53).find_first_not_of(' ')));
            EXPECT_EQ(c[5], stationcols(d, 38, 44).substr(stationcols(d, 38, 44).find_first_not_of(' ')));
            EXPECT_EQ(c[6], "");
            ASSERT_EQ(std::lround(std::stod(c[7]) * 1000), p.mm);
            ASSERT_EQ(std::lround(std::stod(c[8]) * 1000), p.milli);
            ASSERT_EQ(std::stoi(c[9]), expectedflag(p.cls, status == -1));
            ASSERT_EQ(c[10], p.code == "  " ? "" : p.code);
        }
    }
    EXPECT_EQ(at + 1, lines.size());  // and the last line feed
}

// The editor's D wrote the three formats as the command line writes them:
// BUFR carries no creation time, so its bytes are equal; the spreadsheet
// differs only in its creation line.
TEST_F(ExportSession, TheEditorsKeyWritesWhatTheCommandLineWrites) {
    const fs::path mine = root / "cli";
    ASSERT_EQ(exportas("bufr", "--out '" + mine.string() + "'"), 0) << err;
    EXPECT_EQ(read(cruise / "export" / "bufr" / "DEMO01.bufr"), read(mine / "DEMO01.bufr"));
    ASSERT_EQ(exportas("odv", "--out '" + mine.string() + "'"), 0) << err;
    const auto a = split(read(cruise / "export" / "odv" / "DEMO01.txt"), '\n');
    const auto b = split(read(mine / "DEMO01.txt"), '\n');
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].rfind("//<CreateTime>", 0) != 0) {
            ASSERT_EQ(a[i], b[i]) << i;
        }
    EXPECT_EQ(fs::exists(cruise / "export" / "netcdf" / "DEMO01_007.nc"), true);
    EXPECT_FALSE(fs::exists(cruise / "export" / "netcdf" / "DEMO01_003.nc"));  // the test probe
    EXPECT_FALSE(fs::exists(cruise / "export" / "netcdf" / "DEMO01_006.nc"));  // not edited
}

// Each failure names its file, ends with status 1 and leaves no output file.
TEST_F(ExportSession, FailuresNameTheFileAndWriteNothing) {
    fs::remove_all(cruise / "export");  // what D wrote
    const fs::path q4 = cruise / "DEMO01q.004";
    const std::string q4bytes = read(q4);
    struct Case {
        const char* what;
        std::function<void()> damage;
        std::string format, extra, named;
    };
    const fs::path blocked = cruise / "stations.dat" / "out";
    const Case cases[] = {
        {"unreadable q file", [&] { fs::remove(q4), fs::create_directory(q4); }, "netcdf", "", q4.string()},
        {"header cut short", [&] { write(q4, q4bytes.substr(0, q4bytes.find('\n') + 1)); }, "bufr", "",
         q4.string() + ": its header ends early"},
        {"damaged record",
         [&] {
             std::string b = q4bytes;
             b.replace(b.find('\n', b.find('\n') + 1) + 1 + 200 * 19, 3, "x1y");
             write(q4, b);
         },
         "odv", "", q4.string() + ": line 203 is damaged"},
        {"folder that cannot be made", [] {}, "netcdf", "--out '" + blocked.string() + "'", blocked.string()},
        {"full disk", [] {}, "odv", "", "DEMO01.txt: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.damage();
        const bool full = std::string(c.what) == "full disk";
        const int rc = exportas(c.format, c.extra, full);
        EXPECT_EQ(rc, 1);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        std::size_t files = 0;
        if (fs::exists(cruise / "export"))
            for (const auto& e : fs::recursive_directory_iterator(cruise / "export"))
                files += e.is_regular_file();
        EXPECT_EQ(files, 0u);
        if (fs::is_directory(q4)) fs::remove(q4);
        write(q4, q4bytes);
    }
}

}  // namespace
