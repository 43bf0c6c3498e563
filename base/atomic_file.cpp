// Files replaced so that a crash leaves either the old bytes or the new ones,
// never a mixture; whole files read with a bound; bytes split into lines.
#include "base/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

WriteResult failure(const std::string& what) {
    return WriteResult{false, what + ": " + std::strerror(errno)};
}

}  // namespace

WriteResult replaceFileAtomically(const std::string& path, std::string_view bytes) {
    std::string tmpl = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return failure("cannot create a temporary file beside " + path);
    // A new file keeps the permissions that an ordinary create would give.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            WriteResult r = failure("cannot write " + path);
            ::close(fd);
            ::unlink(tmpl.c_str());
            return r;
        }
        done += static_cast<std::size_t>(n);
    }
    // A full fsync: fdatasync would skip only the file times, and for a new
    // file on ext4 both wait for the same journal commit, so it saves nothing.
    if (::fsync(fd) != 0) {
        WriteResult r = failure("cannot flush " + path);
        ::close(fd);
        ::unlink(tmpl.c_str());
        return r;
    }
    if (::close(fd) != 0) {
        WriteResult r = failure("cannot close " + path);
        ::unlink(tmpl.c_str());
        return r;
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        WriteResult r = failure("cannot replace " + path);
        ::unlink(tmpl.c_str());
        return r;
    }
    // The rename itself must reach the disk too.
    const int dfd = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return {};
}

bool readFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    bytes.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[65536];
    bool ok = true;
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(sizeof buf, maxBytes - bytes.size());
        const std::size_t n = std::fread(buf, 1, want, f);
        bytes.append(buf, n);
        if (n < want) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    return ok;
}

bool LineReader::next(std::string_view& line) {
    if (rest_.empty()) return false;
    const auto nl = rest_.find('\n');
    if (nl == std::string_view::npos) {
        line = rest_;
        rest_ = {};
    } else {
        line = rest_.substr(0, nl);
        rest_ = rest_.substr(nl + 1);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}
