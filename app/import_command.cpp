// The import command: its command line, the cruise as found (its name comes
// from its control.dat when it has one), the export files read one by one,
// then the build and the installation of exchange/, and what the operator
// reads on standard output and standard error.
#include "app/import_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/control.h"
#include "app/log.h"
#include "exchange/import_cruise.h"
#include "exchange/import_netcdf.h"
#include "exchange/mk21_export.h"

namespace fs = std::filesystem;

namespace {

struct ImportLine {
    std::string dir;
    std::vector<std::string> files;
    std::optional<std::string> cruise;
};

std::optional<ImportLine> parseimport(int argc, char** argv) {
    ImportLine l;
    bool dir = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--import") continue;
        if (a == "--cruise") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "dropfix: --cruise needs a name\n");
                return std::nullopt;
            }
            l.cruise = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr,
                         "dropfix: --import takes only --cruise NAME besides its directory and files\n");
            return std::nullopt;
        } else if (!dir) {
            l.dir = a;
            dir = true;
        } else {
            l.files.emplace_back(a);
        }
    }
    if (!dir || l.files.empty()) {
        std::fprintf(stderr, "dropfix: --import needs a cruise directory and at least one export file\n");
        return std::nullopt;
    }
    return l;
}

// The cruise name becomes the start of every drop file's name, and
// control.dat holds at most seven characters of it, up to its first blank.
bool goodname(std::string_view n, std::size_t longest = 7) {
    if (n.empty() || n.size() > longest) return false;
    for (char c : n)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
              c == '-'))
            return false;
    return true;
}

std::string namefromdir(const std::string& dir) {
    std::string base = fs::path(dir).lexically_normal().filename().string();
    if (base.empty() || base == ".")
        base = fs::absolute(dir).lexically_normal().parent_path().filename().string();
    if (base.empty() || base == "." || base == "..") {
        std::error_code ec;
        base = fs::weakly_canonical(fs::absolute(dir), ec).filename().string();
    }
    std::string n;
    for (char c : base)
        if (n.size() < 7 && goodname(std::string(1, c))) n += c;
    return n;
}

bool readbytes(const std::string& path, std::string& bytes) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    return readFileBytes(path, bytes);
}

// The reader that a file's first bytes call for: a netCDF file (as the
// export writes them), else an MK21 export.
Mk21Read readexport(const std::string& path, std::string_view bytes) {
    if (isnetcdf(bytes)) return readnetcdfdrop(bytes, path);
    return readmk21(bytes, path);
}

int refuse(const std::string& why) {
    std::fprintf(stderr, "dropfix: %s\n", why.c_str());
    std::fprintf(stderr, "dropfix: nothing was imported\n");
    return 1;
}

}  // namespace

bool isimport(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return false;
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--import") return true;
    return false;
}

int importcommand(int argc, char** argv) {
    const auto line = parseimport(argc, argv);
    if (!line) {
        std::fprintf(stderr, "Try 'dropfix --help' for more information.\n");
        return 2;
    }
    std::vector<IncomingDrop> drops;
    std::vector<std::string> problems;
    for (const std::string& f : line->files) {
        std::string bytes;
        if (!readbytes(f, bytes)) {
            problems.push_back(f + ": cannot be read");
            continue;
        }
        Mk21Read r = readexport(f, bytes);
        if (r.drop)
            drops.push_back(std::move(*r.drop));
        else
            problems.push_back(r.problem.text());
    }
    if (!problems.empty()) {
        for (const std::string& p : problems) std::fprintf(stderr, "dropfix: %s\n", p.c_str());
        std::fprintf(stderr, "dropfix: nothing was imported\n");
        return 1;
    }

    const std::string& dir = line->dir;
    std::error_code ec;
    const bool exists = fs::exists(dir, ec);
    if (exists && !fs::is_directory(dir, ec)) return refuse(dir + " is not a directory");
    CruiseSoFar cruise;
    std::vector<std::string> said;
    const fs::path control = fs::path(dir) / "control.dat";
    std::string bytes;
    if (exists && fs::exists(control, ec)) {
        if (!readbytes(control.string(), bytes)) return refuse(control.string() + ": cannot be read");
        ControlSettings cs = defaultcontrol();
        ErrorFlags ierror{};
        Log quiet = Log::memory();
        rdcntrlBytes(bytes, cs, ierror, quiet);
        cruise.cruise = std::string(cs.acruise.view().substr(0, static_cast<std::size_t>(cs.len_acruise)));
        if (cruise.cruise.empty()) return refuse(control.string() + ": names no cruise");
        // The positional layout allows eight characters.
        if (!goodname(cruise.cruise, 8))
            return refuse(control.string() + ": its cruise name \"" + cruise.cruise +
                          "\" cannot begin a file name of the cruise");
        if (line->cruise && *line->cruise != cruise.cruise)
            return refuse(dir + " is the cruise " + cruise.cruise + " already; --cruise " + *line->cruise +
                          " cannot rename it");
    } else if (line->cruise) {
        if (!goodname(*line->cruise))
            return refuse("the cruise name \"" + *line->cruise +
                          "\" must be 1 to 7 letters, digits, '-' or '_' (it begins every drop file's name)");
        cruise.cruise = *line->cruise;
        cruise.newcontrol = true;
    } else {
        cruise.cruise = namefromdir(dir);
        if (cruise.cruise.empty())
            return refuse("the directory's name gives no cruise name; give one with --cruise NAME");
        cruise.newcontrol = true;
    }
    if (exists) {
        const fs::path stations = fs::path(dir) / "stations.dat";
        if (fs::exists(stations, ec)) {
            if (!readbytes(stations.string(), bytes)) return refuse(stations.string() + ": cannot be read");
            cruise.stations = bytes;
        }
        for (const auto& e : fs::directory_iterator(dir, ec))
            cruise.files.push_back(e.path().filename().string());
    }

    const ImportBuild build = buildimport(std::move(drops), cruise);
    if (build.problem) return refuse(build.problem->text());
    for (const std::string& r : build.report) std::printf("%s\n", r.c_str());
    if (build.imported == 0) {
        std::printf("Nothing new to import: %s is unchanged\n", dir.c_str());
        return 0;
    }
    if (const WriteResult w = installimport(dir, build); !w)
        return refuse("cannot import into " + dir + ": " + w.reason);
    char range[32];
    std::snprintf(range, sizeof range, "%03d to %03d", build.firstdrop, build.lastdrop);
    std::printf("%d drop%s imported into %s (cruise %s): drops %s\n", build.imported,
                build.imported == 1 ? "" : "s", dir.c_str(), cruise.cruise.c_str(), range);
    return 0;
}
