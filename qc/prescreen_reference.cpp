// The pre-screen's checks of a drop against its reference drop, the
// nearest earlier drop taken as good, with the cruise's own limits from
// control.dat. The reference is read as the drop is: its spikes are left
// out and it ends at its own hit bottom, and a test probe is no reference,
// so that whichever drop the caller hands in, a fault of the reference does
// not come back as a fault of this drop.
#include <algorithm>
#include <cmath>

#include "qc/prescreen_points.h"

namespace prescreen_detail {

namespace {

// The 700 m comparison averages each drop over this depth range, so that
// one noisy point does not decide it.
constexpr float z700 = 700.0f;
constexpr float halfwindow700 = 5.0f;
// Gradients are taken between the points this far above and below a depth.
constexpr float halfgradient = 2.5f;
// The rms displacement needs this many followed isotherms to mean anything.
constexpr std::size_t mindisplaced = 10;

}  // namespace

Points referencepoints(const DropProfile& ref, const Thresholds& th) {
    Points r = usablepoints(ref, th);
    std::vector<Finding> none;
    std::optional<Fault> fault = outofrange(ref, th, r, none);
    if (const std::optional<Fault> inside = recordfault(r, th); inside && (!fault || inside->at < fault->at))
        fault = inside;
    if (fault) truncate(r, fault->at);
    if (ref.cut < r.size()) {
        truncate(r, atpoint(r, static_cast<int>(ref.cut) + 1));
    }
    if (testprobe(r, th)) return {};
    const std::vector<char> spiky = spikes(r, th, nullptr);
    r = without(std::move(r), spiky);
    hitbottom(r, th, nullptr);
    return r;
}

namespace {

// The gradient of r around the depth zr that lies between its points j-1
// and j, degrees per metre, from the points halfgradient above and below.
float gradientnear(const Points& r, std::size_t j, float zr) {
    std::size_t lo = j > 0 ? j - 1 : 0, hi = j;
    while (lo > 0 && r.z[lo] > zr - halfgradient) --lo;
    while (hi + 1 < r.size() && r.z[hi] < zr + halfgradient) ++hi;
    return hi > lo ? (r.t[hi] - r.t[lo]) / (r.z[hi] - r.z[lo]) : 0.0f;
}

// The mean temperature over the 700 m window, or NaN when no point is in it.
float mean700(const Points& p) {
    const std::size_t a = atdepth(p, z700 - halfwindow700);
    std::size_t b = a;
    while (b < p.size() && p.z[b] <= z700 + halfwindow700) ++b;
    return b == a ? NAN : static_cast<float>(meanof(p.t, a, b));
}

// The drop less the reference at each of the drop's points, the reference
// interpolated linearly between its points; NaN where the reference does
// not reach.
std::vector<float> differences(const Points& p, const Points& r) {
    std::vector<float> diff(p.size(), NAN);
    std::size_t j = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const float z = p.z[i];
        if (z < r.z.front() || z > r.z.back()) continue;
        while (j + 2 < r.size() && r.z[j + 1] < z) ++j;
        diff[i] = p.t[i] - (r.t[j] + (r.t[j + 1] - r.t[j]) * (z - r.z[j]) / (r.z[j + 1] - r.z[j]));
    }
    return diff;
}

// "Max Delta": the drop differs from the reference, at the same depth (the
// reference interpolated linearly between its points), by more than dtmx
// somewhere. The finding stands at the top of the stretch, beyond dtmx on
// the same side, that holds the largest difference: a code there covers
// the water below, and a brief excess elsewhere (a mixed layer a little
// deeper than the reference's) does not draw the finding away from it.
int maxdelta(const Points& p, const Points& r, const Thresholds& th, std::vector<Finding>& out) {
    const std::vector<float> diff = differences(p, r);
    std::size_t worst = 0;
    float dworst = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (std::fabs(diff[i]) > std::fabs(dworst)) {
            dworst = diff[i];
            worst = i;
        }
    }
    if (!(std::fabs(dworst) > th.dtmx)) return 0;
    std::size_t first = worst;
    while (first > 0 && (dworst > 0 ? diff[first - 1] > th.dtmx : diff[first - 1] < -th.dtmx)) --first;
    out.push_back(makefinding(
        13, p.point[first], p.z[first],
        format("Difference from %.1f m: %.2f \u00b0C %s than the reference drop (more than "
               "%.2f \u00b0C), up to %.2f \u00b0C at %.1f m",
               p.z[first], std::fabs(diff[first]), warmer(dworst), th.dtmx, std::fabs(dworst), p.z[worst])));
    return dworst > 0 ? 1 : -1;
}

// Whether a difference d of the drop from the reference at 700 m is the
// probe's: it stands from the top of the drop (the whole record is off),
// or it begins within a few metres (a step of the record) and holds from
// there down. A front or an eddy parts the two drops gradually over the
// thermocline; that is the water, and its isotherm displacement is the
// finding for it.
bool probeoffset(const Points& p, const Points& r, float d) {
    constexpr float bin = 5.0f;
    const std::vector<float> each = differences(p, r);
    std::vector<float> diff;
    for (float z0 = std::max(p.z.front(), r.z.front()); z0 + bin <= z700; z0 += bin) {
        double s = 0;
        std::size_t k = 0;
        for (std::size_t i = atdepth(p, z0); i < p.size() && p.z[i] < z0 + bin; ++i) {
            if (std::isnan(each[i])) continue;
            s += each[i];
            ++k;
        }
        if (k > 0) diff.push_back(static_cast<float>(s / static_cast<double>(k)));
    }
    if (diff.size() < 2) return true;
    const auto beyond = [d](float v) { return d > 0 ? v > 0.5f * d : v < 0.5f * d; };
    std::size_t onset = diff.size();
    while (onset > 0 && beyond(diff[onset - 1])) --onset;
    if (onset == 0) return true;
    if (onset == diff.size()) return false;
    return std::fabs(diff[onset] - diff[onset - 1]) >= 0.5f * std::fabs(d);
}

