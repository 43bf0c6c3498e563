// The pre-screen: automatic checks on a drop that suggest a code of the
// catalogue at a depth and say why, with the measured value and the
// threshold. A finding never changes the profile; it becomes a code only
// when the operator applies it through the QC dialog.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_store.h"

// One suggestion for the operator.
struct Finding {
    int index = 0;         // catalogue index (1..23) the QC dialog chooses for it;
                           // 0 when no button of the dialog applies it (a duplicate)
    QcCode code;           // the code's two letters, as qccode gives them for index
    int iqc = 0;           // its class, as qccode gives it for index
    int point = 1;         // the point of the profile it marks (1-based; 1 for a surface code)
    float depth = 0;       // positive metres, the depth of that point
    std::string sentence;  // why, with the measured value and the threshold
};

// A finding about the drop as a whole (a duplicate, the ship's track): no
// button of the QC dialog applies it, and it stands at the first point.
Finding wholedropfinding(QcCode code, int iqc, std::string sentence);

// A drop as the checks see it: points 1..n of a slot as element 0..n-1,
// depths as the store keeps them (negative metres, increasing downward in
// magnitude), temperatures in degrees. A drop not yet edited is handed in
// whole, with the number of points above the cut that the load proposed,
// so that the checks find where the record goes bad at any depth and can
// say where that differs from the proposal; a reference is handed in down
// to its cut.
struct DropProfile {
    std::span<const float> depth;
    std::span<const float> t;
    std::size_t cut = static_cast<std::size_t>(-1);  // points above the proposed cut; all when larger
    float rated = 0;  // the probe's rated depth from its code, metres; 0 when unknown
    std::size_t size() const { return depth.size() < t.size() ? depth.size() : t.size(); }
};

// Points 1..n of a slot (n clamped to what the slot holds).
DropProfile dropprofile(const SlotData& s, int n);

// Every threshold of the checks in one place. The cruise's control.dat
// gives the ones it names (the app fills them in); the rest are the
// editor's own.
struct Thresholds {
    // From control.dat.
    float dtmx = 4.6f;        // "Max Delta": largest difference from the reference drop at one depth, degrees
    float dtmx700 = 0.8f;     // "Max 700m Delta": largest difference at 700 m, degrees
    int ichkprofdepth = 700;  // "Check Profile Depth": the depth a good profile reaches, metres
    float tdzmx = 450.0f;     // "Max Displacement": largest isotherm displacement, metres
    float tdzrms = 110.0f;    // "Max Rms Displacement": largest rms isotherm displacement, metres
    // "Min dtdz": isotherms are followed where the drop cools with depth at
    // least this steeply (a gradient at or below it), degrees per metre.
    float dtdzmn = -0.011f;
    // "Min dtdz Displacement Test": ...and where the reference's gradient at
    // the isotherm exceeds this in size, degrees per metre.
    float dtdzth = 0.0005f;
    // The editor's own.
    // Sea water freezes near -1.9 degrees and no open ocean reaches 36;
    // a reading beyond these is no reading of the sea. Degrees.
    float tmin = -2.5f;
    float tmax = 36.0f;
    // A test probe's whole profile stays within tprange degrees, over at
    // least tpdepth metres so that a short well-mixed drop is no test probe.
    float tprange = 0.3f;
    float tpdepth = 100.0f;
    // The warmest mixed layers reach a few hundred metres: a top of
    // tpwarm degrees or more held within tprange over tpwarmdepth metres is
    // a probe that never fell through water.
    float tpwarm = 20.0f;
    float tpwarmdepth = 400.0f;
    // A spike is 1..spwidth points below spdepth metres that depart from the
    // line between their neighbours by more than spmin degrees; above
    // spdepth the surface check looks. More than hfcount spikes in one drop
    // are high-frequency noise (HF).
    float spmin = 0.5f;
    int spwidth = 3;
    float spdepth = 4.0f;
    int hfcount = 5;
    // A hit bottom's tail is at least hblength metres long; the hblength
    // metres above it cooling by hbgrad degrees per metre or more is one
    // sign of the floor. No check reads hbband any more (hbdrift and hbtotal
    // below bound the tail now), but the threshold table and the help page
    // still show it, so it stays until they drop it.
    float hbband = 0.1f;
    float hblength = 15.0f;
    float hbgrad = 0.01f;
    // The top differs by a step from the mixed layer below it, which stays
    // within mltol degrees over 5 m: at least sastep degrees is a surface
    // anomaly (SA); surfstep or more is a spoiled top, removed (CS) when
    // good data start within csdepth metres and a premature launch (PL)
    // when they start deeper. Good data are sought down to surfdepth metres.
    float sastep = 0.3f;
    float surfstep = 1.0f;
    float csdepth = 4.0f;
    float surfdepth = 40.0f;
    float mltol = 0.1f;
    // Where a record goes bad. A reading at or above tsat is the recorder's
    // limit (this recorder writes 35.50 once the wire is gone), not water.
    // Between two samples (about 0.65 m) water changes by at most stepmax
    // degrees above 300 m and stepdeep below 500 m (in between, on a line);
    // a larger step that the record does not come back from is the wire or
    // the probe failing. Below 100 m nothing is warmer than the warmest
    // water above 100 m by more than warmmargin, and below 400 m nothing is
    // warmer than deepmax.
    float tsat = 35.45f;
    float stepmax = 5.0f;
    float stepdeep = 1.0f;
    float warmmargin = 3.0f;
    float deepmax = 30.0f;
    // Below 300 m a record that warms more than wander above its coldest
    // reading there has left the water, degrees.
    float wander = 2.5f;
    // A hit bottom's tail drifts by at most hbdrift degrees from one 5 m
    // mean to the next (probes lying on the floor warm or cool slowly),
    // and by at most hbtotal over the whole tail.
    float hbdrift = 0.07f;
    float hbtotal = 0.5f;
    // ...or, over a long tail, by at most hbrate per metre of it: a probe
    // lying on the floor warms or cools slowly as it is dragged.
    float hbrate = 0.002f;
    // An inversion (warmer water below colder) larger than ivmin over at
    // least ivdepth metres, rising smoothly, is suggested as probable (PIA).
    float ivmin = 1.0f;
    float ivdepth = 5.0f;
};

