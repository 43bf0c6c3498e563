// Feeds any bytes to the control.dat reader in both layouts; a wrong value
// must become a default, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/control.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ControlSettings s;
    ErrorFlags ierror{};
    Log log;  // closed: the records are built and dropped
    rdcntrlBytes(bytes, s, ierror, log);
    if (s.len_acruise < 0 || s.len_acruise > 8) __builtin_trap();
    if (s.tm_pl_mn == s.tm_pl_mx) __builtin_trap();
    return 0;
}
