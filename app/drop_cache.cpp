// Reading drop files once per change, and handing out what was read.
#include "app/drop_cache.h"

#include <algorithm>
#include <chrono>

#include "base/atomic_file.h"

namespace {

// Linux stamps files from a clock that advances in ticks of 1 to 10 ms (the
// kernel's tick; Windows' is about 16 ms): a tenth of a second is past any
// tick with room for the slight lag of that clock. A file system that keeps
// whole seconds (ext3, HFS+, some network mounts) or two (FAT, on the USB
// sticks that carry cruises ashore) gives stamps with no fraction at all.
constexpr std::int64_t finegranularity = 100'000'000;
constexpr std::int64_t coarsegranularity = 2'000'000'000;

RawContents rawof(const RawDrop& rd, ReadRecords log) {
    RawContents c;
    c.n = rd.n;
    c.ierr = rd.ierr;
    c.label = rd.label;
    c.hdr = rd.hdr;
    const auto n = static_cast<std::size_t>(clampPoints(rd.n));
    c.depth.assign(rd.depth.begin(), rd.depth.begin() + static_cast<std::ptrdiff_t>(n));
    c.t.assign(rd.t.begin(), rd.t.begin() + static_cast<std::ptrdiff_t>(n));
    c.log = std::move(log);
    return c;
}

// The reader's slot after a read into an empty one. A damaged file is kept
// without the points before the damage: a slot that failed is neither
// drawn nor used, whatever its buffers hold.
EditedContents editedof(const SlotData& s, const EditedRead& r, ReadRecords log) {
    EditedContents c;
    c.ierr = r.ierr;
    c.failed = r.ierr != 0;
    c.nread = c.failed ? 0 : clampPoints(s.nread);
    c.label = FixedText<5>(s.ainfo.cols(1, 5));
    const auto n = static_cast<std::ptrdiff_t>(c.nread);
    c.depth.assign(s.depth.begin() + 1, s.depth.begin() + 1 + n);
    c.t.assign(s.t.begin() + 1, s.t.begin() + 1 + n);
    c.iclass.assign(s.iclass.begin() + 1, s.iclass.begin() + 1 + n);
    c.code.assign(s.code.begin() + 1, s.code.begin() + 1 + n);
    c.log = std::move(log);
    return c;
}

bool same(const RawHeader& a, const RawHeader& b) {
    return a.callsign == b.callsign && a.seasid == b.seasid && a.serial == b.serial &&
           a.manufdate == b.manufdate && a.recorder == b.recorder && a.probecode == b.probecode;
}

bool same(const RawContents& a, const RawContents& b) {
    return a.n == b.n && a.ierr == b.ierr && a.label == b.label && same(a.hdr, b.hdr) && a.depth == b.depth &&
           a.t == b.t && a.log == b.log;
}

bool same(const EditedContents& a, const EditedContents& b) {
    return a.ierr == b.ierr && a.failed == b.failed && a.nread == b.nread && a.label == b.label &&
           a.depth == b.depth && a.t == b.t && a.iclass == b.iclass && a.code == b.code && a.log == b.log;
}

bool same(const std::string& a, const std::string& b) {
    return a == b;
}

LogRecord keeper(ReadRecords& records) {
    return [&records](std::string_view label, std::string_view value) { records.emplace_back(label, value); };
}

}  // namespace

std::int64_t wallclock() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool settledstamp(const FileStamp& s, std::int64_t now) {
    if (!s.exists) return true;  // a file that appears changes the stamp
    constexpr std::int64_t second = 1'000'000'000;
    const bool whole = s.mtime % second == 0 && s.ctime % second == 0;
    const std::int64_t granularity = whole ? coarsegranularity : finegranularity;
    // A stamp ahead of the clock (another machine's, over a network) is
    // never taken as settled.
    return now - std::max(s.mtime, s.ctime) >= granularity;
}

template <class Contents>
void DropCache::store(Entry<Contents>& e, const FileStamp& before, std::shared_ptr<const Contents> fresh) {
    ++reads_;
    e.stamp = before;
    e.settled = settledstamp(before, clock_());
    if (!e.contents || !same(*e.contents, *fresh)) e.contents = std::move(fresh);
}

std::shared_ptr<const RawContents> DropCache::raw(const std::string& path, int prefixLength, float a,
                                                  float b) {
    Entry<RawContents>& e = raw_[path];
    // Stamped before the read, so that a change during it reads as a change.
    const FileStamp now = stampof(path);
    if (current(e, now) && e.prefixLength == prefixLength && e.a == a && e.b == b) return e.contents;
    e.prefixLength = prefixLength;
    e.a = a;
    e.b = b;
    ReadRecords log;
    // Two profiles' worth: not for the stack.
    const auto rd = std::make_unique<RawDrop>(rddropfix(FileName(path), prefixLength, a, b, keeper(log)));
    store(e, now, std::make_shared<const RawContents>(rawof(*rd, std::move(log))));
    return e.contents;
}

std::shared_ptr<const EditedContents> DropCache::edited(const std::string& path, int prefixLength,
                                                        EditedLayout layout) {
    Entry<EditedContents>& e = edited_[path];
    const FileStamp now = stampof(path);
    if (current(e, now) && e.prefixLength == prefixLength && e.layout == layout) return e.contents;
    e.prefixLength = prefixLength;
    e.layout = layout;
    ReadRecords log;
    const auto s = std::make_unique<SlotData>();  // a slot's worth: not for the stack
    const EditedRead r = layout == EditedLayout::Full
                             ? rdq(FileName(path), *s, prefixLength)
                             : winrdfl(FileName(path), *s, prefixLength, keeper(log));
    store(e, now, std::make_shared<const EditedContents>(editedof(*s, r, std::move(log))));
    return e.contents;
}

std::shared_ptr<const std::string> DropCache::head(const std::string& path, std::size_t maxBytes) {
    Entry<std::string>& e = head_[path];
    const FileStamp now = stampof(path);
    if (current(e, now) && e.maxBytes == maxBytes) return e.contents;
    e.maxBytes = maxBytes;
    std::string bytes;
    if (!readFileBytes(path, bytes, maxBytes)) bytes.clear();
    store(e, now, std::make_shared<const std::string>(std::move(bytes)));
    return e.contents;
}

RawHeader putraw(const RawContents& c, int slot, ProfileStore& store) {
    xferarray(c.depth, c.t, c.n, c.label, slot, store);
    return c.hdr;
}

void putedited(const EditedContents& c, SlotData& s) {
    for (std::size_t i = 0; i < c.depth.size(); ++i) {
        s.depth[i + 1] = c.depth[i];
        s.t[i + 1] = c.t[i];
        s.iclass[i + 1] = c.iclass[i];
        s.code[i + 1] = c.code[i];
    }
    if (c.failed) {
        s.ainfo.putField(1, 5, c.label.view());
    } else {
        s.nread = c.nread;
        s.ainfo = SlotLabel(c.label.view());
    }
}

void replay(const ReadRecords& records, const LogRecord& log) {
    for (const auto& [label, value] : records) logRecord(log, label, value);
}
