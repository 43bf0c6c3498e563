// Fuzz target: the MK21 export reader on arbitrary bytes, and the files the
// import would build from whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/import_cruise.h"
#include "exchange/mk21_export.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Mk21Read r = readmk21(bytes, "fuzz.EDF");
    if (!r.drop) return 0;
    if (r.drop->depth.empty() || r.drop->depth.size() != r.drop->t.size()) __builtin_trap();
    const Resampled s = resample(*r.drop);
    if (s.n < 0 || s.n > ndepmax) __builtin_trap();
    if (stationline(1, *r.drop).size() != 70) __builtin_trap();
    (void)rawdropfile(1, *r.drop, s);
    return 0;
}
