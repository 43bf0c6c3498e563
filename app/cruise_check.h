// The pre-screen of a whole cruise: the checks of every drop of the station
// list against the drop taken as the reference before it, the duplicates
// among the drops, the envelope of the drops accepted so far, and the lines
// of the command-line report. The editor asks it for the findings of the
// current drop when the drop is loaded, and the overview for every drop's.
// Nothing here writes a file or a log record: the pre-screen only reads.
#pragma once
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/drop_cache.h"
#include "app/drop_files.h"
#include "app/stations.h"
#include "plot/envelope.h"
#include "qc/prescreen.h"

// What the checks take from one drop's files, as the cache last gave them:
// the profiles are views of the cached contents, which the entry keeps.
struct CheckedDrop {
    std::string path;  // the raw file the entry belongs to (the cruise may change)
    std::shared_ptr<const RawContents> raw;
    std::shared_ptr<const EditedContents> edited, avg;  // q and e files; avg only once asked for
    std::span<const float> depth, t;                    // the whole raw profile
    std::size_t cut = 0;                                // its points above the cut the load proposes
    float rated = 0;                                    // its probe's rated depth from the code; 0 unknown
    std::span<const float> rdepth, rt;  // as a reference: the edited profile above its rejected part
    std::span<const float> edepth, et;  // for the envelope: the e file's good points, else the reference
    std::vector<Finding> findings;      // the last checks of this drop
    int selfgood = -1;                  // its own checks allow it as a reference: 1 or 0; -1 not yet known
};

struct CruiseCheck {
    // By drop number, grown as drops are checked: a small cruise does not
    // carry room for the largest.
    std::vector<CheckedDrop> drop;
    bool envelopeon = false;            // E shows the envelope
    std::vector<EnvelopeBin> envelope;  // as last computed
    bool sortbyfindings = false;        // the overview puts drops with findings first
};

// What the pre-screen works on: its own entries, which it brings up to date
// as it reads, and the parts of the cruise that it only reads.
struct CheckParts {
    CruiseCheck& check;
    DropCache& cache;
    const StationTable& stations;
    const DropFiles& files;
    const Thresholds& thresholds;
};

// The findings of the current drop as loaded: drop `drop` of the list, the
// whole record of cur (slot 2) with its points 1..n above the proposed cut.
std::vector<Finding> currentfindings(const CheckParts& c, const SlotData& cur, int n, int drop);

// The findings of any drop of the list (1..nlines), for the overview and the
// report; a drop's files are read again only when they change.
const std::vector<Finding>& dropfindings(const CheckParts& c, int drop);

// The nearest drop before `drop` that may serve as its reference: accepted,
// or not yet edited with no reject suggested by its own checks, and with
// points; 0 when there is none. The reference of that one is the older
// reference, which tells an odd reference from a change in the water.
int referencedrop(const CheckParts& c, int drop);

// "SPR 312.4 m": a finding as the overview and the plot name it.
std::string findingtag(const Finding& f);

// One line of the command-line report: drop digits, code, class, depth
// (metres, three decimals) and the sentence, separated by tabs.
std::string reportline(int drop, const Finding& f);

// Findings of the current drop as marks on the plot, at their points of cur.
std::vector<PlotMark> findingmarks(std::span<const Finding> findings, const SlotData& cur);

// The envelope of the drops accepted so far, in 2 m bins.
std::vector<EnvelopeBin> cruiseenvelope(const CheckParts& c);

// Every finding of the cruise as a report line, then the line of counts,
// which names the cruise.
// Drops whose raw file gave no profile are not counted as checked: the line
// of counts names them with the reason, and unread (when given) their count.
std::vector<std::string> cruisereport(const CheckParts& c, std::string_view cruise, int* unread = nullptr);
