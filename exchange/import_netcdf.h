// The netCDF files of the export taken in by the importer: a drop exported
// from one cruise becomes an incoming drop of another, with its time,
// position, ship, probe and temperatures. Its classes and codes stay behind,
// since an imported drop arrives unedited; readnetcdf gives them back to a
// caller that wants them.
#pragma once
#include <string>
#include <string_view>

#include "exchange/mk21_export.h"

// True when the bytes begin as a netCDF file does (classic or HDF5-based).
bool isnetcdf(std::string_view bytes);

// The drop of such a file, or why it cannot be taken; name is how messages
// call the file.
Mk21Read readnetcdfdrop(std::string_view bytes, const std::string& name);
