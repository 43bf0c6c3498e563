// The pre-screen's checks of a drop on its own: values no sea water has,
// spikes, a spoiled top and a hit bottom, and a profile that ends early.
#include <algorithm>
#include <cmath>

#include "qc/prescreen_points.h"

namespace prescreen_detail {

namespace {

// The mixed layer below a surface step is judged over this many metres.
constexpr float mlwindow = 5.0f;
// A spike this far above a hit bottom is the probe striking the floor.
constexpr float impactwindow = 5.0f;

bool inrange(float t, const Thresholds& th) {
    return std::isfinite(t) && t >= th.tmin && t <= th.tmax;
}

// Least-squares slope of t against z over points [a, b), degrees per metre.
float slope(const Points& p, std::size_t a, std::size_t b) {
    double sz = 0, st = 0;
    const double n = static_cast<double>(b - a);
    for (std::size_t i = a; i < b; ++i) {
        sz += p.z[i];
        st += p.t[i];
    }
    const double mz = sz / n, mt = st / n;
    double szz = 0, szt = 0;
    for (std::size_t i = a; i < b; ++i) {
        szz += (p.z[i] - mz) * (p.z[i] - mz);
        szt += (p.z[i] - mz) * (p.t[i] - mt);
    }
    return szz > 0 ? static_cast<float>(szt / szz) : 0.0f;
}

}  // namespace

// A temperature outside tmin..tmax (or none at all) is no reading of the
// sea. A short run of such points that the profile comes back from is a
// spike (SP); a run that lasts is the wire or the probe failing, and the
// data end there as at a wire break (WB). Only the first run is reported:
// what follows a failing probe is not worth a second word, and the other
// checks never see those points.
void outofrange(const DropProfile& d, const Thresholds& th, Points& p, std::vector<Finding>& out) {
    const std::size_t n = d.size();
    std::size_t first = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isfinite(d.depth[i]) && !inrange(d.t[i], th)) {
            first = i;
            break;
        }
    }
    if (first == n) return;
    std::size_t run = 0;
    std::size_t i = first;
    bool back = false;
    for (; i < n; ++i) {
        if (!std::isfinite(d.depth[i])) continue;
        if (inrange(d.t[i], th)) {
            back = true;
            break;
        }
        ++run;
    }
    const float t = d.t[first];
    const float z = -d.depth[first];
    const std::string value = std::isfinite(t) ? format("%.2f \u00b0C", t) : std::string("no number");
    const int point = static_cast<int>(first) + 1;
    if (back && run <= static_cast<std::size_t>(std::max(th.spwidth, 1))) {
        out.push_back(makefinding(21, point, z,
                                  format("Out of range at %.1f m: %s for %zu point%s (sea water lies between "
                                         "%.2f and %.2f \u00b0C)",
                                         z, value.c_str(), run, run == 1 ? "" : "s", th.tmin, th.tmax)));
        return;
    }
    out.push_back(makefinding(22, point, z,
                              format("Out of range from %.1f m down: %s (sea water lies between %.2f and "
                                     "%.2f \u00b0C)",
                                     z, value.c_str(), th.tmin, th.tmax)));
    std::size_t keep = 0;
    while (keep < p.size() && p.point[keep] < point) ++keep;
    truncate(p, keep);
}

