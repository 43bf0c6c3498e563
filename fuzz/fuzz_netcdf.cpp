// Fuzz target: the netCDF reader of exported drops on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/export_netcdf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const NetcdfProfile p = readnetcdf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (p.ok && (p.depth.size() != p.t.size() || p.iclass.size() != p.t.size() ||
                 p.code.size() != p.t.size() || p.depth.empty() || p.depth.size() > 2000))
        __builtin_trap();
    return 0;
}
