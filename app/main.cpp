// The dropfix command line: the cruise directory, a scripted session, the
// demo cruise, help and version. Everything else is the start-up.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "app/check_command.h"
#include "app/export_command.h"
#include "app/import_command.h"
#include "app/opening.h"
#include "app/startup.h"
#include "app/state.h"
#include "toolkit/session.h"

#ifndef DROPFIX_VERSION
#define DROPFIX_VERSION "unknown"
#endif
#ifndef DROPFIX_SOURCE_DIR
#define DROPFIX_SOURCE_DIR ""
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::string_view usage =
    "Usage: dropfix [OPTION]... [DIR]\n"
    "Quality control of XBT temperature profiles, one drop at a time.\n"
    "\n"
    "  DIR             start as if started in DIR (the cruise directory)\n"
    "  --demo          start on a fresh temporary copy of the bundled demo cruise\n"
    "  --script FILE   run an operator session from FILE, with no display\n"
    "  --check         print the pre-screen's findings of every drop of the cruise\n"
    "                  (DIR, or the one found from here) and write nothing\n"
    "  --export FORMAT write the accepted and bad drops of the cruise (DIR, or the\n"
    "                  one found from here) as netcdf, bufr or odv into\n"
    "                  DIR/export/FORMAT; nothing else in DIR changes\n"
    "  --out OUTDIR    with --export: write into OUTDIR instead\n"
    "  --show          show the windows of a scripted session\n"
    "  --import DIR FILE... [--cruise NAME]\n"
    "                  make DIR a cruise from Sippican MK21 export files (.EDF), or\n"
    "                  add them to the cruise there; writes nothing if one is refused\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n";

struct CommandLine {
    std::optional<std::string> dir;
    std::optional<std::string> script;
    std::optional<ExportFormat> exportas;
    std::optional<std::string> out;
    bool show = false;
    bool check = false;
    bool demo = false;
    bool help = false;
    bool version = false;
};

// Nothing when the command line is wrong; the reason is on standard error.
std::optional<CommandLine> parse(int argc, char** argv) {
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--version") {
            cl.version = true;
        } else if (a == "--demo") {
            cl.demo = true;
        } else if (a == "--check") {
            cl.check = true;
        } else if (a == "--show") {
            cl.show = true;
        } else if (a == "--script") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "dropfix: --script needs a file\n");
                return std::nullopt;
            }
            cl.script = argv[++i];
        } else if (a == "--export") {
            if (i + 1 >= argc || !(cl.exportas = exportformat(argv[i + 1]))) {
                std::fprintf(stderr, "dropfix: --export needs a format: netcdf, bufr or odv\n");
                return std::nullopt;
            }
            ++i;
        } else if (a == "--out") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "dropfix: --out needs a directory\n");
                return std::nullopt;
            }
            cl.out = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "dropfix: unknown option %s\n", argv[i]);
            return std::nullopt;
        } else if (cl.dir) {
            std::fprintf(stderr, "dropfix: only one directory may be given\n");
            return std::nullopt;
        } else {
            cl.dir = argv[i];
        }
    }
    if (cl.check && (cl.script || cl.show)) {
        std::fprintf(stderr, "dropfix: --check opens no window; it takes no script\n");
        return std::nullopt;
    }
    if (cl.out && !cl.exportas) {
        std::fprintf(stderr, "dropfix: --out goes with --export\n");
        return std::nullopt;
    }
    if (cl.exportas && (cl.script || cl.show || cl.check || cl.demo)) {
        std::fprintf(stderr,
                     "dropfix: --export reads the cruise where it lies and opens no window; give DIR "
                     "and no other mode\n");
        return std::nullopt;
    }
    if (cl.demo && cl.dir) {
        std::fprintf(stderr,
                     "dropfix: --demo starts in its own copy of the demo cruise; give no directory\n");
        return std::nullopt;
    }
    return cl;
}

// The bundled demo cruise: in the source tree the program was built from,
// or installed beside the program.
std::optional<fs::path> demoCruise(const char* argv0) {
    std::error_code ec;
    std::vector<fs::path> candidates;
    if (*DROPFIX_SOURCE_DIR) candidates.push_back(fs::path(DROPFIX_SOURCE_DIR) / "examples" / "demo-cruise");
    const fs::path exe = fs::canonical("/proc/self/exe", ec);
    const fs::path exeDir = ec ? fs::absolute(argv0, ec).parent_path() : exe.parent_path();
    candidates.push_back(exeDir / "examples" / "demo-cruise");
    candidates.push_back(exeDir.parent_path() / "examples" / "demo-cruise");
    candidates.push_back(exeDir.parent_path() / "share" / "dropfix" / "demo-cruise");
    for (const auto& c : candidates) {
        if (fs::is_regular_file(c / "control.dat", ec)) return c;
    }
    return std::nullopt;
}