// A spike is a run of 1..spwidth points, below spdepth, that all lie on the
// same side of the straight line between the points just above and just
// below the run, each more than spmin from it, while those two neighbours
// differ from each other by less than the run departs. The last condition
// tells a spike from a step: at a step the neighbours themselves differ.
// Where runs of several widths qualify, the widest is the spike, so that a
// spike of two points is one finding.
std::vector<char> spikes(const Points& p, const Thresholds& th, std::vector<Finding>* out) {
    const std::size_t n = p.size();
    std::vector<char> mark(n, 0);
    const std::size_t maxw = static_cast<std::size_t>(std::max(th.spwidth, 1));
    const std::size_t before = out != nullptr ? out->size() : 0;
    std::size_t count = 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (p.z[i] < th.spdepth) continue;
        // A run starting at i departs from its line by less than point i
        // departs from point i-1, scaled by how far along the shortest line
        // point i stands; so no run starts where that is already too small,
        // which is most points.
        if (!(std::fabs(p.t[i] - p.t[i - 1]) * (p.z[i + 1] - p.z[i - 1]) > th.spmin * (p.z[i + 1] - p.z[i])))
            continue;
        std::size_t best = 0;
        float peak = 0;
        for (std::size_t w = 1; w <= maxw && i + w < n; ++w) {
            const std::size_t a = i - 1, b = i + w;
            // Point i lies no further from the line than it lies from point
            // a plus the rise to point b: most points end here.
            if (std::fabs(p.t[i] - p.t[a]) + std::fabs(p.t[b] - p.t[a]) <= th.spmin) continue;
            const float rate = (p.t[b] - p.t[a]) / (p.z[b] - p.z[a]);
            float least = INFINITY, most = 0;
            int sign = 0;
            bool ok = true;
            for (std::size_t j = i; j < b && ok; ++j) {
                const float dev = p.t[j] - (p.t[a] + rate * (p.z[j] - p.z[a]));
                const int s = dev > 0 ? 1 : -1;
                if (sign == 0) sign = s;
                ok = s == sign && std::fabs(dev) > th.spmin;
                least = std::min(least, std::fabs(dev));
                if (std::fabs(dev) > std::fabs(most)) most = dev;
            }
            if (ok && std::fabs(p.t[b] - p.t[a]) < least) {
                best = w;
                peak = most;
            }
        }
        if (best == 0) continue;
        for (std::size_t j = i; j < i + best; ++j) mark[j] = 1;
        if (out != nullptr) {
            const std::string what = best == 1 ? std::string("Spike") : format("Spike of %zu points", best);
            out->push_back(makefinding(
                21, p.point[i], p.z[i],
                format("%s at %.1f m: %.2f \u00b0C %s the line between its neighbours "
                       "(more than %.2f \u00b0C)",
                       what.c_str(), p.z[i], std::fabs(peak), peak > 0 ? "above" : "below", th.spmin)));
        }
        ++count;
        i += best;
    }
    // Spike upon spike is the signal itself failing, not a few bad points:
    // one HF finding at the first of them says so, where a list of spikes
    // would bury the operator.
    if (out != nullptr && count > static_cast<std::size_t>(std::max(th.hfcount, 0))) {
        const Finding first = (*out)[before];
        const float last = out->back().depth;
        out->resize(before);
        out->push_back(makefinding(20, first.point, first.depth,
                                   format("High-frequency noise from %.1f m: %zu spikes down to %.1f m (more "
                                          "than %d)",
                                          first.depth, count, last, th.hfcount)));
    }
    return mark;
}

// The top of a drop is spoiled when it differs by a step from the mixed
// layer just below it: the first point s (down to surfdepth) below which the
// water stays within mltol for 5 m, while the point above s and the top
// stretch on average differ from that water by sastep or more, on one side.
// Which code the operator should give depends on the step and on s:
//   - a step of surfstep or more ending within csdepth is the probe settling
//     or a splash at entry: CS fills the top with the first good value;
//   - such a step ending deeper is the probe recording before it entered
//     the water (on deck or in the air), so the whole profile sits too deep:
//     PL moves it up to start at s;
//   - a smaller step may be real water (a warm skin, a fresh lens) or a
//     launch too slight to prove: SA records the anomaly and keeps the data.
void surface(const Points& p, const Thresholds& th, std::vector<Finding>& out) {
    const std::size_t n = p.size();
    double topsum = 0;
    for (std::size_t s = 1; s < n && p.z[s] <= th.surfdepth; ++s) {
        topsum += p.t[s - 1];
        float lo = p.t[s], hi = p.t[s];
        double sum = 0;
        std::size_t e = s;
        for (; e < n && p.z[e] <= p.z[s] + mlwindow; ++e) {
            lo = std::min(lo, p.t[e]);
            hi = std::max(hi, p.t[e]);
            sum += p.t[e];
        }
        if (e - s < 3 || p.z[e - 1] - p.z[s] < 0.8f * mlwindow || hi - lo > th.mltol) continue;
        const float tml = static_cast<float>(sum / static_cast<double>(e - s));
        const float edge = p.t[s - 1] - tml;
        const float step = static_cast<float>(topsum / static_cast<double>(s)) - tml;
        if (std::fabs(edge) < th.sastep || std::fabs(step) < th.sastep || (edge > 0) != (step > 0)) continue;
        const char* side = step > 0 ? "warmer" : "colder";
        if (std::fabs(step) < th.surfstep) {
            out.push_back(
                makefinding(12, 1, p.z1,
                            format("Surface anomaly: the top %.1f m is %.2f \u00b0C %s than the mixed "
                                   "layer below it (at least %.2f \u00b0C, under %.2f \u00b0C)",
                                   p.z[s], std::fabs(step), side, th.sastep, th.surfstep)));
        } else if (p.z[s] <= th.csdepth) {
            out.push_back(
                makefinding(5, p.point[s], p.z[s],
                            format("Spoiled surface: good data start at %.1f m; above, %.2f \u00b0C "
                                   "%s than the mixed layer (%.2f \u00b0C or more, within %.1f m)",
                                   p.z[s], std::fabs(step), side, th.surfstep, th.csdepth)));
        } else {
            out.push_back(
                makefinding(10, p.point[s], p.z[s],
                            format("Premature launch: good data start at %.1f m; above, %.2f \u00b0C "
                                   "%s than the mixed layer (%.2f \u00b0C or more, deeper than "
                                   "%.1f m)",
                                   p.z[s], std::fabs(step), side, th.surfstep, th.csdepth)));
        }
        return;
    }
}

