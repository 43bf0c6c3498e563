// The cruise overview: one row for each drop of the station list, shown in
// the panel beside the plot, with the drop's station fields, its status, its
// edited files and how deep its raw profile reaches. The raw profiles cost
// the most to read, so each is read once and again only when its file
// changes; the rows follow the station table as drops are written.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/drop_files.h"
#include "app/outcome.h"
#include "app/stations.h"
#include "profile/rawdrop.h"
#include "toolkit/panel.h"
#include "toolkit/toolkit.h"

struct State;

// What tells that a file has changed: its size and modification time.
struct FileStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t mtime = 0;
    bool operator==(const FileStamp&) const = default;
};

// The deepest point of a raw profile as the overview shows it, in metres
// with one decimal; blank when the file gave no point.
std::string deepesttext(const RawDrop& rd);

// The stamp of a file now; exists is false when it cannot be seen.
FileStamp stampof(const std::string& path);
// The name of one of a drop's files: the cruise prefix, the kind ("r_", "q.",
// "e."), the drop digits and the suffix (".KTD" for the raw file).
std::string dropfile(const DropFiles& files, std::string_view kind, int drop, std::string_view suffix = {});

// What was last read from one drop's files, with the stamps it was read at.
struct OverviewFiles {
    std::string path;  // the raw file the entry belongs to (the cruise may change)
    FileStamp raw, edited;
    std::string deepest;  // depth of the raw profile's deepest point, metres
    std::string code;     // code at point 1 of the edited file
};

struct Overview {
    std::array<OverviewFiles, nstamax + 1> drop{};  // by drop number
    std::vector<int> order;  // the drop shown in each row, from row 1; by number unless sorted
    int marked = 0;
    int rawreads = 0;  // raw files read so far (the benchmark and tests watch it)
};

// A raw file read elsewhere (by the pre-screen) taken into the overview, so
// that it is not read twice.
void takeraw(Overview& ov, int drop, const std::string& path, const FileStamp& stamp, const RawDrop& rd);

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

// "not edited", "accepted", "bad", "test probe"; any other status as its number.
std::string statusword(int istatus);
// "12 of 20 edited: 9 accepted, 2 bad, 1 test probe".
std::string overviewheading(const StationTable& table);
// The row of one drop (1..nlines), reading only files that changed.
PanelCells overviewrow(Overview& ov, const StationTable& table, const DropFiles& files, int drop);

// Fills the panel from the state, marks the current drop and shows it.
void showoverview(State& st);
// The row of a drop just written, and the heading; nothing while the panel is closed.
void refreshoverview(State& st, int drop);
// The overview's findings cell of a drop: its findings' tags.
std::string findingscell(State& st, int drop);
// The rows of the panel in the order they are shown: by drop number, or with
// the drops whose findings are worst first (S).
std::vector<int> overvieworder(State& st);
// The current drop's findings with their sentences, under the table.
void shownotes(const State& st);
// Keeps the mark on the current drop.
void followoverview(State& st);
// The main loop's share: the O key and a row activated in the panel. Nothing
// for every other event.
std::optional<Outcome> overviewevent(State& st, int type, const EventRecord& e);
