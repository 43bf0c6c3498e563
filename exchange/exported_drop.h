// One edited drop as every exporter sees it: the points of its q file at
// full resolution with their classes and codes, its time and position from
// the station list, the probe and ship fields of its header, and the ship
// and cruise names. Built once per drop, then handed to each format's writer.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ExportPoint {
    float depth = 0;                     // metres, positive downward
    float t = 0;                         // degrees Celsius
    int iclass = 0;                      // 0..5
    std::array<char, 2> code{' ', ' '};  // two letters or two blanks
    std::optional<float> tloaded;        // the temperature as loaded, for class 5 points
    bool hascode() const { return code[0] != ' ' || code[1] != ' '; }
    std::string_view codetext() const { return {code.data(), 2}; }
};

// A moment as the station list gives it, in UTC.
struct DropTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct ExportedDrop {
    std::string cruise;  // control.dat's cruise name
    std::string ship;    // control.dat's ship name; may be empty
    int drop = 0;        // 1..999
    std::string digits;  // "001"
    bool bad = false;    // status -1: every point is flagged bad
    std::optional<DropTime> time;
    std::optional<double> lat, lon;  // decimal degrees, north and east positive
    std::string callsign, serial;    // trimmed; may be empty
    std::string probefield;          // the header's three characters, e.g. "052"
    std::optional<int> probe;        // WMO 1770 code, when the field holds digits
    std::optional<int> recorder;     // WMO 4770 code, when known
    std::vector<ExportPoint> points;

    // The GTSPP flag of a point (see qc_flags.h).
    std::int8_t flag(const ExportPoint& p) const;
};

// The station-list fields of one drop, as the table holds them.
struct StationFieldsText {
    std::string_view adate;  // dd?mm?yy, blanks already "0"
    std::string_view atime;  // hh?mm?ss
    std::string_view alat, alon;
};

// Where a drop's parts come from. raw may be empty (no raw file): the
// recorder code is then taken from the q file's header.
struct DropSource {
    std::string_view qbytes;
    std::string qname;  // named in failures
    std::string_view raw;
    StationFieldsText station;
    std::string_view cruise, ship;
    int drop = 0;
    bool bad = false;
};

struct DropBuild {
    bool ok = false;
    std::string reason;  // names the file
    ExportedDrop drop;
};

// Reads a q file strictly: two header lines, then one record per point with
// integer depth and temperature fields, a class digit 0..5 and a code of two
// capital letters or blanks; a class-5 record may carry its temperature as
// loaded. Anything else (a damaged or missing header, a record that cannot
// be read, no point at all, more than 2000) is a failure whose reason names
// the line; the editor's own reader would stop quietly there, an archive
// must not get half a profile.
struct QRead {
    bool ok = false;
    std::string reason;
    std::string header;  // the 87 header characters
    std::vector<ExportPoint> points;
};
QRead readqstrict(std::string_view bytes);

// The drop from its sources.
DropBuild buildexporteddrop(const DropSource& src);

// The station list's date and time ("09/03/26", "02:25:44"), when they make
// a real moment; years are 20yy as in the edited files' header.
std::optional<DropTime> droptime(std::string_view adate, std::string_view atime);

// Days since 1950-01-01 00:00:00 UTC, and the ISO 8601 text
// "2026-03-09T02:25:44Z".
double days1950(const DropTime& t);
std::string isotime(const DropTime& t);

// A latitude or longitude field of the station list in decimal degrees,
// when it holds one number within limit.
std::optional<double> degrees(std::string_view field, double limit);

// The recorder code of a raw file's "Recorder Code" line as written there
// (a single digit is the code itself, not followed by a zero), when the
// header has such a line with digits.
std::optional<int> rawrecorder(std::string_view raw);

// The ship name of control.dat's "Ship Name =" line, trimmed; empty when the
// file has none (its positional layout names no ship).
std::string shipname(std::string_view control);
