// The cruise lock within one process: its record, read back from any bytes,
// and a second lock on a held directory.
#include "app/cruise_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app_fixture.h"

namespace {

class CruiseLockTest : public AppTest {};

TEST_F(CruiseLockTest, ARecordReadsBackAndGarbageNamesNoHolder) {
    const LockHolder mine = parseLockRecord(lockRecord());
    EXPECT_EQ(mine.pid, ::getpid());
    EXPECT_FALSE(mine.host.empty());
    EXPECT_EQ(mine.since.size(), std::string("2026-12-11 13:55 UTC").size());
    for (const std::string bytes : {"", "host=x pid=12a since=now", "pid=99999999999999999999", "\x01\x02"})
        EXPECT_FALSE(parseLockRecord(bytes).known()) << bytes;
    EXPECT_EQ(parseLockRecord("host=a\x07z pid=7 since=then\n").host, "a?z");
}

TEST_F(CruiseLockTest, AHeldCruiseIsRefusedAndAReleasedOneLeavesNoFile) {
    CruiseLock first, second;
    EXPECT_EQ(first.take(root.string()).result, LockAttempt::Result::Taken);
    const LockAttempt a = second.take(root.string());
    EXPECT_EQ(a.result, LockAttempt::Result::Held);
    EXPECT_EQ(a.holder.pid, ::getpid());
    first.release();
    EXPECT_FALSE(std::filesystem::exists(root / ".dropfix.lock"));
    EXPECT_EQ(second.take(root.string()).result, LockAttempt::Result::Taken);
}

}  // namespace
