// The pre-screen's checks of a drop on its own: values no sea water has,
// spikes, a spoiled top and a hit bottom, and a profile that ends early.
#include <algorithm>
#include <cmath>
#include <functional>

#include "profile/probe_types.h"
#include "qc/prescreen_points.h"

namespace prescreen_detail {

namespace {

// The mixed layer below a surface step is judged over this many metres.
constexpr float mlwindow = 5.0f;
// A spike this far above a hit bottom is the probe striking the floor.
constexpr float impactwindow = 5.0f;
// ...and a spike this far below where the tail seems to start: a noisy
// floor's first means can pass for the water just above it.
constexpr float strikebelow = 20.0f;
// A probe settling on the floor approaches the floor's temperature over
// up to this many metres, from at least settlemin away.
constexpr float settlewindow = 100.0f;
constexpr float settlemin = 0.3f;
// ...over at least settlespan metres; a jump is over within jumpsamples.
constexpr float settlespan = 3.0f;
constexpr std::size_t jumpsamples = 3;
constexpr float jumpstep = 0.1f;
// Water bends from cooling into a slow tail too, but seldom this sharply:
// the tail drifts at an eighth of the rate the water above it cooled.
constexpr float bendratio = 8.0f;

bool inrange(float t, const Thresholds& th) {
    return std::isfinite(t) && t >= th.tmin && t <= th.tmax;
}

// Least-squares slope of t against z over points [a, b), degrees per metre.
float slope(const Points& p, std::size_t a, std::size_t b) {
    const double mz = meanof(p.z, a, b), mt = meanof(p.t, a, b);
    double szz = 0, szt = 0;
    for (std::size_t i = a; i < b; ++i) {
        szz += (p.z[i] - mz) * (p.z[i] - mz);
        szt += (p.z[i] - mz) * (p.t[i] - mt);
    }
    return szz > 0 ? static_cast<float>(szt / szz) : 0.0f;
}

// Going up from a floor's tail that starts at b (at level): the readings
// that depart ever further from the level, one way, as a probe settling on
// the floor does below its strike. Returns the first of them (b when there
// are none).
std::size_t settlingtop(const Points& p, std::size_t b, float level, float tol) {
    std::size_t e = b;
    float most = 0;
    int side = 0;
    for (std::size_t i = b; i > 0 && p.z[i - 1] >= p.z[b] - settlewindow; --i) {
        const float d = p.t[i - 1] - level;
        if (side == 0 && std::fabs(d) > std::max(tol, 0.5f * settlemin)) side = d > 0 ? 1 : -1;
        if (side == 0) continue;
        const float dep = static_cast<float>(side) * d;
        if (dep < most - std::max(tol, 0.1f * most)) break;
        if (dep >= most) {
            most = dep;
            e = i - 1;
        }
    }
    return e;
}

// The median of v, which must not be empty; v is reordered.
float median(std::vector<float>& v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    if (v.size() % 2 == 1) return *mid;
    return 0.5f * (*mid + *std::max_element(v.begin(), mid));
}

}  // namespace

// A temperature outside tmin..tmax (or none at all) is no reading of the
// sea. A short run of such points that the profile comes back from is a
// spike (SP); a run that lasts is the wire or the probe failing (the open
// circuit reads -2.5 or below), and the data end there as at a wire break.
// Only the first run counts: what follows a failing probe is not worth a
// second word, and the other checks never see those points.
std::optional<Fault> outofrange(const DropProfile& d, const Thresholds& th, Points& p,
                                std::vector<Finding>& out) {
    const std::size_t n = d.size();
    std::size_t first = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isfinite(d.depth[i]) && !inrange(d.t[i], th)) {
            first = i;
            break;
        }
    }
    if (first == n) return std::nullopt;
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
        return std::nullopt;
    }
    const std::size_t keep = atpoint(p, point);
    truncate(p, keep);
    Fault f;
    f.at = keep;
    f.z = z;
    f.what = format("%s, out of range (sea water lies between %.2f and %.2f \u00b0C)", value.c_str(), th.tmin,
                    th.tmax);
    return f;
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
//     launch too slight to prove: SA records the anomaly and keeps the data
//     (when more than the first reading differs).
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
        const char* side = warmer(step);
        if (std::fabs(step) < th.surfstep) {
            // A lone first reading a little off is the probe meeting the
            // water; a skin or lens worth noting spans more than one sample.
            if (s < 2) return;
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

namespace {

// Where the floor begins when a probe settling on it shows above the tail
// at b: a jump, or a turn from water that does not warm into a record
// that warms, followed by a steady approach to the tail's level.
struct Settling {
    std::size_t floor = 0;  // the first reading on the floor
    std::string how;        // for the hit-bottom sentence
};
std::optional<Settling> settling(const Points& p, std::size_t b, float tailtop, float tol,
                                 const Thresholds& th) {
    const std::size_t e = settlingtop(p, b, tailtop, tol);
    if (e >= b || e == 0) return std::nullopt;
    const float settle = std::fabs(p.t[e] - tailtop);
    // The jump: the samples just above e that each change by more than
    // jumpstep; `last` is the last reading before it.
    std::size_t last = e;
    while (last > 0 && e - last < jumpsamples && std::fabs(p.t[last] - p.t[last - 1]) > jumpstep) --last;
    const float jumpsize = std::fabs(p.t[e] - p.t[last]);
    std::size_t ua = last;
    while (ua > 0 && p.z[ua - 1] >= p.z[last] - th.hblength) --ua;
    const float waterabove = last - ua >= 4 ? slope(p, ua, last + 1) : INFINITY;
    // Settling is fast: faster than the water above changes, which a
    // shifted stretch of water below a step would follow.
    const float span = p.z[b] - p.z[e];
    const float rate = span > 0 ? settle / span : 0.0f;
    if (span < settlespan || rate < th.hbgrad || settle < settlemin) return std::nullopt;
    const bool jump = last < e && jumpsize >= std::max(settlemin, 0.5f * settle) &&
                      std::isfinite(waterabove) && rate >= 3.0f * std::fabs(waterabove);
    const bool turn = tailtop > p.t[e] && waterabove <= 0.0f;
    if (jump) {
        const std::size_t f = last + 1;
        return Settling{f,
                        format(" where the record jumps %.2f \u00b0C and settles to the floor's temperature "
                               "over %.1f m",
                               jumpsize, p.z[b] - p.z[f])};
    }
    if (turn)
        return Settling{e,
                        format(" where the record turns from cooling to warming and settles %.2f \u00b0C to "
                               "the floor's temperature over %.1f m",
                               settle, p.z[b] - p.z[e])};
    return std::nullopt;
}

}  // namespace

// A probe on the sea floor goes on falling by the clock while it reads the
// floor's temperature: the profile ends in a tail that stays nearly
// constant, or drifts slowly (probes lying on the floor warm or cool by a
// few tenths of a degree over hundreds of metres), or rocks when the probe
// drags. The tail is followed up from the end by 5 m medians: each within
// hbdrift (or three times the noise of a median) of the one below, all
// within hbtotal of the deepest, or within hbrate per metre of a long tail.
// A flat tail alone is no proof (a mixed layer or uniform deep water is
// flat too), so one sign of the change is also needed:
//   - the settling: going up from the tail, the record departs ever
//     further from it, back to a jump or to a turn from cooling water into
//     warming, as a probe reads its own settling on the floor;
//   - the strike: just above the tail a reading leaves both the water above
//     and the tail by a clear margin (a dip or a jump), or the spike check
//     found a spike there;
//   - the gradient: the hblength above cooled by hbgrad per metre or more,
//     bendratio times faster than the tail drifts, and no neighbour that
//     agrees above flattens the same way;
//   - the neighbours: a drop either side that agrees with this one above
//     the tail goes on cooling below it by 0.2 degrees more than this one.
// A deep drop's last tens of metres above its break are often about flat
// too; a tail there shorter than deeptail must be really flat.
bool hitbottom(Points& p, const Thresholds& th, std::vector<Finding>* out, const Neighbours& around) {
    constexpr float binwidth = 5.0f;
    constexpr float deepend = 600.0f;
    constexpr float deeptail = 60.0f;
    constexpr float deepflat = 0.02f;
    constexpr float neighbourcool = 0.2f;
    constexpr float related = 0.3f;
    const std::size_t n = p.size();
    if (n < 10) return false;
    const float zend = p.z[n - 1];
    // Noise: point-to-point differences of the last hblength.
    std::size_t f0 = n - 1;
    while (f0 > 0 && p.z[f0 - 1] >= zend - th.hblength) --f0;
    double sq = 0;
    for (std::size_t i = f0; i + 1 < n; ++i)
        sq += static_cast<double>(p.t[i + 1] - p.t[i]) * (p.t[i + 1] - p.t[i]);
    const float noise =
        n - 1 > f0 ? static_cast<float>(std::sqrt(sq / (2.0 * static_cast<double>(n - 1 - f0)))) : 0.0f;

    // 5 m medians from the end upward; top[j] is the first index of bin j.
    // A probe dragging on the floor jitters: one reading off in a bin is
    // that jitter, not the water, so the bin's level is its median and its
    // spread the second largest departure from it.
    std::vector<float> med, spread;  // each bin's median and spread
    std::vector<std::size_t> top;
    {
        std::size_t i = n;
        float lower = zend - binwidth;
        std::vector<float> bin;
        while (i > 0) {
            bin.clear();
            while (i > 0 && p.z[i - 1] > lower) bin.push_back(p.t[--i]);
            if (!bin.empty()) {
                const float m = median(bin);
                std::vector<float> dev(bin.size());
                std::transform(bin.begin(), bin.end(), dev.begin(),
                               [m](float v) { return std::fabs(v - m); });
                std::sort(dev.begin(), dev.end(), std::greater<>());
                med.push_back(m);
                top.push_back(i);
                spread.push_back(dev.size() > 1 ? dev[1] : 0.0f);
            }
            lower -= binwidth;
        }
    }
    if (med.size() < 3) return false;
    // How much the 5 m medians of the deepest stretch scatter about their own
    // trend: a probe rocking on the floor scatters them, water cooling
    // steadily does not.
    float scatter = 0;
    {
        const std::size_t m = std::min<std::size_t>(med.size(), 7);
        double sd = 0, sdd = 0;
        for (std::size_t j = 1; j < m; ++j) sd += med[j] - med[j - 1];
        const double md = sd / static_cast<double>(m - 1);
        for (std::size_t j = 1; j < m; ++j) sdd += (med[j] - med[j - 1] - md) * (med[j] - med[j - 1] - md);
        scatter = static_cast<float>(std::sqrt(sdd / static_cast<double>(m - 1)));
    }
    const float perbin =
        std::max(th.hbdrift, std::min(4.0f * noise / std::sqrt(binwidth / 0.65f), 5.0f * scatter));
    std::size_t k = 0;
    // Each median is judged against the average of up to three below it, so
    // that one scattered median does not end the tail.
    const auto below = [&med](std::size_t j) {
        const std::size_t from = j >= 2 ? j - 2 : 0;
        float s = 0;
        for (std::size_t i = from; i <= j; ++i) s += med[i];
        return s / static_cast<float>(j - from + 1);
    };
    // One median off may be noise; two in a row end the tail.
    // A median that holds a sharp reading (the strike, or the step into the
    // tail) ends the tail however well it fits.
    const float sharp = std::max(0.1f, 8.0f * noise);
    const auto fits = [&](std::size_t j, std::size_t base) {
        return j < med.size() && std::fabs(med[j] - below(base)) <= perbin &&
               std::fabs(med[j] - med[0]) <= std::max(th.hbtotal, th.hbrate * (zend - p.z[top[j]])) &&
               spread[j] <= sharp;
    };
    while (k + 1 < med.size() && spread[k + 1] <= sharp && (fits(k + 1, k) || fits(k + 2, k)))
        k += fits(k + 1, k) ? 1 : 2;
    if (k + 1 >= med.size()) return false;  // the whole drop is one tail: a test probe's or a mixed layer's
    std::size_t b = top[k];
    const float tailtop = med[k];
    // The tail's first reading near its level: the bottom is no deeper.
    const float level = std::max(0.02f, 3.0f * noise);
    while (b > 0 && std::fabs(p.t[b - 1] - tailtop) <= level && p.z[b - 1] > p.z[top[k]] - binwidth) --b;
    const float length = zend - p.z[b];
    if (length < th.hblength) return false;
    const float drift = med[0] - tailtop;
    if (zend > deepend && length < deeptail && std::fabs(drift) > deepflat) return false;
    const auto report = [&](int point, float depth, const std::string& how) {
        if (out == nullptr) return;
        out->push_back(makefinding(
            15, point, depth,
            format(
                "Hit bottom at %.1f m,%s: the last %.1f m stay within %.2f \u00b0C of %.2f \u00b0C "
                "(5 m medians within %.2f \u00b0C of each other and %.2f \u00b0C in all, or %.3f \u00b0C/m)",
                depth, how.c_str(), zend - depth, std::fabs(drift), tailtop, perbin, th.hbtotal, th.hbrate)));
    };

    if (const std::optional<Settling> s = settling(p, b, tailtop, std::max(0.02f, 3.0f * noise), th)) {
        report(p.point[s->floor], p.z[s->floor], s->how);
        truncate(p, s->floor);
        return true;
    }

    // The water above the tail.
    std::size_t a = b;
    while (a > 0 && p.z[a - 1] >= p.z[b] - th.hblength) --a;
    if (b - a < 4) return false;
    const float above = static_cast<float>(meanof(p.t, a, b));

    // The strike: a reading within impactwindow above b off both the tail
    // and the line of the water above.
    const float g = slope(p, a, b);
    const float cz = static_cast<float>(meanof(p.z, a, b));
    const float margin = std::max(0.1f, 8.0f * noise);
    std::size_t strike = n;
    for (std::size_t i = b + 1; i > a && p.z[i - 1] >= p.z[b] - impactwindow; --i) {
        const float v = p.t[i - 1];
        const float line = above + g * (p.z[i - 1] - cz);
        if (std::fabs(v - tailtop) > margin && std::fabs(v - line) > margin) strike = i - 1;
    }
    // The step: the tail's level is off the line of the water above where
    // they meet, by a clear margin either way.
    const bool step = std::fabs(tailtop - (above + g * (p.z[b] - cz))) > 2.0f * margin;
    // A spike found near a bottom at z: from impactwindow above it to
    // strikebelow below it.
    const auto strikespike = [](float z) {
        return [z](const Finding& f) {
            return f.index == 21 && f.depth <= z + strikebelow && f.depth >= z - impactwindow;
        };
    };
    const bool spike = out != nullptr && std::any_of(out->begin(), out->end(), strikespike(p.z[b]));
    const float tailrate = std::fabs(drift) / std::max(length, 1.0f);
    // A floor's tail is flatter than water: it drifts by no more than
    // hbrate, or than an eighth of the water above, per metre. A stretch
    // that goes on cooling like the water above is water, shifted or not.
    if (tailrate > std::max(th.hbrate, -g / bendratio)) return false;
    const bool gradient = g <= -th.hbgrad && -g >= bendratio * tailrate;
    // The neighbours: one that agrees above and cools more below says the
    // floor; one that agrees above and flattens as this one does says the
    // water, which outweighs a bend of the gradient alone.
    bool cooler = false, alike = false;
    const float zb = p.z[b];
    for (const DropProfile* nb : {around.ref, around.next}) {
        if (nb == nullptr || cooler) continue;
        const Points r = referencepoints(*nb, th);
        if (r.size() < 10 || r.z.back() < zb + th.hblength) continue;
        const float zto = std::min(zend, r.z.back());
        const auto tat = [](const Points& q, float z) {
            const std::size_t i = atdepth(q, z);
            return i == q.size() ? q.t.back() : q.t[i];
        };
        if (std::fabs(tat(r, zb - 10.0f) - tat(p, zb - 10.0f)) > related) continue;
        const float own = tat(p, zb) - tat(p, zto);
        const float theirs = tat(r, zb) - tat(r, zto);
        cooler = theirs - own >= neighbourcool && std::fabs(own) * 3.0f <= theirs;
        alike = alike || std::fabs(theirs - own) < neighbourcool;
    }
    if (strike == n && !spike && !gradient && !cooler && !step) return false;
    if (strike == n && !spike && !cooler && !step && alike) return false;
    if (strike != n) {
        b = strike;
    } else if (gradient) {
        // Where the water above, carried on, meets the floor's temperature:
        // the first fitting median alone places the bottom up to a bin high.
        const float zhit = std::clamp(cz + (tailtop - above) / g, p.z[b], p.z[b] + binwidth);
        while (b + 1 < n && p.z[b] < zhit) ++b;
    }

    if (out != nullptr) {
        // The probe striking the floor often shows as a spike just above
        // the flat tail. That spike marks the bottom itself and is no second
        // finding.
        int point = p.point[b];
        float depth = p.z[b];
        std::string how;
        const auto hit = std::find_if(out->begin(), out->end(), strikespike(p.z[b]));
        if (hit != out->end()) {
            point = hit->point;
            depth = hit->depth;
            how = " struck with a spike";
            out->erase(hit);
        } else if (strike != n) {
            how = format(" struck with a reading %.2f \u00b0C off the water above",
                         std::fabs(p.t[b] - (above + g * (p.z[b] - cz))));
        } else if (step) {
            how = format(" where the record steps %.2f \u00b0C off the water above",
                         std::fabs(tailtop - (above + g * (p.z[b] - cz))));
        } else if (gradient) {
            how = format(" below water that cooled %.3f \u00b0C/m (%.3f \u00b0C/m or more)", -g, th.hbgrad);
        } else {
            how = " where the neighbouring drops go on cooling";
        }
        report(point, depth, how);
    }
    truncate(p, b);
    return true;
}

// A good drop reaches ichkprofdepth. One that ends above it, with no hit
// bottom or failing record to explain it, lost its wire or its recorder
// early: the suggestion is WB at the deepest point, the code this editor
// gives to where good data end, so the operator confirms the end (or
// rejects the drop). A shallow probe's record ends by design near the depth
// it is rated to: from its code when the raw file gives one, else any
// rated depth of the table within ratedslack. No reference is needed: the
// depth a profile reaches says nothing about the water. ichkprofdepth 0 or
// less switches the check off.
void shortprofile(const Points& p, const Thresholds& th, float rated, std::vector<Finding>& out) {
    constexpr float ratedslack = 0.05f;
    // With no code, only a record that ends right at a rated depth of the
    // table (200 or 460 m by design) is taken as the probe's own end.
    constexpr float tableslack = 0.006f;
    if (p.size() == 0 || th.ichkprofdepth <= 0) return;
    const float end = p.z.back();
    if (end >= static_cast<float>(th.ichkprofdepth)) return;
    const auto near = [end](double r) { return r > 0 && end >= static_cast<float>(r * (1.0 - ratedslack)); };
    if (rated > 0 ? near(rated)
                  : std::any_of(probetypes().begin(), probetypes().end(), [&](const ProbeType& t) {
                        return std::fabs(end - static_cast<float>(t.rated)) <=
                               tableslack * static_cast<float>(t.rated);
                    }))
        return;
    out.push_back(makefinding(22, p.point.back(), end,
                              format("Short profile: good data end at %.1f m (a good profile reaches %d m)",
                                     end, th.ichkprofdepth)));
}

}  // namespace prescreen_detail
