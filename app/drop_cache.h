// One cache of what the drop files hold, parsed: the raw file, the edited
// file and the two-metre file of any drop, and the first bytes of a file,
// for the drop loading, the overview and the pre-screen alike. A file is read again whenever it may
// have changed since it was read: its stamp (size, modification and change
// time to the nanosecond, inode and device) differs, or it was read while
// its stamp was younger than the file system's timestamp granularity, so
// that a second write in the same tick would keep the stamp.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/drop_files.h"
#include "profile/edited_files.h"
#include "profile/rawdrop.h"

// The log records a read made, in order, so that a read served from the
// cache leaves the same records as a read of the file.
using ReadRecords = std::vector<std::pair<std::string, std::string>>;

// A raw drop file as rddropfix reads it; depth and t hold points 1..n
// (element 0 is point 1) up to what a profile holds.
struct RawContents {
    int n = 0;
    int ierr = 0;
    SlotLabel label;
    RawHeader hdr;
    std::vector<float> depth, t;
    ReadRecords log;
};

// How an edited file is laid out: the full-resolution q file (rdq) or the
// two-metre file (winrdfl).
enum class EditedLayout { Full, TwoMetre };

// An edited file as its reader leaves a slot: points 1..nread (none when
// the file failed) and the first five columns of the slot's label ("no" and
// the digits on failure, when the slot keeps its count).
struct EditedContents {
    int ierr = 0;
    bool failed = false;
    int nread = 0;
    FixedText<5> label;
    std::vector<float> depth, t;  // element 0 is point 1
    std::vector<int> iclass;
    std::vector<QcCode> code;
    ReadRecords log;
};

// Nanoseconds since the epoch, on the clock that stamps files.
using CacheClock = std::function<std::int64_t()>;
std::int64_t wallclock();

// Whether a file read at `now` with this stamp may be trusted until its
// stamp changes: a second write within the file system's timestamp
// granularity of the last change would leave the stamp as it is.
bool settledstamp(const FileStamp& s, std::int64_t now);

class DropCache {
public:
    explicit DropCache(CacheClock clock = wallclock) : clock_(std::move(clock)) {}

    // The raw file at path, read with the prefix length and fall-rate
    // coefficients given. The same pointer as before while nothing changed.
    std::shared_ptr<const RawContents> raw(const std::string& path, int prefixLength, float a, float b);
    // The edited file at path in the layout given.
    std::shared_ptr<const EditedContents> edited(const std::string& path, int prefixLength,
                                                 EditedLayout layout);
    // At most the first maxBytes of the file at path, unparsed; empty when
    // it cannot be read.
    std::shared_ptr<const std::string> head(const std::string& path, std::size_t maxBytes);

    // Files read so far (the tests and the benchmarks watch it).
    int reads() const { return reads_; }

private:
    template <class Contents>
    struct Entry {
        FileStamp stamp;
        bool settled = false;
        int prefixLength = 0;
        float a = 0, b = 0;
        EditedLayout layout = EditedLayout::Full;
        std::size_t maxBytes = 0;
        std::shared_ptr<const Contents> contents;
    };
    // Whether an entry still stands for the file with the stamp it has now.
    template <class Contents>
    static bool current(const Entry<Contents>& e, const FileStamp& now) {
        return e.contents && e.settled && e.stamp == now;
    }
    // Keeps the old contents when a read found the same, so that their
    // users see no change.
    template <class Contents>
    void store(Entry<Contents>& e, const FileStamp& before, std::shared_ptr<const Contents> fresh);

    CacheClock clock_;
    std::map<std::string, Entry<RawContents>> raw_;
    std::map<std::string, Entry<EditedContents>> edited_;
    std::map<std::string, Entry<std::string>> head_;
    int reads_ = 0;
};

// Puts cached raw contents into a slot as xferarray does; the header is
// returned.
RawHeader putraw(const RawContents& c, int slot, ProfileStore& store);
// Puts cached edited contents into a slot as its reader would.
void putedited(const EditedContents& c, SlotData& s);
// Replays the records of a read into a log.
void replay(const ReadRecords& records, const LogRecord& log);
