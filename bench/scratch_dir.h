// A fresh temporary directory for a benchmark program, removed when the
// program ends so that repeated runs leave nothing behind.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "base/atomic_file.h"

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

// A cruise of ndrops drops in a new scratch directory: control.dat naming
// the cruise, the station list of stationline(k) (without its line end) and
// ENDDATA, and the raw file rawfile(k) of every drop.
inline std::filesystem::path makeCruise(const char* prefix, const std::string& name, int ndrops,
                                        const std::function<std::string(int)>& stationline,
                                        const std::function<std::string(int)>& rawfile) {
    const std::filesystem::path d = makeScratchDir(prefix);
    replaceFileAtomically((d / "control.dat").string(), "Ship Name =Bench\nCruise Name =" + name +
                                                            "\nMax Plot  Temp = 30\nMin Plot Temp = 0\n");
    std::string list;
    for (int k = 1; k <= ndrops; ++k) {
        list += stationline(k) + "\n";
        char raw[24];
        std::snprintf(raw, sizeof raw, "r_%03d.KTD", k);
        replaceFileAtomically((d / (name + raw)).string(), rawfile(k));
    }
    replaceFileAtomically((d / "stations.dat").string(), list + "ENDDATA\n");
    return d;
}

}  // namespace bench
