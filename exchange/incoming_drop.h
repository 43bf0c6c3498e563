// One drop as another system recorded it, before it becomes a drop of a
// cruise: when and where it was launched, the probe, and the profile at the
// depths that system gave. Every reader of a foreign format fills this, and
// the cruise builder takes nothing else, so a new format needs only a reader.
#pragma once
#include <optional>
#include <string>
#include <vector>

struct LaunchTime {
    int year = 0, month = 0, day = 0;  // four-digit year, 1-12, 1-31
    int hour = 0, minute = 0, second = 0;
    auto operator<=>(const LaunchTime&) const = default;
};

struct IncomingDrop {
    std::string source;  // the file it came from, as the operator named it
    LaunchTime launch;
    std::optional<double> lat, lon;    // decimal degrees, north and east positive; both or neither
    std::string callsign;              // blank when the source has none
    std::string serial;                // the probe's serial number, blank when unknown
    int probecode = 0;                 // WMO 1770; 0 when no code fits
    std::string probename;             // the probe type as the source named it
    char probeletter = ' ';            // the one-character flag of the station line
    bool xctd = false;                 // only the temperature of a conductivity probe is taken
    std::optional<double> oceandepth;  // metres, where the source gives it
    std::string ship;                  // for a new cruise's control.dat; may be blank
    std::string sequence;              // the recorder's own number of the drop, blank when none
    std::vector<double> depth;         // metres, positive down, increasing
    std::vector<double> t;             // degrees Celsius, one per depth
    std::vector<std::string> notes;    // what the operator should hear about this drop
};

// A file that cannot be taken, and why; line 0 when no one line is at fault.
struct ImportProblem {
    std::string file;
    int line = 0;
    std::string what;
    std::string text() const {
        return file + (line > 0 ? ": line " + std::to_string(line) : std::string()) + ": " + what;
    }
};
