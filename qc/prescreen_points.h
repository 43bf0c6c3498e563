// What the pre-screen's checks share: a drop's usable points and the way a
// finding is made. Internal to the pre-screen's source files.
#pragma once
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "qc/prescreen.h"

namespace prescreen_detail {

// The points the checks look at: finite, within tmin..tmax and each strictly
// deeper than the one before (a repeated or backward depth is skipped), so
// that every difference in depth is positive.
struct Points {
    std::vector<float> z;    // positive metres
    std::vector<float> t;    // degrees
    std::vector<int> point;  // the drop's point, 1-based
    float z1 = 0;            // depth of the drop's point 1, where a whole-profile code stands
    std::size_t size() const { return z.size(); }
};

Points usablepoints(const DropProfile& d, const Thresholds& th);
// The first index whose depth is at or below z; size() when none is.
inline std::size_t atdepth(const Points& p, float z) {
    return static_cast<std::size_t>(std::lower_bound(p.z.begin(), p.z.end(), z) - p.z.begin());
}
// The first index that stands at the drop's point `point` or below it.
inline std::size_t atpoint(const Points& p, int point) {
    std::size_t k = 0;
    while (k < p.size() && p.point[k] < point) ++k;
    return k;
}
// The mean of v over indices [a, b), which must not be empty.
inline double meanof(const std::vector<float>& v, std::size_t a, std::size_t b) {
    double s = 0;
    for (std::size_t i = a; i < b; ++i) s += v[i];
    return s / static_cast<double>(b - a);
}
Points without(Points p, const std::vector<char>& drop);
void truncate(Points& p, std::size_t n);

#ifdef __GNUC__
std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
#else
std::string format(const char* f, ...);
#endif
Finding makefinding(int index, int point, float depth, std::string sentence);
// The side of a difference, as the sentences name it.
inline const char* warmer(float d) {
    return d > 0 ? "warmer" : "colder";
}

// Where the record goes bad: at index `at` of the usable points (the first
// bad one; the points above it are good), what happened there, and whether
// it is a saturated run that the record comes back from (a probe that
// struck the floor and went on recording).
struct Fault {
    std::size_t at = 0;
    float z = 0;       // depth of the first bad reading
    std::string what;  // "a jump of 7.28 °C to 35.50 °C (more than 5.00 °C)"
    bool recovers = false;
};

// The checks on the drop alone; each appends its findings to out.
// A lasting run out of range ends the usable points (p is cut there) and
// is returned as a fault; a short one is a spike.
std::optional<Fault> outofrange(const DropProfile& d, const Thresholds& th, Points& p,
                                std::vector<Finding>& out);
// The first reading below which the record is no longer water: a reading
// at the recorder's limit, a step larger than water holds, or water warmer
// than the depth allows, that the record does not come back from.
std::optional<Fault> recordfault(const Points& p, const Thresholds& th);
// The first good index above a fault at index i: the samples just above it
// that already move its way (dir > 0 warmer) by more than a tenth of a
// degree each are part of it.
// With climb (for a run at the recorder's upper limit), a warming that
// leads into it without a pause is part of the fault too.
std::size_t rampstart(const Points& p, std::size_t i, float dir, bool climb = false);
// The largest smooth inversion, as a PIA prompt.
void inversion(const Points& p, const Thresholds& th, std::vector<Finding>& out);
// Why the drop is a test probe, or nothing when it is none.
std::optional<std::string> testprobe(const Points& p, const Thresholds& th);
// Marks the points of every spike; with out, also reports them.
std::vector<char> spikes(const Points& p, const Thresholds& th, std::vector<Finding>* out);
void surface(const Points& p, const Thresholds& th, std::vector<Finding>& out);
// Cuts p at the hit bottom it finds; returns whether there was one. The
// neighbours, when given, show whether the water goes on cooling below.
bool hitbottom(Points& p, const Thresholds& th, std::vector<Finding>* out, const Neighbours& around = {});
void shortprofile(const Points& p, const Thresholds& th, float rated, std::vector<Finding>& out);

// The checks against the reference drop.
// Each finding's sense (+1 warmer or deeper, -1 colder or shallower) goes
// to senses when given, in step with out.
void againstreference(const Points& p, const DropProfile& ref, const Thresholds& th,
                      std::vector<Finding>& out, std::vector<int>* senses = nullptr);
// A neighbour as the checks compare with it: usable, no spikes, above its
// own faults and its hit bottom; empty for a test probe.
Points referencepoints(const DropProfile& ref, const Thresholds& th);

}  // namespace prescreen_detail
