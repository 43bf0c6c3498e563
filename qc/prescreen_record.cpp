// The pre-screen's search for where a record stops being water: readings
// at the recorder's limit, steps no water holds, water too warm for its
// depth. Real drops end this way far more often than they end cleanly, and
// at any depth, not only below the depth where the load's cut search
// starts. Also the inversion prompt, which looks at the same shape of a
// profile the other way round: warming with depth that is smooth and real.
#include <algorithm>
#include <cmath>

#include "qc/prescreen_points.h"

namespace prescreen_detail {

namespace {

// A departure counts as lasting when this many of the samples after it
// (or all there are, if fewer) stay beyond the limit.
constexpr std::size_t lastwindow = 5;
constexpr std::size_t lastneeded = 3;
// Depths at which the step limit and the depth-dependent range change.
constexpr float stepshallowz = 300.0f;
constexpr float stepdeepz = 500.0f;
constexpr float warmz = 100.0f;
// A record that climbs on within this many metres of a step was failing
// from the step.
constexpr float shiftwindow = 30.0f;
constexpr float deepz = 400.0f;
// A saturated record that comes back within this of the last good reading
// was a probe that struck the floor and went on recording.
constexpr float recoverband = 1.5f;
// The ramp into a fault: samples just above it that already move its way
// by more than this are part of it.
constexpr float rampstep = 0.1f;
constexpr std::size_t rampmax = 3;
// ...and a warming of at least climbmin, climbper or more per climbbin
// metres, leads into an overflow.
constexpr float climbmin = 0.5f;
constexpr float climbper = 0.05f;
constexpr float climbbin = 5.0f;
constexpr std::size_t climbbins = 2;

float steplimit(float z, const Thresholds& th) {
    if (z <= stepshallowz) return th.stepmax;
    if (z >= stepdeepz) return th.stepdeep;
    return th.stepmax + (th.stepdeep - th.stepmax) * (z - stepshallowz) / (stepdeepz - stepshallowz);
}

// How many of the samples from i on (up to lastwindow) satisfy bad.
template <class Bad>
bool lasting(const Points& p, std::size_t i, Bad bad) {
    const std::size_t end = std::min(p.size(), i + lastwindow);
    std::size_t k = 0;
    for (std::size_t j = i; j < end; ++j) k += bad(p.t[j]) ? 1 : 0;
    return k >= std::min(lastneeded, end - i);
}

}  // namespace

// The first good index above a fault at i: the samples just above that
// already ramp towards the fault (dir > 0 warmer) belong to it.
std::size_t rampstart(const Points& p, std::size_t i, float dir, bool climb) {
    if (i == 0 || i > p.size()) return i;
    std::size_t k = i;
    for (std::size_t r = 0; r < rampmax && k >= 2; ++r) {
        const float d = p.t[k - 1] - p.t[k - 2];
        if (!((d > rampstep && dir > 0) || (d < -rampstep && dir < 0))) break;
        --k;
    }
    // Water seldom warms with depth for long: a record that warms without
    // a pause all the way into the recorder's upper limit is the fault
    // beginning, from where the warming began (a cooling record ends in
    // the lower limit along the water's own gradient, so not that way).
    // The warming is judged in 5 m means, each warmer than the one above
    // it by climbper: a twitch does not end it, a mixed layer does.
    if (climb && dir > 0 && k > 0) {
        const auto binmean = [&p](std::size_t a, std::size_t b) {
            return static_cast<float>(meanof(p.t, a, b));
        };
        const auto bintop = [&p](std::size_t b) {
            std::size_t a = b;
            while (a > 0 && p.z[a - 1] > p.z[b - 1] - climbbin) --a;
            return a;
        };
        std::size_t b = k, a = bintop(k);
        const float first = binmean(a, b);
        float below = first, top = first;
        std::size_t start = k;  // the top of the climb so far
        std::size_t bins = 0;   // bins above the first that continue it
        while (a > 0) {
            const std::size_t up = bintop(a);
            const float m = binmean(up, a);
            if (!(m < below - climbper)) break;
            start = a;
            ++bins;
            below = top = m;
            b = a;
            a = up;
        }
        // The first bin may hold the end of the ramp itself, so the climb
        // must go on for two more. Within its top bin the fault begins
        // after the coldest reading, the last of the water.
        if (start < k && bins >= climbbins && first - top >= climbmin) {
            std::size_t coldest = a;
            for (std::size_t i = a; i < b; ++i)
                if (p.t[i] <= p.t[coldest]) coldest = i;
            k = coldest + 1;
        }
    }
    return k;
}

namespace {

std::size_t rampstart(const Points& p, std::size_t i) {
    return i < p.size() && i > 0 ? rampstart(p, i, p.t[i] - p.t[i - 1]) : i;
}

// Mean size of the second differences of samples [a, b): how ragged the
// record is there.
float roughness(const Points& p, std::size_t a, std::size_t b) {
    double s = 0;
    std::size_t k = 0;
    for (std::size_t i = a + 1; i + 1 < b && i + 1 < p.size(); ++i, ++k)
        s += std::fabs(p.t[i + 1] - 2.0f * p.t[i] + p.t[i - 1]);
    return k == 0 ? 0.0f : static_cast<float>(s / static_cast<double>(k));
}

// A record below a step is no longer water when it turns ragged: a wire
// failing wanders and jitters, while water shifted by a step (a planted
// offset, a copy error) keeps its own smooth shape, which the comparisons
// with the neighbours judge.
bool ragged(const Points& p, std::size_t i) {
    constexpr std::size_t span = 20;
    constexpr float times = 5.0f;
    constexpr float floor = 0.05f;
    const float before = roughness(p, i >= span ? i - span : 0, i);
    const float after = roughness(p, i + 1, i + 1 + span);
    return after > times * before + floor;
}

}  // namespace

std::optional<Fault> recordfault(const Points& p, const Thresholds& th) {
    const std::size_t n = p.size();
    float warmest = -INFINITY;
    for (std::size_t i = 0; i < n && p.z[i] <= warmz; ++i)
        if (p.t[i] < th.tsat) warmest = std::max(warmest, p.t[i]);
    float coldest = INFINITY, climbstep = 0;
    std::size_t coldat = 0;
    // The baseline before the steps that last moved it, while they stand.
    std::size_t shiftfrom = n;
    for (std::size_t i = 0; i < n; ++i) {
        const float z = p.z[i], t = p.t[i];
        Fault f;
        f.z = z;
        // Below stepshallowz the water hardly warms with depth: a record
        // that climbs more than wander above its coldest reading there is
        // the wire or the probe failing, however smoothly it climbs.
        // A climb made mostly in one step is a step: the step check judges
        // it, and the water below it is the new baseline. But a record that
        // goes on climbing within shiftwindow of such steps was failing
        // from before them.
        if (z > stepshallowz) {
            if (i > 0) climbstep = std::max(climbstep, std::fabs(t - p.t[i - 1]));
            if (t < coldest) {
                coldest = t;
                coldat = i;
                climbstep = 0;
                shiftfrom = n;
            } else if (t - coldest > th.wander && climbstep > 0.5f * (t - coldest)) {
                if (shiftfrom == n) shiftfrom = coldat;
                coldest = t;
                coldat = i;
                climbstep = 0;
            } else if (t - coldest > th.wander &&
                       lasting(p, i, [&](float v) { return v - coldest > th.wander; })) {
                const std::size_t base =
                    shiftfrom < n && z - p.z[shiftfrom] <= shiftwindow ? shiftfrom : coldat;
                f.at = base + 1;
                f.z = p.z[f.at];
                f.what = format(
                    "%.2f \u00b0C at %.1f m, %.2f \u00b0C warmer than its coldest reading at %.1f m "
                    "(water below %.0f m does not warm by %.2f \u00b0C)",
                    t, z, t - p.t[base], p.z[base], stepshallowz, th.wander);
                return f;
            }
        }
        if (t >= th.tsat && lasting(p, i, [&th](float v) { return v >= th.tsat; })) {
            f.what = format("%.2f \u00b0C, the recorder's limit (%.2f \u00b0C or more)", t, th.tsat);
            f.at = i > 0 ? rampstart(p, i, p.t[i] - p.t[i - 1], true) : i;
            // Does the record come back to the water it left? A probe that
            // strikes the floor jumps to the limit; one that climbs there
            // for metres is failing.
            const bool jumped = f.at == rampstart(p, i);
            if (!jumped && f.at > 0 && f.at < i)
                f.what += format(", after warming %.2f \u00b0C without a pause from %.1f m",
                                 t - p.t[f.at - 1], p.z[f.at - 1]);
            if (f.at > 0 && jumped) {
                const float left = p.t[f.at - 1];
                std::size_t j = i;
                while (j < n && p.t[j] >= th.tsat) ++j;
                for (; j < n && !f.recovers; ++j) f.recovers = std::fabs(p.t[j] - left) <= recoverband;
            }
            return f;
        }
        if (i > 0) {
            const float step = t - p.t[i - 1];
            const float limit = steplimit(z, th);
            const float from = p.t[i - 1];
            if (std::fabs(step) > limit &&
                lasting(p, i, [&](float v) { return std::fabs(v - from) > 0.5f * std::fabs(step); }) &&
                ragged(p, i)) {
                f.what = format(
                    "a step of %.2f \u00b0C to %.2f \u00b0C (more than %.2f \u00b0C between two "
                    "samples at this depth)",
                    std::fabs(step), t, limit);
                f.at = rampstart(p, i);
                return f;
            }
        }
        if (z > deepz && t > th.deepmax && lasting(p, i, [&th](float v) { return v > th.deepmax; })) {
            f.what = format("%.2f \u00b0C (no water below %.0f m is warmer than %.2f \u00b0C)", t, deepz,
                            th.deepmax);
            f.at = i;
            return f;
        }
        const float warm = warmest + th.warmmargin;
        if (z > warmz && std::isfinite(warmest) && t > warm &&
            lasting(p, i, [warm](float v) { return v > warm; })) {
            f.what = format("%.2f \u00b0C (more than %.2f \u00b0C warmer than any water above %.0f m)", t,
                            th.warmmargin, warmz);
            f.at = i;
            return f;
        }
    }
    return std::nullopt;
}

// Warmer water under colder is real in fronts and in salt-stratified water,
// and the operator confirms it with IVA or PIA; a small or ragged one is
// fine structure, not worth a prompt. The profile is averaged over 1 m so
// that noise does not break the rise; an inversion is a rise of these
// means, each no colder than the one above by more than a noise step, that
// totals ivmin or more over ivdepth or more. Only the largest is
// suggested, at its top, and only below surfdepth, where a spoiled top
// would otherwise pass for one.
void inversion(const Points& p, const Thresholds& th, std::vector<Finding>& out) {
    constexpr float bin = 1.0f;
    constexpr float wobble = 0.02f;
    std::vector<float> zb, tb;
    std::vector<int> pt;
    for (std::size_t i = 0; i < p.size();) {
        const float z0 = p.z[i];
        double s = 0;
        std::size_t k = 0;
        const int first = p.point[i];
        for (; i < p.size() && p.z[i] < z0 + bin; ++i, ++k) s += p.t[i];
        zb.push_back(z0);
        tb.push_back(static_cast<float>(s / static_cast<double>(k)));
        pt.push_back(first);
    }
    float best = 0;
    std::size_t btop = 0, bbot = 0;
    std::size_t a = 0;
    float lowest = INFINITY;
    for (std::size_t j = 0; j < tb.size(); ++j) {
        // a: the coldest mean since the rise began; a fall ends the rise.
        if (j == 0 || tb[j] < tb[j - 1] - wobble || tb[j] < lowest) {
            a = j;
            lowest = tb[j];
            continue;
        }
        const float rise = tb[j] - lowest;
        // In the top metres the surface checks speak.
        if (rise > best && zb[j] - zb[a] >= th.ivdepth && zb[a] >= th.surfdepth) {
            best = rise;
            btop = a;
            bbot = j;
        }
    }
    if (!(best >= th.ivmin)) return;
    out.push_back(makefinding(9, pt[btop], zb[btop],
                              format("Inversion from %.1f m: %.2f \u00b0C warmer by %.1f m, rising smoothly "
                                     "(%.2f \u00b0C or more over "
                                     "%.1f m or more)",
                                     zb[btop], best, zb[bbot], th.ivmin, th.ivdepth)));
}

}  // namespace prescreen_detail
