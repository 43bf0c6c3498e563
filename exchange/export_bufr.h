// The WMO BUFR form of an edited drop: one edition 4 message per drop with
// the XBT/XCTD profile template 3 15 004 and its delayed replication
// 3 15 005, encoded by ecCodes; a cruise's messages follow each other in
// one file.
#pragma once
#include <string>

#include "exchange/export_netcdf.h"
#include "exchange/exported_drop.h"

// "DEMO01.bufr"
std::string bufrname(const std::string& cruise);

// The message of one drop: every point's depth below the surface, its
// temperature in kelvin and its GTSPP flag, with the ship's call sign, the
// time, the position, the probe (WMO 1770) and the recorder (WMO 4770). A
// value the template cannot carry (a temperature above 54.5 degrees, a
// depth above the surface) goes as missing, with its flag.
EncodedFile bufrmessage(const ExportedDrop& d);
