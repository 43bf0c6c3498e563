// The rows of the cruise overview: one for each drop of the station list,
// with the drop's station fields, its status, its edited files, how deep its
// raw profile reaches and its findings. The raw profiles cost the most to
// read, so each is read once and again only when its file changes; the rows
// follow the station table as drops are written.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/cruise_check.h"
#include "app/drop_cache.h"
#include "app/drop_files.h"
#include "app/stations.h"
#include "profile/rawdrop.h"
#include "toolkit/panel.h"

// What was last taken from one drop's files.
struct OverviewFiles {
    std::string path;                        // the raw file the entry belongs to (the cruise may change)
    std::shared_ptr<const RawContents> raw;  // as the cache gave it
    std::string deepest;                     // depth of the raw profile's deepest point, metres
};

struct Overview {
    std::array<OverviewFiles, nstamax + 1> drop{};  // by drop number
    std::vector<int> order;  // the drop shown in each row, from row 1; by number unless sorted
    int marked = 0;
    int rawreads = 0;  // raw profiles taken in so far (the benchmark and tests watch it)
};

enum class OverviewColumn {
    Drop,
    Date,
    Time,
    Latitude,
    Longitude,
    Status,
    QFile,
    EFile,
    Code,
    Deepest,
    Findings,
    Count
};

// The titles of the columns, in the order of OverviewColumn.
std::vector<std::string> overviewtitles();

// The deepest point of a raw profile as the overview shows it, in metres
// with one decimal; blank when the file gave no point.
std::string deepesttext(const RawContents& rd);

// "not edited", "accepted", "bad", "test probe"; any other status as its number.
std::string statusword(int istatus);
// "12 of 20 edited: 9 accepted, 2 bad, 1 test probe".
std::string overviewheading(const StationTable& table);
// The row of one drop (1..nlines) up to its findings, reading only files
// that changed.
PanelCells overviewrow(Overview& ov, DropCache& cache, const StationTable& table, const DropFiles& files,
                       int drop);
// The overview's findings cell of a drop: its findings' tags.
std::string findingscell(const CheckParts& c, int drop);
// The whole row of a drop, findings included; empty for a drop off the list.
PanelCells overviewcells(Overview& ov, const CheckParts& c, int drop);
// The rows of the panel in the order they are shown: by drop number, or with
// the drops whose findings are worst first (S).
std::vector<int> overvieworder(const CheckParts& c);
// The row (from 1) that shows a drop; 0 when none does.
int overviewrowof(const Overview& ov, int drop);
