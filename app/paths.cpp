// Finding the cruise directory and building the paths of the cruise files.
#include "app/paths.h"

#include <cstdlib>

#include "base/atomic_file.h"
#include "toolkit/toolkit.h"

std::string dosPath(std::string_view dos) {
#ifdef _WIN32
    return std::string(dos);
#else
    std::string out;
    if (dos.size() >= 2 && (dos[0] == 'c' || dos[0] == 'C') && dos[1] == ':') {
        const char* drive = std::getenv("DROPFIX_DRIVE_C");
        out = drive && *drive ? drive : "/";
        while (!out.empty() && out.back() == '/') out.pop_back();
        dos.remove_prefix(2);
    }
    for (std::size_t i = 0; i < dos.size(); ++i) {
        if (dos[i] != '\\') {
            out += dos[i];
        } else if (i == 0 || dos[i - 1] != '\\') {
            out += '/';
        }
    }
    return out;
#endif
}

bool canOpen(const std::string& path) {
    return !path.empty() && !unreadable(path);
}

namespace {

// The first line of a file; false when it cannot be opened or has no line.
bool readFirstLine(const std::string& path, std::string& line) {
    std::string bytes;
    if (!readFileBytes(path, bytes, 1u << 16)) return false;
    LineReader lines(bytes);
    std::string_view first;
    if (!lines.next(first)) return false;
    line.assign(first);
    return true;
}

// Appends s to p after column at, or reports the whole path when it would
// not fit.
PathCheck place(PathText& p, int at, std::string_view s) {
    if (at + static_cast<int>(s.size()) > pathmax) {
        return TooLong{std::string(p.cols(1, static_cast<std::size_t>(at))) + std::string(s)};
    }
    p.put(static_cast<std::size_t>(at) + 1, s);
    return std::nullopt;
}

}  // namespace

PathCheck getdir(PathText& adir, int& len_adir, ErrorFlags& ierror) {
    ierror[7] = 0;
    ierror[17] = 0;
    len_adir = 0;
    adir.blank();
    std::string line;
    if (!readFirstLine(dosPath("c:\\zuldir.txt"), line)) {
        const std::string second = dosPath("c:\\Users\\Public\\Documents\\zuldir.txt");
        if (!canOpen(second)) {
            ierror[7] = 1;
            return std::nullopt;
        }
        if (!readFirstLine(second, line)) {
            ierror[17] = 1;
            return std::nullopt;
        }
    }
    const auto q = line.find('?');
    // A directory that ends past column 120 cannot be held; cutting it would
    // send the editor to another directory.
    if (q != std::string::npos && q > static_cast<std::size_t>(pathmax)) return TooLong{line.substr(0, q)};
    adir = PathText(line);
    if (q != std::string::npos) len_adir = static_cast<int>(q);
    if (len_adir == 0 || adir.at(static_cast<std::size_t>(len_adir)) != pathsep) {
        if (len_adir == pathmax) return TooLong{std::string(adir.view()) + pathsep};
        ++len_adir;
        adir.set(static_cast<std::size_t>(len_adir), pathsep);
    }
    return std::nullopt;
}

void getpath(const PathText& acontrol, PathText& adir, int& len_adir, ErrorFlags& ierror) {
    adir.blank();
    // Only the file name counts: a directory such as "control.dat.d" would
    // otherwise send the editor to its parent, over another cruise's files.
    const std::string_view path = acontrol.view();
    const auto name = path.find_last_of(pathsep);
    const auto from = name == std::string_view::npos ? 0 : name + 1;
    const auto p = path.find("control.dat", from);
    if (p == std::string_view::npos) {
        ierror[40] = 1;
        return;
    }
    adir.put(1, acontrol.view().substr(0, p));
    len_adir = static_cast<int>(p);
}

PathCheck setpath(Paths& p, PathText& f1r, ErrorFlags& ierror) {
    p.adropfix.blank();
    p.astations.blank();
    f1r.blank();
    if (p.idirmode == 2) getpath(p.acontrol, p.adir, p.len_adir, ierror);
    const int n = p.len_adir;
    p.len_dirpath = n;
    if (n > 0) {
        const auto dir = p.adir.cols(1, static_cast<std::size_t>(n));
        p.adropfix.put(1, dir);
        p.astations.put(1, dir);
        p.acontrol.put(1, dir);
        f1r.put(1, dir);
        if (blankEqual(p.adir.cols(1, 26), p.acwd.cols(1, 26)) && p.idatadir == 1) {
            const std::string data = std::string("Data") + pathsep;
            for (PathText* t : {&p.astations, &p.acontrol, &f1r}) {
                if (auto e = place(*t, n, data)) return e;
            }
            p.len_dirpath = n + 5;
        }
    }
    if (auto e = place(p.adropfix, n, "dropfix.log")) return e;
    if (auto e = place(p.astations, p.len_dirpath, "stations.dat")) return e;
    if (auto e = place(p.acontrol, p.len_dirpath, "control.dat")) return e;
    // Whatever a longer earlier name left behind must not become part of
    // the new one.
    p.acontrol.blank(static_cast<std::size_t>(p.len_dirpath) + 12, pathmax);
    return std::nullopt;
}

PathCheck chkcntrl(PathText& acontrol, int& icntrlok, int& ifirst) {
    for (;;) {
        if (canOpen(pathString(acontrol))) {
            icntrlok = 1;
            return std::nullopt;
        }
        ifirst = 0;
        std::string path = pathString(acontrol);
        WSelectFile("Data Files (*.dat)|*.dat|", 168, path, "Select directory with control.dat & s files");
        if (WInfoDialog(4) == 0) {
            icntrlok = 0;
            return std::nullopt;
        }
        if (path.size() > static_cast<std::size_t>(pathmax)) return TooLong{path};
        acontrol = PathText(path);
    }
}