// "Max 700m Delta": the mean temperatures of drop and reference between 695
// and 705 m differ by more than dtmx700. At 700 m the ocean changes little
// from drop to drop, so an offset there is the probe's: TO, at the drop's
// point nearest 700 m.
int delta700(const Points& p, const Points& r, const Thresholds& th, std::vector<Finding>& out) {
    const float tp = mean700(p), tr = mean700(r);
    if (!std::isfinite(tp) || !std::isfinite(tr) || !(std::fabs(tp - tr) > th.dtmx700)) return 0;
    if (!probeoffset(p, r, tp - tr)) return 0;
    std::size_t k = atdepth(p, z700);
    if (k == p.size() || (k > 0 && z700 - p.z[k - 1] < p.z[k] - z700)) --k;
    out.push_back(
        makefinding(18, p.point[k], p.z[k],
                    format("Offset at 700 m: %.2f \u00b0C %s than the reference drop (more than %.2f "
                           "\u00b0C)",
                           std::fabs(tp - tr), warmer(tp - tr), th.dtmx700)));
    return tp > tr ? 1 : -1;
}

// "Max Displacement" and "Max Rms Displacement": where the drop cools with
// depth at dtdzmn or more steeply (dtdzmn is negative), each point's
// temperature is an isotherm worth following; its displacement is the
// point's depth less the depth at which the reference first cools to that
// temperature, taken only where the reference's own gradient there exceeds
// dtdzth in size, so that a nearly flat reference does not place it at
// random. The drop is flagged when one displacement exceeds tdzmx or their
// rms exceeds tdzrms: the water column as a whole moved up or down, an
// eddy or a front, or the drop is wrong. EF, a code of the whole profile,
// is the one the operator confirms when the water really changed.
int displacement(const Points& p, const Points& r, const Thresholds& th, std::vector<Finding>& out) {
    // The reference's running minimum: the depth at which it first cools to
    // a temperature is then one binary search away.
    std::vector<float> rmin(r.t);
    for (std::size_t j = 1; j < rmin.size(); ++j) rmin[j] = std::min(rmin[j], rmin[j - 1]);

    std::size_t count = 0, worst = 0;
    double sumsq = 0;
    float dworst = 0, zfrom = 0, zto = 0;
    // The drop's gradient at point i comes from the points lo and hi that
    // stand halfgradient above and below it; both only move down.
    std::size_t lo = 0, hi = 0, j = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const float temp = p.t[i];
        while (lo + 1 < i && p.z[lo + 1] <= p.z[i] - halfgradient) ++lo;
        while (hi + 1 < p.size() && p.z[hi] < p.z[i] + halfgradient) ++hi;
        if (hi <= lo || !((p.t[hi] - p.t[lo]) / (p.z[hi] - p.z[lo]) <= th.dtdzmn)) continue;
        if (temp > rmin.front() || temp < rmin.back()) continue;
        // The drop's next isotherm is mostly close to the last one: a few
        // steps from the last j find it, a binary search otherwise.
        const std::size_t n = rmin.size();
        for (int steps = 0; steps < 8 && j < n && rmin[j] > temp; ++steps) ++j;
        for (int steps = 0; steps < 8 && j > 0 && rmin[j - 1] <= temp; ++steps) --j;
        if (j == n || rmin[j] > temp || (j > 0 && rmin[j - 1] <= temp))
            j = static_cast<std::size_t>(
                std::partition_point(rmin.begin(), rmin.end(), [temp](float v) { return v > temp; }) -
                rmin.begin());
        float zr = r.z[j];
        if (j > 0) zr = r.z[j - 1] + (temp - r.t[j - 1]) * (r.z[j] - r.z[j - 1]) / (r.t[j] - r.t[j - 1]);
        if (!(std::fabs(gradientnear(r, j, zr)) > th.dtdzth)) continue;
        const float d = p.z[i] - zr;
        if (count == 0) zfrom = p.z[i];
        zto = p.z[i];
        ++count;
        sumsq += static_cast<double>(d) * d;
        if (std::fabs(d) > std::fabs(dworst)) {
            dworst = d;
            worst = i;
        }
    }
    if (count < mindisplaced) return 0;
    const float rms = static_cast<float>(std::sqrt(sumsq / static_cast<double>(count)));
    if (!(rms > th.tdzrms) && !(std::fabs(dworst) > th.tdzmx)) return 0;
    out.push_back(makefinding(
        1, 1, p.z1,
        format(
            "Isotherms displaced from the reference drop: %.1f m rms between %.1f and %.1f m (limit %.1f m), "
            "at most %.1f m %s at %.1f m (limit %.1f m)",
            rms, zfrom, zto, th.tdzrms, std::fabs(dworst), dworst > 0 ? "deeper" : "shallower", p.z[worst],
            th.tdzmx)));
    return dworst > 0 ? 1 : -1;
}

}  // namespace

void againstreference(const Points& p, const DropProfile& ref, const Thresholds& th,
                      std::vector<Finding>& out, std::vector<int>* senses) {
    const Points r = referencepoints(ref, th);
    if (r.size() < 2 || p.size() < 2) return;
    for (const auto check : {maxdelta, delta700, displacement}) {
        const int sense = check(p, r, th, out);
        if (senses != nullptr && sense != 0) senses->push_back(sense);
    }
}

}  // namespace prescreen_detail
