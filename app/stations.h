// The station list stations.dat: reading and checking it into the table
// indexed by drop number, choosing the drop to edit and its neighbours,
// the status update, the station part of a profile label, and the exit
// rewrite that keeps every line the file gained while the editor ran.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/drop_files.h"
#include "app/log.h"
#include "app/outcome.h"
#include "app/paths.h"
#include "base/atomic_file.h"
#include "base/fixed_text.h"
#include "profile/profile_store.h"

inline constexpr int nstamax = 999;

// One drop's line and the fields cut from it.
struct StationLine {
    FixedText<70> alines;  // the line as it will be written back
    FixedText<57> afront;  // columns 1-57
    int istatus = 0;       // columns 58-62: 0, 1, -1 or -4
    FixedText<8> atail;    // columns 63-70
    FixedText<3> adropno;  // columns 2-4
    FixedText<1> aflag;    // column 10
    FixedText<8> adate;    // columns 19-26, blanks as "0"
    FixedText<8> atime;    // columns 28-35, blanks as "0"
    FixedText<7> alat;     // columns 38-44
    FixedText<7> alon;     // columns 47-53
};

// Drops 1..999 by number; line k of the list holds drop k.
struct StationTable {
    std::array<StationLine, nstamax + 1> line{};
    int nlines = 0;
    StationLine& operator[](int d) { return line[static_cast<std::size_t>(d)]; }
    const StationLine& operator[](int d) const { return line[static_cast<std::size_t>(d)]; }
};

enum class StationFailure { None, Read, EndOfFile, Order };

// What reading the list showed and logged, in order, so that the pure
// parser can be run without a window or a log.
struct StationEvent {
    enum class Kind { Warning, StartLog };
    Kind kind;
    std::string text;
};

struct StationRead {
    StationFailure failure = StationFailure::None;
    int orderLine = 0, orderDrop = 0;  // for StationFailure::Order
    int badLine = 0;                   // for StationFailure::Read: the line (1-based) at fault
    std::string badText;               // and what it holds
    std::vector<StationEvent> events;
};

// ch2real: a fixed-width decimal field text(first : first+width-1), 1-based,
// optionally signed, without format checks; other characters give
// out-of-range values that the caller's range test catches.
float ch2real(std::string_view text, int first, int width);

// The reading of the list over its bytes, with the checks and warnings.
StationRead parseStations(std::string_view bytes, StationTable& table);

// Reads astations into the table with its message boxes and log records,
// then applies the journal that a run without its exit rewrite left.
// Every failure ends the program; the end of file failure does so through
// the exit rewrite.
Outcome readStations(const PathText& astations, StationTable& table, Log& startLog, Log& mainLog);

// Picks the first drop not yet edited, puts its digits and those of its
// neighbours into the file names, and sets idropnum and inext.
void choosedrop(const StationTable& table, DropFiles& files, int& idropnum, int& inext);

// Sets the status of drop idropnum in its line (columns 58-62 only).
void updatestatus(StationTable& table, int idropnum, int status);

// Columns 6-21 of a profile label: latitude, longitude, "T" and the flag.
void writeinfoesedit(SlotLabel& ainfo, const StationTable& table, int drop);

// The bytes written at exit: the table's lines, then the lines that the
// file at exit holds beyond them, then "ENDDATA". nlinesnow receives the
// number of lines the file held at exit, less the lines without a drop
// number that stand among the table's drops (the reading passed over them).
std::string stationsBytes(const StationTable& table, std::string_view fileAtExit, int& nlinesnow);

// The journal beside stations.dat (".stations.dat.journal"): a stored drop's
// line goes there at once, so that a run that ends without its exit rewrite
// loses no status.
std::string journalPath(const PathText& astations);

// Appends the line of drop to the journal and flushes it to disk. A failure
// is shown and logged as a failed write; the drop itself is stored already.
void journalstatus(const PathText& astations, const StationTable& table, int drop, Log& mainLog);

// Sets the statuses that the journal holds for the table's drops; returns
// the drops whose status changed, in drop order. Lines of other drops or of
// another list are passed over.
std::vector<int> applyjournal(std::string_view journal, StationTable& table);

// What is wrong with the list when reading it fails, with the line at fault:
// for the boxes of the editor and the words of the report.
std::string stationfailurewords(const StationRead& r, const std::string& path);

// The text of the box and the log record that name the restored drops.
std::string restoredMessage(const StationTable& table, const std::vector<int>& drops);

// The exit rewrite: writes the list back atomically, removes the journal
// and ends the program with status (or with 1 when the list cannot be read
// or written).
Outcome exitrewrite(const PathText& astations, const StationTable& table, Log& mainLog, int status = 0);
