// Building the drop-file names, moving the drop digits within them, and
// the stamps of files.
#include "app/drop_files.h"

#include <cstdio>

#ifdef _WIN32
#include <chrono>
#include <filesystem>
#else
#include <sys/stat.h>
#endif

std::string dropDigits(int drop) {
    if (drop < 0 || drop > 999) drop = 0;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%03d", drop);
    return buf;
}

void putDropDigits(DropFiles& files, DropSlot slot, std::string_view digits) {
    const auto col = static_cast<std::size_t>(files.len_f1) + 3;
    const std::string_view d = digits.substr(0, 3);
    switch (slot) {
        case DropSlot::Previous:
            files.f1r.putField(col, col + 2, d);
            files.f1q.putField(col, col + 2, d);
            break;
        case DropSlot::Current:
            files.f2r.putField(col, col + 2, d);
            files.f2q.putField(col, col + 2, d);
            break;
        case DropSlot::Next:
            files.f3r.putField(col, col + 2, d);
            files.f3q.putField(col, col + 2, d);
            break;
    }
}

void blankDropFiles(DropFiles& files) {
    for (PathText* p : {&files.f1q, &files.f2q, &files.f3q, &files.f2r, &files.f3r}) p->blank();
}

PathCheck buildTemplates(DropFiles& files, int len_dirpath, const FixedText<13>& acruise, int len_acruise) {
    const int len_f1 = len_dirpath + len_acruise;
    const std::string_view name = acruise.cols(1, static_cast<std::size_t>(len_acruise));
    if (len_f1 + 9 > pathmax) {
        return TooLong{std::string(files.f1r.cols(1, static_cast<std::size_t>(len_dirpath))) +
                       std::string(name) + "r_001.KTD"};
    }
    files.len_f1 = len_f1;
    const auto at = static_cast<std::size_t>(len_f1);
    files.f1r.blank(static_cast<std::size_t>(len_dirpath) + 1);
    files.f1r.put(static_cast<std::size_t>(len_dirpath) + 1, name);
    files.f1r.put(at + 1, "r_001.KTD");
    files.f2r = files.f1r;
    files.f3r = files.f1r;
    files.f1q.blank();
    files.f1q.put(1, files.f1r.cols(1, at + 5));
    files.f1q.put(at + 1, "q.");
    files.f2q = files.f1q;
    files.f3q = files.f1q;
    return std::nullopt;
}

std::string dropfile(const DropFiles& files, std::string_view kind, int drop, std::string_view suffix) {
    return std::string(files.f1r.cols(1, static_cast<std::size_t>(files.len_f1))) + std::string(kind) +
           dropDigits(drop) + std::string(suffix);
}

#ifdef _WIN32
FileStamp stampof(const std::string& path) {
    // No inode and no change time here: the modification time stands for
    // both, and a file read while it is young is read again.
    std::error_code ec;
    const auto when = std::filesystem::last_write_time(path, ec);
    if (ec) return {};
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return {};
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::clock_cast<std::chrono::system_clock>(when).time_since_epoch());
    return FileStamp{true, static_cast<std::int64_t>(size), ns.count(), ns.count(), 0, 0};
}
#else
FileStamp stampof(const std::string& path) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) return {};
    const auto ns = [](const timespec& t) { return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
    return FileStamp{true,
                     static_cast<std::int64_t>(s.st_size),
                     ns(s.st_mtim),
                     ns(s.st_ctim),
                     std::uint64_t(s.st_ino),
                     std::uint64_t(s.st_dev)};
}
#endif
