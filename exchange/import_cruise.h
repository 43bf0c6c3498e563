// Drops recorded by another system made into a cruise of the editor's own:
// each profile resampled onto the depths the editor gives its samples, a
// raw drop file per drop, the station list in launch order and, for a new
// cruise, control.dat. The builder is pure (drops and the cruise as found
// in, files and a report out), so any reader of IncomingDrop feeds it; the
// installer then puts the files in place so that a failure or a kill
// leaves the directory as it was.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "exchange/incoming_drop.h"
#include "profile/profile_store.h"
#include "profile/rawdrop.h"

// A profile on the editor's sample depths z = 6.472 t - 0.00216 t^2,
// t = 0.1 i s, as the raw file's integer thousandths of a degree.
struct Resampled {
    int n = 0;
    std::array<int, ndepmax> milli{};
    double deepest = 0;  // the source's deepest depth
    bool cut = false;    // the source goes deeper than ndepmax samples reach
    int clamped = 0;     // temperatures beyond what five columns hold, put at the limit
};
Resampled resample(const IncomingDrop& d);

// The station list line of a drop (70 columns, status 0).
std::string stationline(int drop, const IncomingDrop& d);

// The raw drop file of a drop.
std::string rawdropfile(int drop, const IncomingDrop& d, const Resampled& r);

// The cruise the drops go into, as it was found.
struct CruiseSoFar {
    std::string cruise;                   // the name its files begin with
    bool newcontrol = false;              // it has no control.dat: one is written
    std::optional<std::string> stations;  // the bytes of its stations.dat, if it has one
    std::vector<std::string> files;       // names of the files already in the directory
};

struct NewFile {
    std::string name;  // within the cruise directory
    std::string bytes;
};

struct ImportBuild {
    std::vector<NewFile> files;       // the station list last
    std::vector<std::string> report;  // what the operator should read, one line each
    std::optional<ImportProblem> problem;
    int imported = 0, firstdrop = 0, lastdrop = 0;
};

// The files that add the drops to the cruise. Drops go in launch order
// after the cruise's last drop; a drop launched at the same time and place
// as an earlier one (in this import or in the cruise) is left out and named.
ImportBuild buildimport(std::vector<IncomingDrop> drops, const CruiseSoFar& cruise);

// Puts the built files into dir. A directory that does not exist yet is made
// whole beside its place and renamed there; in one that exists the new files
// are written beside their names and renamed in, the station list last.
WriteResult installimport(const std::string& dir, const ImportBuild& build);