// The thresholds, one row each: its name as a cruise would set it, its
// meaning, and its value in th. For the help page, the log and --check.
struct ThresholdRow {
    std::string_view name;
    std::string_view meaning;
    float value;
};
std::vector<ThresholdRow> thresholdtable(const Thresholds& th);

// The checks of one drop. ref is the reference drop (the nearest earlier
// drop taken as good), or nullptr when there is none; the checks against it
// are then skipped. Findings come ordered by depth.
std::vector<Finding> prescreen(const DropProfile& drop, const DropProfile* ref, const Thresholds& th);

// The same checks with a second reference, the good drop before ref. A
// difference from ref is then reported only when the drop differs in the
// same way (the same code
// within 10 m) from older too: when only ref differs, ref is the
// odd one, and the drop after a faulty or passing feature is not blamed for
// it. A real change of the water still shows on the first drop in it.
std::vector<Finding> prescreen(const DropProfile& drop, const DropProfile* ref, const DropProfile* older,
                               const Thresholds& th);

// The drops either side of a drop, each nullptr when there is none: ref,
// the nearest earlier drop taken as good; older, the good drop before ref;
// next, the drop after this one. A difference from ref is reported only
// when the drop differs in the same sense from next (when there is one)
// or else from older: a drop that differs from the one before but agrees
// with the one after shows the ocean changing, not a fault. The neighbours
// also tell a probe on the floor (they keep cooling) from deep water that
// is merely uniform.
struct Neighbours {
    const DropProfile* ref = nullptr;
    const DropProfile* older = nullptr;
    const DropProfile* next = nullptr;
};
std::vector<Finding> prescreen(const DropProfile& drop, const Neighbours& around, const Thresholds& th);

// True when a drop's own checks suggest no reject (no class 3 or more for
// its values): an automatic run takes such a drop as the reference of the
// drops after it, as the operator would take a drop that they accepted.
// The 700 m offset does not count: it measures the drop's reference as much
// as the drop, and a drop never taken as reference would leave a changed
// ocean compared with an old drop for good.
bool goodreference(const std::vector<Finding>& findings);

// True for a wire break at or below the depth where the load's own cut
// search starts: how most deep drops end, which the cut proposal already
// holds. The report lists it; a sort by findings passes over it.
bool routineend(const Finding& f);

// True when two drops carry the same temperatures point for point (a drop
// recorded or copied twice).
bool sametemperatures(const DropProfile& a, const DropProfile& b);

// Where and when a drop was made, as the station list gives it: degrees
// north and east, minutes from any fixed time; valid false when a field
// does not read.
struct Fix {
    bool valid = false;
    double lat = 0, lon = 0;
    double minutes = 0;
};

// Findings of the track, one list per drop (same length as fixes): a drop
// that the ship could only reach from the one before at more than maxknots,
// or one whose latitude or longitude alone flips sign against both
// neighbours. They carry no dialog code: the position is not in the
// profile.
inline constexpr double maxknots = 40.0;
std::vector<std::vector<Finding>> trackfindings(std::span<const Fix> fixes);
