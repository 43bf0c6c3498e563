// The export of a cruise: the drops gathered from the station table, their q
// and raw files and control.dat, each format encoded in memory, then every
// output file replaced at once.
#include "app/export_command.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "app/check_command.h"
#include "app/state.h"
#include "base/atomic_file.h"
#include "exchange/export_bufr.h"
#include "exchange/export_netcdf.h"
#include "exchange/export_odv.h"
#include "exchange/exported_drop.h"
#include "toolkit/session.h"

namespace fs = std::filesystem;

namespace {

std::string plural(int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string utcnow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char s[32];
    std::strftime(s, sizeof s, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return s;
}

struct Gathered {
    bool ok = false;
    std::string reason;
    std::vector<ExportedDrop> drops;
    ExportCounts counts;
};

// Every drop to export, read and checked.
Gathered gather(const State& st, const std::string& cruise, const std::string& ship) {
    Gathered g;
    DropFiles files = st.files;
    std::string qbytes, raw;
    for (int d = 1; d <= st.stations.nlines && d <= nstamax; ++d) {
        const StationLine& line = st.stations[d];
        if (line.istatus == -4) {
            ++g.counts.tp;
            continue;
        }
        if (line.istatus != 1 && line.istatus != -1) {
            ++g.counts.notedited;
            continue;
        }
        putDropDigits(files, DropSlot::Previous, dropDigits(d));
        const std::string qname = pathString(files.f1q);
        if (!readFileBytes(qname, qbytes)) {
            g.reason = "cannot read " + qname;
            return g;
        }
        if (!readFileBytes(pathString(files.f1r), raw)) raw.clear();
        DropSource src;
        src.qbytes = qbytes;
        src.qname = qname;
        src.raw = raw;
        src.station = {line.adate.view(), line.atime.view(), line.alat.view(), line.alon.view()};
        src.cruise = cruise;
        src.ship = ship;
        src.drop = d;
        src.bad = line.istatus == -1;
        DropBuild b = buildexporteddrop(src);
        if (!b.ok) {
            g.reason = b.reason;
            return g;
        }
        ++g.counts.exported;
        g.counts.bad += src.bad;
        g.drops.push_back(std::move(b.drop));
    }
    g.ok = true;
    return g;
}

struct OutFile {
    std::string path;
    std::string bytes;
};

// The files of one format in directory dir, or the reason there are none.
std::string encode(ExportFormat f, const std::vector<ExportedDrop>& drops, const std::string& cruise,
                   const std::string& ship, const std::string& created, const fs::path& dir,
                   std::vector<OutFile>& out) {
    if (drops.empty()) return {};
    switch (f) {
        case ExportFormat::netcdf:
            for (const ExportedDrop& d : drops) {
                EncodedFile e = netcdfbytes(d, created);
                const std::string path = (dir / netcdfname(d)).string();
                if (!e.ok) return path + ": " + e.reason;
                out.push_back({path, std::move(e.bytes)});
            }
            return {};
        case ExportFormat::bufr: {
            OutFile file{(dir / bufrname(cruise)).string(), {}};
            for (const ExportedDrop& d : drops) {
                EncodedFile e = bufrmessage(d);
                if (!e.ok) return file.path + ": " + e.reason;
                file.bytes += e.bytes;
            }
            out.push_back(std::move(file));
            return {};
        }
        case ExportFormat::odv: {
            OutFile file{(dir / odvname(cruise)).string(), odvhead(cruise, ship, created)};
            for (const ExportedDrop& d : drops) odvrows(d, file.bytes);
            out.push_back(std::move(file));
            return {};
        }
    }
    return {};
}

}  // namespace

std::optional<ExportFormat> exportformat(std::string_view word) {
    for (ExportFormat f : {ExportFormat::netcdf, ExportFormat::bufr, ExportFormat::odv})
        if (word == formatword(f)) return f;
    return std::nullopt;
}

std::string_view formatword(ExportFormat f) {
    switch (f) {
        case ExportFormat::netcdf: return "netcdf";
        case ExportFormat::bufr: return "bufr";
        case ExportFormat::odv: return "odv";
    }
    return "";
}

std::string exportcountline(std::string_view cruise, const ExportCounts& c) {
    return std::string(trimRight(cruise)) + ": " + plural(c.exported, "drop", "drops") + " exported, " +
           std::to_string(c.bad) + " bad, " + plural(c.tp, "test probe", "test probes") + " and " +
           std::to_string(c.notedited) + " not edited skipped";
}

ExportResult exportcruise(const State& st, std::span<const ExportFormat> formats,
                          const std::optional<std::string>& outdir) {
    ExportResult r;
    const std::string cruise(st.acruise.trimmed());
    const fs::path cruisedir = fs::path(pathString(st.paths.astations)).parent_path();
    std::string control;
    const std::string ship = readFileBytes(pathString(st.paths.acontrol), control) ? shipname(control) : "";
    Gathered g = gather(st, cruise, ship);
    r.counts = g.counts;
    if (!g.ok) {
        r.message = g.reason;
        return r;
    }
    const std::string created = utcnow();
    std::vector<OutFile> files;
    for (ExportFormat f : formats) {
        fs::path dir = outdir ? fs::path(*outdir) : cruisedir / "export" / formatword(f);
        if (outdir && formats.size() > 1) dir /= formatword(f);
        if (!g.drops.empty()) {
            std::error_code ec;
            fs::create_directories(dir, ec);
            if (ec || !fs::is_directory(dir, ec)) {
                r.message = "cannot create the folder " + dir.string() + (ec ? ": " + ec.message() : "");
                return r;
            }
        }
        if (std::string why = encode(f, g.drops, cruise, ship, created, dir, files); !why.empty()) {
            r.message = why;
            return r;
        }
    }
    std::vector<FileReplacement> replacements;
    for (const OutFile& f : files) replacements.push_back({f.path, f.bytes});
    std::size_t failed = 0;
    if (!replacements.empty()) {
        if (WriteResult w = replaceFilesAtomically(replacements, &failed); !w) {
            // The reason names the file when it can; else it is named here.
            const std::string path = failed < files.size() ? files[failed].path : std::string("the export");
            r.message = w.reason.find(path) != std::string::npos ? w.reason
                                                                 : "cannot write " + path + ": " + w.reason;
            return r;
        }
    }
    r.ok = true;
    r.message = exportcountline(cruise, r.counts);
    return r;
}

int exportcommand(ExportFormat format, const std::optional<std::string>& outdir) {
    toolkit::setHeadless(true);
    const auto owned = std::make_unique<State>();
    std::string why;
    if (!readcruise(*owned, why)) {
        std::fprintf(stderr, "dropfix: %s\n", why.c_str());
        return 1;
    }
    const ExportFormat formats[] = {format};
    const ExportResult r = exportcruise(*owned, formats, outdir);
    if (!r.ok) {
        std::fprintf(stderr, "dropfix: %s\n", r.message.c_str());
        return 1;
    }
    std::puts(r.message.c_str());
    return 0;
}

bool exportevent(State& st, int type, const EventRecord& e) {
    if (type != EventType::KeyDown || (e.data2 & (Modifier::Ctrl | Modifier::Alt)) != 0) return false;
    if (e.data1 != 'D' && e.data1 != 'd') return false;
    constexpr ExportFormat all[] = {ExportFormat::netcdf, ExportFormat::bufr, ExportFormat::odv};
    const ExportResult r = exportcruise(st, all, std::nullopt);
    if (r.ok) {
        WindowStatusText(r.message);
    } else {
        WindowStatusText("Export failed: nothing written");
        WMessageBox(0, 3, 1, "Export failed: " + r.message, "Error Info");
    }
    return true;
}
