// Fuzz target: the two-metre file reader on arbitrary bytes, and the 2 m
// writers over whatever the reader stored.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "profile/edited_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto s = std::make_unique<SlotData>();
    const EditedRead r = parsewinrdfl(bytes, *s, SlotLabel("e.001"));
    if (s->nread < 0 || s->nread > 999) __builtin_trap();
    (void)flbytes(*s, *s, s->nread, r.ahdr);
    (void)efilebytes(*s, *s, s->nread, r.ahdr);
    return 0;
}
