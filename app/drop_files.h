// The names of the six drop files (unedited and edited file of the previous,
// current and next drop), the three drop digits inside them, the name of any
// drop's file, and the stamp that tells whether a file has changed.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "app/paths.h"
#include "base/fixed_text.h"

struct DropFiles {
    PathText f1r, f2r, f3r;  // unedited files: previous, current, next drop
    PathText f1q, f2q, f3q;  // their edited files
    int len_f1 = 0;          // directory prefix and cruise name
    int ieditktd = 1;        // 1: raw KTD files; 2: older two-metre files
};

enum class DropSlot { Previous = 1, Current = 2, Next = 3 };

// Three digits with leading zeros: 7 gives "007". Numbers outside 0..999
// give "000", which names no drop.
std::string dropDigits(int drop);

// Places the three digits in both names of one drop (columns len_f1+3 to
// len_f1+5), the only columns that change from one drop to another.
void putDropDigits(DropFiles& files, DropSlot slot, std::string_view digits);

// The templates of the start-up tail: f1r keeps the directory prefix of
// length len_dirpath; the cruise name and "r_001.KTD" follow it, and every
// other name is derived from it. Fails when a name would not fit.
PathCheck buildTemplates(DropFiles& files, int len_dirpath, const FixedText<13>& acruise, int len_acruise);

// Blanks every name but the directory prefix held in f1r.
void blankDropFiles(DropFiles& files);

// The name of one of a drop's files: the cruise prefix, the kind ("r_", "q.",
// "e."), the drop digits and the suffix (".KTD" for the raw file).
std::string dropfile(const DropFiles& files, std::string_view kind, int drop, std::string_view suffix = {});

// What tells that a file has changed: its size, its modification time and
// the time of its last change of any kind (which no program can set back),
// both in nanoseconds since the epoch, and which file it is (a file
// replaced by renaming another over it is another inode).
struct FileStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t mtime = 0;
    std::int64_t ctime = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a file now; exists is false when it cannot be seen.
FileStamp stampof(const std::string& path);
