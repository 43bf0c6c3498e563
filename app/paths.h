// The cruise directory and the paths of the cruise files: the pointer file
// zuldir.txt (getdir), the directory of a chosen control.dat (getpath), the
// paths of control.dat, stations.dat, dropfix.log and the drop-file prefix
// (setpath), and the check that control.dat can be opened (chkcntrl).
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"

using PathText = FixedText<120>;
inline constexpr int pathmax = 120;

// ierror(1..50): start-up diagnostic flags; element 0 is unused.
using ErrorFlags = std::array<int, 51>;

#ifdef _WIN32
inline constexpr char pathsep = '\\';
#else
inline constexpr char pathsep = '/';
#endif

// A path that does not fit its 120 characters. It is never cut silently:
// the caller shows it, logs it and ends the program.
struct TooLong {
    std::string path;
};
using PathCheck = std::optional<TooLong>;
inline constexpr std::string_view tooLongMessage = "Path too long for Dropfix (120 characters at most): ";

// Maps one of the fixed DOS locations ("c:\zuldir.txt") to this platform:
// the drive stands for $DROPFIX_DRIVE_C (default "/") and each run of
// backslashes becomes one "/".
std::string dosPath(std::string_view dos);

// Where the cruise files are found and how the drop-file prefix is built.
struct Paths {
    PathText acwd;
    int len_acwd = 0;
    PathText adir;
    int len_adir = 0;
    PathText acontrol;
    PathText astations;
    PathText adropfix;
    int len_dirpath = 0;
    int idirmode = 1;
    int idatadir = 1;
    int ifirst = 1;
};

// The text of p up to its length, for opening files.
inline std::string pathString(const PathText& p) {
    return std::string(p.trimmed());
}

PathCheck getdir(PathText& adir, int& len_adir, ErrorFlags& ierror);
void getpath(const PathText& acontrol, PathText& adir, int& len_adir, ErrorFlags& ierror);
// f1r receives the directory prefix of the drop files.
PathCheck setpath(Paths& p, PathText& f1r, ErrorFlags& ierror);
// icntrlok: 1 when acontrol opens, 0 when the operator cancelled.
PathCheck chkcntrl(PathText& acontrol, int& icntrlok, int& ifirst);

// True when the file at path exists and can be opened for reading.
bool canOpen(const std::string& path);