// A probe on the sea floor goes on falling by the clock while it reads the
// floor's temperature: the profile ends in a flat tail, or a noisy one when
// the probe rocks or drags on the floor. The floor is the mean of the last
// hblength metres; the tail reaches up as long as the mean of every five
// points stays within half a band of it, the band being hbband or eight
// times the floor's point-to-point noise when that is larger, so that
// neither noise nor one stray point ends the tail. It is a hit bottom when
// it is at least hblength long and the hblength of water above it cooled
// by hbgrad per metre or more (the deep ocean and a mixed layer are flat
// too, but so is the water above them). The bottom is where the gradient
// above, carried on, meets the floor's temperature, which the band alone
// would place high.
bool hitbottom(Points& p, const Thresholds& th, std::vector<Finding>* out) {
    constexpr std::size_t smooth = 5;
    const std::size_t n = p.size();
    if (n < 2 * smooth) return false;
    std::size_t f0 = n - 1;
    while (f0 > 0 && p.z[f0 - 1] >= p.z[n - 1] - th.hblength) --f0;
    if (n - f0 < smooth) return false;
    double sum = 0, sq = 0;
    for (std::size_t i = f0; i < n; ++i) sum += p.t[i];
    for (std::size_t i = f0; i + 1 < n; ++i)
        sq += static_cast<double>(p.t[i + 1] - p.t[i]) * (p.t[i + 1] - p.t[i]);
    const float floor = static_cast<float>(sum / static_cast<double>(n - f0));
    const float noise = static_cast<float>(std::sqrt(sq / (2.0 * static_cast<double>(n - 1 - f0))));
    const float band = std::max(th.hbband, 8.0f * noise);

    std::size_t k0 = n - smooth;
    double window = 0;
    for (std::size_t i = k0; i < n; ++i) window += p.t[i];
    for (std::size_t k = n - smooth;; --k) {
        if (k < n - smooth) window += p.t[k] - p.t[k + smooth];
        if (!(std::fabs(static_cast<float>(window / smooth) - floor) <= 0.5f * band)) break;
        k0 = k;
        if (k == 0) break;
    }
    const float length = p.z[n - 1] - p.z[k0];
    if (k0 == 0 || length < th.hblength) return false;
    std::size_t a = k0;
    while (a > 0 && p.z[a - 1] >= p.z[k0] - th.hblength) --a;
    if (k0 - a < 4 || p.z[k0] - p.z[a] < 0.5f * th.hblength) return false;
    const float g = slope(p, a, k0);
    if (!(g <= -th.hbgrad)) return false;

    const std::size_t half = k0 + (n - k0) / 2;
    double sz = 0, st = 0;
    for (std::size_t i = a; i < k0; ++i) {
        sz += p.z[i];
        st += p.t[i];
    }
    const double cz = sz / static_cast<double>(k0 - a), ct = st / static_cast<double>(k0 - a);
    const float zb = std::clamp(static_cast<float>(cz + (floor - ct) / g), p.z[a], p.z[half]);
    std::size_t b = a;
    while (b < n - 1 && p.z[b] < zb) ++b;

    if (out != nullptr) {
        // The probe striking the floor often shows as a spike just above
        // the flat tail. That spike marks the bottom itself and is no second
        // finding.
        int point = p.point[b];
        float depth = p.z[b];
        std::string impact;
        const auto strike = std::find_if(out->begin(), out->end(), [&](const Finding& f) {
            return f.index == 21 && f.depth <= depth && f.depth >= depth - impactwindow;
        });
        if (strike != out->end()) {
            point = strike->point;
            depth = strike->depth;
            impact = ", struck with a spike,";
            out->erase(strike);
        }
        out->push_back(makefinding(
            15, point, depth,
            format("Hit bottom at %.1f m%s: the last %.1f m stay at %.2f \u00b0C (within %.2f \u00b0C) "
                   "though the water above cooled %.3f \u00b0C/m (%.3f \u00b0C/m or more)",
                   depth, impact.c_str(), p.z[n - 1] - depth, floor, 0.5f * band, -g, th.hbgrad)));
    }
    truncate(p, b);
    return true;
}

// A good drop reaches ichkprofdepth. One that ends above it, with no hit
// bottom or failing probe to explain it, lost its wire or its recorder
// early: the suggestion is WB at the deepest point, the code this editor
// gives to where good data end, so the operator confirms the end (or
// rejects the drop). No reference is needed: the depth a profile reaches
// says nothing about the water.
void shortprofile(const Points& p, const Thresholds& th, std::vector<Finding>& out) {
    if (p.size() == 0 || th.ichkprofdepth <= 0) return;
    const float end = p.z.back();
    if (end >= static_cast<float>(th.ichkprofdepth)) return;
    out.push_back(makefinding(22, p.point.back(), end,
                              format("Short profile: good data end at %.1f m (a good profile reaches %d m)",
                                     end, th.ichkprofdepth)));
}

}  // namespace prescreen_detail
