// One editor per cruise: an exclusive advisory lock on a hidden file in the
// cruise directory, held for the whole run, with a record inside that says
// who holds it. Two editors on one cruise would undo each other's statuses,
// delete each other's temporary files and replay each other's journal.
#pragma once
#include <string>
#include <string_view>

// The lock file's name: hidden, so that no glob of the cruise's files and no
// listing of its drops sees it.
inline constexpr std::string_view lockFileName = ".dropfix.lock";

// Who holds (or last held) a cruise, as its record says.
struct LockHolder {
    std::string host;
    long pid = 0;
    std::string since;  // "2026-12-11 13:55 UTC"
    bool known() const { return pid > 0; }
};

struct LockAttempt {
    enum class Result {
        Taken,      // the cruise is ours
        TakenOver,  // ours, from a run that no longer exists (holder says which)
        Held,       // another editor holds it (holder says which, when it could be read)
        Unlocked,   // no lock file can be made here (a read-only cruise): the run goes on without
        Refused,    // the lock file's place holds a link or something not a file (why says which)
    };
    Result result = Result::Taken;
    LockHolder holder;
    bool advisory = true;  // false where the file system has no locks: the record alone decides
    std::string why;
};

class CruiseLock {
public:
    CruiseLock() = default;
    CruiseLock(const CruiseLock&) = delete;
    CruiseLock& operator=(const CruiseLock&) = delete;
    ~CruiseLock() { release(); }

    // Takes the lock of directory, first letting go of one held elsewhere.
    // Nothing is done when this directory's lock is held already.
    LockAttempt take(const std::string& directory);
    // Removes the lock file and lets go of the lock.
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::string directory_, path_;
};

// The record written into the lock file for this process.
std::string lockRecord();
// The record's fields, from any bytes; nothing known when they hold none.
LockHolder parseLockRecord(std::string_view bytes);

// The box shown by an editor that finds its cruise held.
std::string heldMessage(const LockAttempt& a);
// The log record of a takeover.
std::string takeoverRecord(const LockHolder& h);
