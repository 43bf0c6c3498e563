// Writing and flushing the logs.
#include "app/log.h"

#include <fcntl.h>
#include <unistd.h>

#include "base/atomic_file.h"
#include "toolkit/toolkit.h"

namespace {

std::FILE* openLog(const std::string& path, int flags, std::string* why) {
    ReadResult r;
    const int fd = openRegularFile(path, O_WRONLY | O_CREAT | flags, Links::Refuse, r);
    if (fd < 0) {
        if (why) *why = r.reason;
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "w");
    if (!f) ::close(fd);
    return f;
}

}  // namespace

Log Log::memory() {
    Log log;
    log.memory_ = true;
    return log;
}

bool Log::open(const std::string& path, std::string* why) {
    close();
    file_.reset(openLog(path, O_TRUNC, why));
    return file_ != nullptr;
}

bool Log::openHeld(const std::string& path, std::string* why) {
    close();
    file_.reset(openLog(path, 0, why));
    held_ = file_ != nullptr;
    return held_;
}

void Log::release() {
    if (!held_) return;
    held_ = false;
    if (::ftruncate(::fileno(file_.get()), 0) == 0) std::fwrite(text_.data(), 1, text_.size(), file_.get());
    text_.clear();
    flush();
}

void Log::close() {
    file_.reset();
    memory_ = false;
    if (held_) text_.clear();
    held_ = false;
}

void Log::write(std::string_view line) {
    if (held_ || memory_) {
        text_.append(line);
        text_ += '\n';
    }
    // A held log's records wait for release.
    if (file_ && !held_) {
        std::fwrite(line.data(), 1, line.size(), file_.get());
        std::fputc('\n', file_.get());
    }
}

void Log::flush() {
    if (file_) std::fflush(file_.get());
}

void reporterror(Log& log, std::string_view record, std::string_view message) {
    log.record(record);
    log.flush();
    WMessageBox(0, 3, 1, message, "Error Info");
}
