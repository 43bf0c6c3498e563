// The Ocean Data View generic spreadsheet form of a cruise: one
// tab-separated text file, comment lines starting "//", one header line,
// then one row per point of every exported drop.
#pragma once
#include <string>
#include <vector>

#include "exchange/exported_drop.h"

// "DEMO01.txt"
std::string odvname(const std::string& cruise);

// The header line's columns, in order.
std::vector<std::string> odvcolumns();

// The comment lines and the header line, each ending in a line feed.
std::string odvhead(const std::string& cruise, const std::string& ship, const std::string& created);

// Appends the rows of one drop: cruise, station (the drop digits), type C,
// the time, longitude, latitude, an empty bottom depth, then the point's
// depth, temperature, flag on the Argo scale and QC code (empty when none).
void odvrows(const ExportedDrop& d, std::string& out);
