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

// A drop as the checks see it: points 1..n of a slot as element 0..n-1,
// depths as the store keeps them (negative metres, increasing downward in
// magnitude), temperatures in degrees. Only the good part is handed in:
// the current drop down to its wire break, an edited drop down to its cut.
struct DropProfile {
    std::span<const float> depth;
    std::span<const float> t;
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
    float dtdzmn = -0.011f;   // "Min dtdz": the gradient at which displacement is tested, degrees per metre
    float dtdzth = 0.0005f;   // "Min dtdz Displacement Test"
    // The editor's own.
    float tmin = -2.5f;    // coldest temperature sea water can have, degrees (below freezing of brine)
    float tmax = 36.0f;    // warmest temperature of any open ocean, degrees
    float tprange = 0.3f;  // a test probe's whole profile stays within this band, degrees
    float tpdepth =
        100.0f;  // ...over at least this many metres, so that a short well-mixed drop is no test probe
    float spmin = 0.5f;    // a spike departs from the line between its neighbours by more than this, degrees
    int spwidth = 3;       // a spike is at most this many points; a longer excursion is structure
    float spdepth = 4.0f;  // spikes are sought below this depth, metres; above it the surface check looks
    int hfcount = 5;       // more spikes than this in one drop are high-frequency noise (HF), not spikes
    float hbband = 0.1f;   // a hit bottom's flat tail stays within this band, degrees
    float hblength =
        15.0f;             // ...over at least this many metres, the same length above it giving the gradient
    float hbgrad = 0.01f;  // the water above the flat tail cools by at least this much, degrees per metre
    float sastep = 0.3f;  // the top differs from the mixed layer below it by at least this: a surface anomaly
    float surfstep =
        1.0f;  // ...by at least this: the top is spoiled and is removed (CS) or shifted away (PL)
    float csdepth =
        4.0f;  // deepest start of good data that CS covers, metres; a deeper one is a premature launch
    float surfdepth = 40.0f;  // the start of good data is sought down to this depth, metres
    float mltol = 0.1f;       // the mixed layer below the step stays within this band over 5 m, degrees
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

// True when a drop's own checks suggest no reject (no class 3 or more for
// its values): an automatic run takes such a drop as the reference of the
// drops after it, as the operator would take a drop that they accepted.
// The 700 m offset does not count: it measures the drop's reference as much
// as the drop, and a drop never taken as reference would leave a changed
// ocean compared with an old drop for good.
bool goodreference(const std::vector<Finding>& findings);

// True when two drops carry the same temperatures point for point (a drop
// recorded or copied twice).
bool sametemperatures(const DropProfile& a, const DropProfile& b);