// Copies the demo cruise into a new temporary directory, so that the
// shipped copy stays as it is. Nothing, with the reason in failure, when it
// cannot.
std::optional<std::string> copyDemo(const char* argv0, std::string& failure) {
    const auto source = demoCruise(argv0);
    if (!source) {
        failure = "the demo cruise (examples/demo-cruise) was not found";
        return std::nullopt;
    }
    std::error_code ec;
    std::string dir = (fs::temp_directory_path(ec) / "dropfix-demo-XXXXXX").string();
    if (ec || ::mkdtemp(dir.data()) == nullptr) {
        failure = "cannot create a temporary directory for the demo cruise";
        return std::nullopt;
    }
    fs::copy(*source, dir, fs::copy_options::recursive, ec);
    if (ec) {
        failure = "cannot copy the demo cruise to " + dir + ": " + ec.message();
        return std::nullopt;
    }
    std::fprintf(stderr, "dropfix: demo cruise copied to %s\n", dir.c_str());
    return dir;
}

// Qt aborts with a core dump when it finds no display; the operator gets a
// line that says what to do instead. A platform chosen on purpose
// (QT_QPA_PLATFORM, as the offscreen one of a script) is left to Qt.
bool displayavailable() {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// Why the directory cannot be entered, or nothing.
std::optional<std::string> changeDirectory(const std::string& dir) {
    std::error_code ec;
    fs::current_path(dir, ec);
    if (ec) return "cannot change to " + dir + ": " + ec.message();
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (isimport(argc, argv)) return importcommand(argc, argv);
    const auto cl = parse(argc, argv);
    if (!cl) {
        std::fprintf(stderr, "Try 'dropfix --help' for more information.\n");
        return 2;
    }
    if (cl->help) {
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return 0;
    }
    if (cl->version) {
        std::puts("dropfix " DROPFIX_VERSION);
        return 0;
    }
    if (cl->exportas) {
        // OUTDIR means what it meant where the operator typed it.
        std::optional<std::string> out;
        if (cl->out) {
            std::error_code ec;
            out = fs::absolute(*cl->out, ec).string();
        }
        if (cl->dir) {
            if (const auto failure = changeDirectory(*cl->dir)) {
                std::fprintf(stderr, "dropfix: %s\n", failure->c_str());
                return 1;
            }
        }
        return exportcommand(*cl->exportas, out);
    }
    if (cl->check) {
        std::optional<fs::path> at;
        if (cl->demo && !(at = demoCruise(argv[0]))) {
            std::fprintf(stderr, "dropfix: the demo cruise (examples/demo-cruise) was not found\n");
            return 1;
        }
        if (cl->dir) at = *cl->dir;
        // The report reads the cruise where it lies, so the demo needs no copy.
        if (at) {
            if (const auto failure = changeDirectory(at->string())) {
                std::fprintf(stderr, "dropfix: %s\n", failure->c_str());
                return 1;
            }
        }
        return checkcommand();
    }
    // Qt keeps a reference to the argument count until the toolkit is torn
    // down after main has returned, so it must outlive main's own argc.
    static int toolkitArgc = argc;
    toolkit::setArguments(toolkitArgc, argv);
    if (cl->script) {
        // Read before the change of directory, so that a relative name
        // means what it meant where the operator typed it.
        std::string error;
        if (!toolkit::startScript(*cl->script, error)) {
            std::fprintf(stderr, "dropfix: %s\n", error.c_str());
            return 2;
        }
        if (!cl->show) toolkit::useOffscreenPlatform();
    }
#ifndef _WIN32
    if ((!cl->script || cl->show) && !displayavailable()) {
        std::fprintf(stderr,
                     "dropfix: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); run it under "
                     "xvfb-run, or drive it with --script FILE\n");
        return 1;
    }
#endif
    std::optional<std::string> dir = cl->dir;
    std::string failure;
    if (cl->demo && !(dir = copyDemo(argv[0], failure))) return startFailure(failure).status;
    if (dir) {
        if (const auto failure = changeDirectory(*dir)) return startFailure(*failure).status;
    }
    const auto state = std::make_unique<State>();
    return run(*state).status;
}
