// Taking, checking and letting go of the cruise lock.
#include "app/cruise_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <string>

#include "base/atomic_file.h"

namespace {

std::string thisHost() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "unknown";
    return name;
}

// A record comes from a file anyone may have written: it reaches a message
// box only as short printable text.
std::string printable(std::string_view s) {
    std::string out;
    for (char c : s.substr(0, 64)) {
        const auto u = static_cast<unsigned char>(c);
        out += u >= 0x20 && u < 0x7f ? c : '?';
    }
    return out;
}

std::string field(std::string_view line, std::string_view key, std::string_view end) {
    const auto at = line.find(key);
    if (at == std::string_view::npos) return {};
    const std::string_view rest = line.substr(at + key.size());
    return printable(rest.substr(0, end.empty() ? rest.size() : rest.find(end)));
}

// Whether the process of a record on this host still runs. Only this host's
// processes can be asked; a holder elsewhere counts as running.
bool gone(const LockHolder& h) {
    return h.known() && h.host == thisHost() && ::kill(static_cast<pid_t>(h.pid), 0) != 0 && errno == ESRCH;
}

bool sameFile(int fd, const std::string& path) {
    struct stat a {
    }, b{};
    return ::fstat(fd, &a) == 0 && ::lstat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

LockHolder readHolder(int fd) {
    std::string bytes(512, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return parseLockRecord(bytes);
}

bool writeRecord(int fd) {
    const std::string r = lockRecord();
    return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, r.data(), r.size(), 0) == static_cast<ssize_t>(r.size()) &&
           ::fsync(fd) == 0;
}

LockAttempt ours(const LockHolder& before, bool advisory) {
    LockAttempt a;
    a.result = before.known() ? LockAttempt::Result::TakenOver : LockAttempt::Result::Taken;
    a.holder = before;
    a.advisory = advisory;
    return a;
}

LockAttempt heldby(const LockHolder& h, bool advisory) {
    LockAttempt a;
    a.result = LockAttempt::Result::Held;
    a.holder = h;
    a.advisory = advisory;
    return a;
}

}  // namespace

std::string lockRecord() {
    char since[32] = "unknown time";
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (::gmtime_r(&now, &utc)) std::strftime(since, sizeof since, "%Y-%m-%d %H:%M UTC", &utc);
    return "host=" + thisHost() + " pid=" + std::to_string(::getpid()) + " since=" + since + "\n";
}

LockHolder parseLockRecord(std::string_view bytes) {
    const std::string_view line = bytes.substr(0, bytes.find('\n'));
    LockHolder h;
    h.host = field(line, "host=", " ");
    h.since = field(line, " since=", "");
    const std::string pid = field(line, " pid=", " ");
    long v = 0;
    for (char c : pid) {
        if (c < '0' || c > '9' || v > 100000000) return LockHolder{};
        v = v * 10 + (c - '0');
    }
    h.pid = v;
    if (!h.known()) return LockHolder{};
    return h;
}

LockAttempt CruiseLock::take(const std::string& directory) {
    if (held() && directory == directory_) return LockAttempt{};
    release();
    const std::string path = directory + (directory.ends_with('/') ? "" : "/") + std::string(lockFileName);
    const auto adopt = [this, &directory, &path](int fd, const LockHolder& before, bool advisory) {
        writeRecord(fd);
        fd_ = fd;
        directory_ = directory;
        path_ = path;
        return ours(before, advisory);
    };
    // A few rounds: the file may be removed by its holder, or replaced by a
    // takeover, between our open and our lock.
    for (int round = 0; round < 5; ++round) {
        ReadResult why;
        const int fd = openRegularFile(path, O_RDWR | O_CREAT, Links::Refuse, why, 0666);
        if (fd < 0) {
            LockAttempt a;
            a.result = why.notRegular ? LockAttempt::Result::Refused : LockAttempt::Result::Unlocked;
            a.why = why.reason;
            return a;
        }
        const LockHolder before = readHolder(fd);
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (!sameFile(fd, path)) {
                ::close(fd);
                continue;
            }
            return adopt(fd, before, true);
        }
        if (errno == EWOULDBLOCK) {
            // A lock kept for a process that is gone (a network drive's lock
            // server may keep one): a fresh file takes its place.
            if (gone(before) && sameFile(fd, path)) {
                ::unlink(path.c_str());
                ::close(fd);
                continue;
            }
            ::close(fd);
            return heldby(before, true);
        }
        // This file system has no locks: the record alone tells.
        if (before.known() && !gone(before) && before.pid != ::getpid()) {
            ::close(fd);
            return heldby(before, false);
        }
        return adopt(fd, before, false);
    }
    LockAttempt a;
    a.result = LockAttempt::Result::Unlocked;
    return a;
}

void CruiseLock::release() {
    if (fd_ < 0) return;
    // A takeover may have put another editor's file in its place.
    if (sameFile(fd_, path_)) ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    directory_.clear();
    path_.clear();
}

std::string heldMessage(const LockAttempt& a) {
    const LockHolder& h = a.holder;
    std::string m = "This cruise is open in another Dropfix";
    if (h.known())
        m += " (host " + h.host + ", process " + std::to_string(h.pid) + ", since " + h.since + ")";
    m += "; this one ends without changing any file";
    if (!a.advisory)
        m += ". This drive keeps no locks: if that editor no longer runs, delete " +
             std::string(lockFileName) + " in the cruise directory";
    return m;
}

std::string takeoverRecord(const LockHolder& h) {
    return "cruise lock taken over from host " + h.host + ", process " + std::to_string(h.pid) + ", since " +
           h.since + ": that editor no longer runs";
}
