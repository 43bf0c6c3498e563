// Fuzz target: the full-resolution edited file reader on arbitrary bytes,
// and the writer over whatever the reader stored.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "profile/edited_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto s = std::make_unique<SlotData>();
    const EditedRead r = parserdq(bytes, *s, SlotLabel("q.001"));
    if (s->nread < 0 || s->nread > ndepmax) __builtin_trap();
    for (int i = 1; i <= s->nread; ++i)
        if (s->iclass[static_cast<std::size_t>(i)] < 0 || s->iclass[static_cast<std::size_t>(i)] > 5)
            __builtin_trap();
    (void)qfilebytes(*s, *s, s->nread, r.ahdr);
    (void)efilebytes(*s, *s, s->nread, r.ahdr);
    return 0;
}
