// Files replaced so that a crash leaves either the old bytes or the new ones,
// never a mixture; whole files read with a bound; bytes split into lines.
#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

WriteResult failure(const std::string& what) {
    return WriteResult{false, what + ": " + std::strerror(errno)};
}

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The file that path names once symbolic links are followed: replacing the
// link itself would leave the file it points at without the new bytes.
std::string followLinks(const std::string& path) {
    std::string p = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::string target(4096, '\0');
        const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return p;
        target.resize(static_cast<std::size_t>(n));
        p = target.front() == '/' ? target : directoryOf(p) + "/" + target;
    }
    return p;
}

// Gives the new file the mode and group of the file it replaces, so that a
// cruise shared by a group stays writable for the others; a new file gets
// what an ordinary create would give.
void copyOwnership(int fd, const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // Not every user may give a file every group; the permissions are
        // kept even then, but not a set-group-ID bit meant for another group.
        const bool grouped = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0;
        ::fchmod(fd, st.st_mode & (grouped ? 07777 : 0777));
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

void flushDirectory(const std::string& directory) {
    const int dfd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

void syncDirectory(const std::string& path) {
    flushDirectory(directoryOf(path));
}

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Old runs named their temporary files "<name>.tmp-XXXXXX", beside the
// cruise files and matching their globs.
bool isOldTemporaryName(std::string_view name) {
    const auto dash = name.rfind(".tmp-");
    if (dash == std::string_view::npos || dash == 0 || name.size() - dash != 11) return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dash) + 5, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// What a file that is not a regular one is, for the operator's message.
std::string kindOf(mode_t mode) {
    if (S_ISLNK(mode)) return "a symbolic link, which Dropfix does not follow for its own files";
    if (S_ISDIR(mode)) return "a directory, not a regular file";
    if (S_ISFIFO(mode)) return "a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a regular file";
    if (S_ISSOCK(mode)) return "a socket, not a regular file";
    return "not a regular file";
}

}  // namespace

bool isTemporaryName(std::string_view name) {
    const bool current =
        name.size() > temporarySuffix.size() + 8 && name.front() == '.' && endsWith(name, temporarySuffix);
    return current || isOldTemporaryName(name);
}

std::vector<std::string> removeTemporaryFiles(const std::string& directory,
                                              const std::function<bool(std::string_view)>& ownFile) {
    std::vector<std::string> removed;
    DIR* d = ::opendir(directory.c_str());
    if (!d) return removed;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!isTemporaryName(name)) continue;
        if (isOldTemporaryName(name) && !ownFile(std::string_view(name).substr(0, name.rfind(".tmp-"))))
            continue;
        const std::string path = directory + (directory.ends_with('/') ? "" : "/") + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) {
            removed.push_back(path);
        }
    }
    ::closedir(d);
    return removed;
}

WriteResult replaceFileAtomically(const std::string& path, std::string_view bytes) {
    return replaceFilesAtomically({FileReplacement{path, bytes}});
}

WriteResult replaceFilesAtomically(const std::vector<FileReplacement>& files, std::size_t* failed) {
    struct Pending {
        std::string target, tmp;
    };
    std::vector<Pending> pending(files.size());
    std::size_t written = 0;  // temporary files that exist
    auto abandon = [&](std::size_t index, const WriteResult& why) {
        for (std::size_t k = 0; k < written; ++k)
            if (!pending[k].tmp.empty()) ::unlink(pending[k].tmp.c_str());
        if (failed) *failed = index;
        return why;
    };
    // A plain overwrite of a file the user may not write fails; replacing it
    // by a rename would succeed without a word. Every target is checked first
    // so that a refusal leaves all of them as they were.
    for (std::size_t k = 0; k < files.size(); ++k) {
        pending[k].target = followLinks(files[k].path);
        const char* t = pending[k].target.c_str();
        if (::access(t, F_OK) == 0 && ::faccessat(AT_FDCWD, t, W_OK, AT_EACCESS) != 0)
            return abandon(k, failure("cannot write " + files[k].path));
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::string& path = files[k].path;
        const std::string& target = pending[k].target;
        std::string tmp =
            directoryOf(target) + "/." + fileNameOf(target) + ".XXXXXX" + std::string(temporarySuffix);
        const int fd = ::mkstemps(tmp.data(), static_cast<int>(temporarySuffix.size()));
        if (fd < 0) return abandon(k, failure("cannot create a temporary file beside " + path));
        pending[k].tmp = std::move(tmp);
        ++written;
        copyOwnership(fd, target);
        auto closeAndAbandon = [&](const std::string& what) {
            const WriteResult r = failure(what);
            ::close(fd);
            return abandon(k, r);
        };
        if (!writeAll(fd, files[k].bytes)) return closeAndAbandon("cannot write " + path);
        // A full fsync: fdatasync would skip only the file times, and for a
        // new file on ext4 both wait for the same journal commit, so it saves
        // nothing.
        if (::fsync(fd) != 0) return closeAndAbandon("cannot flush " + path);
        if (::close(fd) != 0) return abandon(k, failure("cannot close " + path));
    }
    // The renames themselves must reach the disk too, once per directory.
    std::vector<std::string> directories;
    auto flushRenamed = [&] {
        for (const std::string& dir : directories) flushDirectory(dir);
    };
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (::rename(pending[k].tmp.c_str(), pending[k].target.c_str()) != 0) {
            const WriteResult r = failure("cannot replace " + files[k].path);
            for (std::size_t j = 0; j < k; ++j) pending[j].tmp.clear();  // already in place
            flushRenamed();
            return abandon(k, r);
        }
        std::string dir = directoryOf(pending[k].target);
        if (std::find(directories.begin(), directories.end(), dir) == directories.end())
            directories.push_back(std::move(dir));
    }
    flushRenamed();
    return {};
}

