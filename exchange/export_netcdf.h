// The netCDF form of an edited drop: one netCDF-4 classic file per drop,
// CF-1.8 with featureType "profile", laid out like the IMOS SOOP-XBT
// quality-controlled files (DEPTH, TEMP, TEMP_quality_control, the scalar
// TIME, LATITUDE and LONGITUDE, the QC history along HISTORY), and the
// reader that takes such a file back.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exported_drop.h"

// What a netCDF encoding gives: the file's bytes, or why there are none.
struct EncodedFile {
    bool ok = false;
    std::string reason;
    std::string bytes;
};

// "DEMO01_001.nc"
std::string netcdfname(const ExportedDrop& d);

// The file of one drop, built in memory; created is the date_created text
// (ISO 8601, UTC), also the time stamp of the history lines.
EncodedFile netcdfbytes(const ExportedDrop& d, const std::string& created);

// A profile as read back from such a file: points in file order, with the
// editor's class and code of every point (a point's class is its history
// entry's where it has one, else the one its flag stands for).
struct NetcdfProfile {
    bool ok = false;
    std::string reason;
    std::vector<float> depth, t;  // metres positive downward, degrees Celsius
    std::vector<int> flag, iclass;
    std::vector<std::array<char, 2>> code;
    double time = 0, lat = 0, lon = 0;                  // as stored; the fill value when blank
    std::string callsign, cruise, ship, serial, probe;  // global attributes; empty when missing
};

// Reads a file's bytes; any bytes give a profile or a reason, never a crash.
NetcdfProfile readnetcdf(std::string_view bytes);
