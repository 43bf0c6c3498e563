// Fuzz target: the raw drop file reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "profile/rawdrop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RawDrop r = parserawdrop(bytes, fallrateA, fallrateB, [](std::string_view, std::string_view) {});
    if (r.n < 0 || r.n > ndepmax) __builtin_trap();
    return 0;
}