WriteResult appendFileSynced(const std::string& path, std::string_view bytes, Links links) {
    const bool isNew = ::access(path.c_str(), F_OK) != 0;
    ReadResult why;
    const int fd = openRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, links, why);
    if (fd < 0) return WriteResult{false, why.reason};
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        WriteResult r = failure("cannot write " + path);
        ::close(fd);
        return r;
    }
    if (::close(fd) != 0) return failure("cannot close " + path);
    if (isNew) syncDirectory(path);
    return {};
}

int openRegularFile(const std::string& path, int flags, Links links, ReadResult& why, unsigned mode) {
    const int nofollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | nofollow, static_cast<mode_t>(mode));
    const int openErrno = errno;
    struct stat st {};
    const bool statted =
        fd >= 0 ? ::fstat(fd, &st) == 0
                : (links == Links::Refuse ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st)) == 0;
    if (statted && !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        why = ReadResult{false, false, path + " is " + kindOf(st.st_mode), true};
        return -1;
    }
    if (fd < 0) {
        why = ReadResult{false, openErrno == ENOENT, "cannot open " + path + ": " + std::strerror(openErrno)};
        return -1;
    }
    // Reading a regular file never waits; taking the flag away keeps the
    // reads and writes from failing with EAGAIN on file systems that mind it.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

ReadResult readRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes, Links links) {
    bytes.clear();
    ReadResult result;
    const int fd = openRegularFile(path, O_RDONLY, links, result);
    if (fd < 0) return result;
    std::vector<char> buf(std::min<std::size_t>(65536, std::max<std::size_t>(maxBytes, 1)));
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(buf.size(), maxBytes - bytes.size());
        const ssize_t n = ::read(fd, buf.data(), want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result = ReadResult{false, false, "cannot read " + path + ": " + std::strerror(errno)};
            break;
        }
        if (n == 0) break;
        bytes.append(buf.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return result;
}

bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    return readRegularFile(path, bytes, maxBytes).ok;
}

std::optional<ReadResult> unreadable(const std::string& path) {
    std::string none;
    ReadResult r = readRegularFile(path, none, 0);
    if (r) return std::nullopt;
    return r;
}

bool LineReader::next(std::string_view& line) {
    if (rest_.empty()) return false;
    // Files written on old Macs end their lines with a lone CR; read as one
    // line, such a station list would lose every drop but the first.
    // Two searches for one character each: find_first_of would search its
    // set once per character of the line.
    const char* data = rest_.data();
    const auto* nl = static_cast<const char*>(std::memchr(data, '\n', rest_.size()));
    std::size_t end = nl ? static_cast<std::size_t>(nl - data) : rest_.size();
    if (const auto* cr = static_cast<const char*>(std::memchr(data, '\r', end)))
        end = static_cast<std::size_t>(cr - data);
    if (end == rest_.size()) {
        line = rest_;
        rest_ = {};
        return true;
    }
    line = rest_.substr(0, end);
    const bool crlf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
    rest_.remove_prefix(end + (crlf ? 2 : 1));
    return true;
}
