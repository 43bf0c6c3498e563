// A fresh temporary directory for a benchmark program, removed when the
// program ends so that repeated runs leave nothing behind.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

inline char scratchToRemove[4096];

inline void removeScratch() {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(scratchToRemove), ec);
}

// Makes the directory once per program; prefix names it in the temporary directory.
inline std::filesystem::path makeScratchDir(const char* prefix) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    std::snprintf(scratchToRemove, sizeof scratchToRemove, "%s", tmpl.c_str());
    std::atexit(removeScratch);
    return std::filesystem::path(tmpl);
}

}  // namespace bench
