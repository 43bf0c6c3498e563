// Writing and flushing the logs.
#include "app/log.h"

Log Log::memory() {
    Log log;
    log.memory_ = true;
    return log;
}

bool Log::open(const std::string& path) {
    close();
    file_.reset(std::fopen(path.c_str(), "w"));
    return file_ != nullptr;
}

void Log::close() {
    file_.reset();
    memory_ = false;
}

void Log::write(std::string_view line) {
    if (memory_) {
        text_.append(line);
        text_ += '\n';
    }
    if (file_) {
        std::fwrite(line.data(), 1, line.size(), file_.get());
        std::fputc('\n', file_.get());
    }
}

void Log::flush() {
    if (file_) std::fflush(file_.get());
}
