// The five-character label prefix that every drop file reader puts into its
// slot's ainfo: the name after the cruise prefix, or "no" and the drop digits
// after a failed load.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "profile/profile_store.h"

using FileName = FixedText<120>;

// The main log as the readers see it: one record, a label and its values
// (already rendered; empty when the record has none). app/ passes a sink
// that writes dropfix.log, tests collect the records.
using LogRecord = std::function<void(std::string_view label, std::string_view value)>;

// The file as the operating system knows it: the 120-character name without
// its trailing blanks.
inline std::string filePath(const FileName& fname) {
    return std::string(fname.trimmed());
}

// The name's characters after the prefix of prefixLength characters, first
// to last (1-based), clipped to the name.
inline std::string_view afterPrefix(const FileName& fname, int prefixLength, std::size_t first,
                                    std::size_t last) {
    const std::size_t p = prefixLength < 0 ? 0 : static_cast<std::size_t>(prefixLength);
    return fname.cols(p + first, p + last);
}

// Label of a loaded slot: the five name characters after the prefix.
inline SlotLabel nameLabel(const FileName& fname, int prefixLength) {
    SlotLabel l;
    l.putField(1, 5, afterPrefix(fname, prefixLength, 1, 5));
    return l;
}

// Marks columns 1-5 of a label as failed: "no" and the drop digits (the 3rd
// to 5th name characters after the prefix). The other columns stay.
inline void markFailed(SlotLabel& label, const FileName& fname, int prefixLength) {
    label.putField(1, 2, "no");
    label.putField(3, 5, afterPrefix(fname, prefixLength, 3, 5));
}

inline void logRecord(const LogRecord& log, std::string_view label, std::string_view value = {}) {
    if (log) log(label, value);
}
