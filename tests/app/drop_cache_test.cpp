// The cache of drop files: a rewrite is seen however it keeps the file's
// size and time, a file read while its stamp is young is read again, and an
// unchanged file is read once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/drop_cache.h"
#include "app_fixture.h"

namespace {

class DropCacheTest : public AppTest {
protected:
    // A raw file of four samples, all at temperature t (thousandths of a degree).
    static std::string rawfile(int t) {
        const std::string s = std::to_string(t);
        return "XBT: 4\n" + s + s + s + s + "\n";
    }
    std::string path() const { return (root / "CRUISEr_001.KTD").string(); }
    float firstt(DropCache& cache) const {
        const auto c = cache.raw(path(), int(root.string().size()) + 7, fallrateA, fallrateB);
        return c->t.empty() ? -1 : c->t[0];
    }
    // Sets the file's modification time back to what a stamp recorded.
    static void settime(const std::string& p, const FileStamp& s) {
        const timespec t{static_cast<time_t>(s.mtime / 1'000'000'000),
                         static_cast<long>(s.mtime % 1'000'000'000)};
        const timespec both[2] = {t, t};
        ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), both, 0), 0);
    }
};

// Renamed over, the file is another inode: seen even by a cache that takes
// every stamp as settled. Rewritten in place, its change time moves on, or
// when the rewrite falls in the tick of the first write, the first read was
// made while the stamp was young: seen either way, with the real clock.
TEST_F(DropCacheTest, ARewriteOfTheSameSizeThatKeepsItsTimeIsSeen) {
    enum class Way { InPlace, RenamedOver };
    for (Way way : {Way::InPlace, Way::RenamedOver}) {
        write(path(), rawfile(15000));
        DropCache cache = way == Way::InPlace ? DropCache() : DropCache([] { return INT64_MAX / 2; });
        EXPECT_FLOAT_EQ(firstt(cache), 15.0f);
        const FileStamp before = stampof(path());
        if (way == Way::InPlace) {
            write(path(), rawfile(12000));
            settime(path(), before);
        } else {
            const std::string other = path() + ".new";
            write(other, rawfile(12000));
            settime(other, before);
            std::filesystem::rename(other, path());
        }
        const FileStamp after = stampof(path());
        ASSERT_EQ(after.size, before.size);
        ASSERT_EQ(after.mtime, before.mtime);
        EXPECT_FLOAT_EQ(firstt(cache), 12.0f) << (way == Way::InPlace ? "in place" : "renamed over");
    }
}

TEST_F(DropCacheTest, AFileReadWhileItsStampIsYoungIsReadAgainUntilItIsSettled) {
    write(path(), rawfile(15000));
    const FileStamp s = stampof(path());
    std::int64_t now = s.ctime;  // as if read in the tick of the last write
    DropCache cache([&now] { return now; });
    const auto first = cache.raw(path(), 0, fallrateA, fallrateB);
    const auto second = cache.raw(path(), 0, fallrateA, fallrateB);
    EXPECT_EQ(cache.reads(), 2) << "a young stamp is no proof that the file is unchanged";
    EXPECT_EQ(first, second) << "the same contents read again are handed out as before";
    now = s.ctime + 3'000'000'000;
    cache.raw(path(), 0, fallrateA, fallrateB);
    cache.raw(path(), 0, fallrateA, fallrateB);
    EXPECT_EQ(cache.reads(), 3) << "read once more after it settled, then kept";
    cache.raw(path(), 1, fallrateA, fallrateB);
    EXPECT_EQ(cache.reads(), 4) << "read again for another name prefix";
}

TEST(SettledStamp, TrustsAStampOnceItsGranularityHasPassed) {
    constexpr std::int64_t ms = 1'000'000, s = 1000 * ms;
    const std::int64_t fine = 1'700'000'000 * s + 123 * ms, whole = 1'700'000'000 * s;
    const auto stamp = [](std::int64_t mtime, std::int64_t ctime) {
        return FileStamp{true, 10, mtime, ctime, 1, 1};
    };
    const struct {
        FileStamp stamp;
        std::int64_t now;
        bool settled;
    } cases[] = {
        {stamp(fine, fine), fine + 50 * ms, false},  // within a tenth of a second
        {stamp(fine, fine), fine + 150 * ms, true},
        {stamp(fine - s, fine), fine + 50 * ms, false},   // the change time counts, not only the modification
        {stamp(whole, whole), whole + 1500 * ms, false},  // whole seconds: FAT keeps two
        {stamp(whole, whole), whole + 2500 * ms, true},
        {stamp(fine, fine), fine - 10 * s, false},  // a stamp from ahead of this clock
        {FileStamp{}, 0, true},                     // no file: one that appears changes the stamp
    };
    for (const auto& c : cases)
        EXPECT_EQ(settledstamp(c.stamp, c.now), c.settled) << c.stamp.mtime << " at " << c.now;
}

}  // namespace
