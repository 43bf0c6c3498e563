// Fuzz target: the export's strict q-file reader on arbitrary bytes, and
// the spreadsheet rows of whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/export_odv.h"
#include "exchange/exported_drop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DropSource src;
    src.qbytes = bytes;
    src.raw = bytes;
    src.station = {bytes.substr(0, 8), bytes.substr(0, 8), bytes.substr(0, 7), bytes.substr(0, 7)};
    src.drop = 1;
    const DropBuild b = buildexporteddrop(src);
    if (b.ok) {
        if (b.drop.points.empty() || b.drop.points.size() > 2000) __builtin_trap();
        for (const ExportPoint& p : b.drop.points)
            if (p.iclass < 0 || p.iclass > 5) __builtin_trap();
        std::string rows;
        odvrows(b.drop, rows);
    }
    return 0;
}
